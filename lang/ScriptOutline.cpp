// Outline records, their lookups, the rebuild from a page's text and the resolution of include names.
#include "lang/ScriptOutline.h"

#include <atomic>
#include <filesystem>
#include <mutex>
#include <unordered_map>

#include "lang/AsciiCase.h"
#include "lang/OutlineStore.h"
#include "lang/Regexx.h"

namespace tarnwell {

namespace {

using regexx::Regexx;

template <typename T>
const T* FindByName(const std::vector<std::unique_ptr<T>>& list, std::string_view name) {
    for (const auto& item : list)
        if (OutlineNameEquals(item->name, name)) return item.get();
    return nullptr;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimRightBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Every statement pattern of the outline. A rebuild takes the process-wide set (compiled once per
// process, kept alive by these objects even if the shared pattern cache is emptied) or, when that set
// is busy, a private one fetched from the cache.
struct OutlinePatterns {
    static constexpr unsigned kFlags = Regexx::IgnoreCase | Regexx::Study;

    Regexx include, scriptLanguage, scriptServer;
    Regexx endClass, endProcedure, endWith, classStatement, procedure, with;
    Regexx dim, dimName, constant, set, createObject, newObject;

    OutlinePatterns() {
        include.SetPattern(R"re(<!--[\t ]*#INCLUDE[\t ]+(FILE|VIRTUAL)[\t ]*=[\t ]*("?)([^"]+)\2[\t ]*-->)re");
        scriptLanguage.SetPattern(R"re(<SCRIPT[ \t]+.*?LANGUAGE[ \t]*=[ \t]*("?)(?:VBSCRIPT|VB)\1.*?(>))re");
        scriptServer.SetPattern(R"re(<SCRIPT[ \t]+.*?RUNAT[ \t]*=[ \t]*("?)SERVER\1.*?(>))re");
        endClass.SetPattern(R"re(^[\t ]*End[\t ]+Class)re");
        endProcedure.SetPattern(R"re(^[\t ]*End[\t ]+(?:sub|function))re");
        endWith.SetPattern(R"re(^[\t ]*End[\t ]+With[\t ]*$)re");
        classStatement.SetPattern(R"re(^[\t ]*Class[\t ]+([A-Za-z0-9_!@#$%&]+))re");
        procedure.SetPattern(R"re(^[\t ]*(?:sub|function)[\t ]+([A-Za-z0-9_!@#$%&]+)[ \t]*\(([\t A-Za-z0-9_,]*)\))re");
        with.SetPattern(R"re(^[\t ]*With[\t ]+(.*)[\t ]*)re");
        dim.SetPattern(R"re(^[\t ]*Dim[\t ]+(.+))re");
        dimName.SetPattern(R"re(^[\t ]*([A-Za-z0-9_!@#$%&]+)[\t ]*$)re");
        constant.SetPattern(R"re(^[\t ]*Const[\t ]+([A-Za-z0-9_!@#$%&]+))re");
        set.SetPattern(R"re(^[\t ]*Set[\t ]+([A-Za-z0-9_!@#$%&]+)[\t ]*=[ \t]*(.+)[ \t]*)re");
        createObject.SetPattern(R"re((?:Server\.)?CreateObject[\t ]*\("(.+)"\)$)re");
        newObject.SetPattern(R"re(New[\t ]+([A-Za-z0-9_!@#$%&\.]+)$)re");
    }

    static bool Match(Regexx& rx, std::string_view subject) {
        rx.SetSubject(subject);
        return rx.Run(kFlags) > 0;
    }
};

struct PatternLease {
    PatternLease() {
        static OutlinePatterns shared;
        static std::mutex busy;
        lock = std::unique_lock<std::mutex>(busy, std::try_to_lock);
        if (lock.owns_lock()) {
            patterns = &shared;
        } else {
            own = std::make_unique<OutlinePatterns>();
            patterns = own.get();
        }
    }
    std::unique_lock<std::mutex> lock;
    std::unique_ptr<OutlinePatterns> own;
    OutlinePatterns* patterns = nullptr;
};

struct Predefined {
    const char* name;
    const char* progId;
};
constexpr Predefined kPredefined[] = {
    {"Server", "ASPTypeLibrary.Server"},     {"Application", "ASPTypeLibrary.Application"},
    {"Session", "ASPTypeLibrary.Session"},   {"Response", "ASPTypeLibrary.Response"},
    {"Request", "ASPTypeLibrary.Request"},
    {"CommandBars", "Office.CommandBars"}, {"MyServer", "CoClass1"},
    {"Message", "CDO.Message"},
};

// The region scan, one line at a time: a line either closes the open region or may open one (and,
// outside regions, may hold an include directive). Regions go to `regions`; `open` tells whether the
// last of them is still open.
class RegionScanner {
public:
    RegionScanner(std::vector<ScriptRegion>& regions, OutlinePatterns& p, int lastLine, std::int32_t lastEnd)
        : regions_(regions), p_(p), lastLine_(lastLine), lastEnd_(lastEnd) {}

    bool open = false;

    // Scans line i; an include directive found is reported through include (name in upper case and as
    // written, virtual or not) when it is set.
    template <typename OnInclude>
    void Line(int i, std::string_view line, const OnInclude& include) {
        up_.assign(line.data(), line.size());
        for (char& c : up_) c = AsciiUpper(c);
        if (open) {
            CloseAt(0, i);
            return;
        }
        if (up_.find("<!--") != std::string::npos && OutlinePatterns::Match(p_.include, up_)) {
            const regexx::RegexxAtom& kind = p_.include.Matches()[0].atoms[0];
            const regexx::RegexxAtom& a = p_.include.Matches()[0].atoms[2];
            include(up_.substr(a.start, a.length), line.substr(a.start, a.length), up_[kind.start] == 'V');
        }
        const size_t asp = up_.find("<%");
        if (asp != std::string::npos) {
            OpenAt(asp + 2, i, false);
        } else if (up_.find("<SCRIPT") != std::string::npos && OutlinePatterns::Match(p_.scriptLanguage, up_) &&
                   OutlinePatterns::Match(p_.scriptServer, up_)) {
            const regexx::RegexxAtom& gt = p_.scriptServer.Matches()[0].atoms[1];
            OpenAt(gt.start + 1, i, true);
        }
    }

private:
    void CloseAt(size_t from, int line) {
        ScriptRegion& region = regions_.back();
        const size_t pos = up_.find(region.byScript ? "</SCRIPT>" : "%>", from);
        if (pos == std::string::npos) return;
        region.endLine = line;
        region.endChar = static_cast<std::int32_t>(pos);
        region.closed = true;
        open = false;
    }

    void OpenAt(size_t start, int line, bool byScript) {
        ScriptRegion region;
        region.startLine = line;
        region.startChar = static_cast<std::int32_t>(start);
        region.endLine = lastLine_;
        region.endChar = lastEnd_;
        region.byScript = byScript;
        regions_.push_back(region);
        open = true;
        // The closing delimiter is searched from just after the opening one, so a "%>" earlier on
        // the line (as in <td width=100%><% Dim v %>) does not close the region before it opens.
        CloseAt(start, line);
    }

    std::vector<ScriptRegion>& regions_;
    OutlinePatterns& p_;
    int lastLine_;
    std::int32_t lastEnd_;
    std::string up_;
};

// Drops a trailing VBScript comment: a single quote outside double-quoted strings and everything after
// it. Inside a string a doubled "" is an escaped quote, which the toggling below passes over correctly.
void StripComment(std::string& line) {
    bool inString = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            inString = !inString;
        } else if (line[i] == '\'' && !inString) {
            line.resize(i);
            return;
        }
    }
}

char FirstWordLetter(std::string_view line) {
    for (char c : line)
        if (!IsBlank(c)) return AsciiUpper(c);
    return 0;
}

class Rebuilder {
public:
    Rebuilder(ScriptOutline& outline, const LineSource& text, OutlinePatterns& p)
        : outline_(outline), text_(text), p_(p) {}

    void Run() {
        Scan();
        for (const ScriptRegion& region : outline_.regions) ParseRegion(region);
    }

    void AddPredefined() {
        for (const Predefined& d : kPredefined) {
            auto v = std::make_unique<VariableItem>(d.name, d.progId);
            v->predefined = 1;
            AddVariable(outline_.variables, std::move(v), true);
        }
    }

private:
    void Scan() {
        const int count = text_.LineCount();
        if (count <= 0) return;
        const int lastLine = count - 1;
        RegionScanner scanner(outline_.regions, p_, lastLine, static_cast<std::int32_t>(text_.Line(lastLine).size()) - 1);
        for (int i = 0; i < count; ++i) {
            scanner.Line(i, text_.Line(i), [&](std::string upper, std::string_view written, bool isVirtual) {
                outline_.includes.push_back(std::move(upper));
                outline_.includesAsWritten.emplace_back(written);
                outline_.includeSites.push_back({i, isVirtual});
            });
        }
    }

    std::string_view Clip(const ScriptRegion& region, int k) const {
        std::string_view line = text_.Line(k);
        size_t from = k == region.startLine ? static_cast<size_t>(region.startChar) : 0;
        size_t to = (k == region.endLine && region.closed) ? static_cast<size_t>(region.endChar) : line.size();
        if (to > line.size()) to = line.size();
        if (from > to) from = to;
        return line.substr(from, to - from);
    }

    void ParseRegion(const ScriptRegion& region) {
        cls_ = nullptr;
        proc_ = nullptr;
        with_ = nullptr;
        std::string logical;
        int k = region.startLine;
        while (k <= region.endLine) {
            logical.clear();
            int n = k;
            for (;;) {
                std::string_view seg = Clip(region, k);
                size_t keep = k < region.endLine ? LineContinuationKeep(seg) : 0;
                if (keep) {
                    logical.append(seg.data(), keep);
                    ++k;
                    continue;
                }
                logical.append(seg.data(), seg.size());
                n = k++;
                break;
            }
            StripComment(logical);
            ApplyRules(logical, n, region.endLine);
        }
    }

    // The rules in their order; the first that applies wins. The letter test in front of each pattern
    // only skips patterns that cannot match (each starts with optional blanks and a keyword).
    void ApplyRules(const std::string& line, int n, int regionEnd) {
        const char first = FirstWordLetter(line);
        if (!first) return;
        if (cls_ && first == 'E' && OutlinePatterns::Match(p_.endClass, line)) {
            proc_ = nullptr;
            with_ = nullptr;
            cls_->endLine = n;
            // Procedures left without End Sub/Function end with their class, so the procedure-at-line
            // lookup still finds them.
            for (auto& proc : cls_->procedures)
                if (proc->endLine == -1) proc->endLine = n;
            cls_ = nullptr;
            return;
        }
        if (proc_ && first == 'E' && OutlinePatterns::Match(p_.endProcedure, line)) {
            with_ = nullptr;
            proc_->endLine = n;
            proc_ = nullptr;
            return;
        }
        if (with_ && first == 'E' && OutlinePatterns::Match(p_.endWith, line)) {
            with_->endLine = n;
            with_ = nullptr;
            return;
        }
        if (first == 'C' && OutlinePatterns::Match(p_.classStatement, line)) {
            auto c = std::make_unique<ClassItem>();
            c->name = p_.classStatement.Atom(0, 0);
            c->startLine = n;
            cls_ = c.get();
            outline_.classes.push_back(std::move(c));
            return;
        }
        if ((first == 'S' || first == 'F') && OutlinePatterns::Match(p_.procedure, line)) {
            auto proc = std::make_unique<ProcedureItem>(p_.procedure.Atom(0, 0));
            proc->startLine = n;
            AddParameters(*proc, p_.procedure.Atom(0, 1));
            proc_ = proc.get();
            if (cls_) {
                proc->endLine = cls_->endLine;
                cls_->procedures.push_back(std::move(proc));
            } else {
                proc->endLine = regionEnd;
                outline_.procedures.push_back(std::move(proc));
            }
            return;
        }
        if (Declare(line, first, n)) return;
        if (first == 'W' && OutlinePatterns::Match(p_.with, line)) {
            auto w = std::make_unique<WithBlock>();
            w->expression = p_.with.Atom(0, 0);
            w->startLine = n;
            w->endLine = regionEnd;
            with_ = w.get();
            outline_.withs.push_back(std::move(w));
        }
    }

    static void AddParameters(ProcedureItem& proc, const std::string& list) {
        std::string piece;
        auto flush = [&] {
            if (!piece.empty()) proc.parameters.push_back(std::make_unique<OutlineItem>(kOutlineParameter, piece));
            piece.clear();
        };
        for (char c : list) {
            if (IsBlank(c)) continue;
            if (c == ',') flush();
            else piece.push_back(c);
        }
        flush();
    }

    // Dim, else Const, else Set. True when at least one variable was declared.
    bool Declare(const std::string& line, char first, int n) {
        bool declared = false;
        if (first == 'D' && OutlinePatterns::Match(p_.dim, line)) {
            const std::string list = p_.dim.Atom(0, 0);
            size_t from = 0;
            for (;;) {
                size_t comma = list.find(',', from);
                std::string_view piece(list.data() + from, (comma == std::string::npos ? list.size() : comma) - from);
                if (OutlinePatterns::Match(p_.dimName, piece)) {
                    AddDeclared(std::make_unique<VariableItem>(p_.dimName.Atom(0, 0)), n);
                    declared = true;
                }
                if (comma == std::string::npos) break;
                from = comma + 1;
            }
        } else if (first == 'C' && OutlinePatterns::Match(p_.constant, line)) {
            AddDeclared(std::make_unique<VariableItem>(p_.constant.Atom(0, 0)), n);
            declared = true;
        } else if (first == 'S' && OutlinePatterns::Match(p_.set, line)) {
            std::string name = p_.set.Atom(0, 0);
            std::string value = p_.set.Atom(0, 1);
            // The right-hand side loses trailing blanks, tabs and carriage returns before it is tested,
            // so "Set c = Server.CreateObject("X") %>" still records the ProgID.
            while (!value.empty() && (IsBlank(value.back()) || value.back() == '\r')) value.pop_back();
            if (OutlineNameEquals(value, "Nothing")) return false;
            auto v = std::make_unique<VariableItem>(std::move(name));
            if (OutlinePatterns::Match(p_.createObject, value)) {
                v->text = p_.createObject.Atom(0, 0);
            } else if (OutlinePatterns::Match(p_.newObject, value)) {
                v->text = p_.newObject.Atom(0, 0);
            } else {
                v->text = std::move(value);
                v->expression = 1;
            }
            AddDeclared(std::move(v), n);
            declared = true;
        }
        return declared;
    }

    void AddDeclared(std::unique_ptr<VariableItem> v, int n) {
        v->startLine = n;
        if (proc_) AddVariable(proc_->locals, std::move(v), false);
        else if (cls_) AddVariable(cls_->members, std::move(v), false);
        else AddVariable(outline_.variables, std::move(v), true);
    }

    // Merging: a name already in the list (ignoring case) keeps its record and first line; unless it is
    // predefined, it takes the new text, expression flag and kind. Otherwise the record is appended.
    void AddVariable(std::vector<std::unique_ptr<VariableItem>>& list, std::unique_ptr<VariableItem> v, bool global) {
        VariableItem* existing = nullptr;
        if (global) {
            // The global list can grow long; an index by upper-cased name keeps merging linear.
            auto [it, inserted] = globalIndex_.try_emplace(AsciiUpperCopy(v->name), v.get());
            if (!inserted) existing = it->second;
        } else {
            for (auto& item : list)
                if (OutlineNameEquals(item->name, v->name)) {
                    existing = item.get();
                    break;
                }
        }
        if (existing) {
            if (!existing->predefined) {
                existing->text = std::move(v->text);
                existing->expression = v->expression;
                existing->kind = v->kind;
            }
            return;
        }
        list.push_back(std::move(v));
    }

    ScriptOutline& outline_;
    const LineSource& text_;
    OutlinePatterns& p_;
    std::unordered_map<std::string, VariableItem*> globalIndex_;
    ClassItem* cls_ = nullptr;
    ProcedureItem* proc_ = nullptr;
    WithBlock* with_ = nullptr;
};

std::filesystem::path PathFromUtf8(const std::string& s) { return std::filesystem::path(std::u8string(s.begin(), s.end())); }

std::string Utf8FromPath(const std::filesystem::path& p) {
    std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

bool IsAbsoluteName(const std::string& name) {
    if (name.size() >= 2 && name[1] == ':' &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')))
        return true;  // a drive-letter name
    return PathFromUtf8(name).is_absolute();
}

void Rebuild(ScriptOutline& outline, const LineSource* text) {
    outline.Reset();
    if (OutlineSource* source = outline.Source()) source->ClearNeedsRebuild();
    PatternLease lease;
    const OwnedLineSource noText;
    Rebuilder rebuilder(outline, text ? *text : static_cast<const LineSource&>(noText), *lease.patterns);
    rebuilder.AddPredefined();
    if (!text) return;
    try {
        rebuilder.Run();
    } catch (const regexx::Regexx::Exception&) {
        // The fixed patterns always compile; should PCRE2 run out of memory, what was found so far stays.
    }
}

}  // namespace

size_t LineContinuationKeep(std::string_view seg) {
    if (seg.size() <= 1) return 0;
    std::string_view t = TrimRightBlanks(seg);
    if (t.size() < 2 || t.back() != '_' || !IsBlank(t[t.size() - 2])) return 0;
    return t.size() - 1;
}

bool OutlineNameEquals(std::string_view a, std::string_view b) { return AsciiEqualsNoCase(a, b); }

const VariableItem* ProcedureItem::FindLocal(std::string_view name) const { return FindByName(locals, name); }
const ProcedureItem* ClassItem::FindProcedure(std::string_view name) const { return FindByName(procedures, name); }
const VariableItem* ClassItem::FindMember(std::string_view name) const { return FindByName(members, name); }

const VariableItem* ScriptOutline::FindVariable(std::string_view name) const { return FindByName(variables, name); }
const ProcedureItem* ScriptOutline::FindProcedure(std::string_view name) const { return FindByName(procedures, name); }
const ClassItem* ScriptOutline::FindClass(std::string_view name) const { return FindByName(classes, name); }

const ProcedureItem* ScriptOutline::ProcedureAtLine(int line) const {
    for (const auto& p : procedures)
        if (p->startLine <= line && line <= p->endLine) return p.get();
    for (const auto& c : classes)
        for (const auto& p : c->procedures)
            if (p->startLine <= line && line <= p->endLine) return p.get();
    return nullptr;
}

const ClassItem* ScriptOutline::ClassAtLine(int line) const {
    for (const auto& c : classes)
        if (c->startLine <= line && (c->endLine < 0 || line <= c->endLine)) return c.get();
    return nullptr;
}

const WithBlock* ScriptOutline::WithAtLine(int line) const {
    for (const auto& w : withs)
        if (w->startLine <= line && line <= w->endLine) return w.get();
    return nullptr;
}

void ScriptOutline::Reset() {
    static std::atomic<std::uint32_t> generations{0};
    generation_ = ++generations;
    regions.clear();
    classes.clear();
    procedures.clear();
    variables.clear();
    withs.clear();
    includes.clear();
    includesAsWritten.clear();
    includeSites.clear();
}

const LineSource* OutlineSource::OpenText() const {
    if (openText_) return openText_;
    return store_ ? store_->LookupOpenText(path_) : nullptr;
}

void RebuildOutline(ScriptOutline& outline, const LineSource& text) { Rebuild(outline, &text); }

void RebuildOutline(ScriptOutline& outline) {
    OutlineSource* source = outline.Source();
    if (!source) {
        Rebuild(outline, nullptr);
        return;
    }
    if (const LineSource* open = source->OpenText()) {
        Rebuild(outline, open);
        return;
    }
    // Not open in an editor: read the file into a temporary text for this rebuild only. A key that is
    // not a full path (an untitled document's id) names no file, whatever the working folder holds.
    OwnedLineSource file;
    if (!PathFromUtf8(source->Path()).is_absolute() || !ReadFileLines(source->Path(), file.Lines())) {
        Rebuild(outline, nullptr);
        return;
    }
    Rebuild(outline, &file);
}

bool UpdateRegionsOnLine(ScriptOutline& outline, const LineSource& text, int line) {
    const int count = text.LineCount();
    if (line < 0 || line >= count) return false;
    for (const IncludeSite& site : outline.includeSites)
        if (site.line == line) return false;
    // The region open where the line starts (it began on an earlier line and does not end before
    // it), else the one that opens on the line, if any; at most one of either kind touches the line.
    ScriptRegion* open = nullptr;
    ScriptRegion* opening = nullptr;
    for (ScriptRegion& r : outline.regions) {
        if (r.startLine < line && r.endLine >= line) open = &r;
        else if (r.startLine == line) opening = &r;
    }
    std::vector<ScriptRegion> scanned;
    if (open) scanned.push_back(*open);
    PatternLease lease;
    const std::int32_t lastEnd = static_cast<std::int32_t>(text.Line(count - 1).size()) - 1;
    RegionScanner scanner(scanned, *lease.patterns, count - 1, lastEnd);
    scanner.open = open != nullptr;
    bool include = false;
    try {
        scanner.Line(line, text.Line(line), [&](std::string, std::string_view, bool) { include = true; });
    } catch (const regexx::Regexx::Exception&) {
        return false;
    }
    if (include || scanned.size() != (open || opening ? 1u : 0u)) return false;
    if (scanned.empty()) return true;
    ScriptRegion& target = open ? *open : *opening;
    const ScriptRegion& now = scanned.front();
    // Closing on this line or running past it must not change, nor what closes the region.
    const bool closedHere = target.closed && target.endLine == line;
    const bool closesHere = now.closed && now.endLine == line;
    if (closedHere != closesHere || now.byScript != target.byScript) return false;
    target.startChar = now.startChar;
    // A region never closed ends with the text: its end moves when the line is the last one.
    if (closesHere || !target.closed) target.endChar = now.endChar;
    return true;
}

namespace {

// "." and ".." resolved; a name with a ".." that climbs above its base gives false.
bool JoinBelow(const std::filesystem::path& base, const std::string& relative, std::string& out) {
    const std::filesystem::path rel = PathFromUtf8(relative).lexically_normal();
    if (rel.empty() || *rel.begin() == "..") return false;
    out = Utf8FromPath((base / rel).lexically_normal());
    return true;
}

}  // namespace

std::string ResolveIncludeName(std::string_view written, bool isVirtual, const std::string& includingPath,
                               const std::string& siteRoot) {
    if (written.empty()) return {};
    // Both separators written in pages count as separators here, whatever the platform's own is.
    std::string name(written);
    for (char& c : name)
        if (c == '\\' || c == '/') c = static_cast<char>(std::filesystem::path::preferred_separator);
    const bool leadingSeparator = name[0] == static_cast<char>(std::filesystem::path::preferred_separator);
    if (isVirtual && !siteRoot.empty()) {
        size_t skip = 0;
        while (skip < name.size() && name[skip] == static_cast<char>(std::filesystem::path::preferred_separator)) ++skip;
        std::string out;
        return JoinBelow(PathFromUtf8(siteRoot), name.substr(skip), out) ? out : std::string();
    }
    if (leadingSeparator) return {};
    if (IsAbsoluteName(std::string(written))) return std::string(written);
    const std::filesystem::path including = PathFromUtf8(includingPath);
    if (!including.is_absolute()) return {};
    return Utf8FromPath((including.parent_path() / PathFromUtf8(name)).lexically_normal());
}

std::string IncludePath(const ScriptOutline& outline, size_t index) {
    if (index >= outline.includesAsWritten.size()) return {};
    const OutlineSource* source = outline.Source();
    if (!source) return {};
    const bool isVirtual = index < outline.includeSites.size() && outline.includeSites[index].isVirtual;
    const OutlineStore* store = source->Store();
    return ResolveIncludeName(outline.includesAsWritten[index], isVirtual, source->Path(),
                              isVirtual && store ? store->SiteRoot() : std::string());
}

}  // namespace tarnwell
