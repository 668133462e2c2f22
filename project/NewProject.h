// The checks and file writing of the New Project wizard, apart from any widget: the project name and
// folder as typed, whether a folder already holds a project, creating the folder path, writing the new
// project file and the default folder offered for new projects.
#pragma once

#include <string>

namespace tarnwell {

namespace newproject_text {
inline constexpr const char* kEnterName = "Please enter a name for the new project";
inline constexpr const char* kBadName =
    "Project name cannot contain any of the following characters: \n\\ / :  * ? \" < > | ";
inline constexpr const char* kEnterFolder = "Please select a local folder to store the project files";
inline constexpr const char* kBadFolder =
    "Invalid directory name. Directory name cannot contain any of the following characters: \n\\ / :  * ? \" < > | ";
inline constexpr const char* kAskCreate = "Directory %s does not exist, Do you want to create it now?";
inline constexpr const char* kFailedCreateDir = "Failed to create directory: %s";
inline constexpr const char* kAlreadyExists = "A project already exists in the specified folder.";
inline constexpr const char* kFailedCreate = "Failed to create the project: %s";
inline constexpr const char* kAskOverwriteGlobal =
    "The project's folder already contains a Global.asa file, would like to overwrite it?";
inline constexpr const char* kFailedGlobal = "Failed to create Global.asa file: %s";
inline constexpr const char* kAskWebPath =
    "If you don't enter the web path that your project associates to, some files can not be previewed "
    "correctly. Do you want to specify the web path now?";
}  // namespace newproject_text

// Trims the name and gives it the ".twp" extension unless it ends so in any letter case. Answers the
// message to show (empty when the name is good). "." and ".." and names with separators are refused.
std::string CheckProjectName(std::string& name);
// Trims the folder and removes trailing blanks and separators (the root stays "/"). Answers the
// message to show when it is empty or holds a character no folder name may hold.
std::string CheckProjectFolder(std::string& folder);
// Whether the folder holds a file named "*.twp" (in any letter case).
bool FolderHoldsProject(const std::string& folder);
// Creates every missing folder of the path from the top down. False with the system's error text.
bool CreateFolderPath(const std::string& path, std::string& error);
// Writes "Signature" and "Version" to the project file (created when missing, other values kept).
bool WriteProjectHeader(const std::string& projectFile, std::string& error);
// Copies the installed Global.asa template over `target` and makes the copy writable.
bool CopyGlobalAsa(const std::string& templateFile, const std::string& target, std::string& error);
// "Webs" in the program's folder when that folder is writable (or "Webs" there already is), else
// "Webs" in the home folder.
std::string DefaultProjectsFolder(const std::string& programFolder, const std::string& homeFolder);

}  // namespace tarnwell
