// The Replace dialog (8602), a thin widget over the engine's ReplaceDialogModel. Controls carry
// their dialog ids as object names ("8605", "8609", ...).
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

class CReplaceDialog : public QDialog {
    Q_OBJECT
public:
    CReplaceDialog(FindTarget& target, Profile& profile, QWidget* parent = nullptr);
    ~CReplaceDialog() override;

    ReplaceDialogModel& Model() { return *model_; }
    QLineEdit* FindWhat() const { return findWhat_; }
    QLineEdit* ReplaceWith() const { return replaceWith_; }
    QCheckBox* WholeWord() const { return wholeWord_; }
    QCheckBox* MatchCase() const { return matchCase_; }
    QRadioButton* SelectionScope() const { return selection_; }
    QRadioButton* WholeFileScope() const { return wholeFile_; }
    QPushButton* FindNextButton() const { return findNext_; }
    QPushButton* ReplaceButton() const { return replace_; }
    QPushButton* ReplaceAllButton() const { return replaceAll_; }

    void done(int r) override;

private:
    void SyncToModel();
    void UpdateButtons();

    std::unique_ptr<ReplaceDialogModel> model_;
    QLineEdit* findWhat_ = nullptr;
    QLineEdit* replaceWith_ = nullptr;
    QCheckBox* wholeWord_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QRadioButton* selection_ = nullptr;
    QRadioButton* wholeFile_ = nullptr;
    QPushButton* findNext_ = nullptr;
    QPushButton* replace_ = nullptr;
    QPushButton* replaceAll_ = nullptr;
};

}  // namespace tarnwell
