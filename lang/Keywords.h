// Keyword sets for the syntax coloring, and the keyword files they are read from.
//
// At start-up the application fills the two process-wide sets once:
//     tarnwell::LoadKeywordFile(tarnwell::VbKeywordSet(), tarnwell::KeywordFilePath(folder, "vbscript.txt"));
//     tarnwell::LoadKeywordFile(tarnwell::HtmlKeywordSet(), tarnwell::KeywordFilePath(folder, "html.txt"));
// and afterwards only reads them: LookupKeyword(set, text, length) tells whether a word (not
// terminated, any case) is a keyword. Lookups do not allocate.
//
// File format: one keyword or a comma-separated list per line; leading/trailing white space of a line and
// of each piece is dropped; empty lines and lines starting with "#" (after trimming) are ignored; lines
// end with LF or CR LF. Keywords are stored upper-case. Upper-casing here is ASCII-only: bytes >= 0x80 are
// left as they are, so multibyte characters are never split or changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

// A set of upper-case keywords with case-insensitive, allocation-free lookup (open addressing over the
// bytes; the hash and comparison upper-case on the fly, with the same result as upper-casing a copy).
class KeywordSet {
public:
    // Inserts word upper-cased; inserting an existing key changes nothing. The empty word is a key too.
    void Insert(std::string_view word);
    bool Contains(std::string_view word) const noexcept {
        // Most words of a page are no keyword: a key with this first byte and length must exist first.
        if (!word.empty() && word.size() < 64 &&
            !((startsByLength_[static_cast<unsigned char>(word[0])] >> word.size()) & 1u))
            return false;
        return Find(word);
    }
    bool Contains(const char* text, std::size_t length) const noexcept { return Contains(std::string_view(text, length)); }
    std::size_t size() const noexcept { return keys_.size(); }
    bool empty() const noexcept { return keys_.empty(); }
    void clear();
    // The keys in insertion order (upper-case).
    const std::vector<std::string>& Keys() const noexcept { return keys_; }

private:
    void Grow();
    bool Find(std::string_view word) const noexcept;

    std::vector<std::string> keys_;
    std::vector<std::uint32_t> slots_;  // index + 1 into keys_, 0 = empty; size is a power of two
    std::vector<std::uint32_t> hashes_; // hash of each key, parallel to keys_
    std::size_t minLength_ = SIZE_MAX;
    std::size_t maxLength_ = 0;
    // For each first byte (both cases), bit n set when a key of n bytes starts with it (n < 64; longer
    // keys set no bit and are always searched).
    std::uint64_t startsByLength_[256] = {};
};

// The process-wide sets the coloring uses, empty until loaded.
KeywordSet& HtmlKeywordSet();
KeywordSet& VbKeywordSet();

// Adds every keyword of the file to set. False when the file cannot be opened or a read error occurs
// (keywords read before the error stay in the set).
bool LoadKeywordFile(KeywordSet& set, const std::filesystem::path& file);

// Adds the keywords of a file's text (the same rules as LoadKeywordFile).
void ParseKeywordText(KeywordSet& set, std::string_view text);

// programFolder / "Keyword" / name.
std::filesystem::path KeywordFilePath(const std::filesystem::path& programFolder, std::string_view name);

// Case-insensitive, exact-length lookup of a word that need not be terminated.
inline bool LookupKeyword(const KeywordSet& set, const char* text, std::size_t length) noexcept {
    return set.Contains(text, length);
}

}  // namespace tarnwell
