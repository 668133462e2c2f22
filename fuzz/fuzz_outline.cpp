// The script outline parser over any page: it finishes, its records lie inside the text, and every
// lookup answers.
#include "fuzz/FuzzCheck.h"
#include "lang/LineSource.h"
#include "lang/ScriptOutline.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

void CheckRange(const tarnwell::OutlineRange& r, int lineCount) {
    FUZZ_CHECK(r.startLine >= -1 && r.startLine < lineCount);
    FUZZ_CHECK(r.endLine >= -1 && r.endLine < lineCount);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tarnwell::OwnedLineSource source(tarnwell::SplitFileLines(text));
    const int lineCount = source.LineCount();
    tarnwell::ScriptOutline outline;
    tarnwell::RebuildOutline(outline, source);

    for (const auto& r : outline.regions) CheckRange(r, lineCount);
    for (const auto& p : outline.procedures) {
        CheckRange(*p, lineCount);
        outline.FindProcedure(p->name);
    }
    for (const auto& v : outline.variables) outline.FindVariable(v->name);
    for (const auto& c : outline.classes) {
        CheckRange(*c, lineCount);
        FUZZ_CHECK(outline.FindClass(c->name) != nullptr);
    }
    FUZZ_CHECK(outline.includes.size() == outline.includesAsWritten.size());
    FUZZ_CHECK(outline.includes.size() == outline.includeSites.size());
    for (int line = 0; line < lineCount && line < 64; ++line) {
        outline.ProcedureAtLine(line);
        outline.WithAtLine(line);
    }
    for (std::size_t i = 0; i < outline.includes.size(); ++i) tarnwell::IncludePath(outline, i);
    // Bringing a line's regions up to date from the same text changes nothing.
    const std::size_t regions = outline.regions.size();
    for (int line = 0; line < lineCount && line < 64; ++line) {
        tarnwell::UpdateRegionsOnLine(outline, source, line);
        FUZZ_CHECK(outline.regions.size() == regions);
    }
    for (const auto& r : outline.regions) CheckRange(r, lineCount);
    return 0;
}
