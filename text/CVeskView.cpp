#include "text/CVeskView.h"

#include <algorithm>
#include <vector>

#include "lang/Keywords.h"

namespace tarnwell {

namespace {

HtmlAspPalette& Palette() {
    static HtmlAspPalette palette;
    return palette;
}

std::vector<CVeskView*>& LiveVeskViews() {
    static std::vector<CVeskView*> views;
    return views;
}

}  // namespace

CVeskView::CVeskView(QWidget* parent) : CCrystalEditView(parent) { LiveVeskViews().push_back(this); }

CVeskView::CVeskView(CCrystalTextBuffer* buffer, int fileKind, QWidget* parent) : CVeskView(parent) {
    documentBuffer_ = buffer;
    fileKind_ = fileKind;
}

CVeskView::~CVeskView() {
    auto& views = LiveVeskViews();
    views.erase(std::remove(views.begin(), views.end(), this), views.end());
}

void CVeskView::SetDocument(CCrystalTextBuffer* buffer, int fileKind) {
    documentBuffer_ = buffer;
    fileKind_ = fileKind;
    BindBuffer(buffer);
}

void CVeskView::SetFileKind(int fileKind) {
    if (fileKind == fileKind_) return;
    fileKind_ = fileKind;
    InvalidateColoring();
}

CCrystalTextBuffer* CVeskView::FindBuffer() { return documentBuffer_; }

const HtmlAspPalette& CVeskView::ColorPalette() { return Palette(); }

void CVeskView::SetColorPalette(const HtmlAspPalette& palette) {
    const bool recolor = palette.syntaxColoring != Palette().syntaxColoring;
    Palette() = palette;
    for (CVeskView* view : LiveVeskViews()) {
        if (recolor) view->InvalidateColoring();
        view->viewport()->update();
    }
}

LineCookie CVeskView::ParseLineColors(LineCookie incoming, int line, ColorBlock* blocks, int& count) {
    const HtmlAspContext ctx{fileKind_, &HtmlKeywordSet(), &VbKeywordSet(), Palette().syntaxColoring};
    return ParseHtmlAspLine(incoming, LineText(line), LineLength(line), blocks, count, ctx);
}

LineCookie CVeskView::ColorLine(LineCookie incoming, int line, LineColoring& coloring) {
    // Lines of this length or more are colored through a memo.
    constexpr int kMemoLineLength = 4 * HtmlAspLineMemo::kStep;
    const HtmlAspContext ctx{fileKind_, &HtmlKeywordSet(), &VbKeywordSet(), Palette().syntaxColoring};
    const int length = LineLength(line);
    coloring.blocks.clear();
    if (length < kMemoLineLength) {
        coloring.memo.reset();
        return ParseHtmlAspLine(incoming, std::string_view(LineText(line), static_cast<size_t>(length)), &coloring.blocks,
                                ctx);
    }
    coloring.blocks.shrink_to_fit();
    auto* memo = dynamic_cast<HtmlAspLineMemo*>(coloring.memo.get());
    if (!memo) {
        coloring.memo = std::make_unique<HtmlAspLineMemo>();
        memo = static_cast<HtmlAspLineMemo*>(coloring.memo.get());
        coloring.keptPrefix = -1;
    }
    return memo->Update(incoming, LineText(line), length, ctx, coloring.keptPrefix, coloring.keptSuffix);
}

void CVeskView::ParseCookies(LineCookie incoming, int first, int last, LineCookie* out) {
    const HtmlAspContext ctx{fileKind_, &HtmlKeywordSet(), &VbKeywordSet(), Palette().syntaxColoring};
    if (!buffer_ || buffer_->LineCount() == 0) {
        CCrystalEditView::ParseCookies(incoming, first, last, out);
        return;
    }
    for (int k = first; k <= last; ++k) {
        const std::string_view text = buffer_->LineChars(k);
        int none = 0;
        incoming = ParseHtmlAspLine(incoming, text.data(), static_cast<int>(text.size()), nullptr, none, ctx);
        out[k - first] = incoming;
    }
}

QColor CVeskView::ColorForIndex(int colorClass) const {
    const ClassColor cc = tarnwell::ColorForIndex(colorClass, Palette());
    switch (cc.source) {
        case ClassColor::Window: return palette().color(QPalette::Base);
        case ClassColor::Highlight: return palette().color(QPalette::Highlight);
        default: return QColor(cc.rgb.red, cc.rgb.green, cc.rgb.blue);
    }
}

}  // namespace tarnwell
