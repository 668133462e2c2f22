// Recovery file format: writing and the all-or-nothing reader.
#include "app/RecoveryFile.h"

#include "project/IniFile.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <system_error>

namespace tarnwell {

namespace {

constexpr std::string_view kMagic = "TARNWELL RECOVERY 1\n";

std::string Escape(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c == '%') out += "%25";
        else if (c == '\r') out += "%0D";
        else if (c == '\n') out += "%0A";
        else out += c;
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool Unescape(std::string_view value, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            out += value[i];
            continue;
        }
        if (i + 2 >= value.size()) return false;
        const int hi = HexDigit(value[i + 1]), lo = HexDigit(value[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

template <typename T>
bool ParseNumber(std::string_view text, T& value) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && p == end && !text.empty();
}

}  // namespace

std::string FormatRecoveryRecord(const RecoveryRecord& r) {
    std::string out(kMagic);
    out += "path=" + Escape(r.path) + "\n";
    out += "title=" + Escape(r.title) + "\n";
    out += "lineEnds=" + std::to_string(r.lineEndMode) + "\n";
    out += "codePage=" + Escape(r.codePage) + "\n";
    out += "cursor=" + std::to_string(r.cursorLine) + "," + std::to_string(r.cursorChar) + "\n";
    out += "changedAt=" + std::to_string(r.changedAt) + "\n";
    out += "text=" + std::to_string(r.text.size()) + "\n";
    out += r.text;
    return out;
}

bool ParseRecoveryRecord(std::string_view bytes, RecoveryRecord& record) {
    if (bytes.substr(0, kMagic.size()) != kMagic) return false;
    bytes.remove_prefix(kMagic.size());
    RecoveryRecord r;
    bool sawCursor = false, sawLineEnds = false;
    for (;;) {
        const std::size_t eol = bytes.find('\n');
        if (eol == std::string_view::npos) return false;
        const std::string_view line = bytes.substr(0, eol);
        bytes.remove_prefix(eol + 1);
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) return false;
        const std::string_view key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "text") {
            std::size_t size = 0;
            if (!ParseNumber(value, size) || size != bytes.size()) return false;  // truncated or trailing bytes
            r.text.assign(bytes.data(), bytes.size());
            break;
        }
        if (key == "path") {
            if (!Unescape(value, r.path)) return false;
        } else if (key == "title") {
            if (!Unescape(value, r.title)) return false;
        } else if (key == "codePage") {
            if (!Unescape(value, r.codePage)) return false;
        } else if (key == "lineEnds") {
            if (!ParseNumber(value, r.lineEndMode) || r.lineEndMode < 0 || r.lineEndMode > 2) return false;
            sawLineEnds = true;
        } else if (key == "cursor") {
            const std::size_t comma = value.find(',');
            if (comma == std::string_view::npos || !ParseNumber(value.substr(0, comma), r.cursorLine) ||
                !ParseNumber(value.substr(comma + 1), r.cursorChar) || r.cursorLine < 0 || r.cursorChar < 0)
                return false;
            sawCursor = true;
        } else if (key == "changedAt") {
            if (!ParseNumber(value, r.changedAt)) return false;
        }
        // Other keys come from a later version: skipped.
    }
    if (!sawCursor || !sawLineEnds) return false;
    record = std::move(r);
    return true;
}

bool WriteRecoveryFile(const std::filesystem::path& file, const RecoveryRecord& record, std::string* error) {
    return WriteFileAtomically(file, FormatRecoveryRecord(record), error);
}

bool ReadRecoveryFile(const std::filesystem::path& file, RecoveryRecord& record, std::string* error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        if (error) *error = std::error_code(errno, std::generic_category()).message();
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        if (error) *error = "read error";
        return false;
    }
    if (!ParseRecoveryRecord(bytes, record)) {
        if (error) *error = "not a complete recovery file";
        return false;
    }
    return true;
}

}  // namespace tarnwell
