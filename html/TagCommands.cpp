#include "html/TagCommands.h"

#include "app/CommandIds.h"
#include "html/FileReference.h"
#include "html/InsertDialogs.h"
#include "html/Markup.h"
#include "html/ServerObjectsDialog.h"

#include <QFileInfo>

namespace tarnwell {

namespace {

constexpr const char* kObjectName = "tarnwellTagCommands";

bool IsDialogCommand(int id) {
    using namespace cmd;
    switch (id) {
    case InsertImage: case InsertLink: case InsertEmailLink: case InsertForm: case InsertTextField:
    case InsertTextArea: case InsertButton: case InsertCheckBox: case InsertRadioButton: case InsertListBox:
    case InsertFileField: case InsertImageField: case InsertHiddenField: case InsertTable: case FormatList:
    case InsertDateTime: case InsertSpecialChars: case FormatFont:
        return true;
    default: return false;
    }
}

bool IsServerObjectCommand(int id) {
    return id >= cmd::ServerObjectFirst && id < cmd::ServerObjectFirst + kServerObjectMenuLimit;
}

// Where `start` ends up after the bytes of `text` (the buffer breaks lines at CR LF and lone CR).
TextPosition Advance(TextPosition start, std::string_view text) {
    TextPosition pos = start;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ++pos.line;
            pos.ch = 0;
        } else {
            ++pos.ch;
        }
    }
    return pos;
}

}  // namespace

bool IsTagCommand(int id) {
    return FixedMarkupFor(id) || IsDialogCommand(id) || IsServerObjectCommand(id) || id == cmd::AspIncludeFile ||
           id == cmd::EditDeleteLine;
}

CTagCommands::CTagCommands(CCrystalEditView& view, AuthoringContext context)
    : QObject(&view), view_(view), context_(std::move(context)) {
    setObjectName(QString::fromLatin1(kObjectName));
}

std::optional<std::string> CTagCommands::Encode(std::string_view utf8) const {
    std::u32string refused;
    std::string text = view_.TextFromUnicode(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())), &refused);
    if (refused.empty()) return text;
    view_.RefuseChars(refused);
    return std::nullopt;
}

QString CTagCommands::SelectedText() const {
    CCrystalTextBuffer* buffer = view_.Buffer();
    if (!buffer) return {};
    TextPosition start, end;
    view_.SelectionBounds(start, end);
    return view_.TextToUnicode(buffer->CopyRange(start, end, "\r\n"));
}

void CTagCommands::Replace(const std::string& encoded, std::size_t cursor) {
    CCrystalTextBuffer* buffer = view_.Buffer();
    if (!buffer || !view_.IsEditable()) return;
    TextPosition start, end;
    view_.SelectionBounds(start, end);
    {
        // The removed selection and the markup come back with one undo.
        UndoGroup group(*buffer);
        if (start != end && !buffer->RemoveRange(&view_, start, end)) return;
        TextPosition after = start;
        if (!buffer->InsertTextAt(&view_, start, encoded, &after)) {
            view_.SetCursorAndClear(start);
            return;
        }
        view_.SetCursorAndClear(after);
    }
    const TextPosition pos = Advance(start, std::string_view(encoded).substr(0, cursor));
    if (buffer->IsValidPosition(pos)) view_.SetCursorAndClear(pos);
}

void CTagCommands::InsertSnippet(std::string_view text, std::size_t cursor) {
    cursor = std::min(cursor, text.size());
    const auto before = Encode(text.substr(0, cursor));
    const auto after = before ? Encode(text.substr(cursor)) : std::nullopt;
    if (after) Replace(*before + *after, before->size());
}

void CTagCommands::WrapSelection(std::string_view open, std::string_view close) {
    CCrystalTextBuffer* buffer = view_.Buffer();
    if (!buffer) return;
    TextPosition start, end;
    view_.SelectionBounds(start, end);
    const auto head = Encode(open);
    const auto tail = head ? Encode(close) : std::nullopt;
    if (tail) Replace(*head + buffer->CopyRange(start, end, "\r\n") + *tail, head->size());
}

void CTagCommands::DeleteLine() {
    CCrystalTextBuffer* buffer = view_.Buffer();
    if (!buffer || !view_.IsEditable() || buffer->LineCount() < 1) return;
    const int line = view_.CursorPosition().line;
    const bool last = line >= buffer->LineCount() - 1;
    const TextPosition from(line, 0);
    const TextPosition to = last ? TextPosition(line, buffer->LineLength(line)) : TextPosition(line + 1, 0);
    if (from == to) return;
    view_.SetCursorAndClear(from);
    buffer->RemoveRange(&view_, from, to);
    view_.SetCursorAndClear(from);
}

void CTagCommands::InsertInclude() {
    const QString file = ChooseFile(&view_, QString(), QString(),
                                    QStringLiteral("ASP File (*.inc *.asp *.aspx);;All Files (*)"), false);
    if (file.isEmpty()) return;
    // "file=" is read relative to the including page, so the page's folder comes first; an untitled
    // page falls back to the project folder.
    const QString page = context_.documentPath ? context_.documentPath() : QString();
    QString base = page.isEmpty() ? QString() : QFileInfo(page).absolutePath();
    if (base.isEmpty() && context_.projectFolder) base = context_.projectFolder();
    const std::string path = IncludePath(file.toStdString(), base.toStdString());
    const std::string snippet = "<!-- #include file=\"" + path + "\" -->";
    InsertSnippet(snippet, 20);
}

bool CTagCommands::RunDialog(int id) {
    std::optional<InsertResult> result = RunInsertDialog(id, SelectedText(), context_, &view_);
    if (!result) return true;
    if (result->wrap) {
        WrapSelection(result->wrapping.open, result->wrapping.close);
    } else {
        InsertSnippet(result->snippet.text, result->snippet.cursor);
    }
    return true;
}

bool CTagCommands::UpdateCommand(int id, CommandState& state) {
    if (!IsTagCommand(id)) return false;
    state.enabled = view_.IsEditable();
    return true;
}

bool CTagCommands::ExecuteCommand(int id) {
    if (!IsTagCommand(id)) return false;
    if (!view_.IsEditable()) return true;
    if (auto fixed = FixedMarkupFor(id)) {
        if (fixed->wrap) {
            WrapSelection(fixed->wrapping.open, fixed->wrapping.close);
        } else {
            InsertSnippet(fixed->snippet.text, fixed->snippet.cursor);
        }
        return true;
    }
    if (IsDialogCommand(id)) return RunDialog(id);
    if (IsServerObjectCommand(id)) {
        const auto& objects = CServerObjectStore::Get(context_.profile).Objects();
        const std::size_t i = std::size_t(id - cmd::ServerObjectFirst);
        // Inserted as pasted text is: over the selection, the cursor after it.
        if (i < objects.size()) {
            if (const auto text = Encode(objects[i].id)) Replace(*text, text->size());
        }
        return true;
    }
    switch (id) {
    case cmd::AspIncludeFile: InsertInclude(); return true;
    case cmd::EditDeleteLine: DeleteLine(); return true;
    default: return false;
    }
}

CTagCommands* AttachTagCommands(CCrystalEditView& view, AuthoringContext context) {
    if (auto* existing = TagCommandsOf(view)) return existing;
    return new CTagCommands(view, std::move(context));
}

CTagCommands* TagCommandsOf(const CCrystalTextView& view) {
    return view.findChild<CTagCommands*>(QString::fromLatin1(kObjectName), Qt::FindDirectChildrenOnly);
}

}  // namespace tarnwell
