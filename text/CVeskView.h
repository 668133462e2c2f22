// The editor view for web pages: an edit view that colors HTML, ASP blocks and VBScript SCRIPT
// elements through the line parser, draws them in the "Options\Color" colors, and knows the file kind
// of its document (which decides whether "<%" and SCRIPT elements are recognized).
#pragma once

#include <string_view>

#include "lang/HtmlAspColors.h"
#include "lang/HtmlAspParser.h"
#include "text/CCrystalEditView.h"

namespace tarnwell {

class CVeskView : public CCrystalEditView {
    Q_OBJECT

public:
    explicit CVeskView(QWidget* parent = nullptr);
    // A view on a document's buffer; binds to it when shown (or at once when BindBuffer is called).
    CVeskView(CCrystalTextBuffer* buffer, int fileKind, QWidget* parent = nullptr);
    ~CVeskView() override;

    // The document's buffer and file kind; the buffer is bound at once.
    void SetDocument(CCrystalTextBuffer* buffer, int fileKind);
    // The file kind follows the document's path: call again after the document is saved under
    // another name. Every line is colored again.
    void SetFileKind(int fileKind);
    void SetPathName(std::string_view pathName) { SetFileKind(GetFileKind(pathName)); }
    int GetFileKindValue() const { return fileKind_; }

    // The colors and the syntax-coloring switch of "Options\Color", shared by every view; setting
    // them recolors every open view at once.
    static const HtmlAspPalette& ColorPalette();
    static void SetColorPalette(const HtmlAspPalette& palette);

    LineCookie ParseLineColors(LineCookie incoming, int line, ColorBlock* blocks, int& count) override;
    // Short lines keep their blocks; long ones a parser memo that parses only near an edit and only
    // the bytes a paint shows.
    LineCookie ColorLine(LineCookie incoming, int line, LineColoring& coloring) override;
    void ParseCookies(LineCookie incoming, int first, int last, LineCookie* out) override;
    QColor ColorForIndex(int colorClass) const override;
    CCrystalTextBuffer* FindBuffer() override;

private:
    CCrystalTextBuffer* documentBuffer_ = nullptr;
    int fileKind_ = FileKindAsp;
};

}  // namespace tarnwell
