// Printing a text view. CTextPrintJob runs the steps every print path shares, in this order: begin
// (the paper font), layout (bands, rows and pages, once), each page, end. Print, Print Preview,
// direct printing and batch printing to PDF all go through PrintView. CPrintCommands serves the view's
// Print (57607, with the print dialog), direct Print (57608) and Print Preview (57609) over a printer
// that the application owns and shares with its Print Setup.
#pragma once

#include <QFont>
#include <QObject>
#include <QRect>

#include <functional>
#include <vector>

#include "text/CommandTarget.h"
#include "text/PrintLayout.h"

class QPainter;
class QPaintDevice;
class QPrinter;

namespace tarnwell {

class CCrystalTextView;
class Profile;

// The code page printed text is decoded with: the view's, as on screen.
CodePage PrintCodePage(const CCrystalTextView& view);

class CTextPrintJob {
public:
    explicit CTextPrintJob(CCrystalTextView& view);

    // Begin: the view's font at half its size, measured on `device`.
    void Begin(const QPaintDevice& device);
    // Layout: places the bands and the text area in `pageRect` (device units) and divides the text
    // into pages.
    void Layout(const QRect& pageRect, const PageMargins& margins);
    // Draws page `page` (1-based, up to PageCount) with `painter` on the device of Begin.
    void PrintPage(QPainter& painter, int page);
    // End: forgets the font and the layout.
    void End();

    int PageCount() const { return int(pageStarts_.size()); }
    const PageFrame& Frame() const { return frame_; }
    const std::vector<PageStart>& PageStarts() const { return pageStarts_; }
    const QFont& PaperFont() const { return paperFont_; }
    int LineHeight() const { return lineHeight_; }

private:
    // Cells and rows of `line` into the scratch vectors.
    void WrapLine(int line);
    void DrawRow(QPainter& painter, const RowSpan& row, int y);

    CCrystalTextView& view_;
    QFont paperFont_;
    int dpiX_ = 0;
    int dpiY_ = 0;
    int lineHeight_ = 0;
    int ascent_ = 0;
    qreal cellWidth_ = 0;
    PageFrame frame_;
    std::vector<PageStart> pageStarts_;
    std::vector<PrintCell> cells_;
    std::vector<RowSpan> rows_;
};

// Prints the text of `view` on `printer` with `margins`, honouring the printer's page range, page
// order and copies. False when the printer cannot be started (nothing was printed).
bool PrintView(CCrystalTextView& view, QPrinter& printer, const PageMargins& margins);

class CPrintCommands final : public QObject, public CCmdTarget {
    Q_OBJECT
public:
    // `printer` answers the application's printer; `profile` holds the page setup.
    CPrintCommands(CCrystalTextView& view, Profile& profile, std::function<QPrinter*()> printer);

    bool UpdateCommand(int id, CommandState& state) override;
    bool ExecuteCommand(int id) override;

    // Print with the print dialog first (`askFirst`) or at once; false when cancelled or failed.
    bool Print(bool askFirst);
    void Preview();

private:
    CCrystalTextView& view_;
    Profile& profile_;
    std::function<QPrinter*()> printer_;
};

// Gives the view its print commands (once; later calls answer the same object, owned by the view).
CPrintCommands* AttachPrintCommands(CCrystalTextView& view, Profile& profile, std::function<QPrinter*()> printer);
CPrintCommands* PrintCommandsOf(const CCrystalTextView& view);

}  // namespace tarnwell
