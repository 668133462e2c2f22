// The buffer's code page: re-reading the same bytes in another one, and converting the text into one.
#include <algorithm>

#include "text/CCrystalTextBuffer.h"

namespace tarnwell {

namespace {

// Moves a position of the text before a conversion onto the same character after it: the byte
// offset becomes the length of the converted prefix of its line.
class ConvertAdjuster final : public PositionAdjuster {
public:
    ConvertAdjuster(std::vector<std::string> oldLines, CodePage from, CodePage to, TextPosition end)
        : PositionAdjuster(TextPosition(0, 0), end), old_(std::move(oldLines)), from_(from), to_(to) {}

    void Adjust(TextPosition& pos) const override {
        if (pos.line < 0 || static_cast<size_t>(pos.line) >= old_.size()) return;
        const std::string& line = old_[static_cast<size_t>(pos.line)];
        const int n = static_cast<int>(line.size());
        const int ch = SnapBackward(from_, line.data(), n, std::clamp(pos.ch, 0, n));
        std::string prefix;
        ConvertText(std::string_view(line.data(), static_cast<size_t>(ch)), from_, to_, prefix);
        pos.ch = static_cast<int>(prefix.size());
    }
    bool IsInsert() const override { return false; }

private:
    std::vector<std::string> old_;
    CodePage from_, to_;
};

}  // namespace

void CCrystalTextBuffer::SetEncoding(const EncodingDecision& decision) {
    const bool changed = decision.codePage != encoding_.codePage;
    encoding_ = decision;
    if (changed) NotifyViews(nullptr, nullptr, HintCodePage | HintWidth, 0);
}

std::u32string CCrystalTextBuffer::UnencodableChars(CodePage to) const {
    std::u32string missing;
    for (int i = 0; i < LineCount(); ++i) {
        for (char32_t c : tarnwell::UnencodableChars(LineChars(i), encoding_.codePage, to))
            if (missing.find(c) == std::u32string::npos) missing.push_back(c);
    }
    return missing;
}

bool CCrystalTextBuffer::ConvertToCodePage(CodePage to, std::u32string* unencodable) {
    if (notifying_ > 0) return false;
    const CodePage from = encoding_.codePage;
    const size_t n = lines_.size();
    const std::u32string missing = UnencodableChars(to);
    if (unencodable) *unencodable = missing;
    if (!missing.empty()) return false;

    std::vector<std::string> old;
    old.reserve(n);
    for (size_t i = 0; i < n; ++i) old.emplace_back(LineChars(static_cast<int>(i)));
    std::string converted;
    for (size_t i = 0; i < n; ++i) {
        ConvertText(old[i], from, to, converted);
        if (converted != old[i]) {
            SetLineText(lines_[i], converted.data(), converted.size());
            mayOwnLines_ = true;
        }
    }
    encoding_.codePage = to;
    encoding_.source = EncodingSource::Chosen;
    ResetHistory();
    savedPosition_ = -1;  // the text no longer matches the file until it is saved
    editedSinceTyping_ = true;
    SetDirty(true);
    const ConvertAdjuster adjuster(std::move(old), from, to, EndPosition());
    NotifyViews(nullptr, &adjuster, HintCodePage | HintWidth, 0);
    return true;
}

}  // namespace tarnwell
