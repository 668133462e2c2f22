// The table of file-type associations: which program opens a file of each extension from the
// explorer. Seven fixed rows always open in the editor; rows the user adds follow. Stored as
// "Count" and "#0", "#1", ... values of four line-feed separated fields.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarnwell {

struct Association {
    std::string extension;   // with its leading dot
    std::string editor;      // the program; for internal rows this program's own path
    std::string parameters;  // placed before the file path
    bool internal = true;
};

class AssociationTable {
public:
    static constexpr int kMaxRows = 256;
    static constexpr int kFixedRows = 7;

    explicit AssociationTable(std::string selfPath);

    // The fixed rows, then the stored ones: `count` values read by `read(n)` (none: missing). A
    // damaged row (no leading dot, an external row without a program, a field with a line break) is
    // skipped; a row of an extension already present replaces it.
    void Load(int count, const std::function<std::optional<std::string>(int)>& read);
    // Back to the fixed rows only.
    void Reset();
    // The values to store, in order: rows after the fixed ones and fixed rows made external.
    std::vector<std::string> StoredRows() const;

    const std::vector<Association>& Rows() const { return rows_; }
    // The row for the extension in any letter case, or null.
    const Association* Find(const std::string& extension) const;
    // Appends a row; false when the table is full, the extension is taken or a field is unusable.
    bool Add(Association row);
    // Changes or removes a row after the fixed ones; false for fixed or missing rows.
    bool Change(size_t index, bool internal, const std::string& editor, const std::string& parameters);
    bool Remove(size_t index);

private:
    Association Internal(const std::string& extension) const;
    std::string self_;
    std::vector<Association> rows_;
};

class Profile;

namespace filetypes {
inline constexpr const char* kSection = "Options\\File Types";
inline constexpr const char* kEditors = "Options\\File Types\\Editors";
inline constexpr const char* kOpenUnlisted = "Open Unlisted";
}  // namespace filetypes

// Reads the stored rows ("Count", "#0", ...) into the table.
void LoadAssociations(AssociationTable& table, const Profile& profile);
// Writes the stored rows numbered without gaps, then "Count". False when a write failed.
bool SaveAssociations(const AssociationTable& table, Profile& profile);

// The extension of a path's last component from its last dot ("" when it has none).
std::string ExtensionOf(const std::string& path);
// How a file opens from the explorer: in the editor, with the external program of its row, or with
// the desktop's own application for its type.
enum class OpenRoute { Editor, External, Desktop };
// The route for `path`; `row` receives the external row. A row whose program is this program itself
// counts as internal.
OpenRoute RouteFor(const AssociationTable& table, bool openUnlisted, const std::string& path, const std::string& selfPath,
                   const Association** row = nullptr);

// An extension as typed into the association dialog: trimmed, a dot put in front when missing.
// Empty when nothing usable remains (blank, a lone dot, a path separator or a line break in it).
std::string NormalizeExtension(const std::string& typed);
// The file-name part of a program path, as the list's second column shows it.
std::string ProgramFileName(const std::string& editor);

// Reads a stored count: negative or beyond the limit reads as the limit.
int StoredCount(int value);

}  // namespace tarnwell
