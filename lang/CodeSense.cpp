#include "lang/CodeSense.h"

#include <algorithm>

#include "lang/ScriptOutline.h"

namespace tarnwell {

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (prefix.size() > s.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (Upper(s[i]) != Upper(prefix[i])) return false;
    }
    return true;
}

int FirstStartingWith(const std::vector<MemberListItem>& items, std::string_view word) {
    for (size_t i = 0; i < items.size(); ++i) {
        if (StartsWithNoCase(items[i].name, word)) return static_cast<int>(i);
    }
    return -1;
}

size_t FindNoCase(std::string_view s, std::string_view what, size_t from) {
    for (size_t i = from; i + what.size() <= s.size(); ++i) {
        if (StartsWithNoCase(s.substr(i), what)) return i;
    }
    return std::string_view::npos;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Parses a directive starting at `at` ("#include"); on success sets out and the end (after the
// closing quote, or after the name when unquoted).
bool ParseDirective(std::string_view line, size_t at, IncludeDirective& out, size_t& end) {
    size_t i = at + 8;
    while (i < line.size() && IsBlank(line[i])) ++i;
    std::string_view rest = line.substr(i);
    bool isVirtual = false;
    if (StartsWithNoCase(rest, "file")) {
        i += 4;
    } else if (StartsWithNoCase(rest, "virtual")) {
        i += 7;
        isVirtual = true;
    } else {
        return false;
    }
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size() || line[i] != '=') return false;
    ++i;
    while (i < line.size() && IsBlank(line[i])) ++i;
    const bool quoted = i < line.size() && line[i] == '"';
    if (quoted) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != '"' && !(quoted ? false : (IsBlank(line[i]) || line[i] == '-'))) ++i;
    if (i == start) return false;
    out.isVirtual = isVirtual;
    out.name.assign(line.substr(start, i - start));
    end = i < line.size() && line[i] == '"' ? i + 1 : i;
    return true;
}

}  // namespace

WordMatch MatchTypedWord(const std::vector<MemberListItem>& items, std::string_view word) {
    WordMatch m;
    if (items.empty()) return m;
    m.selection = FirstStartingWith(items, word);
    if (m.selection >= 0) return m;
    while (!word.empty()) {
        word.remove_suffix(1);
        const int found = FirstStartingWith(items, word);
        if (found >= 0) {
            m.hint = found;
            return m;
        }
    }
    m.hint = 0;
    return m;
}

std::vector<std::string> ParameterTipPieces(const ParameterTip& tip) {
    std::vector<std::string> pieces;
    if (tip.callee.empty()) return pieces;
    pieces.push_back(tip.callee + (tip.params.empty() ? " ()" : " ("));
    for (size_t i = 0; i < tip.params.size(); ++i) {
        const SymbolParameter& p = tip.params[i];
        std::string text = p.optional ? "[" + p.name + "]" : p.name;
        text += i + 1 < tip.params.size() ? ", " : ")";
        pieces.push_back(std::move(text));
    }
    return pieces;
}

bool IncludeDirectiveAt(std::string_view line, int ch, IncludeDirective& out) {
    bool found = false;
    int count = 0;
    IncludeDirective first;
    for (size_t at = FindNoCase(line, "#include", 0); at != std::string_view::npos; at = FindNoCase(line, "#include", at + 8)) {
        IncludeDirective d;
        size_t end = 0;
        if (!ParseDirective(line, at, d, end)) continue;
        if (++count == 1) first = d;
        // The directive's comment delimiters count as part of it.
        size_t from = at;
        while (from > 0 && IsBlank(line[from - 1])) --from;
        from = from >= 4 && line.substr(from - 4, 4) == "<!--" ? from - 4 : at;
        if (ch >= static_cast<int>(from) && ch <= static_cast<int>(end) + 4) {
            out = d;
            found = true;
            break;
        }
    }
    if (!found && count == 1) {
        out = first;
        found = true;
    }
    return found;
}

std::string ResolveIncludeDirective(const IncludeDirective& d, const std::string& pagePath, const std::string& siteRoot) {
    return ResolveIncludeName(d.name, d.isVirtual, pagePath, siteRoot);
}

}  // namespace tarnwell
