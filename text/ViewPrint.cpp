#include "text/ViewPrint.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>
#include <cmath>

#include "text/AskWithCheck.h"
#include "text/CCrystalTextView.h"
#include "text/EditCommandIds.h"

namespace tarnwell {

namespace {

QRect ToQRect(const PrintRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

// The name a print job carries: the title of the window around the view.
QString DocumentName(const QWidget& view) {
    for (const QWidget* w = &view; w; w = w->parentWidget()) {
        if (!w->windowTitle().isEmpty()) return w->windowTitle();
    }
    return QStringLiteral("Tarnwell");
}

}  // namespace

CodePage PrintCodePage(const CCrystalTextView& view) { return view.GetCodePage(); }

// --- The view's bands ------------------------------------------------------------------------------

QString CCrystalTextView::HeaderText(int page, int pageCount) const {
    (void)page;
    (void)pageCount;
    return {};
}

QString CCrystalTextView::FooterText(int page, int pageCount) const {
    return QStringLiteral("Page %1/%2").arg(page).arg(pageCount);
}

void CCrystalTextView::PaintPageHeader(QPainter& painter, const QRect& band, int page, int pageCount) {
    const QString text = HeaderText(page, pageCount);
    if (!text.isEmpty()) painter.drawText(band, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text);
}

void CCrystalTextView::PaintPageFooter(QPainter& painter, const QRect& band, int page, int pageCount) {
    const QString text = FooterText(page, pageCount);
    if (!text.isEmpty()) painter.drawText(band, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine, text);
}

// --- The print job ---------------------------------------------------------------------------------

CTextPrintJob::CTextPrintJob(CCrystalTextView& view) : view_(view) {}

void CTextPrintJob::Begin(const QPaintDevice& device) {
    // Printed text is half as large on paper as the same font on screen.
    QFont font = view_.TextFont();
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() / 2);
    } else if (font.pixelSize() > 0) {
        const int screenDpi = view_.logicalDpiY() > 0 ? view_.logicalDpiY() : 96;
        font.setPointSizeF(font.pixelSize() * 72.0 / screenDpi / 2);
    }
    font.setKerning(false);
    paperFont_ = QFont(font, &device);
    const QFontMetricsF fm(paperFont_, &device);
    lineHeight_ = std::max(1, int(std::ceil(fm.height())));
    ascent_ = int(std::lround(fm.ascent()));
    cellWidth_ = fm.horizontalAdvance(QLatin1Char('X'));
    if (!(cellWidth_ > 0)) cellWidth_ = 1;
    dpiX_ = device.logicalDpiX();
    dpiY_ = device.logicalDpiY();
}

void CTextPrintJob::Layout(const QRect& pageRect, const PageMargins& margins) {
    PageMetrics m;
    m.page = {pageRect.left(), pageRect.top(), pageRect.left() + pageRect.width(), pageRect.top() + pageRect.height()};
    m.dpiX = dpiX_;
    m.dpiY = dpiY_;
    m.lineHeight = lineHeight_;
    // Whole units, rounded up, so that a row of cells never runs past the text area.
    m.cellWidth = int(std::ceil(cellWidth_));
    m.headerOn = view_.PageHeaderOn();
    m.footerOn = view_.PageFooterOn();
    frame_ = ComputePageFrame(m, margins);
    const int tab = CCrystalTextView::GetViewSettings().tabSize;
    const CodePage cp = PrintCodePage(view_);
    const int columns = frame_.columns;
    pageStarts_ = Paginate(
        view_.LineCount(),
        [&](int line) { return CountRows({view_.LineText(line), view_.LineLength(line), cp}, tab, columns); },
        frame_.rows);
}

void CTextPrintJob::WrapLine(int line) {
    LayoutCells({view_.LineText(line), view_.LineLength(line), PrintCodePage(view_)},
                CCrystalTextView::GetViewSettings().tabSize, cells_);
    WrapCells(cells_, frame_.columns, rows_);
}

void CTextPrintJob::DrawRow(QPainter& painter, const RowSpan& row, int y) {
    if (row.first >= row.last) return;
    const int startColumn = cells_[size_t(row.first)].column;
    const qreal baseline = y + ascent_;
    auto xOf = [&](int column) { return frame_.text.left + (column - startColumn) * cellWidth_; };
    // Characters one cell wide are drawn in runs; blanks end a run and wide characters stand alone, so
    // every run starts on its own cell of the grid.
    QString run;
    int runColumn = 0;
    auto flush = [&] {
        if (!run.isEmpty()) painter.drawText(QPointF(xOf(runColumn), baseline), run);
        run.clear();
    };
    for (int k = row.first; k < row.last; ++k) {
        const PrintCell& c = cells_[size_t(k)];
        if (c.IsBlank()) {
            flush();
            continue;
        }
        if (c.cells != 1) {
            flush();
            painter.drawText(QPointF(xOf(c.column), baseline), QString::fromUcs4(&c.code, 1));
            continue;
        }
        if (run.isEmpty()) runColumn = c.column;
        if (c.code > 0xFFFF) {
            run += QString::fromUcs4(&c.code, 1);
        } else {
            run += QChar(char16_t(c.code));
        }
    }
    flush();
}

void CTextPrintJob::PrintPage(QPainter& painter, int page) {
    const int count = PageCount();
    if (page < 1 || page > count) return;
    painter.save();
    painter.setFont(paperFont_);
    painter.setPen(Qt::black);  // colors are not printed
    if (view_.PageHeaderOn()) view_.PaintPageHeader(painter, ToQRect(frame_.header), page, count);
    if (view_.PageFooterOn()) view_.PaintPageFooter(painter, ToQRect(frame_.footer), page, count);

    const int lineCount = view_.LineCount();
    const PageStart from = pageStarts_[size_t(page - 1)];
    const PageStart to = page < count ? pageStarts_[size_t(page)] : PageStart{lineCount, 0};
    int y = frame_.text.top;
    for (int line = from.line; line < lineCount; ++line) {
        if (line > to.line || (line == to.line && to.row == 0)) break;
        WrapLine(line);
        const int first = line == from.line ? from.row : 0;
        const int last = std::min(int(rows_.size()), line == to.line ? to.row : int(rows_.size()));
        for (int r = first; r < last; ++r) {
            DrawRow(painter, rows_[size_t(r)], y);
            y += lineHeight_;
        }
    }
    painter.restore();
}

void CTextPrintJob::End() {
    paperFont_ = QFont();
    pageStarts_.clear();
    pageStarts_.shrink_to_fit();
    cells_.clear();
    rows_.clear();
    lineHeight_ = 0;
}

bool PrintView(CCrystalTextView& view, QPrinter& printer, const PageMargins& margins) {
    // The margins are measured from the paper's edges.
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    CTextPrintJob job(view);
    job.Begin(printer);
    job.Layout(QRect(0, 0, printer.width(), printer.height()), margins);
    const int count = job.PageCount();
    int first = 1;
    int last = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(1, printer.fromPage());
        last = printer.toPage() > 0 ? std::min(count, printer.toPage()) : count;
    }
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    const bool reverse = printer.pageOrder() == QPrinter::LastPageFirst;
    bool started = false;
    for (int copy = 0; copy < copies; ++copy) {
        for (int i = first; i <= last; ++i) {
            if (started) printer.newPage();
            job.PrintPage(painter, reverse ? first + last - i : i);
            started = true;
        }
    }
    job.End();
    return painter.end();
}

// --- Commands --------------------------------------------------------------------------------------

CPrintCommands::CPrintCommands(CCrystalTextView& view, Profile& profile, std::function<QPrinter*()> printer)
    : QObject(&view), view_(view), profile_(profile), printer_(std::move(printer)) {
    setObjectName(QStringLiteral("tarnwellPrintCommands"));
}

bool CPrintCommands::UpdateCommand(int id, CommandState& state) {
    switch (id) {
    case cmd::FilePrint:
    case cmd::FilePrintDirect:
    case cmd::FilePrintPreview:
        state.enabled = true;
        return true;
    default: return false;
    }
}

bool CPrintCommands::ExecuteCommand(int id) {
    switch (id) {
    case cmd::FilePrint: Print(true); return true;
    case cmd::FilePrintDirect: Print(false); return true;
    case cmd::FilePrintPreview: Preview(); return true;
    default: return false;
    }
}

bool CPrintCommands::Print(bool askFirst) {
    QPrinter* printer = printer_ ? printer_() : nullptr;
    if (!printer) return false;
    printer->setDocName(DocumentName(view_));
    if (askFirst) {
        QPrintDialog dialog(printer, DialogOwner());
        dialog.setWindowTitle(QStringLiteral("Print"));
        dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                          QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
        if (dialog.exec() != QDialog::Accepted) return false;
    } else {
        printer->setPrintRange(QPrinter::AllPages);
    }
    if (!PrintView(view_, *printer, ReadPageMargins(profile_))) {
        ShowMessage(QStringLiteral("The document could not be printed: the printer could not be started."),
                    mb::kOk | mb::kIconStop);
        return false;
    }
    return true;
}

void CPrintCommands::Preview() {
    QPrinter* printer = printer_ ? printer_() : nullptr;
    if (!printer) return;
    printer->setDocName(DocumentName(view_));
    printer->setPrintRange(QPrinter::AllPages);
    QPrintPreviewDialog dialog(printer, DialogOwner());
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    // The margins are read for every rendering, so a Page Setup made meanwhile shows at once.
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [this](QPrinter* target) { PrintView(view_, *target, ReadPageMargins(profile_)); });
    dialog.exec();
}

CPrintCommands* AttachPrintCommands(CCrystalTextView& view, Profile& profile, std::function<QPrinter*()> printer) {
    if (auto* existing = PrintCommandsOf(view)) return existing;
    return new CPrintCommands(view, profile, std::move(printer));
}

CPrintCommands* PrintCommandsOf(const CCrystalTextView& view) {
    return view.findChild<CPrintCommands*>(QStringLiteral("tarnwellPrintCommands"), Qt::FindDirectChildrenOnly);
}

}  // namespace tarnwell
