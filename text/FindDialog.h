// The Find dialog (8601), a thin widget over the engine's FindDialogModel, and the view-side find
// commands. Controls carry their dialog ids as object names ("8605", "8603", ...).
#pragma once

#include "text/FindSession.h"

#include <QDialog>
#include <memory>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tarnwell {

class Profile;

// Shows a message of the dialogs in a plain message box (the count with the information icon).
void ShowFindMessage(const std::string& message, bool information);

class CFindDialog : public QDialog {
    Q_OBJECT
public:
    CFindDialog(FindTarget& target, Profile& profile, QWidget* parent = nullptr);
    ~CFindDialog() override;

    FindDialogModel& Model() { return *model_; }
    QLineEdit* FindWhat() const { return findWhat_; }
    QPushButton* FindNextButton() const { return findNext_; }
    QCheckBox* WholeWord() const { return wholeWord_; }
    QCheckBox* MatchCase() const { return matchCase_; }
    QRadioButton* Up() const { return up_; }
    QRadioButton* Down() const { return down_; }

    void done(int r) override;

private:
    void OnFindNext();
    void SyncToModel();

    std::unique_ptr<FindDialogModel> model_;
    QLineEdit* findWhat_ = nullptr;
    QCheckBox* wholeWord_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QRadioButton* up_ = nullptr;
    QRadioButton* down_ = nullptr;
    QPushButton* findNext_ = nullptr;
};

// The view-side commands: cmd::EditFind, cmd::EditFindNext (F3) and cmd::EditFindNextMenu, cmd::EditReplace.
// A view passes the ids it is offered; these answer true for the ids they own.
bool UpdateFindCommand(int id, FindTarget* target, bool& enabled);
bool ExecuteFindCommand(int id, FindTarget& target, Profile& profile, QWidget* parent);

}  // namespace tarnwell
