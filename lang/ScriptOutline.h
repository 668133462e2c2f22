// The code outline of a server page's VBScript: script regions, classes, procedures, variables,
// With blocks and include directives, rebuilt from the page's text by line-oriented pattern tests.
//
// All line and character numbers are zero-based (characters count bytes); -1 means "not set".
// Lists keep the order in which items were added. Every rebuild starts from nothing, so pointers to
// records handed out before a rebuild are invalid after it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lang/LineSource.h"

namespace tarnwell {

class OutlineSource;
class OutlineStore;

struct OutlineRange {
    std::int32_t endChar = -1;
    std::int32_t endLine = -1;
    std::int32_t startChar = -1;
    std::int32_t startLine = -1;
};

// One stretch of server-side script. Start is the character after the opening delimiter; end is the
// first character of the closing delimiter, or (last line, its length - 1) when never closed. The end is
// also the last caret position that counts as inside the region.
struct ScriptRegion : OutlineRange {
    bool closed = false;    // its closing delimiter was found
    bool byScript = false;  // opened by a SCRIPT element (closed by "</SCRIPT>", else by "%>")
};

// Where an include directive stands and how it names its file.
struct IncludeSite {
    std::int32_t line = -1;
    bool isVirtual = false;  // "virtual": against the site root; "file": against the including file's folder
};

enum OutlineKind : int { kOutlineProcedure = 1, kOutlineVariable = 2, kOutlineParameter = 3 };

// A named record; a parameter is a plain item of kind 3 with an empty text.
class OutlineItem : public OutlineRange {
public:
    OutlineItem(int kind, std::string name, std::string text = {})
        : kind(kind), name(std::move(name)), text(std::move(text)) {}
    virtual ~OutlineItem() = default;
    virtual std::string GetText() const { return text; }
    virtual std::string GetName() const { return name; }

    int kind;
    std::string name;
    std::string text;
};

// A declared variable. text is the COM ProgID, the class name or the expression it was set to (or empty).
// Only the start line is set: the line of its first declaration.
class VariableItem : public OutlineItem {
public:
    explicit VariableItem(std::string name, std::string text = {}) : OutlineItem(kOutlineVariable, std::move(name), std::move(text)) {}

    std::int32_t predefined = 0;  // 1 for the predefined server objects: declarations never overwrite them
    std::int32_t expression = 0;  // 1 when text is an unresolved expression, not a ProgID or class name
};

// A Sub or Function: start line = its statement, end line = its End statement or the default end.
class ProcedureItem : public OutlineItem {
public:
    explicit ProcedureItem(std::string name) : OutlineItem(kOutlineProcedure, std::move(name)) {}

    const VariableItem* FindLocal(std::string_view name) const;

    std::vector<std::unique_ptr<OutlineItem>> parameters;  // kind 3
    std::vector<std::unique_ptr<VariableItem>> locals;
};

// Start line = the Class statement, end line = End Class (-1 until it is seen).
struct ClassItem : OutlineRange {
    const ProcedureItem* FindProcedure(std::string_view name) const;
    const VariableItem* FindMember(std::string_view name) const;

    std::string name;
    std::vector<std::unique_ptr<ProcedureItem>> procedures;
    std::vector<std::unique_ptr<VariableItem>> members;
};

// Start line = the With statement, end line = End With or the end line of its region.
struct WithBlock : OutlineRange {
    std::string expression;  // as written, trailing blanks included
};

class ScriptOutline {
public:
    explicit ScriptOutline(OutlineSource* owner = nullptr) : owner_(owner) {}
    ScriptOutline(const ScriptOutline&) = delete;
    ScriptOutline& operator=(const ScriptOutline&) = delete;

    // Lookups: names compared without regard to ASCII case (other bytes exactly, so a multi-byte
    // character never half-matches); the first match in list order wins; nullptr when none.
    const VariableItem* FindVariable(std::string_view name) const;
    const ProcedureItem* FindProcedure(std::string_view name) const;  // outline's own list only
    const ClassItem* FindClass(std::string_view name) const;
    // The procedure whose start line <= line <= end line: the outline's own procedures first, then those
    // of each class in class order.
    const ProcedureItem* ProcedureAtLine(int line) const;
    const WithBlock* WithAtLine(int line) const;
    // The class whose start line <= line <= end line (a class never closed runs to the end).
    const ClassItem* ClassAtLine(int line) const;

    OutlineSource* Source() const { return owner_; }
    // Changes at every rebuild; drawn from one counter for all outlines, so two outlines never share a
    // value (0 until the first rebuild).
    std::uint32_t Generation() const { return generation_; }

    // Empties every list and takes a new generation (the first step of a rebuild).
    void Reset();

    std::vector<ScriptRegion> regions;
    std::vector<std::unique_ptr<ClassItem>> classes;
    std::vector<std::unique_ptr<ProcedureItem>> procedures;  // outside classes
    std::vector<std::unique_ptr<VariableItem>> variables;    // outside procedures and classes
    std::vector<std::unique_ptr<WithBlock>> withs;
    std::vector<std::string> includes;  // include directive file names, upper case, duplicates kept
    // The same names as written in the page, index for index; IncludePath resolves these, so a file
    // system that tells case apart still finds the included file.
    std::vector<std::string> includesAsWritten;
    std::vector<IncludeSite> includeSites;  // index for index with the names

private:
    OutlineSource* owner_;
    std::uint32_t generation_ = 0;
};

// One per file (or untitled document) the program keeps an outline for. It starts with an empty outline
// that needs a rebuild.
class OutlineSource {
public:
    explicit OutlineSource(std::string path, OutlineStore* store = nullptr)
        : path_(std::move(path)), store_(store), outline_(this) {}
    OutlineSource(const OutlineSource&) = delete;
    OutlineSource& operator=(const OutlineSource&) = delete;

    const std::string& Path() const { return path_; }
    void SetPath(std::string path) { path_ = std::move(path); }

    bool NeedsRebuild() const { return needsRebuild_; }
    void ClearNeedsRebuild() { needsRebuild_ = false; }
    // The text changed (an edit, a rename): the next user rebuilds the outline. Counts every call.
    void MarkChanged() {
        needsRebuild_ = true;
        ++changeCount_;
    }
    std::uint32_t ChangeCount() const { return changeCount_; }

    // The text of the file while an editor has it open (not owned; must outlive its use here, detach
    // with nullptr). When none is attached, the owning store's open-text lookup is asked, then the disk.
    void AttachOpenText(const LineSource* text) { openText_ = text; }
    const LineSource* AttachedOpenText() const { return openText_; }
    // The open text to rebuild from, or nullptr when the file is to be read from disk.
    const LineSource* OpenText() const;

    OutlineStore* Store() const { return store_; }
    ScriptOutline& Outline() { return outline_; }
    const ScriptOutline& Outline() const { return outline_; }

private:
    std::string path_;
    OutlineStore* store_;
    bool needsRebuild_ = true;
    std::uint32_t changeCount_ = 0;
    const LineSource* openText_ = nullptr;
    ScriptOutline outline_;
};

// Rebuilds the whole outline from the current text of its source's file: the open text when there is
// one, else the file on disk. An unreadable file leaves only the predefined objects. Clears the source's
// needs-rebuild flag.
void RebuildOutline(ScriptOutline& outline);
// Rebuilds from the given text (the source, if any, only has its flag cleared).
void RebuildOutline(ScriptOutline& outline, const LineSource& text);

// After edits confined to one line that left the number of lines alone, brings the bounds of the
// script regions on that line up to date from the text, without a rebuild (everything else of the
// outline stays as it was). False, changing nothing, when the line now opens or closes regions
// differently or holds (or held) an include directive: only a rebuild is right then.
bool UpdateRegionsOnLine(ScriptOutline& outline, const LineSource& text, int line);

// The full path an include directive names, or an empty string. "file": a relative name is taken
// from the including file's folder; a name starting with a path separator is not followed; an
// absolute (drive-letter) name is used unchanged. "virtual", with a site root: the name, with or
// without a leading separator, is taken from the site root and never climbs above it; without a site
// root it is followed like "file". "." and ".." segments are resolved; both separators count. Empty
// when the including file has no absolute path (an untitled document) and the name needs its folder.
std::string ResolveIncludeName(std::string_view name, bool isVirtual, const std::string& includingPath,
                               const std::string& siteRoot);
// The full path of the index-th include of outline: resolved as above against the path of the
// outline's source and the site root of its store. Empty when the index is out of range.
std::string IncludePath(const ScriptOutline& outline, size_t index);

// A physical line continues on the next when it is longer than one character and, after trailing blanks
// and tabs, ends with "_" preceded by a blank or tab. Returns the length of the text kept when joining
// (up to, not including, the "_"), or 0 when the line does not continue.
size_t LineContinuationKeep(std::string_view line);

// Equal names ignoring ASCII case.
bool OutlineNameEquals(std::string_view a, std::string_view b);

}  // namespace tarnwell
