// The edit view: typing and its undo-merge rule, Enter, overwrite mode, Backspace/Delete, indent,
// the clipboard, drag and drop, multi-byte text and input-method text.
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QtTest>

#include "tests/text/ViewTestSupport.h"
#include "text/EditCommandIds.h"

using namespace tarnwell;
using namespace tarnwell::testing;

namespace {

// Runs the drag loop by handing the data to `target` as the platform would: enter, move, drop at
// `dropPoint` with `modifiers`, and answers the effect the target chose.
class DragSourceView : public CCrystalEditView {
public:
    CCrystalEditView* target = this;
    QPoint dropPoint;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    int loops = 0;

protected:
    Qt::DropAction RunDragLoop(QMimeData* data, Qt::DropActions actions) override {
        ++loops;
        QWidget* vp = target->viewport();
        QDragEnterEvent enter(dropPoint, actions, data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(vp, &enter);
        QDragMoveEvent move(dropPoint, actions, data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(vp, &move);
        QDropEvent drop(QPointF(dropPoint), actions, data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(vp, &drop);
        const Qt::DropAction result = drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
        delete data;
        return result;
    }
};

class HookView : public CCrystalEditView {
public:
    QString before, after;
    bool BeforeCharTyped(char32_t ch) override {
        before += QString::fromUcs4(&ch, 1);
        return ch != U'#';
    }
    void AfterCharTyped(char32_t ch) override { after += QString::fromUcs4(&ch, 1); }
};

}  // namespace

class EditViewTest : public QObject {
    Q_OBJECT

    ViewSettings saved_;

    static int UndoSteps(CCrystalTextBuffer& buffer, QStringList& texts) {
        int steps = 0;
        while (buffer.CanUndoStep()) {
            buffer.UndoStep();
            texts << QString::fromStdString(TextOf(buffer));
            ++steps;
        }
        return steps;
    }

private slots:
    void init() { saved_ = CCrystalTextView::GetViewSettings(); }
    void cleanup() { CCrystalTextView::SetViewSettings(saved_); }

    void typingMergesWordsAndBlanksSeparately() {
        auto buffer = MakeBuffer("");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        QTest::keyClicks(&view, "word  next");
        QCOMPARE(TextOf(*buffer), std::string("word  next"));
        QStringList texts;
        QCOMPARE(UndoSteps(*buffer, texts), 3);
        QCOMPARE(texts, QStringList({"word  ", "word", ""}));

        // The cursor returns to where the first letter of the group was typed.
        auto b2 = MakeBuffer("xy");
        CCrystalEditView v2;
        ShowView(v2, b2.get());
        v2.SetCursorAndClear(TextPosition(0, 1));
        v2.TypeText(QStringLiteral("abc"));
        v2.Undo();
        QCOMPARE(TextOf(*b2), std::string("xy"));
        QCOMPARE(v2.CursorPosition(), TextPosition(0, 1));

        // Moving the cursor between two typed letters starts a new step.
        v2.TypeText(QStringLiteral("ab"));
        v2.MoveLeft(false);
        v2.MoveRight(false);
        v2.MoveLeft(false);
        v2.TypeText(QStringLiteral("c"));
        QCOMPARE(TextOf(*b2), std::string("xacby"));
        v2.Undo();
        QCOMPARE(TextOf(*b2), std::string("xaby"));
        // Any other change between two letters also starts a new step.
        v2.SetCursorAndClear(TextPosition(0, 4));
        v2.TypeText(QStringLiteral("p"));
        b2->InsertTextAt(nullptr, TextPosition(0, 0), "-");
        v2.TypeText(QStringLiteral("q"));
        v2.Undo();
        QCOMPARE(TextOf(*b2), std::string("-xabyp"));
    }

    void typingOverSelectionIsOneStep() {
        auto buffer = MakeBuffer("hello world");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        view.SelectRange(TextPosition(0, 0), TextPosition(0, 5));
        view.PlaceCursor(TextPosition(0, 5));
        view.TypeText(QStringLiteral("J"));
        QCOMPARE(TextOf(*buffer), std::string("J world"));
        QCOMPARE(view.CursorPosition(), TextPosition(0, 1));
        view.Undo();
        QCOMPARE(TextOf(*buffer), std::string("hello world"));
    }

    void typingHooksAndReadOnly() {
        auto buffer = MakeBuffer("");
        HookView view;
        ShowView(view, buffer.get());
        view.TypeText(QStringLiteral("a#b"));
        QCOMPARE(TextOf(*buffer), std::string("ab"));
        QCOMPARE(view.before, QStringLiteral("a#b"));
        QCOMPARE(view.after, QStringLiteral("ab"));
        buffer->SetReadOnly(true);
        view.TypeText(QStringLiteral("zz"));
        view.Enter();
        view.Backspace();
        view.Paste();
        QCOMPARE(TextOf(*buffer), std::string("ab"));
        QVERIFY(!view.IsEditable());
    }

    void enterWithAutoIndent() {
        auto buffer = MakeBuffer("\t  code();\nnext");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        view.SetCursorAndClear(TextPosition(0, 10));
        QTest::keyClick(&view, Qt::Key_Return);
        QCOMPARE(TextOf(*buffer), std::string("\t  code();\n\t  \nnext"));
        QCOMPARE(view.CursorPosition(), TextPosition(1, 3));
        view.Undo();  // break and indent are one step
        QCOMPARE(TextOf(*buffer), std::string("\t  code();\nnext"));
        CCrystalTextView::SetAutoIndent(false);
        view.SetCursorAndClear(TextPosition(0, 3));
        view.Enter();
        QCOMPARE(TextOf(*buffer), std::string("\t  \ncode();\nnext"));
        QCOMPARE(view.CursorPosition(), TextPosition(1, 0));
    }

    void overwriteMode() {
        auto buffer = MakeBuffer("abcdef\n\t  x\nlast");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        QTest::keyClick(&view, Qt::Key_Insert);
        QVERIFY(view.GetOverwriteMode());
        QCOMPARE(view.OverwriteStatusText(), QStringLiteral("OVR"));
        CommandState state;
        QVERIFY(view.UpdateCommand(cmd::ToggleOverwrite, state));
        QCOMPARE(state.checked, std::optional<bool>(true));
        view.TypeText(QStringLiteral("XY"));
        QCOMPARE(TextOf(*buffer), std::string("XYcdef\n\t  x\nlast"));
        // Tab inside the line moves to the next tab stop instead of inserting.
        view.Indent();
        QCOMPARE(view.CursorPosition(), TextPosition(0, 4));
        QCOMPARE(TextOf(*buffer), std::string("XYcdef\n\t  x\nlast"));
        // At the line end typing appends.
        view.MoveEnd(false);
        view.TypeText(QStringLiteral("!"));
        QCOMPARE(TextOf(*buffer), std::string("XYcdef!\n\t  x\nlast"));
        // Enter only moves to the next line, after its leading blanks.
        view.Enter();
        QCOMPARE(view.CursorPosition(), TextPosition(1, 3));
        QCOMPARE(TextOf(*buffer), std::string("XYcdef!\n\t  x\nlast"));
        // On the last line Enter breaks the line as usual.
        view.MoveTextEnd(false);
        view.Enter();
        QCOMPARE(TextOf(*buffer), std::string("XYcdef!\n\t  x\nlast\n"));
        // A multi-byte character is overwritten whole.
        auto mb = MakeBuffer("\xC3\xA9z");
        CCrystalEditView v2;
        ShowView(v2, mb.get());
        v2.SetOverwriteMode(true);
        v2.TypeText(QStringLiteral("e"));
        QCOMPARE(TextOf(*mb), std::string("ez"));
    }

    void backspaceAndDelete() {
        auto buffer = MakeBuffer("ab\ncd\xC3\xA9");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        view.MoveTextEnd(false);
        QTest::keyClick(&view, Qt::Key_Backspace);  // the whole é
        QCOMPARE(TextOf(*buffer), std::string("ab\ncd"));
        view.SetCursorAndClear(TextPosition(1, 0));
        view.Backspace();  // joins with the line above
        QCOMPARE(TextOf(*buffer), std::string("abcd"));
        QCOMPARE(view.CursorPosition(), TextPosition(0, 2));
        view.Backspace();
        view.Backspace();
        QCOMPARE(TextOf(*buffer), std::string("cd"));
        view.Backspace();  // at (0, 0): nothing
        QCOMPARE(TextOf(*buffer), std::string("cd"));
        view.Undo();  // consecutive backspaces are separate steps
        QCOMPARE(TextOf(*buffer), std::string("acd"));

        auto b2 = MakeBuffer("one\ntwo");
        CCrystalEditView v2;
        ShowView(v2, b2.get());
        v2.SetCursorAndClear(TextPosition(0, 3));
        QTest::keyClick(&v2, Qt::Key_Delete);
        QCOMPARE(TextOf(*b2), std::string("onetwo"));
        v2.MoveTextEnd(false);
        v2.DeleteChar();
        QCOMPARE(TextOf(*b2), std::string("onetwo"));
        v2.SetCursorAndClear(TextPosition(0, 1));
        v2.SelectRange(TextPosition(0, 1), TextPosition(0, 4));
        v2.DeleteChar();
        QCOMPARE(TextOf(*b2), std::string("owo"));
        QCOMPARE(v2.CursorPosition(), TextPosition(0, 1));
    }

    void blockIndentIsOneStep() {
        auto buffer = MakeBuffer("l0\nl1\nline2\nline3\nline4\nl5");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        view.PlaceAnchor(TextPosition(2, 3));
        view.SelectRange(TextPosition(2, 3), TextPosition(5, 0));
        view.PlaceCursor(TextPosition(5, 0));
        QTest::keyClick(&view, Qt::Key_Tab);
        QCOMPARE(TextOf(*buffer), std::string("l0\nl1\n\tline2\n\tline3\n\tline4\nl5"));
        TextPosition s, e;
        view.SelectionBounds(s, e);
        QCOMPARE(s, TextPosition(2, 0));
        QCOMPARE(e, TextPosition(5, 0));
        QCOMPARE(view.CursorPosition(), TextPosition(5, 0));
        QVERIFY(view.hasFocus());  // Tab did not move the focus
        view.Undo();
        QCOMPARE(TextOf(*buffer), std::string("l0\nl1\nline2\nline3\nline4\nl5"));

        // Tab-to-space indents by the tab size; a selection reaching into the last line ends at the
        // end of the text.
        CCrystalTextView::SetTabToSpace(true);
        view.SelectRange(TextPosition(4, 1), TextPosition(5, 1));
        view.Indent();
        QCOMPARE(TextOf(*buffer), std::string("l0\nl1\nline2\nline3\n    line4\n    l5"));
        view.SelectionBounds(s, e);
        QCOMPARE(e, TextPosition(5, 6));
        // Single line: the unit goes in at the cursor.
        view.SetCursorAndClear(TextPosition(0, 1));
        view.Indent();
        QCOMPARE(TextOf(*buffer).substr(0, 7), std::string("l    0\n"));
    }

    void blockUnindent() {
        auto buffer = MakeBuffer("  \tx\n\ty\nz\n      w\n\nend");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        view.SelectRange(TextPosition(0, 0), TextPosition(5, 0));
        QTest::keyClick(&view, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(TextOf(*buffer), std::string("x\ny\nz\n  w\n\nend"));
        view.Undo();
        QCOMPARE(TextOf(*buffer), std::string("  \tx\n\ty\nz\n      w\n\nend"));

        // Without a block selection Shift+Tab only moves the cursor back to a tab stop.
        view.SetCursorAndClear(TextPosition(3, 6));
        view.Unindent();
        QCOMPARE(view.CursorPosition(), TextPosition(3, 4));
        view.Unindent();  // exactly on a stop: one stop further
        QCOMPARE(view.CursorPosition(), TextPosition(3, 0));
        view.Unindent();
        QCOMPARE(view.CursorPosition(), TextPosition(3, 0));
        QCOMPARE(TextOf(*buffer), std::string("  \tx\n\ty\nz\n      w\n\nend"));
    }

    void clipboardRoundTrip() {
        auto buffer = MakeBuffer("first line\nsecond \xC3\xA9 line\nthird");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        view.SelectRange(TextPosition(0, 6), TextPosition(1, 9));
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("line\nsecond \u00e9"));
        view.Cut();
        QCOMPARE(TextOf(*buffer), std::string("first  line\nthird"));
        view.SetCursorAndClear(TextPosition(1, 5));
        QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(TextOf(*buffer), std::string("first  line\nthirdline\nsecond \xC3\xA9"));
        QCOMPARE(view.CursorPosition(), TextPosition(2, 9));
        view.Undo();
        view.Undo();
        QCOMPARE(TextOf(*buffer), std::string("first line\nsecond \xC3\xA9 line\nthird"));

        // Text from other programs: any line end becomes a line break; a Windows-1252 document gets
        // its own bytes.
        auto latin = MakeBuffer("x\xE9");
        CCrystalEditView v2;
        ShowView(v2, latin.get());
        QApplication::clipboard()->setText(QStringLiteral("a\nb\r\nc\u00e9"));
        v2.MoveTextEnd(false);
        v2.Paste();
        QCOMPARE(TextOf(*latin), std::string("x\xE9" "a\nb\nc\xE9"));
        CommandState state;
        v2.UpdateCommand(cmd::Paste, state);
        QVERIFY(state.enabled);
        v2.UpdateCommand(cmd::Cut, state);
        QVERIFY(!state.enabled);
    }

    // Paste is enabled from the clipboard's formats, asked again only after the clipboard changed:
    // the refresh that runs on every key press never reads the clipboard's text.
    void pasteEnablingFollowsClipboardWithoutReadingIt() {
        struct CountingData : QMimeData {
            mutable int reads = 0;
            QVariant retrieveData(const QString& mime, QMetaType type) const override {
                ++reads;
                return QMimeData::retrieveData(mime, type);
            }
        };
        auto buffer = MakeBuffer("abc");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        auto enabled = [&view] {
            CommandState state;
            view.UpdateCommand(cmd::Paste, state);
            return state.enabled;
        };
        auto* data = new CountingData;
        data->setText(QStringLiteral("a large clipboard"));
        QApplication::clipboard()->setMimeData(data);
        for (int i = 0; i < 5; ++i) QVERIFY(enabled());
        QCOMPARE(data->reads, 0);
        auto* image = new QMimeData;
        image->setData(QStringLiteral("image/png"), QByteArray("\x89PNG"));
        QApplication::clipboard()->setMimeData(image);
        QVERIFY(!enabled());
        QApplication::clipboard()->setText(QStringLiteral("z"));
        QVERIFY(enabled());
        view.Paste();
        QCOMPARE(TextOf(*buffer), std::string("zabc"));
        QApplication::clipboard()->clear();
        QVERIFY(!enabled());
    }

    void dragMoveWithinViewIsOneStep() {
        auto buffer = MakeBuffer("alpha beta gamma");
        DragSourceView view;
        ShowView(view, buffer.get());
        const int cw = view.CellWidth();
        const int m = view.MarginWidth();
        view.SelectRange(TextPosition(0, 0), TextPosition(0, 6));  // "alpha "
        view.dropPoint = QPoint(m + 16 * cw - cw / 2 + 1, 3);  // the end of the line
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(m + 2 * cw, 3));
        QTest::mouseMove(view.viewport(), QPoint(m + 4 * cw, 3));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(m + 4 * cw, 3));
        QCOMPARE(view.loops, 1);
        QCOMPARE(TextOf(*buffer), std::string("beta gammaalpha "));
        TextPosition s, e;
        view.SelectionBounds(s, e);
        QCOMPARE(view.RangeText(s, e), std::string("alpha "));
        view.Undo();
        QCOMPARE(TextOf(*buffer), std::string("alpha beta gamma"));

        // Ctrl copies instead.
        view.SelectRange(TextPosition(0, 0), TextPosition(0, 5));
        view.modifiers = Qt::ControlModifier;
        view.dropPoint = QPoint(m + 11 * cw - cw / 2 + 1, 3);
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(m + 1 * cw, 3));
        QTest::mouseMove(view.viewport(), QPoint(m + 3 * cw, 3));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(m + 3 * cw, 3));
        QCOMPARE(TextOf(*buffer), std::string("alpha beta alphagamma"));
    }

    void dropInsideDraggedTextChangesNothing() {
        auto buffer = MakeBuffer("alpha beta gamma");
        DragSourceView view;
        ShowView(view, buffer.get());
        const int cw = view.CellWidth();
        const int m = view.MarginWidth();
        view.SelectRange(TextPosition(0, 6), TextPosition(0, 10));  // "beta"
        view.dropPoint = QPoint(m + 8 * cw + 1, 3);
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(m + 7 * cw, 3));
        QTest::mouseMove(view.viewport(), QPoint(m + 9 * cw + 4, 3));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(m + 9 * cw + 4, 3));
        QCOMPARE(view.loops, 1);
        QCOMPARE(TextOf(*buffer), std::string("alpha beta gamma"));
        QVERIFY(!view.HasSelection());
        QCOMPARE(view.CursorPosition(), TextPosition(0, 8));
        QVERIFY(!buffer->CanUndoStep());
    }

    void dragBetweenViewsMovesText() {
        auto from = MakeBuffer("take this away");
        auto to = MakeBuffer("into: ");
        DragSourceView source;
        CCrystalEditView target;
        ShowView(source, from.get());
        ShowView(target, to.get());
        const int cw = source.CellWidth();
        const int m = source.MarginWidth();
        source.target = &target;
        source.dropPoint = QPoint(m + 6 * cw + 1, 3);
        source.SelectRange(TextPosition(0, 5), TextPosition(0, 10));  // "this "
        QTest::mousePress(source.viewport(), Qt::LeftButton, {}, QPoint(m + 6 * cw, 3));
        QTest::mouseMove(source.viewport(), QPoint(m + 8 * cw, 3));
        QTest::mouseRelease(source.viewport(), Qt::LeftButton, {}, QPoint(m + 8 * cw, 3));
        QCOMPARE(TextOf(*to), std::string("into: this "));
        QCOMPARE(TextOf(*from), std::string("take away"));
        TextPosition s, e;
        target.SelectionBounds(s, e);
        QCOMPARE(s, TextPosition(0, 6));
        QCOMPARE(e, TextPosition(0, 11));
    }

    void insertAtCursorAndSwapSelection() {
        auto buffer = MakeBuffer("abc");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        QVERIFY(!view.InsertAtCursor(static_cast<const char*>(nullptr)));
        QVERIFY(view.InsertAtCursor(""));
        view.SetCursorAndClear(TextPosition(0, 1));
        QVERIFY(view.InsertAtCursor("<b>"));
        QCOMPARE(TextOf(*buffer), std::string("a<b>bc"));
        QVERIFY(!view.HasSelection());
        QCOMPARE(view.CursorPosition(), TextPosition(0, 4));
        view.SelectRange(TextPosition(0, 4), TextPosition(0, 5));
        QVERIFY(view.InsertAtCursor("X\r\nY"));
        QCOMPARE(view.SelectionFrom(), TextPosition(0, 4));
        QCOMPARE(view.SelectionTo(), TextPosition(1, 1));

        view.SetCursorAndClear(TextPosition(0, 0));
        QVERIFY(!view.SwapSelectionText("zz"));
        view.SelectRange(TextPosition(0, 0), TextPosition(0, 1));
        {
            UndoGroup group(*buffer);
            QVERIFY(view.SwapSelectionText("AA"));
        }
        QCOMPARE(TextOf(*buffer), std::string("AA<b>X\nYc"));
        QCOMPARE(view.SelectionFrom(), TextPosition(0, 0));
        QCOMPARE(view.SelectionTo(), TextPosition(0, 2));
        QCOMPARE(view.CursorPosition(), TextPosition(0, 2));
        view.Undo();
        QCOMPARE(TextOf(*buffer), std::string("a<b>X\nYc"));
    }

    void multiByteTypingAndInputMethod() {
        auto buffer = std::make_unique<CCrystalTextBuffer>();
        buffer->SetDefaultCodePage(CodePage::Utf8);  // an empty page decides nothing: the default holds
        buffer->InitFromText(LineEndDos, "");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QStringLiteral("\u00e9"));
        QApplication::sendEvent(&view, &key);
        QCOMPARE(TextOf(*buffer), std::string("\xC3\xA9"));
        QInputMethodEvent im;
        im.setCommitString(QStringLiteral("\u65e5\u672c"));
        QApplication::sendEvent(view.viewport(), &im);
        QCOMPARE(TextOf(*buffer), std::string("\xC3\xA9\xE6\x97\xA5\xE6\x9C\xAC"));
        QCOMPARE(view.CursorPosition(), TextPosition(0, 8));
        QCOMPARE(view.PositionStatusText(), QStringLiteral("Ln 1, Col 6"));
        view.Backspace();
        QCOMPARE(TextOf(*buffer), std::string("\xC3\xA9\xE6\x97\xA5"));

        auto latin = MakeBuffer("\xE9");
        CCrystalEditView v2;
        ShowView(v2, latin.get());
        v2.MoveTextEnd(false);
        v2.TypeText(QStringLiteral("\u00fc\u20ac\u65e5"));  // ü and € exist in Windows-1252, 日 does not
        QCOMPARE(TextOf(*latin), std::string("\xE9\xFC\x80"));
        // Pasted text the code page cannot hold is refused whole.
        QApplication::clipboard()->setText(QString::fromUtf8("x\u0416"));
        v2.Paste();
        QCOMPARE(TextOf(*latin), std::string("\xE9\xFC\x80"));
        QCOMPARE(v2.RefusedChars(), std::u32string(U"\u0416"));
        QApplication::clipboard()->setText(QString::fromUtf8("x\u00fc"));
        v2.Paste();
        QCOMPARE(TextOf(*latin), std::string("\xE9\xFC\x80x\xFC"));
    }

    void undoRedoCommands() {
        auto buffer = MakeBuffer("");
        CCrystalEditView view;
        ShowView(view, buffer.get());
        CommandState state;
        view.UpdateCommand(cmd::Undo, state);
        QVERIFY(!state.enabled);
        view.TypeText(QStringLiteral("ab cd"));
        view.UpdateCommand(cmd::Undo, state);
        QVERIFY(state.enabled);
        QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(TextOf(*buffer), std::string("ab "));
        QTest::keyClick(&view, Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(TextOf(*buffer), std::string("ab"));
        QTest::keyClick(&view, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(TextOf(*buffer), std::string("ab "));
        // Alt+letter and Ctrl+Alt+letter are commands, never text.
        QTest::keyClick(&view, Qt::Key_F, Qt::AltModifier);
        QTest::keyClick(&view, Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(TextOf(*buffer), std::string("ab "));
        QVERIFY(view.ExecuteCommand(cmd::UndoAll));
        QCOMPARE(TextOf(*buffer), std::string(""));
        QVERIFY(!buffer->IsDirty());
        QCOMPARE(view.CursorPosition(), TextPosition(0, 0));
        QVERIFY(view.ExecuteCommand(cmd::RedoAll));
        QCOMPARE(TextOf(*buffer), std::string("ab cd"));
        QCOMPARE(view.CursorPosition(), TextPosition(0, 5));
        view.UpdateCommand(cmd::Redo, state);
        QVERIFY(!state.enabled);
        CCrystalEditView unbound;
        unbound.UpdateCommand(cmd::Undo, state);
        QVERIFY(!state.enabled);
        unbound.Undo();
    }
};

QTEST_MAIN(EditViewTest)
#include "edit_view_qtest.moc"
