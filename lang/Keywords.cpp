// Keyword sets and keyword-file reading.
#include "lang/Keywords.h"

#include <cstdio>
#ifdef _WIN32
#include <share.h>
#endif

namespace tarnwell {

namespace {

inline unsigned char Upper(unsigned char c) noexcept { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

// From the length and five bytes spread over the word (in upper case): no loop over the word, and
// keyword lists rarely share all of them. Equal hashes are told apart by comparing the words.
inline std::uint32_t HashUpper(std::string_view w) noexcept {
    const std::size_t n = w.size();
    if (n == 0) return 0;
    auto at = [w](std::size_t k) { return static_cast<std::uint64_t>(Upper(static_cast<unsigned char>(w[k]))); };
    std::uint64_t x = static_cast<std::uint64_t>(n) | at(0) << 8 | at(n / 4) << 16 | at(n / 2) << 24 |
                      at(n - 1 - n / 4) << 32 | at(n - 1) << 40;
    x *= 0x9E3779B97F4A7C15ull;
    return static_cast<std::uint32_t>(x >> 32);
}

// Compares a word in any case with an upper-case key of the same length.
inline bool EqualsUpper(std::string_view word, const std::string& key) noexcept {
    for (std::size_t i = 0; i < word.size(); ++i)
        if (Upper(static_cast<unsigned char>(word[i])) != static_cast<unsigned char>(key[i])) return false;
    return true;
}

inline bool IsBlank(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) noexcept {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

void KeywordSet::Insert(std::string_view word) {
    if (Contains(word)) return;
    if ((keys_.size() + 1) * 2 > slots_.size()) Grow();
    std::string key(word);
    for (char& c : key) c = static_cast<char>(Upper(static_cast<unsigned char>(c)));
    const std::uint32_t h = HashUpper(key);
    keys_.push_back(std::move(key));
    hashes_.push_back(h);
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = h & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = static_cast<std::uint32_t>(keys_.size());
    if (word.size() < minLength_) minLength_ = word.size();
    if (word.size() > maxLength_) maxLength_ = word.size();
    if (!word.empty() && word.size() < 64) {
        const unsigned char first = static_cast<unsigned char>(keys_.back()[0]);
        const std::uint64_t bit = std::uint64_t{1} << word.size();
        startsByLength_[first] |= bit;
        if (first >= 'A' && first <= 'Z') startsByLength_[first + 32] |= bit;
    }
}

void KeywordSet::Grow() {
    std::size_t n = slots_.empty() ? 64 : slots_.size() * 2;
    slots_.assign(n, 0);
    const std::size_t mask = n - 1;
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        std::size_t i = hashes_[k] & mask;
        while (slots_[i] != 0) i = (i + 1) & mask;
        slots_[i] = static_cast<std::uint32_t>(k + 1);
    }
}

bool KeywordSet::Find(std::string_view word) const noexcept {
    if (word.size() < minLength_ || word.size() > maxLength_ || slots_.empty()) return false;
    const std::uint32_t h = HashUpper(word);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
        const std::uint32_t slot = slots_[i];
        if (slot == 0) return false;
        const std::size_t k = slot - 1;
        if (hashes_[k] == h && keys_[k].size() == word.size() && EqualsUpper(word, keys_[k])) return true;
    }
}

void KeywordSet::clear() {
    keys_.clear();
    hashes_.clear();
    slots_.clear();
    minLength_ = SIZE_MAX;
    maxLength_ = 0;
    for (std::uint64_t& bits : startsByLength_) bits = 0;
}

KeywordSet& HtmlKeywordSet() {
    static KeywordSet set;
    return set;
}

KeywordSet& VbKeywordSet() {
    static KeywordSet set;
    return set;
}

void ParseKeywordText(KeywordSet& set, std::string_view text) {
    while (!text.empty()) {
        std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        line = Trim(line);
        if (line.empty() || line.front() == '#') continue;
        for (;;) {
            std::size_t comma = line.find(',');
            set.Insert(Trim(line.substr(0, comma)));
            if (comma == std::string_view::npos) break;
            line.remove_prefix(comma + 1);
        }
    }
}

bool LoadKeywordFile(KeywordSet& set, const std::filesystem::path& file) {
#ifdef _WIN32
    // Other programs may read the file meanwhile but not write it.
    std::FILE* f = _wfsopen(file.c_str(), L"rb", _SH_DENYWR);
#else
    std::FILE* f = std::fopen(file.c_str(), "rb");
#endif
    if (!f) return false;
    std::string text;
    char buffer[16384];
    bool ok = true;
    for (;;) {
        std::size_t n = std::fread(buffer, 1, sizeof buffer, f);
        text.append(buffer, n);
        if (n < sizeof buffer) {
            ok = !std::ferror(f);
            break;
        }
    }
    std::fclose(f);
    if (!ok) {
        // Keep the complete lines read before the error.
        std::size_t last = text.rfind('\n');
        text.resize(last == std::string::npos ? 0 : last + 1);
    }
    ParseKeywordText(set, text);
    return ok;
}

std::filesystem::path KeywordFilePath(const std::filesystem::path& programFolder, std::string_view name) {
    return programFolder / "Keyword" / std::filesystem::path(std::string(name));
}

}  // namespace tarnwell
