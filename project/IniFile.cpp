#include "project/IniFile.h"

#include "project/FileSystem.h"
#include "text/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <sstream>

namespace tarnwell {

namespace fs = std::filesystem;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// Name of a section header line ("[name]" or "[name" to the end), or none for another line.
std::optional<std::string_view> SectionName(std::string_view trimmed) {
    if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
    trimmed.remove_prefix(1);
    const size_t close = trimmed.find(']');
    if (close != std::string_view::npos) trimmed = trimmed.substr(0, close);
    return Trim(trimmed);
}

// Key of a key line (the text before '=', or the whole line), none for comments and blank lines.
std::optional<std::string_view> KeyName(std::string_view trimmed) {
    if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
    return Trim(trimmed.substr(0, trimmed.find('=')));
}

bool Storable(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos; }

std::string SystemError(int code) { return ErrorText(code); }

}  // namespace

bool IniFile::Load(const fs::path& path, std::string* error) {
    bytes_.clear();
    exists_ = false;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st)) return true;
    if (fs::is_directory(st)) {
        if (error) *error = SystemError(EISDIR);
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = SystemError(errno ? errno : EACCES);
        return false;
    }
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad()) {
        if (error) *error = SystemError(EIO);
        return false;
    }
    bytes_ = all.str();
    exists_ = true;
    return true;
}

bool IniFile::Save(const fs::path& path, std::string* error) const { return WriteFileAtomically(path, bytes_, error); }

bool IniFile::NextLine(size_t at, Line& line) const {
    if (at >= bytes_.size()) return false;
    line.begin = at;
    const size_t nl = bytes_.find('\n', at);
    if (nl == std::string::npos) {
        line.end = line.next = bytes_.size();
    } else {
        line.end = nl;
        line.next = nl + 1;
    }
    return true;
}

std::string_view IniFile::LineEnd() const {
    const size_t nl = bytes_.find('\n');
    if (nl != std::string::npos && (nl == 0 || bytes_[nl - 1] != '\r')) return "\n";
    return "\r\n";
}

bool IniFile::FindSection(std::string_view section, Line& header) const {
    const std::string_view want = Trim(section);
    Line line;
    // A UTF-8 byte order mark in front of the first line is not part of a name.
    size_t at = bytes_.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (NextLine(at, line)) {
        auto name = SectionName(Trim(std::string_view(bytes_).substr(line.begin, line.end - line.begin)));
        if (name && SameNoCase(*name, want)) {
            header = line;
            return true;
        }
        at = line.next;
    }
    return false;
}

bool IniFile::FindKey(const Line& header, std::string_view key, Line& found) const {
    const std::string_view want = Trim(key);
    Line line;
    for (size_t at = header.next; NextLine(at, line); at = line.next) {
        const std::string_view t = Trim(std::string_view(bytes_).substr(line.begin, line.end - line.begin));
        if (SectionName(t)) return false;
        auto name = KeyName(t);
        if (name && SameNoCase(*name, want)) {
            found = line;
            return true;
        }
    }
    return false;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    Line header, line;
    if (!FindSection(section, header) || !FindKey(header, key, line)) return std::nullopt;
    return ValueOf(line);
}

std::string IniFile::ValueOf(const Line& line) const {
    const std::string_view text = std::string_view(bytes_).substr(line.begin, line.end - line.begin);
    const size_t eq = text.find('=');
    if (eq == std::string_view::npos) return std::string();
    std::string_view v = Trim(text.substr(eq + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
    return std::string(v);
}

std::vector<std::pair<std::string, std::string>> IniFile::Entries(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> out;
    Line header, cur;
    if (!FindSection(section, header)) return out;
    for (size_t at = header.next; NextLine(at, cur); at = cur.next) {
        const std::string_view t = Trim(std::string_view(bytes_).substr(cur.begin, cur.end - cur.begin));
        if (SectionName(t)) break;
        if (auto name = KeyName(t)) out.emplace_back(std::string(*name), ValueOf(cur));
    }
    return out;
}

std::string IniFile::GetString(std::string_view section, std::string_view key, std::string_view def,
                               size_t maxChars) const {
    auto v = Get(section, key);
    std::string out = v ? std::move(*v) : std::string(def);
    if (out.size() > maxChars) out.resize(maxChars);
    return out;
}

int IniFile::GetInt(std::string_view section, std::string_view key, int def) const {
    auto v = Get(section, key);
    if (!v || v->empty()) return def;
    size_t i = 0;
    bool negative = false;
    if ((*v)[0] == '-' || (*v)[0] == '+') {
        negative = (*v)[0] == '-';
        i = 1;
    }
    long long n = 0;
    for (; i < v->size() && (*v)[i] >= '0' && (*v)[i] <= '9'; ++i) {
        n = n * 10 + ((*v)[i] - '0');
        if (n > 1LL + INT_MAX) n = 1LL + INT_MAX;
    }
    if (negative) n = -n;
    if (n > INT_MAX) n = INT_MAX;
    if (n < INT_MIN) n = INT_MIN;
    return int(n);
}

bool IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    if (key.empty() || !Storable(section) || !Storable(key) || !Storable(value)) return false;
    if (key.find('=') != std::string_view::npos || key.front() == '[' || key.front() == ';') return false;
    if (section.find(']') != std::string_view::npos) return false;

    const std::string eol(LineEnd());
    Line header, line;
    if (FindSection(section, header)) {
        if (FindKey(header, key, line)) {
            // Rewrite the value after the line's own '=' and keep everything in front of it.
            const std::string_view text = std::string_view(bytes_).substr(line.begin, line.end - line.begin);
            const size_t eq = text.find('=');
            size_t to = line.end;
            if (to > line.begin && bytes_[to - 1] == '\r') --to;  // keep the CR of a CR LF line end
            const size_t from = eq == std::string_view::npos ? to : line.begin + eq + 1;
            std::string replacement = eq == std::string_view::npos ? "=" + std::string(value) : std::string(value);
            bytes_.replace(from, to - from, replacement);
            return true;
        }
        // After the last line of the section that is not blank (the header when there is none).
        Line last = header, cur;
        for (size_t at = header.next; NextLine(at, cur); at = cur.next) {
            const std::string_view t = Trim(std::string_view(bytes_).substr(cur.begin, cur.end - cur.begin));
            if (SectionName(t)) break;
            if (!t.empty()) last = cur;
        }
        std::string insert;
        if (last.next == last.end) insert += eol;  // the last line of the file had no line break
        insert += std::string(key) + "=" + std::string(value) + eol;
        bytes_.insert(last.next, insert);
        return true;
    }
    std::string add;
    if (!bytes_.empty() && bytes_.back() != '\n') add += eol;
    add += "[" + std::string(section) + "]" + eol + std::string(key) + "=" + std::string(value) + eol;
    bytes_ += add;
    return true;
}

bool IniFile::DeleteKey(std::string_view section, std::string_view key) {
    Line header, line;
    if (!FindSection(section, header) || !FindKey(header, key, line)) return false;
    bytes_.erase(line.begin, line.next - line.begin);
    return true;
}

bool IniFile::DeleteSection(std::string_view section) {
    Line header, cur;
    if (!FindSection(section, header)) return false;
    size_t end = header.next;
    for (size_t at = header.next; NextLine(at, cur); at = cur.next) {
        if (SectionName(Trim(std::string_view(bytes_).substr(cur.begin, cur.end - cur.begin)))) break;
        end = cur.next;
    }
    bytes_.erase(header.begin, end - header.begin);
    return true;
}

long long IniFile::LargestNumberedKey(std::string_view section, std::string_view prefix) const {
    Line header, cur;
    if (!FindSection(section, header)) return -1;
    long long best = -1;
    for (size_t at = header.next; NextLine(at, cur); at = cur.next) {
        const std::string_view t = Trim(std::string_view(bytes_).substr(cur.begin, cur.end - cur.begin));
        if (SectionName(t)) break;
        auto name = KeyName(t);
        if (!name || name->size() <= prefix.size() || !SameNoCase(name->substr(0, prefix.size()), prefix)) continue;
        long long n = 0;
        bool digits = true;
        for (char c : name->substr(prefix.size())) {
            if (c < '0' || c > '9' || n > (1LL << 40)) {
                digits = false;
                break;
            }
            n = n * 10 + (c - '0');
        }
        if (digits && n > best) best = n;
    }
    return best;
}

bool WriteFileAtomically(const fs::path& path, std::string_view bytes, std::string* error) {
    OutFile out;
    fs::path temp;
    auto fail = [&](int code) {
        out.Close();
        std::error_code ignored;
        if (!temp.empty()) fs::remove(temp, ignored);
        if (error) *error = SystemError(code);
        return false;
    };
    std::error_code ec;
    fs::path target;
    // Replace what a link points at, not the link.
    if (!ResolveTarget(path, target, ec)) return fail(ec.value());
    const bool existed = fs::exists(target, ec);
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    bool created = false;
    for (int attempt = 0; attempt < 100 && !created; ++attempt) {
        fs::path candidate = TemporaryName(folder);
        created = out.CreateNew(candidate);
        if (created) temp = candidate;
        else if (errno != EEXIST) return fail(errno);
    }
    if (!created) return fail(EEXIST);
    if (!out.Write(bytes.data(), bytes.size())) return fail(errno);
    out.CopyModeFrom(target, existed);
    if (!out.Flush() || !out.Close()) return fail(errno);
    fs::rename(temp, target, ec);
    if (ec) return fail(ec.value());
    // The rename itself reaches the disk with the folder.
    SyncFolder(folder);
    return true;
}

}  // namespace tarnwell
