// The coloring line parser over a whole page with chained cookies: both output forms agree, blocks are
// ordered, start at 0 and stay within the room the parser promises, and cookies use the carried bits only.
#include "fuzz/FuzzCheck.h"
#include "lang/HtmlAspParser.h"
#include "lang/Keywords.h"
#include "lang/LineSource.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

const tarnwell::HtmlAspContext& Context(int kind) {
    static tarnwell::KeywordSet html, vb;
    static const bool loaded = [] {
        tarnwell::ParseKeywordText(html, "table,tr,td,script,language,runat,href,src");
        tarnwell::ParseKeywordText(vb, "Dim,Set,If,Then,End,Sub,Function,Rem,Class,With,Response,Write");
        return true;
    }();
    (void)loaded;
    static tarnwell::HtmlAspContext contexts[] = {
        {tarnwell::FileKindAsp, &html, &vb, true},
        {tarnwell::FileKindHtml, &html, &vb, true},
        {tarnwell::FileKindOther, &html, &vb, true},
    };
    return contexts[kind % 3];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto& ctx = Context(data[0]);
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    tarnwell::LineCookie withBlocks = 0, cookieOnly = 0;
    std::vector<tarnwell::ColorBlock> blocks;
    for (const std::string& line : tarnwell::SplitFileLines(text)) {
        blocks.clear();
        withBlocks = tarnwell::ParseHtmlAspLine(withBlocks, line, &blocks, ctx);
        cookieOnly = tarnwell::ParseHtmlAspLine(cookieOnly, line, nullptr, ctx);
        FUZZ_CHECK(withBlocks == cookieOnly);
        FUZZ_CHECK((withBlocks & ~tarnwell::cookie::CarriedMask) == 0);
        FUZZ_CHECK(blocks.size() <= static_cast<std::size_t>(tarnwell::MaxBlocksForLine(static_cast<int>(line.size()))));
        if (!blocks.empty()) FUZZ_CHECK(blocks.front().start == 0);
        for (std::size_t i = 1; i < blocks.size(); ++i) FUZZ_CHECK(blocks[i - 1].start <= blocks[i].start);
        for (const auto& b : blocks) FUZZ_CHECK(b.start >= 0 && b.start <= static_cast<int>(line.size()));
    }
    return 0;
}
