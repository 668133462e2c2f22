// Modal message boxes: the one with a "do not show again" check box, and the plain one.
//
// Both take the system message-box style bits: buttons = style & 0x0F, icon = style & 0xF0,
// default button index = (style >> 8) & 0x0F, and answer with the command id of the button.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;

namespace tarnwell {

class Profile;

namespace mb {
// Button sets.
inline constexpr unsigned kOk = 0x00;
inline constexpr unsigned kOkCancel = 0x01;
inline constexpr unsigned kAbortRetryIgnore = 0x02;
inline constexpr unsigned kYesNoCancel = 0x03;
inline constexpr unsigned kYesNo = 0x04;
inline constexpr unsigned kRetryCancel = 0x05;
// Icons.
inline constexpr unsigned kIconStop = 0x10;
inline constexpr unsigned kIconQuestion = 0x20;
inline constexpr unsigned kIconExclamation = 0x30;
inline constexpr unsigned kIconInformation = 0x40;
// Default button index.
inline constexpr unsigned kDefButton1 = 0x000;
inline constexpr unsigned kDefButton2 = 0x100;
inline constexpr unsigned kDefButton3 = 0x200;
// Command ids of the buttons.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdAbort = 3;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdIgnore = 5;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
}  // namespace mb

// The caption of a button by its command id ("&OK", "Cancel", "&Yes", ...).
QString ButtonCaption(int id);

// The message box with a check box. Only the button sets OK, OK/Cancel, Yes/No/Cancel and Yes/No
// exist here; any other set shows "&OK". exec() returns the id of the button that closed it;
// Escape and the close box give 2 when "Cancel" or "&No" is shown, otherwise 1.
class CMessageBoxWithCheck : public QDialog {
    Q_OBJECT
public:
    CMessageBoxWithCheck(const QString& message, const QString& checkText, bool checked, unsigned style,
                         const QString& caption, QWidget* owner = nullptr);

    const QList<QPushButton*>& Buttons() const { return buttons_; }
    int ButtonId(int index) const { return ids_.value(index); }
    int DefaultIndex() const { return defaultIndex_; }
    bool IsChecked() const { return checked_; }
    QCheckBox* CheckBox() const { return check_; }
    QLabel* IconLabel() const { return icon_; }
    // The icon kind shown (0x10, 0x20, 0x30, 0x40), or 0 for none.
    unsigned IconKind() const { return iconKind_; }
    // The id that Escape or the close box returns.
    int EscapeId() const;

    void done(int r) override;
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    QList<QPushButton*> buttons_;
    QList<int> ids_;
    int defaultIndex_ = 0;
    unsigned iconKind_ = 0;
    bool checked_ = false;
    QLabel* icon_ = nullptr;
    QCheckBox* check_ = nullptr;
};

// Shows the box and answers the id of the button pressed. `check` carries the check value in and
// out (it may be null). An empty caption means the application's name. Unless `noOwner` is set,
// the application's main window owns the box.
int AskWithCheck(const QString& message, const QString& checkText, int* check, unsigned style,
                 const QString& caption = {}, bool noOwner = false);
// The same with texts from the string table; a caption id of 0 means the application's name.
int AskWithCheckById(unsigned messageId, unsigned checkId, int* check, unsigned style, unsigned captionId = 0,
                     bool noOwner = false);

// A "Messages" switch: when the value `valueName` of section "Messages" (default 1) is 0 the box is
// skipped and the result is empty; otherwise the box is shown with the check box clear and the value
// rewritten afterwards (0 when ticked, 1 when clear). Answers the button pressed.
std::optional<int> AskSwitchedMessage(Profile& profile, const std::string& valueName, unsigned messageId,
                                      unsigned checkId, unsigned style);

// A plain modal message box with any of the six button sets; answers the id of the button pressed
// (Escape answers Cancel, or No in a Yes/No box, or OK in an OK box).
int ShowMessage(const QString& text, unsigned style = mb::kOk | mb::kIconExclamation, const QString& caption = {});

// The window that owns the program's modal boxes: the main window when there is one.
QWidget* DialogOwner();

}  // namespace tarnwell
