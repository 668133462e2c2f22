// The text view: shows one CCrystalTextBuffer in a fixed-pitch grid with tab expansion, colors each
// line through the ParseLineColors hook, draws the selection margin, caret and selection, and moves
// the cursor and selection. Editing is added by CCrystalEditView.
//
// The class is one widget split by concern over several files:
//   CCrystalTextView.cpp        buffer binding, change notification, caches, fonts, settings, commands
//   CCrystalTextViewPaint.cpp   drawing of rows, margin and caret
//   CCrystalTextViewCursor.cpp  cursor and selection, movement commands, scrolling, bookmarks
//   CCrystalTextViewMouse.cpp   mouse, wheel, keys and focus
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRawFont>

#include <array>
#include <unordered_map>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "text/CCrystalTextBuffer.h"
#include "text/CodePage.h"
#include "text/Coloring.h"
#include "text/ColumnIndex.h"
#include "text/CommandTarget.h"
#include "text/LineLayout.h"
#include "text/TextPosition.h"
#include "text/ViewSettings.h"

class QMimeData;

namespace tarnwell {

class CCrystalTextView : public QAbstractScrollArea, public CCmdTarget, public BufferObserver {
    Q_OBJECT

public:
    explicit CCrystalTextView(QWidget* parent = nullptr);
    ~CCrystalTextView() override;

    // --- Program-wide settings (every view follows them) ---
    static const ViewSettings& GetViewSettings();
    // Replaces all settings and makes every open view relayout and repaint at once.
    static void SetViewSettings(const ViewSettings& settings);
    static void SetTabSize(int tabSize);
    static void SetSelectionMargin(bool on);
    static void SetLineNumbers(bool on);
    static void SetShowSelectionAlways(bool on);
    static void SetAutoIndent(bool on);
    static void SetTabToSpace(bool on);

    // --- Buffer ---
    // Detaches from the current buffer, attaches to `buffer` (FindBuffer when none), resets the layout.
    void BindBuffer(CCrystalTextBuffer* buffer = nullptr);
    void UnbindBuffer();
    CCrystalTextBuffer* Buffer() const { return buffer_; }
    // The code page lines are decoded with: the buffer's (UTF-8 without a buffer).
    CodePage GetCodePage() const { return codePage_; }

    // --- Layout ---
    void ResetLayout();
    void SetTextFont(const QFont& font);
    void SetTextFont(const QString& face, int pointSize);
    QFont TextFont() const { return font_; }
    int RowHeight();
    int CellWidth();
    int VisibleRows();
    int VisibleColumns();
    int LongestLine();
    int MarginWidth() const;
    int ColumnOf(int line, int ch);
    int CharAtColumn(int line, int column);
    // The character whose cells cover `column` (the line length past the end).
    int CharUnderColumn(int line, int column);
    int DisplayLength(int line);
    LineCookie CookieOf(int line);
    // The blocks painting uses for bytes [from, to) of a line, from the line's cached colors (computed
    // when missing): the first block starts at or before `from` (tests compare them with a fresh parse).
    std::vector<ColorBlock> BlocksForBytes(int line, int from, int to);
    // Forgets every line's parse state and repaints (the coloring rules changed).
    void InvalidateColoring();
    // Repaints lines first..last (last -1: to the bottom of the window).
    void RepaintLines(int first, int last = -1);
    int FirstVisibleLine() const { return firstVisibleLine_; }
    int ScrollColumn() const { return scrollColumn_; }
    // Scroll the window without moving the cursor (clamped). `notifySiblings` tells split panes.
    void ScrollToLine(int top, bool notifySiblings = true);
    void ScrollToColumn(int column, bool notifySiblings = true);

    // --- Line access (a view without buffer answers one empty line) ---
    virtual int LineCount() const;
    virtual int LineLength(int line) const;
    virtual const char* LineText(int line) const;
    virtual std::uint32_t LineFlags(int line) const;
    LineRef LineRefOf(int line) const { return {LineText(line), LineLength(line), codePage_}; }
    // Text of [start, end) with CR LF between lines.
    virtual std::string RangeText(TextPosition start, TextPosition end) const;

    // --- Clipboard (text in the view's code page; lines separated by CR LF) ---
    virtual bool ClipboardHasText() const;
    virtual bool CopyToClipboard(const std::string& text);
    // Empty when the code page cannot hold a character of the clipboard's text (see RefusedChars).
    virtual std::string ReadClipboardText() const;
    // Conversions between the toolkit's text and the buffer's bytes: line ends become CR LF. A text
    // with a character the code page cannot hold converts to nothing; *refused lists those characters.
    std::string TextFromUnicode(const QString& text, std::u32string* refused = nullptr) const;
    // Characters the last clipboard read could not take.
    const std::u32string& RefusedChars() const { return refusedChars_; }
    // Beeps and says in the status bar which characters the document's code page cannot hold.
    void RefuseChars(const std::u32string& chars);
    QString TextToUnicode(const std::string& bytes) const;

    // --- Coloring hooks ---
    virtual QColor ColorForIndex(int colorClass) const;
    struct LineColors {
        QColor background;      // invalid: class 1
        QColor text;            // invalid: the run colors
        bool fillRight = false; // fill right of the text with the line background
    };
    virtual LineColors LineColorsFor(int line) const;
    virtual bool IsItalic(int colorClass) const;
    virtual bool IsBold(int colorClass) const;
    // Splits a line into runs (when `blocks` is given, room for 3 x length + 2) and returns the state at
    // its end. Must depend only on `incoming` and the line's text; must not return -1.
    virtual LineCookie ParseLineColors(LineCookie incoming, int line, ColorBlock* blocks, int& count);
    // Brings a line's cached colors up to date for the state `incoming` and returns the outgoing
    // state. The base fills `coloring.blocks` through ParseLineColors; a parser with a memo for long
    // lines may keep that instead (using coloring.keptPrefix/keptSuffix to parse only near an edit).
    virtual LineCookie ColorLine(LineCookie incoming, int line, LineColoring& coloring);
    // The outgoing cookies of lines first..last, from `incoming` (the cookie before `first`), into
    // out[0..]: the cookie walk of a jump far down. The base asks ParseLineColors without blocks line
    // by line; a parser may walk the lines in one go.
    virtual void ParseCookies(LineCookie incoming, int first, int last, LineCookie* out);
    // The buffer to attach to when BindBuffer is given none.
    virtual CCrystalTextBuffer* FindBuffer();

    // The buffer's notification (also for changes made through other views).
    void OnBufferChanged(BufferObserver* source, const PositionAdjuster* adjuster, std::uint32_t hints,
                         int line) override;

    // --- Cursor and selection ---
    TextPosition CursorPosition() const { return cursor_; }
    // Moves the caret; the wanted column follows.
    void PlaceCursor(TextPosition pos);
    void PlaceAnchor(TextPosition pos) { anchor_ = pos; }
    TextPosition Anchor() const { return anchor_; }
    void SelectRange(TextPosition start, TextPosition end);
    // The selection as last set (not ordered).
    TextPosition SelectionFrom() const { return selFrom_; }
    TextPosition SelectionTo() const { return selTo_; }
    void SelectionBounds(TextPosition& start, TextPosition& end) const;
    bool HasSelection() const { return selFrom_ != selTo_; }
    bool IsInsideSelection(TextPosition pos) const;
    // Cursor, anchor and an empty selection at `pos`, then ScrollToShow.
    void SetCursorAndClear(TextPosition pos);
    void ScrollToShow(TextPosition pos);
    TextPosition PointToPosition(QPoint point);
    QPoint PositionToPoint(TextPosition pos);
    void SelectWholeText();
    // Draw the selection also without the focus for this view only (the find dialog uses this).
    void SetShowSelectionAlwaysOverride(bool on);
    // Nearest character boundary at or after / before a byte index of a line.
    int SnapForwardOnLine(int line, int ch) const;

    // Movement commands (the `extend` form is the Shift key's).
    void MoveLeft(bool extend);
    void MoveRight(bool extend);
    void MoveWordLeft(bool extend);
    void MoveWordRight(bool extend);
    void MoveUp(bool extend);
    void MoveDown(bool extend);
    void ScrollUpOneLine();
    void ScrollDownOneLine();
    void MovePageUp(bool extend);
    void MovePageDown(bool extend);
    void MoveHome(bool extend);
    void MoveEnd(bool extend);
    void MoveTextBegin(bool extend);
    void MoveTextEnd(bool extend);
    // The word around a position: [start, end) of word characters.
    void WordAround(TextPosition pos, TextPosition& start, TextPosition& end) const;

    // Bookmarks.
    void ToggleBookmark();
    bool NextBookmark();
    bool PrevBookmark();
    void ClearAllBookmarks();

    // --- Commands ---
    bool UpdateCommand(int id, CommandState& state) override;
    bool ExecuteCommand(int id) override;
    // The editor key table: the command a key press stands for, 0 for none.
    virtual int CommandForKey(int key, Qt::KeyboardModifiers modifiers) const;

    // --- Status-bar texts ---
    QString PositionStatusText() const;  // "Ln %d, Col %d"
    QString LineEndStatusText() const;   // "DOS", "MAC", "UNIX"; empty without buffer
    // The code page ("windows-1251"), or "declared utf-8, read as windows-1252" when the page's
    // bytes contradicted its declaration; empty without buffer.
    QString EncodingStatusText() const;

    // Paints row `line` (-1: past the end) into `rect` of `painter`, margin excluded.
    virtual void PaintLine(QPainter& painter, const QRect& rect, int line);
    virtual void PaintMargin(QPainter& painter, const QRect& rect, int line);

    bool HasFocusFlag() const { return hasFocus_; }

    // --- Printing (the steps are in ViewPrint.cpp) ---
    // Texts of the bands of printed page `page` (1-based) of `pageCount`: no header, "Page %d/%d".
    virtual QString HeaderText(int page, int pageCount) const;
    virtual QString FooterText(int page, int pageCount) const;
    // Draw a band's text centred on one line, the header at the top of its band, the footer at the
    // bottom of its band; an empty text draws nothing.
    virtual void PaintPageHeader(QPainter& painter, const QRect& band, int page, int pageCount);
    virtual void PaintPageFooter(QPainter& painter, const QRect& band, int page, int pageCount);
    // Whether printed pages have the bands (no command changes them: header off, footer on).
    bool PageHeaderOn() const { return pageHeaderOn_; }
    bool PageFooterOn() const { return pageFooterOn_; }
    void SetPageBands(bool header, bool footer) {
        pageHeaderOn_ = header;
        pageFooterOn_ = footer;
    }

signals:
    // Cursor, selection, overwrite or line-end mode changed: the status texts may differ.
    void StatusChanged();
    // A key of the key table stands for a command no view handles (Replace): the frame routes it.
    void UnhandledCommand(int id);
    void ContextMenuRequested(QPoint globalPos);

protected:
    // --- Qt events ---
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void timerEvent(QTimerEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

    // Typed text reaches this hook (the text view ignores it; the edit view types it).
    virtual void OnTextTyped(const QString& text);
    static bool IsTypedText(Qt::KeyboardModifiers modifiers);
    // Starts a text drag when the mouse moves after a press inside the selection.
    virtual void StartTextDrag();
    // Drag effects the source offers; the text view allows copy only.
    virtual Qt::DropActions DragEffects() const;
    virtual void DragFinished(Qt::DropAction effect);
    virtual QMimeData* BuildDragData();
    // Runs the platform's drag loop and returns the effect the target chose.
    virtual Qt::DropAction RunDragLoop(QMimeData* data, Qt::DropActions actions);
    void TrackSelectionTo(QPoint point, bool final);
    void AutoScrollStep();

    // Caret.
    void ShowCaretNow();
    void SetCaretHidden(bool hidden);
    QRect CaretRect();
    // Called after any cursor/selection change: restarts the blink and tells the status bar.
    void CursorChanged();

    // Recomputes the scroll bars (ranges, pages, positions) unless locked.
    void RecalcVertScrollBar();
    void RecalcHorzScrollBar();
    void SetScrollLock(bool vert, bool horz) {
        scrollLockedVert_ = vert;
        scrollLockedHorz_ = horz;
    }
    bool IsHorzScrollLocked() const { return scrollLockedHorz_; }
    // Common tail of movement commands.
    void FinishMove(bool extend, bool keepWanted);
    bool SelectionVisible() const;
    void EndMouseSelection();

    // Split panes: the views that share our row (vertical scroll) or column (horizontal scroll).
    std::vector<CCrystalTextView*> SiblingPanes(bool sameRow) const;
    void AdoptSiblingScroll();

    CCrystalTextBuffer* buffer_ = nullptr;
    CodePage codePage_ = CodePage::Utf8;
    mutable std::u32string refusedChars_;

    int firstVisibleLine_ = 0;
    int scrollColumn_ = 0;
    int rowHeight_ = -1;
    int cellWidth_ = -1;
    int ascent_ = 0;
    int visibleRows_ = -1;
    int visibleColumns_ = -1;
    int longestLine_ = -1;
    bool hasFocus_ = false;
    bool caretHidden_ = false;
    bool caretBlinkOn_ = true;
    QRect lastCaretRect_;
    bool showSelectionAlwaysOverride_ = false;
    bool pageHeaderOn_ = false;
    bool pageFooterOn_ = true;

    TextPosition cursor_;
    TextPosition selFrom_;
    TextPosition selTo_;
    TextPosition anchor_;
    int wantedColumn_ = -1;

    // Mouse selection state.
    bool dragSelecting_ = false;
    bool wordMode_ = false;
    bool lineMode_ = false;
    bool pendingTextDrag_ = false;
    TextPosition pendingDragClick_;
    QPoint pressPoint_;
    QPoint lastMousePoint_;
    int wheelRemainder_ = 0;
    QBasicTimer autoScrollTimer_;
    QBasicTimer blinkTimer_;

    bool scrollLockedVert_ = false;
    bool scrollLockedHorz_ = false;
    bool syncingScrollBars_ = false;

    // Text drag in progress with this view as its source.
    bool textDragActive_ = false;
    TextPosition dragSourceStart_;
    TextPosition dragSourceEnd_;
    // Drop indicator (a grey caret while text is dragged over the view).
    bool dropIndicatorShown_ = false;
    TextPosition dropPosition_;

    QFont font_;
    QFont marginFont_;
    // Fonts by variant: index bit 0 bold, bit 1 italic; created on first use.
    std::array<std::unique_ptr<QFont>, 4> fonts_;
    std::array<QRawFont, 4> rawFonts_;
    std::array<bool, 4> rawFontTried_{};
    // Glyph indexes by code point for each variant (0 = the font has none).
    std::array<std::unordered_map<char32_t, quint32>, 4> glyphCache_;
    quint32 GlyphFor(int variant, char32_t code);
    QPixmap bookmarkImage_;

    // Per-line caches. Cookies below the watermark are known; entries at or above it are stale.
    // After a change that leaves the text below it alone, a recomputed cookie equal to the stale
    // one at `resumeLine_` makes the stale entries after it valid again (up to `resumeWatermark_`).
    std::vector<LineCookie> cookieCache_;
    int cookieValid_ = 0;
    int resumeLine_ = -1;
    LineCookie resumeCookie_ = kInvalidCookie;
    int resumeWatermark_ = 0;
    std::vector<int> lengthCache_;
    // Colors of the lines painted lately, by line; kept up to date through the change notifications.
    std::unordered_map<int, LineColoring> lineColors_;
    // Column checkpoints of long lines, by line.
    std::unordered_map<int, ColumnIndex> columnIndexes_;
    // The part of the window the running paint event covers (null outside of one).
    QRect paintClip_;

    LineColoring& ColoringOf(int line);
    ColumnIndex* IndexFor(int line);
    // Lines at or after `line` changed in number: entries of lines after the change move with them.
    void ShiftLineCaches(int line, const PositionAdjuster* adjuster);
    void TrimLineColors();

    const QFont& FontFor(bool bold, bool italic);
    const QRawFont& RawFontFor(bool bold, bool italic);
    void MeasureFont();
    void InvalidateFonts();
    void SettingsChanged();
    void ResetFromBuffer();
    // Takes the buffer's new code page; positions follow `adjuster` when the bytes were converted.
    void AdoptCodePage(CodePage cp, const PositionAdjuster* adjuster);
    void EnsureCaches();
    void LineCountChangedCaches(int line);

    friend class ViewSettingsApplier;
};

}  // namespace tarnwell
