#include "app/SourceView.h"

#include "app/CVeskDoc.h"

#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTextBlock>

namespace tarnwell {

namespace {

// Until the editor view is part of the program, documents are shown read-only: the text as the
// buffer holds it, refreshed on every change. Editing commands stay disabled.
class ReadOnlySourceView : public QPlainTextEdit, public BufferObserver {
public:
    ReadOnlySourceView(CVeskDoc& doc, QWidget* parent) : QPlainTextEdit(parent), doc_(doc) {
        setObjectName(QStringLiteral("SourceView"));
        setReadOnly(true);
        setLineWrapMode(QPlainTextEdit::NoWrap);
        setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        setFrameShape(QFrame::StyledPanel);
        doc_.Buffer().AttachView(this);
        Reload();
    }
    ~ReadOnlySourceView() override { doc_.Buffer().DetachView(this); }

    void OnBufferChanged(BufferObserver*, const PositionAdjuster*, std::uint32_t, int) override { Reload(); }

    void Reload() {
        const std::string bytes = doc_.Buffer().Text(LineEndUnix);
        // UTF-8 when the text is valid UTF-8, otherwise Windows-1252.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
        if (utf8.hasError()) {
            QStringDecoder cp1252("windows-1252");
            text = cp1252.isValid() ? cp1252.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())))
                                    : QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
        }
        setPlainText(text);
    }

private:
    CVeskDoc& doc_;
};

}  // namespace

QWidget* CreateSourceView(CVeskDoc& doc, QWidget* parent) { return new ReadOnlySourceView(doc, parent); }

void SetSourceViewCursor(QWidget* view, TextPosition pos) {
    auto* edit = dynamic_cast<ReadOnlySourceView*>(view);
    if (!edit) return;
    QTextBlock block = edit->document()->findBlockByNumber(pos.line);
    if (!block.isValid()) return;
    QTextCursor c(block);
    // The position counts bytes; for the read-only display a byte is taken as a character.
    c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, qMin(pos.ch, block.length() - 1));
    edit->setTextCursor(c);
}

}  // namespace tarnwell
