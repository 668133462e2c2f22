#include "html/InsertDialogs.h"

#include "app/CommandIds.h"
#include "html/ColorButton.h"
#include "html/FileReference.h"
#include "html/SpecialCharsDialog.h"
#include "html/TagCommands.h"
#include "platform/Profile.h"
#include "text/AskWithCheck.h"
#include "text/StringTable.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QStyle>

#include <algorithm>

namespace tarnwell {

namespace {

FileChooser& Chooser() {
    static FileChooser chooser;
    return chooser;
}

}  // namespace

std::string Utf8(const QString& text) { return text.toStdString(); }

void SetFileChooser(FileChooser chooser) { Chooser() = std::move(chooser); }

QString ChooseFile(QWidget* parent, const QString& caption, const QString& start, const QString& filter, bool save) {
    if (Chooser()) return Chooser()(parent, caption, start, filter, save);
    return save ? QFileDialog::getSaveFileName(parent, caption, start, filter)
                : QFileDialog::getOpenFileName(parent, caption, start, filter);
}

QString ReferenceForChosenFile(const QString& chosen, const AuthoringContext& context, QWidget* owner) {
    QString path = chosen;
    const QString project = context.projectFolder ? context.projectFolder() : QString();
    if (!project.isEmpty() && !IsInFolder(path.toStdString(), project.toStdString())) {
        const QString question =
            QStringLiteral("The file is outside of the root folder of current project.\nWould you like to copy the "
                           "file to the project root?\n\nThe root folder of current projectis:\n%1")
                .arg(QDir::toNativeSeparators(project));
        if (ShowMessage(question, mb::kYesNo | mb::kIconQuestion) == mb::kIdYes) {
            const QString target = ChooseFile(owner, QString(), QDir(project).filePath(QFileInfo(path).fileName()),
                                              QStringLiteral("All Files (*)"), true);
            if (!target.isEmpty() && QFileInfo(target) != QFileInfo(path)) {
                QFile old(target);
                if (old.exists()) {
                    old.setPermissions(old.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
                    old.remove();
                }
                QFile source(path);
                if (source.copy(target)) {
                    path = target;
                } else {
                    ShowMessage(source.errorString(), mb::kOk | mb::kIconExclamation);
                }
            }
        }
    }
    const QString page = context.documentPath ? context.documentPath() : QString();
    if (!page.isEmpty()) return QString::fromStdString(FileReference(path.toStdString(), page.toStdString()));
    if (context.profile) {
        AskSwitchedMessage(*context.profile, "Warn if uses absolute path", strid::kWarnAbsolutePath,
                           strid::kDontShowAgain, mb::kIconInformation);
    }
    return QString::fromStdString(FileUrl(path.toStdString()));
}

// --- Path field -----------------------------------------------------------------------------------

CPathEdit::CPathEdit(const AuthoringContext& context, std::vector<Filter> filters, QWidget* parent)
    : QLineEdit(parent), context_(context), filters_(std::move(filters)) {
    QAction* browse = addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), QLineEdit::TrailingPosition);
    browse->setObjectName(QStringLiteral("browse"));
    browse->setToolTip(QStringLiteral("Browse"));
    connect(browse, &QAction::triggered, this, [this] { Browse(); });
}

QString CPathEdit::FilterText() const {
    static const char* const kFilters[] = {
        "HTML Files (*.htm *.html *.shtml *.asp *.aspx *.pl *.jsp *.cfm *.cgi)",
        "Image Files (*.gif *.jpg *.jpeg *.png)",
        "All Files (*)",
    };
    QStringList parts;
    for (Filter f : filters_) parts << QString::fromLatin1(kFilters[f]);
    if (parts.isEmpty()) parts << QString::fromLatin1(kFilters[AllFiles]);
    return parts.join(QStringLiteral(";;"));
}

void CPathEdit::Browse() {
    // The name after the last separator is proposed when it is a usable file name.
    QString name = text();
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    static const QString kBad = QStringLiteral("\\/:*?\"<>|");
    for (QChar c : name) {
        if (kBad.contains(c) || c.unicode() < 32) {
            name.clear();
            break;
        }
    }
    // Browsing starts in the page's folder, else in the project's.
    const QString page = context_.documentPath ? context_.documentPath() : QString();
    QString folder = page.isEmpty() ? QString() : QFileInfo(page).absolutePath();
    if (folder.isEmpty() && context_.projectFolder) folder = context_.projectFolder();
    const QString start = folder.isEmpty() ? name : QDir(folder).filePath(name);
    const QString chosen = ChooseFile(this, QStringLiteral("Browse"), start, FilterText(), false);
    if (chosen.isEmpty()) return;
    setText(ReferenceForChosenFile(chosen, context_, this));
    selectAll();
    setFocus();
}

// --- Dialog frame -----------------------------------------------------------------------------------

CInsertDialog::CInsertDialog(const QString& title, QWidget* owner) : QDialog(owner) {
    setWindowTitle(title);
    form_ = new QFormLayout(this);
    form_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
}

void CInsertDialog::Finish() {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form_->addRow(buttons);
    setMinimumWidth(360);
}

void CInsertDialog::AddRow(const QString& label, QWidget* field) {
    if (label.isEmpty()) {
        form_->addRow(field);
    } else {
        form_->addRow(label, field);
    }
}

void CInsertDialog::Limit(QWidget* field, int limit) {
    if (limit > 0) limits_.emplace_back(field, limit);
}

QCheckBox* CInsertDialog::AddCheck(const QString& text, const char* name) {
    auto* box = new QCheckBox(text, this);
    box->setObjectName(QString::fromLatin1(name));
    form_->addRow(QString(), box);
    return box;
}

QLineEdit* CInsertDialog::AddText(const QString& label, const char* name, int limit, const QString& text) {
    auto* edit = new QLineEdit(text, this);
    edit->setObjectName(QString::fromLatin1(name));
    AddRow(label, edit);
    Limit(edit, limit);
    return edit;
}

CPathEdit* CInsertDialog::AddPath(const QString& label, const char* name, const AuthoringContext& context,
                                  std::vector<CPathEdit::Filter> filters) {
    auto* edit = new CPathEdit(context, std::move(filters), this);
    edit->setObjectName(QString::fromLatin1(name));
    AddRow(label, edit);
    Limit(edit, kNameLimit);
    return edit;
}

QComboBox* CInsertDialog::AddCombo(const QString& label, const char* name, const std::vector<std::string>& items,
                                   bool editable, int limit) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::fromLatin1(name));
    for (const std::string& item : items) combo->addItem(QString::fromStdString(item));
    combo->setEditable(editable);
    if (editable) combo->setCurrentText(QString());
    AddRow(label, combo);
    Limit(combo, limit);
    return combo;
}

void CInsertDialog::accept() {
    auto fail = [this](const QString& message, QWidget* field) {
        ShowMessage(message, mb::kOk | mb::kIconExclamation);
        if (field) {
            field->setFocus();
            if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
        }
    };
    for (const auto& [field, limit] : limits_) {
        QString text;
        if (auto* edit = qobject_cast<QLineEdit*>(field)) text = edit->text();
        if (auto* combo = qobject_cast<QComboBox*>(field)) text = combo->currentText();
        const std::string message = LengthMessage(Utf8(text), limit);
        if (!message.empty()) return fail(QString::fromStdString(message), field);
    }
    const auto [message, field] = Check();
    if (!message.isEmpty()) return fail(message, field);
    Confirmed();
    QDialog::accept();
}

// --- Number field ---------------------------------------------------------------------------------

CSpinEdit::CSpinEdit(long long lowest, long long highest, QWidget* parent)
    : QAbstractSpinBox(parent), lowest_(lowest), highest_(highest) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setMinimumWidth(fontMetrics().horizontalAdvance(QString::number(highest)) + 40);
}

QString CSpinEdit::Text() const { return lineEdit()->text(); }

void CSpinEdit::SetText(const QString& text) { lineEdit()->setText(text); }

void CSpinEdit::stepBy(int steps) {
    bool ok = false;
    long long value = Text().trimmed().toLongLong(&ok);
    // An empty or unreadable field steps from its lowest value.
    value = ok ? value + steps : lowest_;
    SetText(QString::number(std::clamp(value, lowest_, highest_)));
}

// --- Running a dialog -----------------------------------------------------------------------------

std::optional<InsertResult> RunInsertDialog(int id, const QString& selected, const AuthoringContext& context,
                                            QWidget* owner) {
    if (id == cmd::InsertSpecialChars) {
        const QString entity = CSpecialCharsDialog::Run(owner);
        if (entity.isEmpty()) return std::nullopt;
        const std::string text = Utf8(entity);
        return InsertResult{false, {text, text.size()}, {}};
    }
    std::unique_ptr<CInsertDialog> dialog(NewFormDialog(id, selected, context, owner));
    if (!dialog) dialog.reset(NewElementDialog(id, selected, context, owner));
    if (!dialog || dialog->exec() != QDialog::Accepted) return std::nullopt;
    return dialog->Result();
}

}  // namespace tarnwell
