// The text view: columns, cursor movement, selection with keys and mouse, scrolling, bookmarks, the
// per-line caches, drawing rules (sampled pixels) and split-pane scrolling.
#include <cstdlib>
#include <QAction>
#include <QMainWindow>
#include <QScrollBar>
#include <QSplitter>
#include <QtTest>

#include "tests/text/ViewTestSupport.h"
#include "text/EditCommandIds.h"

using namespace tarnwell;
using namespace tarnwell::testing;

namespace {

// A view with a tiny parser and distinct colors: "/*" opens a comment that "*/" closes (state 1 is
// carried across lines); digits are class 7, a comment is class 9, the rest class 2.
class ProbeView : public CCrystalEditView {
public:
    int parses = 0;
    bool noBlocks = false;

    LineCookie ParseLineColors(LineCookie in, int line, ColorBlock* blocks, int& count) override {
        ++parses;
        const char* s = LineText(line);
        const int n = LineLength(line);
        LineCookie state = in;
        auto add = [&](int start, int cls) {
            if (blocks && !noBlocks) blocks[count++] = ColorBlock{start, cls};
        };
        add(0, state ? ClassHtmlComment : ClassPlainText);
        for (int i = 0; i < n; ++i) {
            if (!state && i + 1 < n && s[i] == '/' && s[i + 1] == '*') {
                state = 1;
                add(i, ClassHtmlComment);
            } else if (state && i >= 1 && s[i - 1] == '*' && s[i] == '/') {
                state = 0;
                add(i + 1, ClassPlainText);
            } else if (!state && s[i] >= '0' && s[i] <= '9') {
                add(i, ClassHtmlKeyword);
                add(i + 1, ClassPlainText);
            }
        }
        return state;
    }

    QColor ColorForIndex(int cls) const override {
        switch (cls) {
            case ClassEmptyArea: return QColor(250, 250, 250);
            case ClassLineBack: return QColor(240, 240, 200);
            case ClassPlainText: return QColor(0, 0, 0);
            case ClassMargin: return QColor(100, 100, 100);
            case ClassSelectBack: return QColor(0, 0, 160);
            case ClassSelectText: return QColor(255, 255, 255);
            case ClassHtmlKeyword: return QColor(0, 160, 0);
            case ClassHtmlComment: return QColor(200, 0, 0);
            default: return QColor(255, 0, 255);
        }
    }
};

std::string Lines(int n, const std::string& prefix = "line ") {
    std::string text;
    for (int i = 0; i < n; ++i) {
        if (i) text += '\n';
        text += prefix + std::to_string(i);
    }
    return text;
}

}  // namespace

class TextViewTest : public QObject {
    Q_OBJECT

    ViewSettings saved_;

private slots:
    void init() { saved_ = CCrystalTextView::GetViewSettings(); }
    void cleanup() { CCrystalTextView::SetViewSettings(saved_); }

    void columnsAndHalfTabRule() {
        auto buffer = MakeBuffer("\ta\t");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        QCOMPARE(view.ColumnOf(0, 1), 4);
        QCOMPARE(view.ColumnOf(0, 3), 8);
        QCOMPARE(view.DisplayLength(0), 8);
        QCOMPARE(view.CharAtColumn(0, 1), 0);
        QCOMPARE(view.CharAtColumn(0, 3), 1);
        // The program-wide tab size reaches every view at once.
        CCrystalEditView other;
        ShowView(other, buffer.get());
        CCrystalTextView::SetTabSize(8);
        QCOMPARE(view.DisplayLength(0), 16);
        QCOMPARE(other.ColumnOf(0, 1), 8);
        CCrystalTextView::SetTabSize(0);  // clamped, never a division by zero
        QCOMPARE(view.DisplayLength(0), 3);
    }

    void leftRightBoundaries() {
        auto buffer = MakeBuffer("ab\ncd");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        view.MoveLeft(false);
        QCOMPARE(view.CursorPosition(), TextPosition(0, 0));
        view.MoveTextEnd(false);
        view.MoveRight(false);
        QCOMPARE(view.CursorPosition(), TextPosition(1, 2));
        view.SetCursorAndClear(TextPosition(0, 2));
        view.MoveRight(false);
        QCOMPARE(view.CursorPosition(), TextPosition(1, 0));
        view.MoveLeft(false);
        QCOMPARE(view.CursorPosition(), TextPosition(0, 2));

        // A selection collapses to its start (Left) or end (Right); Up starts from the start and
        // Down from the end.
        view.PlaceAnchor(TextPosition(1, 1));
        view.SelectRange(TextPosition(1, 1), TextPosition(0, 1));
        view.MoveLeft(false);
        QCOMPARE(view.CursorPosition(), TextPosition(0, 1));
        QVERIFY(!view.HasSelection());
        view.SelectRange(TextPosition(1, 1), TextPosition(0, 1));
        view.MoveRight(false);
        QCOMPARE(view.CursorPosition(), TextPosition(1, 1));
        view.SelectRange(TextPosition(0, 1), TextPosition(1, 2));
        view.PlaceCursor(TextPosition(1, 2));
        view.MoveUp(false);
        QCOMPARE(view.CursorPosition(), TextPosition(0, 1));
        view.SelectRange(TextPosition(0, 1), TextPosition(1, 1));
        view.PlaceCursor(TextPosition(0, 1));
        view.MoveDown(false);
        QCOMPARE(view.CursorPosition(), TextPosition(1, 1));

        // Shift forms extend from the anchor.
        view.SetCursorAndClear(TextPosition(0, 0));
        view.MoveRight(true);
        view.MoveRight(true);
        view.MoveRight(true);
        QCOMPARE(view.SelectionFrom(), TextPosition(0, 0));
        QCOMPARE(view.SelectionTo(), TextPosition(1, 0));
        QCOMPARE(view.RangeText(view.SelectionFrom(), view.SelectionTo()), std::string("ab\r\n"));
    }

    void wordMovement_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("ch");
        QTest::addColumn<bool>("right");
        QTest::addColumn<int>("toLine");
        QTest::addColumn<int>("toCh");
        QTest::newRow("ctrlLeft_atTextStart_doesNothing") << "abc" << 0 << 0 << false << 0 << 0;
        QTest::newRow("ctrlLeft_fromLineStart_landsOnLastWordAbove") << "foo bar  \nx" << 1 << 0 << false << 0 << 4;
        QTest::newRow("ctrlLeft_overPunctuationRun") << "a+=b" << 0 << 3 << false << 0 << 1;
        QTest::newRow("ctrlLeft_wordWithUnderscore") << "x my_var" << 0 << 8 << false << 0 << 2;
        QTest::newRow("ctrlRight_overWordAndBlanks") << "foo   bar" << 0 << 0 << true << 0 << 6;
        QTest::newRow("ctrlRight_fromLineEnd_nextStartsWithWord") << "ab\ncd  ef" << 0 << 2 << true << 1 << 4;
        QTest::newRow("ctrlRight_fromLineEnd_passesEmptyLine") << "ab\n\ncd" << 0 << 2 << true << 2 << 0;
        QTest::newRow("ctrlRight_atTextEnd_doesNothing") << "ab" << 0 << 2 << true << 0 << 2;
        QTest::newRow("ctrlRight_punctuationThenWord") << "<%=x" << 0 << 0 << true << 0 << 3;
        QTest::newRow("ctrlRight_multiByteIsOneUnit") << "\xC3\xA9\xC3\xA9 x" << 0 << 0 << true << 0 << 2;
        QTest::newRow("ctrlLeft_multiByteIsOneUnit") << "x\xC3\xA9\xC3\xA9" << 0 << 5 << false << 0 << 3;
    }
    void wordMovement() {
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(int, ch);
        QFETCH(bool, right);
        QFETCH(int, toLine);
        QFETCH(int, toCh);
        auto buffer = MakeBuffer(text.toStdString());
        CCrystalEditView view;
        ShowView(view, buffer.get());
        view.SetCursorAndClear(TextPosition(line, ch));
        if (right) view.MoveWordRight(false);
        else view.MoveWordLeft(false);
        QCOMPARE(view.CursorPosition(), TextPosition(toLine, toCh));
    }

    void wantedColumnThroughShortLines() {
        auto buffer = MakeBuffer("0123456789012345678901234\nshort\n012345678901234567890123456789");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        view.SetCursorAndClear(TextPosition(0, 20));
        view.MoveDown(false);
        QCOMPARE(view.CursorPosition(), TextPosition(1, 5));
        view.MoveDown(false);
        QCOMPARE(view.CursorPosition(), TextPosition(2, 20));
        view.MoveUp(false);
        view.MoveUp(false);
        QCOMPARE(view.CursorPosition(), TextPosition(0, 20));
        // A horizontal move sets a new wanted column.
        view.MoveLeft(false);
        view.MoveDown(false);
        view.MoveDown(false);
        QCOMPARE(view.CursorPosition(), TextPosition(2, 19));
    }

    void homeTogglesAndTextEnds() {
        auto buffer = MakeBuffer("    indented\n   \nlast line");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        view.SetCursorAndClear(TextPosition(0, 8));
        view.MoveHome(false);
        QCOMPARE(view.CursorPosition(), TextPosition(0, 4));
        view.MoveHome(false);
        QCOMPARE(view.CursorPosition(), TextPosition(0, 0));
        view.MoveHome(false);
        QCOMPARE(view.CursorPosition(), TextPosition(0, 4));
        view.SetCursorAndClear(TextPosition(1, 2));
        view.MoveHome(false);  // an all-blank line goes to 0
        QCOMPARE(view.CursorPosition(), TextPosition(1, 0));
        view.MoveEnd(false);
        QCOMPARE(view.CursorPosition(), TextPosition(1, 3));
        view.MoveTextEnd(true);
        QCOMPARE(view.CursorPosition(), TextPosition(2, 9));
        QCOMPARE(view.SelectionFrom(), TextPosition(1, 3));
        view.MoveTextBegin(false);
        QCOMPARE(view.CursorPosition(), TextPosition(0, 0));
        QVERIFY(!view.HasSelection());
        // Select all leaves the anchor alone.
        view.PlaceAnchor(TextPosition(1, 1));
        view.SelectWholeText();
        QCOMPARE(view.SelectionFrom(), TextPosition(0, 0));
        QCOMPARE(view.SelectionTo(), TextPosition(2, 9));
        QCOMPARE(view.CursorPosition(), TextPosition(2, 9));
        QCOMPARE(view.Anchor(), TextPosition(1, 1));
    }

    void multiByteCursorNeverInside() {
        // a, é (2 bytes), 日 (3 bytes, two cells), b
        auto buffer = MakeBuffer("a\xC3\xA9\xE6\x97\xA5" "b\n0123456");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        QList<int> stops;
        for (int k = 0; k < 4; ++k) {
            view.MoveRight(false);
            stops << view.CursorPosition().ch;
        }
        QCOMPARE(stops, QList<int>({1, 3, 6, 7}));
        view.MoveLeft(false);
        view.MoveLeft(false);
        QCOMPARE(view.CursorPosition(), TextPosition(0, 3));
        QCOMPARE(view.PositionStatusText(), QStringLiteral("Ln 1, Col 3"));
        // From column 3 of the line below (the second cell of 日), Up lands on a boundary.
        view.SetCursorAndClear(TextPosition(1, 3));
        view.MoveUp(false);
        const int ch = view.CursorPosition().ch;
        QVERIFY2(ch == 3 || ch == 6, qPrintable(QString::number(ch)));
        // Points over every cell map to boundaries.
        for (int x = 0; x < 8 * view.CellWidth(); x += 3) {
            const int c = view.PointToPosition(QPoint(view.MarginWidth() + x, 1)).ch;
            QVERIFY2(c == 0 || c == 1 || c == 3 || c == 6 || c == 7, qPrintable(QString::number(c)));
        }
        // A Windows-1252 document: the same bytes are single characters.
        auto latin = MakeBuffer("caf\xE9 ok");
        CCrystalEditView v2;
        ShowView(v2, latin.get());
        QCOMPARE(v2.GetCodePage(), CodePage::Windows1252);
        v2.SetCursorAndClear(TextPosition(0, 3));
        v2.MoveRight(false);
        QCOMPARE(v2.CursorPosition(), TextPosition(0, 4));
    }

    void keyTableThroughRealKeys() {
        auto buffer = MakeBuffer("hello world\nsecond");  // outlives the window and its view
        QMainWindow window;
        auto* view = new CCrystalEditView;
        window.setCentralWidget(view);
        // An application shortcut on a key of the editor's table must not steal it.
        int stolen = 0;
        auto* action = new QAction(&window);
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
        window.addAction(action);
        connect(action, &QAction::triggered, this, [&stolen] { ++stolen; });
        window.resize(500, 300);
        window.show();
        view->BindBuffer(buffer.get());
        view->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&window) || true);
        QApplication::processEvents();

        QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(view->SelectionTo(), TextPosition(0, 2));
        QTest::keyClick(view, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(view->CursorPosition(), TextPosition(0, 6));
        QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(view->CursorPosition(), TextPosition(1, 6));
        QVERIFY(!view->HasSelection());
        QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(stolen, 0);
        QCOMPARE(view->SelectionFrom(), TextPosition(0, 0));
        QCOMPARE(view->SelectionTo(), TextPosition(1, 6));
        QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(view->CursorPosition(), TextPosition(1, 0));
    }

    void mouseSelection() {
        auto buffer = MakeBuffer("alpha beta_gamma delta\nsecond line\nthird");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        const int cw = view.CellWidth();
        const int rh = view.RowHeight();
        const int m = view.MarginWidth();
        auto at = [&](int col, int row) { return QPoint(m + col * cw + 1, row * rh + rh / 2); };

        // A click selects the nearest boundary: the right half of a cell goes after it.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(m + 2 * cw + cw - 2, rh / 2));
        QCOMPARE(view.CursorPosition(), TextPosition(0, 3));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, at(2, 1));
        QCOMPARE(view.SelectionFrom(), TextPosition(0, 3));
        QCOMPARE(view.SelectionTo(), TextPosition(1, 2));

        // Ctrl+click selects words around anchor and cursor.
        view.SetCursorAndClear(TextPosition(0, 20));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, at(8, 0));
        QCOMPARE(view.SelectionFrom(), TextPosition(0, 6));
        QCOMPARE(view.SelectionTo(), TextPosition(0, 16));

        // Double click selects the word ("_" is a word character).
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at(12, 0));
        TextPosition s, e;
        view.SelectionBounds(s, e);
        QCOMPARE(s, TextPosition(0, 6));
        QCOMPARE(e, TextPosition(0, 16));

        // Dragging with the button down selects from the press to the mouse.
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at(1, 1));
        QMouseEvent move(QEvent::MouseMove, at(4, 2), view.viewport()->mapToGlobal(at(4, 2)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &move);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at(4, 2));
        QCOMPARE(view.SelectionFrom(), TextPosition(1, 1));
        QCOMPARE(view.SelectionTo(), TextPosition(2, 4));

        // Clicking inside the selection and releasing without moving collapses it at the click.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at(3, 1));
        QVERIFY(!view.HasSelection());
        QCOMPARE(view.CursorPosition(), TextPosition(1, 3));

        // A plain margin click selects the line with its line end; dragging in the margin adds lines.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(5, rh + 2));
        view.SelectionBounds(s, e);
        QCOMPARE(s, TextPosition(1, 0));
        QCOMPARE(e, TextPosition(2, 0));
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(5, 2));
        QMouseEvent marginMove(QEvent::MouseMove, QPoint(5, 2 * rh + 2), view.viewport()->mapToGlobal(QPoint(5, 2 * rh + 2)),
                               Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &marginMove);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(5, 2 * rh + 2));
        view.SelectionBounds(s, e);
        QCOMPARE(s, TextPosition(0, 0));
        QCOMPARE(e, TextPosition(2, 5));  // the last line: up to the end of the text
        // Ctrl+click in the margin selects everything.
        view.SetCursorAndClear(TextPosition(1, 1));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, QPoint(5, 2));
        QCOMPARE(view.SelectionFrom(), TextPosition(0, 0));
        QCOMPARE(view.SelectionTo(), TextPosition(2, 5));

        // Right click outside the selection moves the cursor there; inside it keeps the selection.
        QTest::mouseClick(view.viewport(), Qt::RightButton, {}, at(2, 1));
        QVERIFY(view.HasSelection());
        view.SetCursorAndClear(TextPosition(0, 0));
        view.SelectRange(TextPosition(0, 0), TextPosition(0, 3));
        QTest::mouseClick(view.viewport(), Qt::RightButton, {}, at(2, 2));
        QVERIFY(!view.HasSelection());
        QCOMPARE(view.CursorPosition(), TextPosition(2, 2));
    }

    void scrollingAndScrollBars() {
        auto buffer = MakeBuffer(Lines(200));
        auto wide = MakeBuffer(std::string(300, 'x') + "\nshort");
        auto small = MakeBuffer("a\nb");
        CCrystalEditView view;  // declared after its buffers, so it detaches before they go
        ShowView(view, buffer.get(), 400, 10 * 19 + 5);
        const int rows = view.VisibleRows();
        QVERIFY(rows > 2);
        QCOMPARE(view.verticalScrollBar()->maximum(), 200 - rows);  // the range ends with the last page full
        QCOMPARE(view.verticalScrollBar()->pageStep(), rows);
        view.MoveTextEnd(false);
        QCOMPARE(view.FirstVisibleLine(), 200 - rows);
        QCOMPARE(view.verticalScrollBar()->value(), 200 - rows);
        view.MoveTextBegin(false);
        QCOMPARE(view.FirstVisibleLine(), 0);
        view.MovePageDown(false);
        QCOMPARE(view.FirstVisibleLine(), rows - 1);
        QCOMPARE(view.CursorPosition().line, rows - 1);
        view.ScrollDownOneLine();
        QCOMPARE(view.FirstVisibleLine(), rows);
        QCOMPARE(view.CursorPosition().line, rows - 1);  // Ctrl+Down leaves the cursor alone
        view.MovePageUp(false);  // the window goes up a page, then follows the cursor to line 0
        QCOMPARE(view.CursorPosition().line, 0);
        QCOMPARE(view.FirstVisibleLine(), 0);

        // The wheel scrolls one line per notch, up for a positive delta.
        QWheelEvent down(QPointF(50, 50), view.viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &down);
        QCOMPARE(view.FirstVisibleLine(), 1);
        QWheelEvent up(QPointF(50, 50), view.viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 240),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &up);
        QCOMPARE(view.FirstVisibleLine(), 0);

        // The scroll bar moves the window, not the cursor.
        view.verticalScrollBar()->setValue(50);
        QCOMPARE(view.FirstVisibleLine(), 50);
        QCOMPARE(view.CursorPosition().line, 0);

        // Horizontal: a long line scrolls into view and the range follows the longest line.
        view.BindBuffer(wide.get());
        QCOMPARE(view.horizontalScrollBar()->maximum(), 300 - view.VisibleColumns());
        view.MoveEnd(false);
        QCOMPARE(view.ScrollColumn(), 300 - view.VisibleColumns());
        view.MoveHome(false);
        QCOMPARE(view.ScrollColumn(), 0);
        // A text that fits resets the scroll position.
        view.BindBuffer(small.get());
        QCOMPARE(view.verticalScrollBar()->maximum(), 0);
        QCOMPARE(view.FirstVisibleLine(), 0);
    }

    void autoScrollWhileSelecting() {
        auto buffer = MakeBuffer(Lines(100));
        CCrystalEditView view;
        ShowView(view, buffer.get(), 400, 200);
        const int rh = view.RowHeight();
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(view.MarginWidth() + 1, rh / 2));
        const QPoint below(40, view.viewport()->height() + 3 * rh);
        QMouseEvent move(QEvent::MouseMove, below, view.viewport()->mapToGlobal(below), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &move);
        // The timer scrolls 3 lines every 100 ms while far below.
        QTRY_VERIFY2(view.FirstVisibleLine() >= 6, qPrintable(QString::number(view.FirstVisibleLine())));
        QVERIFY(view.CursorPosition().line > view.VisibleRows());
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, below);
        const int top = view.FirstVisibleLine();
        QTest::qWait(250);
        QCOMPARE(view.FirstVisibleLine(), top);  // released: the timer stopped
        QVERIFY(view.HasSelection());
        QCOMPARE(view.SelectionFrom(), TextPosition(0, 0));
    }

    void bookmarks() {
        auto buffer = MakeBuffer(Lines(10));
        CCrystalEditView view;
        ShowView(view, buffer.get());
        QVERIFY(!view.NextBookmark());  // none: beeps, stays
        QCOMPARE(view.CursorPosition(), TextPosition(0, 0));
        view.SetCursorAndClear(TextPosition(3, 2));
        view.ToggleBookmark();
        QVERIFY(buffer->LineFlags(3) & BookmarkBit);
        QVERIFY(view.NextBookmark());  // its own line is looked at last
        QCOMPARE(view.CursorPosition(), TextPosition(3, 0));
        view.SetCursorAndClear(TextPosition(7, 0));
        view.ToggleBookmark();
        view.SetCursorAndClear(TextPosition(8, 1));
        QVERIFY(view.NextBookmark());  // wraps from the last line to line 0
        QCOMPARE(view.CursorPosition(), TextPosition(3, 0));
        QVERIFY(view.PrevBookmark());  // wraps upwards
        QCOMPARE(view.CursorPosition(), TextPosition(7, 0));
        QVERIFY(view.ExecuteCommand(cmd::ClearAllBookmarks));
        QCOMPARE(buffer->FirstMarkedLine(BookmarkBit), -1);
        CommandState state;
        CCrystalEditView unbound;
        QVERIFY(unbound.UpdateCommand(cmd::NextBookmark, state));
        QVERIFY(!state.enabled);
    }

    void cookieCacheWalksOnceAndInvalidatesFromTheChange() {
        auto buffer = MakeBuffer(Lines(50, "text "));
        ProbeView view;  // not shown: nothing is painted, so only CookieOf parses
        view.resize(400, 300);
        view.BindBuffer(buffer.get());
        view.parses = 0;
        QCOMPARE(view.CookieOf(49), 0);
        QCOMPARE(view.parses, 50);
        view.parses = 0;
        QCOMPARE(view.CookieOf(30), 0);
        QCOMPARE(view.parses, 0);

        // An edit that leaves the line's end state alone: later cookies are known again at once.
        buffer->InsertTextAt(nullptr, TextPosition(10, 0), "x");
        view.parses = 0;
        QCOMPARE(view.CookieOf(49), 0);
        QCOMPARE(view.parses, 1);

        // Typing a character that opens a comment: every later line's state changes.
        buffer->InsertTextAt(nullptr, TextPosition(10, 0), "/*");
        QCOMPARE(view.CookieOf(49), 1);
        QCOMPARE(view.CookieOf(9), 0);
        buffer->InsertTextAt(nullptr, TextPosition(20, 0), "*/");
        QCOMPARE(view.CookieOf(19), 1);
        QCOMPARE(view.CookieOf(20), 0);
        QCOMPARE(view.CookieOf(49), 0);

        // Inserting and removing lines shifts the cached entries with the text.
        buffer->InsertTextAt(nullptr, TextPosition(15, 0), "a\r\nb\r\nc\r\n");
        QCOMPARE(view.CookieOf(22), 1);
        QCOMPARE(view.CookieOf(23), 0);
        buffer->RemoveRange(nullptr, TextPosition(15, 0), TextPosition(18, 0));
        QCOMPARE(view.CookieOf(19), 1);
        QCOMPARE(view.CookieOf(20), 0);
        // Every cached answer equals a walk from the top.
        LineCookie state = 0;
        for (int line = 0; line < view.LineCount(); ++line) {
            int count = 0;
            state = view.ParseLineColors(state, line, nullptr, count);
            QCOMPARE(view.CookieOf(line), state);
        }
    }

    void drawingColorsAndSelectionRules() {
        auto buffer = MakeBuffer("ab1 /* x\nstill */ y\n\nz");
        ProbeView view;
        ShowView(view, buffer.get());
        const int cw = view.CellWidth();
        const int rh = view.RowHeight();
        const int m = view.MarginWidth();
        auto cellTop = [&](const QImage& img, int col, int row) { return img.pixelColor(m + col * cw + cw / 2, row * rh + 1); };
        // Some ink of the cell has that color: a pixel on the way from the cell's background to it, at
        // least half way (thin glyphs of some fonts never reach the full color once smoothed).
        auto hasColor = [&](const QImage& img, int col, int row, QColor color) {
            const QColor bg = cellTop(img, col, row);
            const int want[3] = {color.red(), color.green(), color.blue()}, from[3] = {bg.red(), bg.green(), bg.blue()};
            int axis = 0;
            for (int c = 1; c < 3; ++c)
                if (std::abs(want[c] - from[c]) > std::abs(want[axis] - from[axis])) axis = c;
            for (int y = row * rh; y < (row + 1) * rh; ++y)
                for (int x = m + col * cw; x < m + (col + 1) * cw; ++x) {
                    const QColor p = img.pixelColor(x, y);
                    if (p == color) return true;
                    const int got[3] = {p.red(), p.green(), p.blue()};
                    if (want[axis] == from[axis]) continue;
                    const double t = double(got[axis] - from[axis]) / (want[axis] - from[axis]);
                    bool near = t >= 0.5;
                    for (int c = 0; c < 3 && near; ++c) near = std::abs(got[c] - (from[c] + t * (want[c] - from[c]))) <= 40;
                    if (near) return true;
                }
            return false;
        };

        QImage img = view.viewport()->grab().toImage();
        QCOMPARE(cellTop(img, 0, 0), QColor(250, 250, 250));  // runs sit on class 0
        QVERIFY(hasColor(img, 0, 0, QColor(0, 0, 0)));         // "a" in class 2
        QVERIFY(hasColor(img, 2, 0, QColor(0, 160, 0)));       // the digit in class 7
        QVERIFY(hasColor(img, 1, 1, QColor(200, 0, 0)));       // the comment goes on to line 1
        QVERIFY(hasColor(img, 9, 1, QColor(0, 0, 0)));         // "y" after the comment closed
        QCOMPARE(cellTop(img, 30, 0), QColor(250, 250, 250));  // right of the text: class 0
        QCOMPARE(cellTop(img, 0, 10), QColor(250, 250, 250));  // rows below the text: class 0
        // The margin is a checker of classes 1 and 3.
        bool sawBack = false, sawMargin = false;
        for (int x = 0; x < 8; ++x) {
            const QColor c = img.pixelColor(x, 3);
            sawBack |= c == QColor(240, 240, 200);
            sawMargin |= c == QColor(100, 100, 100);
        }
        QVERIFY(sawBack && sawMargin);

        // A selection ending at character 0 marks the end cell of the line before it only.
        view.setFocus();
        QApplication::processEvents();
        view.SelectRange(TextPosition(0, 1), TextPosition(1, 0));
        img = view.viewport()->grab().toImage();
        QCOMPARE(cellTop(img, 0, 0), QColor(250, 250, 250));
        QCOMPARE(cellTop(img, 1, 0), QColor(0, 0, 160));
        QVERIFY(hasColor(img, 1, 0, QColor(255, 255, 255)));  // selected text in class 5
        QCOMPARE(cellTop(img, 8, 0), QColor(0, 0, 160));      // the line-end cell
        QCOMPARE(cellTop(img, 9, 0), QColor(250, 250, 250));
        QCOMPARE(cellTop(img, 0, 1), QColor(250, 250, 250));

        // Without the focus and with show-selection-always off, no selection is drawn.
        view.clearFocus();
        QWidget other;
        other.show();
        other.setFocus();
        QApplication::processEvents();
        QVERIFY(!view.HasFocusFlag());
        img = view.viewport()->grab().toImage();
        QCOMPARE(cellTop(img, 1, 0), QColor(250, 250, 250));
        CCrystalTextView::SetShowSelectionAlways(true);
        img = view.viewport()->grab().toImage();
        QCOMPARE(cellTop(img, 1, 0), QColor(0, 0, 160));

        // A parser that returns no block: class 2 on class 1.
        view.noBlocks = true;
        view.InvalidateColoring();  // the parser's rules changed
        view.SelectRange(TextPosition(0, 0), TextPosition(0, 0));
        view.viewport()->update();
        img = view.viewport()->grab().toImage();
        QCOMPARE(cellTop(img, 0, 0), QColor(240, 240, 200));
        QVERIFY(hasColor(img, 2, 0, QColor(0, 0, 0)));
    }

    void marginSettingsAndEmptyText() {
        auto buffer = MakeBuffer("");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        QCOMPARE(view.LineCount(), 1);
        QCOMPARE(view.MarginWidth(), 22);
        QCOMPARE(view.PositionToPoint(TextPosition(0, 0)), QPoint(22, 0));
        CCrystalTextView::SetSelectionMargin(false);
        QCOMPARE(view.MarginWidth(), 1);
        QCOMPARE(view.PositionToPoint(TextPosition(0, 0)), QPoint(1, 0));
        // Without a buffer the view answers one empty line.
        CCrystalEditView unbound;
        QCOMPARE(unbound.LineCount(), 1);
        QCOMPARE(unbound.LineLength(0), 0);
        QCOMPARE(unbound.LineEndStatusText(), QString());
        QCOMPARE(view.LineEndStatusText(), QStringLiteral("DOS"));
    }

    void splitPanesShareScrolling() {
        auto buffer = MakeBuffer(Lines(300, std::string(200, 'w') + " "));
        QSplitter side(Qt::Horizontal);
        auto* left = new CCrystalEditView;
        auto* right = new CCrystalEditView;
        side.addWidget(left);
        side.addWidget(right);
        side.resize(800, 300);
        side.show();
        left->BindBuffer(buffer.get());
        right->BindBuffer(buffer.get());
        QApplication::processEvents();
        left->ScrollToLine(40);
        QCOMPARE(right->FirstVisibleLine(), 40);
        right->SetCursorAndClear(TextPosition(200, 0));
        QCOMPARE(left->FirstVisibleLine(), right->FirstVisibleLine());
        left->ScrollToColumn(30);  // panes side by side keep their own columns
        QCOMPARE(right->ScrollColumn(), 0);

        QSplitter stacked(Qt::Vertical);
        auto* top = new CCrystalEditView;
        auto* bottom = new CCrystalEditView;
        stacked.addWidget(top);
        stacked.addWidget(bottom);
        stacked.resize(400, 400);
        stacked.show();
        top->BindBuffer(buffer.get());
        QApplication::processEvents();
        top->ScrollToColumn(25);
        bottom->BindBuffer(buffer.get());  // a new pane starts with its neighbour's values
        QCOMPARE(bottom->ScrollColumn(), 25);
        bottom->ScrollToColumn(12);
        QCOMPARE(top->ScrollColumn(), 12);
        top->ScrollToLine(9);
        QCOMPARE(bottom->FirstVisibleLine(), 0);
    }

    void changesThroughAnotherViewAdjustPositions() {
        auto buffer = MakeBuffer("0123\nabcd\nlast");
        CCrystalEditView a, b;
        ShowView(a, buffer.get());
        ShowView(b, buffer.get());
        b.SetCursorAndClear(TextPosition(2, 2));
        b.SelectRange(TextPosition(1, 1), TextPosition(2, 2));
        a.SetCursorAndClear(TextPosition(0, 2));
        a.TypeText(QStringLiteral("XY\r"));
        QCOMPARE(b.CursorPosition(), TextPosition(3, 2));
        QCOMPARE(b.SelectionFrom(), TextPosition(2, 1));
        buffer->RemoveRange(nullptr, TextPosition(0, 0), TextPosition(3, 0));
        QCOMPARE(b.CursorPosition(), TextPosition(0, 2));
        // Reloading resets every view.
        buffer->InitFromText(0, "new");
        QCOMPARE(b.CursorPosition(), TextPosition(0, 0));
        QVERIFY(!b.HasSelection());
    }
};

QTEST_MAIN(TextViewTest)
#include "text_view_qtest.moc"
