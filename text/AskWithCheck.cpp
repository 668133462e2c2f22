#include "text/AskWithCheck.h"

#include "platform/Profile.h"
#include "text/StringTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tarnwell {

namespace {

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QString AppName() { return FromUtf8(LoadString(strid::kAppName)); }

// Button ids of a button set, left to right.
QList<int> ButtonSet(unsigned buttons) {
    switch (buttons) {
    case mb::kOkCancel: return {mb::kIdOk, mb::kIdCancel};
    case mb::kYesNoCancel: return {mb::kIdYes, mb::kIdNo, mb::kIdCancel};
    case mb::kYesNo: return {mb::kIdYes, mb::kIdNo};
    default: return {mb::kIdOk};
    }
}

QStyle::StandardPixmap IconPixmap(unsigned kind) {
    switch (kind) {
    case mb::kIconStop: return QStyle::SP_MessageBoxCritical;
    case mb::kIconQuestion: return QStyle::SP_MessageBoxQuestion;
    case mb::kIconExclamation: return QStyle::SP_MessageBoxWarning;
    default: return QStyle::SP_MessageBoxInformation;
    }
}

bool IsKnownIcon(unsigned kind) {
    return kind == mb::kIconStop || kind == mb::kIconQuestion || kind == mb::kIconExclamation ||
           kind == mb::kIconInformation;
}

}  // namespace

QString ButtonCaption(int id) {
    switch (id) {
    case mb::kIdOk: return QStringLiteral("&OK");
    case mb::kIdCancel: return QStringLiteral("Cancel");
    case mb::kIdAbort: return QStringLiteral("&Abort");
    case mb::kIdRetry: return QStringLiteral("&Retry");
    case mb::kIdIgnore: return QStringLiteral("&Ignore");
    case mb::kIdYes: return QStringLiteral("&Yes");
    case mb::kIdNo: return QStringLiteral("&No");
    default: return {};
    }
}

QWidget* DialogOwner() {
    if (auto* w = QApplication::activeModalWidget()) return w;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(w) && w->isVisible()) return w;
    }
    return nullptr;
}

CMessageBoxWithCheck::CMessageBoxWithCheck(const QString& message, const QString& checkText, bool checked,
                                           unsigned styleBits, const QString& caption, QWidget* owner)
    : QDialog(owner), checked_(checked) {
    setWindowTitle(caption.isEmpty() ? AppName() : caption);
    setModal(true);

    auto* outer = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    icon_ = new QLabel(this);
    icon_->setObjectName(QStringLiteral("icon"));
    const unsigned kind = styleBits & 0xF0;
    if (IsKnownIcon(kind)) {
        iconKind_ = kind;
        const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        icon_->setPixmap(style()->standardIcon(IconPixmap(kind), nullptr, this).pixmap(size, size));
        icon_->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    } else {
        icon_->hide();
    }
    top->addWidget(icon_, 0, Qt::AlignTop);

    auto* right = new QVBoxLayout;
    auto* text = new QLabel(message, this);
    text->setObjectName(QStringLiteral("text"));
    text->setWordWrap(true);
    text->setTextFormat(Qt::PlainText);
    text->setMinimumWidth(QFontMetrics(font()).averageCharWidth() * 206 / 4);
    right->addWidget(text);
    right->addSpacing(QFontMetrics(font()).height());
    check_ = new QCheckBox(checkText, this);
    check_->setObjectName(QStringLiteral("check"));
    check_->setChecked(checked);
    right->addWidget(check_);
    top->addLayout(right, 1);
    outer->addLayout(top);
    outer->addSpacing(8);

    // A button is 50 x 14 dialog units; the buttons sit 12 pixels apart, centred as a row.
    const QFontMetrics fm(font());
    const QSize buttonSize(50 * fm.averageCharWidth() / 4, 14 * fm.height() / 8);
    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    row->addStretch(1);
    ids_ = ButtonSet(styleBits & 0x0F);
    for (int id : ids_) {
        auto* b = new QPushButton(ButtonCaption(id), this);
        b->setMinimumSize(buttonSize);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, id] { done(id); });
        buttons_.append(b);
        row->addWidget(b);
    }
    row->addStretch(1);
    outer->addLayout(row);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    const int index = int((styleBits >> 8) & 0x0F);
    defaultIndex_ = index < buttons_.size() ? index : 0;
    buttons_[defaultIndex_]->setDefault(true);
    buttons_[defaultIndex_]->setFocus();
}

int CMessageBoxWithCheck::EscapeId() const {
    return (ids_.contains(mb::kIdCancel) || ids_.contains(mb::kIdNo)) ? mb::kIdCancel : mb::kIdOk;
}

void CMessageBoxWithCheck::done(int r) {
    checked_ = check_->isChecked();
    QDialog::done(r);
}

void CMessageBoxWithCheck::reject() { done(EscapeId()); }

void CMessageBoxWithCheck::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    buttons_[defaultIndex_]->setFocus();
    if (iconKind_ != 0) QApplication::beep();
}

int AskWithCheck(const QString& message, const QString& checkText, int* check, unsigned style,
                 const QString& caption, bool noOwner) {
    CMessageBoxWithCheck box(message, checkText, check && *check != 0, style, caption,
                             noOwner ? nullptr : DialogOwner());
    const int result = box.exec();
    if (check) *check = box.IsChecked() ? 1 : 0;
    return result;
}

int AskWithCheckById(unsigned messageId, unsigned checkId, int* check, unsigned style, unsigned captionId,
                     bool noOwner) {
    const QString caption = captionId ? FromUtf8(LoadString(captionId)) : QString();
    return AskWithCheck(FromUtf8(LoadString(messageId)), FromUtf8(LoadString(checkId)), check, style, caption,
                        noOwner);
}

std::optional<int> AskSwitchedMessage(Profile& profile, const std::string& valueName, unsigned messageId,
                                      unsigned checkId, unsigned style) {
    if (profile.GetInt("Messages", valueName, 1) == 0) return std::nullopt;
    int check = 0;
    const int result = AskWithCheckById(messageId, checkId, &check, style);
    profile.WriteInt("Messages", valueName, check ? 0 : 1);
    return result;
}

int ShowMessage(const QString& text, unsigned style, const QString& caption) {
    QList<int> ids;
    switch (style & 0x0F) {
    case mb::kOkCancel: ids = {mb::kIdOk, mb::kIdCancel}; break;
    case mb::kAbortRetryIgnore: ids = {mb::kIdAbort, mb::kIdRetry, mb::kIdIgnore}; break;
    case mb::kYesNoCancel: ids = {mb::kIdYes, mb::kIdNo, mb::kIdCancel}; break;
    case mb::kYesNo: ids = {mb::kIdYes, mb::kIdNo}; break;
    case mb::kRetryCancel: ids = {mb::kIdRetry, mb::kIdCancel}; break;
    default: ids = {mb::kIdOk}; break;
    }
    QMessageBox box(DialogOwner());
    box.setWindowTitle(caption.isEmpty() ? AppName() : caption);
    box.setText(text);
    switch (style & 0xF0) {
    case mb::kIconStop: box.setIcon(QMessageBox::Critical); break;
    case mb::kIconQuestion: box.setIcon(QMessageBox::Question); break;
    case mb::kIconExclamation: box.setIcon(QMessageBox::Warning); break;
    case mb::kIconInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    QList<QPushButton*> buttons;
    for (int id : ids) {
        const QMessageBox::ButtonRole role =
            (id == mb::kIdCancel || id == mb::kIdNo || id == mb::kIdAbort) ? QMessageBox::RejectRole
                                                                           : QMessageBox::AcceptRole;
        auto* b = box.addButton(ButtonCaption(id), role);
        b->setProperty("tarnwellId", id);
        buttons.append(b);
    }
    const int index = int((style >> 8) & 0x0F);
    box.setDefaultButton(buttons[index < buttons.size() ? index : 0]);
    QPushButton* escape = buttons.first();
    for (int i = 0; i < ids.size(); ++i) {
        if (ids[i] == mb::kIdCancel) escape = buttons[i];
    }
    if (escape == buttons.first()) {
        for (int i = 0; i < ids.size(); ++i) {
            if (ids[i] == mb::kIdNo) escape = buttons[i];
        }
    }
    box.setEscapeButton(escape);
    box.exec();
    auto* clicked = box.clickedButton();
    return clicked ? clicked->property("tarnwellId").toInt() : escape->property("tarnwellId").toInt();
}

}  // namespace tarnwell
