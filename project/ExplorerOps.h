// The explorer's file operations on disk, apart from any widget: names for new files and folders,
// the checks of a typed new name, and copying or moving items into a folder by drag and drop. Every
// question and failure goes through a handler, so the widget asks the user and tests answer.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tarnwell {

namespace explorer_text {
inline constexpr const char* kFailedCreateFile = "Failed to create file: %s";
inline constexpr const char* kFailedCreateDir = "Failed to create directory: %s";
inline constexpr const char* kEnterName = "Please enter a name";
inline constexpr const char* kBadChars =
    "File name cannot contain any of the following characters: \n\\ / :  * ? \" < > | ";
inline constexpr const char* kAlreadyExists = "A file with this name already exsits. Please enter a diffrent name.";
inline constexpr const char* kFailedRename = "Failed to rename file: %s";
inline constexpr const char* kConfirmDelete = "Are you sure you want to delete all the selected items?";
inline constexpr const char* kConfirmDeletePermanent =
    "Are you sure you want to delete all the selected items?\nThey cannot be moved to the trash and will be "
    "deleted permanently.";
inline constexpr const char* kFailedDelete = "Failed to delete %s: ";
inline constexpr const char* kReplaceFolder =
    "Folder \"%s\" already contains a folder named \"%s\", Would you like to replace the existing folder?";
inline constexpr const char* kReplaceFile =
    "Folder \"%s\" already contains a file named \"%s\", Would you like to replace the existing file?";
inline constexpr const char* kFailedCreateDirNamed = "Failed to create directory \"%s\": %s";
inline constexpr const char* kFailedCopy = "Failed to copy \"%s\" to \"%s\": %s";
}  // namespace explorer_text

// The first of "NewFile.asp", "NewFile(1).asp", ... (files) or "NewFolder", "NewFolder(1)", ...
// (folders) for which nothing exists in `folder` (for folders: no folder exists, as a file of that
// name makes the folder's creation fail with a message).
std::string NewItemName(const std::string& folder, bool isFolder);

// Creates the new file under `name` in `folder` with the template's bytes (an empty file when the
// template cannot be read), never replacing anything. False with the error text.
bool CreateNewExplorerFile(const std::string& folder, const std::string& templatePath, std::string& name,
                           std::string& error);

enum class NameCheck { Ok, Empty, BadCharacter };
// Trims blanks from both ends of `name` and checks it: not empty, none of \ / : * ? " < > |.
NameCheck CheckNewName(std::string& name);

// The part of a name that rename selects at first: the text before the last "." of a file, or all.
std::size_t RenameSelectionLength(const std::string& name, bool isFolder);
// The longest name that keeps the item's path within the platform's limits.
std::size_t MaxRenameLength(std::size_t fullPathLength, std::size_t oldNameLength);

enum class CopyAnswer { Abort, Retry, Ignore };

class TransferHandler {
public:
    virtual ~TransferHandler() = default;
    // Yes/No questions; false skips the item.
    virtual bool ReplaceFolder(const std::string& targetFolder, const std::string& name) = 0;
    virtual bool ReplaceFile(const std::string& targetFolder, const std::string& name) = 0;
    // A folder could not be created: the drop ends.
    virtual void CreateFolderFailed(const std::string& path, const std::string& error) = 0;
    virtual CopyAnswer CopyFailed(const std::string& from, const std::string& to, const std::string& error) = 0;
    // An item moved from `from` to `to` (told before its source is removed).
    virtual void Moved(const std::string& /*from*/, const std::string& /*to*/) {}
};

struct TransferResult {
    bool aborted = false;
    // Top-level items placed in the target folder (wholly or in part): source and target path.
    std::vector<std::pair<std::string, std::string>> placed;
};

// Copies (or moves) each of `sources` into `targetFolder`, folders with everything they hold on
// disk. A move renames in place when it can; otherwise it copies and removes each source file only
// after its copy is complete, and a source folder only when it ends up empty, so a refused, skipped
// or failed item stays where it was. A source already directly inside the target, the target itself,
// a folder holding the target, and a target that is the source's own file are left alone.
TransferResult TransferItems(const std::vector<std::string>& sources, const std::string& targetFolder, bool move,
                             TransferHandler& handler);

// Whether `path` is `folder` or lies below it (also through links).
bool IsInside(const std::string& path, const std::string& folder);

// "%s" placeholders filled in order.
std::string FormatMessage(const char* format, const std::vector<std::string>& args);

}  // namespace tarnwell
