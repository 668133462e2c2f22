// The keyword-file parser: any text loads, and every word it took is found again in any letter case.
#include "fuzz/FuzzCheck.h"
#include "lang/Keywords.h"

#include <cctype>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tarnwell::KeywordSet set;
    tarnwell::ParseKeywordText(set, text);
    // Every maximal run of letters and digits that sits alone on a line must be a keyword.
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        bool word = !line.empty() && line.size() < 32;
        for (char c : line) word = word && std::isalnum(static_cast<unsigned char>(c));
        if (word) {
            std::string upper(line), lower(line);
            for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            FUZZ_CHECK(set.Contains(upper) && set.Contains(lower));
        }
        start = end + 1;
    }
    return 0;
}
