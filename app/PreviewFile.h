// Preview files: the temporary copies of a document's text that the embedded or the default browser
// shows. Naming, the folder and URL rules, and the web-path branch for server pages of a project.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tarnwell {

class Profile;

inline constexpr const char* kPreviewPrefix = "~PVW";
inline constexpr const char* kPreviewFailedText = "Failed to create preview file.";
inline constexpr const char* kWarnPreviewNoWebPath = "Warn preview asp without web path";

// What preview needs of the open project. The project model implements it.
class PreviewProject {
public:
    virtual ~PreviewProject() = default;
    // The address under which the project folder is served; empty when not set.
    virtual std::string WebPath() const = 0;
    // Full path of the project file.
    virtual std::string ProjectFilePath() const = 0;
};

// How preview reaches the open project: the project model registers these when it exists. Until then
// no project counts as open and pages preview as plain files.
struct PreviewProjectSource {
    std::function<const PreviewProject*()> openProject;  // null result: no project open
    std::function<bool()> editWebPath;                   // the web-path page of the project sheet; true on OK
};
void SetPreviewProjectSource(PreviewProjectSource source);
const PreviewProjectSource& GetPreviewProjectSource();

enum class WebPathAnswer { Yes, No, Cancel };

// What Make preview file needs of the document and of the user.
class PreviewHost {
public:
    virtual ~PreviewHost() = default;
    // The open project, or null.
    virtual const PreviewProject* OpenProject() = 0;
    // The web-path question with its check box; `check` comes in clear and goes out as left by the user.
    virtual WebPathAnswer AskForWebPath(bool& check) = 0;
    // The project's property sheet opened at its web-path page; true when it ended with OK and was applied.
    virtual bool EditProjectWebPath() = 0;
    // Writes the document's text (its own line ends, its modified state untouched); false on failure.
    virtual bool WriteDocumentText(const std::string& path) = 0;
    // Tells the user "Failed to create preview file.".
    virtual void ReportPreviewFailure() = 0;
    // The system's temporary folder.
    virtual std::string TempFolder() = 0;
};

// "<folder>/~PVW%04X<extension>" (the platform separator; `number` in upper-case hexadecimal).
std::string PreviewFileName(const std::string& folder, unsigned number, const std::string& extension);
// True for a name that begins with "~PVW", in any letter case.
bool IsPreviewFileName(const std::string& fileName);

// The web path with trailing blanks and '/' removed, joined with a relative path by one '/'.
std::string JoinWebPath(const std::string& webPath, const std::string& relativePath);

// Draws the numbers of preview names (0..32767). The default is seeded with the time in seconds.
using PreviewNumberSource = std::function<unsigned()>;
PreviewNumberSource TimeSeededNumbers();

// Picks a name in `folder` that no file has, writes the document's text there and answers the path;
// on failure tells the user and answers an empty path.
std::string CreatePreviewFile(const std::string& folder, const std::string& extension, PreviewHost& host,
                              const PreviewNumberSource& numbers);

struct PreviewFile {
    bool ok = false;
    std::string url;   // an http address, or (isFile) the preview file's full path
    std::string path;  // the preview file written
    bool isFile = false;
};

// Make preview file for a document (empty `documentPath` for an untitled page). `messages` holds the
// "Messages" switch of the web-path question.
PreviewFile MakePreviewFile(const std::string& documentPath, PreviewHost& host, Profile& messages,
                            const PreviewNumberSource& numbers = TimeSeededNumbers());

// Removes a preview file if it exists; false only when one existed and could not be removed.
bool DeletePreviewFile(const std::string& path);

}  // namespace tarnwell
