// The insert dialogs: each asks for the attributes of one element and composes its markup (through
// the builders of Markup.h). Shared pieces: the dialog frame with its field checks, the path field
// with its browse button, and the file chooser that tests may answer.
#pragma once

#include "html/Markup.h"

#include <QAbstractSpinBox>
#include <QDialog>
#include <QLineEdit>
#include <QString>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QFormLayout;

namespace tarnwell {

struct AuthoringContext;

// What an insert command puts into the text: a snippet for the selection, or a wrapping around it.
struct InsertResult {
    bool wrap = false;
    Snippet snippet;
    Wrapping wrapping;
};

// Runs the dialog of an insert command modally (`selected`: the selected text, which some dialogs
// show); empty when it was cancelled or the command has no dialog.
std::optional<InsertResult> RunInsertDialog(int commandId, const QString& selected, const AuthoringContext& context,
                                            QWidget* owner);

// Open (or, with `save`, save) file dialogs. Tests install a chooser that answers instead; an empty
// function restores the platform's dialogs.
using FileChooser = std::function<QString(QWidget* parent, const QString& caption, const QString& start,
                                          const QString& filter, bool save)>;
void SetFileChooser(FileChooser chooser);
QString ChooseFile(QWidget* parent, const QString& caption, const QString& start, const QString& filter, bool save);

// How a chosen file is referred to from the page: outside the open project it offers to copy the
// file into the project first; an untitled page gets a file URL and a warning (which the user may
// switch off).
QString ReferenceForChosenFile(const QString& path, const AuthoringContext& context, QWidget* owner);

// A text field with a browse button at its right end; browsing writes the chosen file's reference.
class CPathEdit : public QLineEdit {
public:
    enum Filter { HtmlFiles = 0, ImageFiles = 1, AllFiles = 2 };
    CPathEdit(const AuthoringContext& context, std::vector<Filter> filters, QWidget* parent = nullptr);
    void Browse();
    QString FilterText() const;

private:
    const AuthoringContext& context_;
    std::vector<Filter> filters_;
};

// The frame of every insert dialog: a form of labelled fields, OK and Cancel, and the checks that
// run on OK (a failed check shows its message, focuses the field and keeps the dialog open).
class CInsertDialog : public QDialog {
public:
    CInsertDialog(const QString& title, QWidget* owner);
    virtual InsertResult Result() const = 0;
    void accept() override;

protected:
    QLineEdit* AddText(const QString& label, const char* name, int limit = 0, const QString& text = {});
    CPathEdit* AddPath(const QString& label, const char* name, const AuthoringContext& context,
                       std::vector<CPathEdit::Filter> filters);
    QComboBox* AddCombo(const QString& label, const char* name, const std::vector<std::string>& items,
                        bool editable, int limit = 0);
    QCheckBox* AddCheck(const QString& text, const char* name);
    void AddRow(const QString& label, QWidget* field);
    // A field whose text is checked against a length limit (editable combos included).
    void Limit(QWidget* field, int limit);
    // Extra checks of a dialog: a message (empty when all is well) and the field to focus.
    virtual std::pair<QString, QWidget*> Check() const { return {}; }
    // Called once all checks passed, before the dialog closes (stored values are written here).
    virtual void Confirmed() {}
    void Finish();  // adds the buttons; call at the end of the constructor

    QFormLayout* form_;

private:
    std::vector<std::pair<QWidget*, int>> limits_;
};

// A number field with spin arrows that may also stay empty (its text is the value).
class CSpinEdit : public QAbstractSpinBox {
public:
    CSpinEdit(long long lowest, long long highest, QWidget* parent = nullptr);
    QString Text() const;
    void SetText(const QString& text);
    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

private:
    long long lowest_, highest_;
};

// The dialogs by command (null for a command without one of these dialogs).
CInsertDialog* NewFormDialog(int commandId, const QString& selected, const AuthoringContext& context, QWidget* owner);
CInsertDialog* NewElementDialog(int commandId, const QString& selected, const AuthoringContext& context,
                                QWidget* owner);

// Text of a field as UTF-8.
std::string Utf8(const QString& text);

}  // namespace tarnwell
