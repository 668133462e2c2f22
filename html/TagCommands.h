// The tag insertion commands of an editor view: fixed snippets and wrappings, the insert dialogs,
// special characters, include files, server object ids and Delete Line. Every command is one undo
// step; the cursor lands where the markup wants the user to type next. The child frame offers
// commands to TagCommandsOf(view) after the view itself.
#pragma once

#include "text/CCrystalEditView.h"
#include "text/CommandTarget.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwell {

class Profile;

// What the commands ask of the program around the view.
struct AuthoringContext {
    Profile* profile = nullptr;                // "Form", "Date & Time", "Messages", "Server Objects"
    std::function<QString()> documentPath;     // the page's path; empty while it is untitled
    std::function<QString()> projectFolder;    // the open project's folder; empty without a project
};

class CTagCommands final : public QObject, public CCmdTarget {
    Q_OBJECT
public:
    CTagCommands(CCrystalEditView& view, AuthoringContext context);

    const AuthoringContext& Context() const { return context_; }
    CCrystalEditView& View() { return view_; }

    // Replaces the selection by `text` (UTF-8) and puts the cursor `cursor` bytes into it.
    void InsertSnippet(std::string_view text, std::size_t cursor);
    // Replaces the selection by open + the selected text + close (UTF-8 markup around the text's
    // own bytes) and puts the cursor in front of the selected text.
    void WrapSelection(std::string_view open, std::string_view close);
    // The selected text as the dialogs show it.
    QString SelectedText() const;
    // Deletes the cursor's line with its line break (the last line only loses its text).
    void DeleteLine();

    bool UpdateCommand(int id, CommandState& state) override;
    bool ExecuteCommand(int id) override;

private:
    // Inserts `encoded` (buffer bytes) for the selection; the cursor goes `cursor` bytes into it.
    void Replace(const std::string& encoded, std::size_t cursor);
    // The markup in the page's code page; nothing (after a beep and a status message) when the page
    // cannot hold one of its characters.
    std::optional<std::string> Encode(std::string_view utf8) const;
    bool RunDialog(int id);
    void InsertInclude();

    CCrystalEditView& view_;
    AuthoringContext context_;
};

// Gives the view its tag commands (once; later calls answer the same object, owned by the view).
CTagCommands* AttachTagCommands(CCrystalEditView& view, AuthoringContext context);
CTagCommands* TagCommandsOf(const CCrystalTextView& view);

// Whether a command id belongs to the tag commands.
bool IsTagCommand(int id);

}  // namespace tarnwell
