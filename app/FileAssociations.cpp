#include "app/FileAssociations.h"

#include "platform/Profile.h"

#include <algorithm>

namespace tarnwell {

namespace {

const char* const kFixed[AssociationTable::kFixedRows] = {".asp", ".aspx", ".asa", ".inc", ".htm", ".html", ".shtml"};

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return s;
}

bool OneLine(const std::string& s) { return s.find_first_of(std::string("\r\n\0", 3)) == std::string::npos; }

std::vector<std::string> SplitFields(const std::string& s) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t lf = s.find('\n', start);
        out.push_back(s.substr(start, lf == std::string::npos ? std::string::npos : lf - start));
        if (lf == std::string::npos) return out;
        start = lf + 1;
    }
}

}  // namespace

AssociationTable::AssociationTable(std::string selfPath) : self_(std::move(selfPath)) { Reset(); }

Association AssociationTable::Internal(const std::string& extension) const { return {extension, self_, {}, true}; }

void AssociationTable::Reset() {
    rows_.clear();
    for (const char* ext : kFixed) rows_.push_back(Internal(ext));
}

void AssociationTable::Load(int count, const std::function<std::optional<std::string>(int)>& read) {
    Reset();
    count = StoredCount(count);
    for (int n = 0; n < count; ++n) {
        const std::optional<std::string> value = read(n);
        if (!value || value->empty()) continue;
        std::vector<std::string> f = SplitFields(*value);
        f.resize(std::max<size_t>(f.size(), 4));
        if (f.size() > 4 || f[0].size() < 2 || f[0][0] != '.' || f[0].find('\r') != std::string::npos) continue;
        Association row = f[1] != "0" ? Internal(f[0]) : Association{f[0], f[2], f[3], false};
        if (!row.internal && (row.editor.empty() || !OneLine(row.editor) || !OneLine(row.parameters))) continue;
        auto it = std::find_if(rows_.begin(), rows_.end(),
                               [&](const Association& a) { return Lower(a.extension) == Lower(row.extension); });
        if (it != rows_.end())
            *it = row;
        else if (rows_.size() < kMaxRows)
            rows_.push_back(row);
    }
}

std::vector<std::string> AssociationTable::StoredRows() const {
    std::vector<std::string> out;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const Association& a = rows_[i];
        if (i < kFixedRows && a.internal) continue;
        out.push_back(a.extension + "\n" + (a.internal ? "1" : "0") + "\n" + a.editor + "\n" + a.parameters);
    }
    return out;
}

const Association* AssociationTable::Find(const std::string& extension) const {
    const std::string key = Lower(extension);
    for (const Association& a : rows_)
        if (Lower(a.extension) == key) return &a;
    return nullptr;
}

bool AssociationTable::Add(Association row) {
    if (rows_.size() >= kMaxRows || row.extension.size() < 2 || row.extension[0] != '.' || Find(row.extension) ||
        !OneLine(row.extension) || !OneLine(row.editor) || !OneLine(row.parameters) || (!row.internal && row.editor.empty()))
        return false;
    rows_.push_back(row.internal ? Internal(row.extension) : row);
    return true;
}

bool AssociationTable::Change(size_t index, bool internal, const std::string& editor, const std::string& parameters) {
    if (index < kFixedRows || index >= rows_.size() || !OneLine(editor) || !OneLine(parameters) ||
        (!internal && editor.empty()))
        return false;
    rows_[index] = internal ? Internal(rows_[index].extension) : Association{rows_[index].extension, editor, parameters, false};
    return true;
}

bool AssociationTable::Remove(size_t index) {
    if (index < kFixedRows || index >= rows_.size()) return false;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

void LoadAssociations(AssociationTable& table, const Profile& profile) {
    table.Load(profile.GetInt(filetypes::kEditors, "Count", 0), [&](int n) -> std::optional<std::string> {
        std::string v = profile.GetString(filetypes::kEditors, "#" + std::to_string(n), "");
        return v.empty() ? std::nullopt : std::optional<std::string>(std::move(v));
    });
}

bool SaveAssociations(const AssociationTable& table, Profile& profile) {
    int n = 0;
    bool ok = true;
    for (const std::string& row : table.StoredRows()) {
        if (profile.WriteString(filetypes::kEditors, "#" + std::to_string(n), row))
            ++n;
        else
            ok = false;
    }
    return profile.WriteInt(filetypes::kEditors, "Count", n) && ok;
}

std::string ExtensionOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return path.substr(dot);
}

OpenRoute RouteFor(const AssociationTable& table, bool openUnlisted, const std::string& path, const std::string& selfPath,
                   const Association** row) {
    const Association* a = table.Find(ExtensionOf(path));
    if (row) *row = nullptr;
    if (!a) return openUnlisted ? OpenRoute::Editor : OpenRoute::Desktop;
#ifdef _WIN32
    const bool self = Lower(a->editor) == Lower(selfPath);
#else
    const bool self = a->editor == selfPath;
#endif
    if (a->internal || self) return OpenRoute::Editor;
    if (row) *row = a;
    return OpenRoute::External;
}

std::string NormalizeExtension(const std::string& typed) {
    const size_t first = typed.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    std::string ext = typed.substr(first, typed.find_last_not_of(" \t") - first + 1);
    if (ext[0] != '.') ext.insert(0, 1, '.');
    if (ext.size() < 2 || ext.find_first_of(std::string("/\\\r\n\0", 5)) != std::string::npos) return {};
    return ext;
}

std::string ProgramFileName(const std::string& editor) {
    const size_t slash = editor.find_last_of("/\\");
    return slash == std::string::npos ? editor : editor.substr(slash + 1);
}

int StoredCount(int value) { return value < 0 || value > AssociationTable::kMaxRows ? AssociationTable::kMaxRows : value; }

}  // namespace tarnwell
