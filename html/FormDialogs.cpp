// The dialogs of the Form command and of the form elements.
#include "html/InsertDialogs.h"
#include "html/RowList.h"

#include "app/CommandIds.h"
#include "html/TagCommands.h"
#include "platform/Profile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

namespace tarnwell {

namespace {


// --- Form and its fields ---

class CFormDialog : public CInsertDialog {
public:
    CFormDialog(const AuthoringContext& c, QWidget* owner) : CInsertDialog(QStringLiteral("Form"), owner), c_(c) {
        name_ = AddText(QStringLiteral("&Name:"), "name", kNameLimit);
        action_ = AddPath(QStringLiteral("&Action:"), "action", c,
                          {CPathEdit::HtmlFiles, CPathEdit::ImageFiles, CPathEdit::AllFiles});
        target_ = AddCombo(QStringLiteral("&Target:"), "target", TargetFrameLabels(), true, kNameLimit);
        method_ = AddCombo(QStringLiteral("&Method:"), "method", {"POST", "GET"}, true, kNameLimit);
        const std::string method = c.profile ? c.profile->GetString("Form", "Default Method", "POST") : "POST";
        method_->setCurrentText(QString::fromStdString(method));
        Finish();
    }
    InsertResult Result() const override {
        return {true, {}, FormMarkup({Utf8(name_->text()), Utf8(action_->text()), Utf8(target_->currentText()),
                                      Utf8(method_->currentText())})};
    }

protected:
    void Confirmed() override {
        if (c_.profile) c_.profile->WriteString("Form", "Default Method", Utf8(method_->currentText()));
    }

private:
    const AuthoringContext& c_;
    QLineEdit *name_, *action_;
    QComboBox *target_, *method_;
};

class CButtonDialog : public CInsertDialog {
public:
    CButtonDialog(const QString& input, QWidget* owner) : CInsertDialog(QStringLiteral("Button"), owner) {
        name_ = AddText(QStringLiteral("&Name:"), "name", kNameLimit);
        value_ = AddText(QStringLiteral("&Value/Label:"), "value", kNameLimit, input);
        auto* row = new QWidget(this);
        auto* h = new QHBoxLayout(row);
        h->setContentsMargins(0, 0, 0, 0);
        const char* names[] = {"normal", "submit", "reset"};
        const QString texts[] = {QStringLiteral("Nor&mal"), QStringLiteral("&Submit"), QStringLiteral("&Reset")};
        for (int i = 0; i < 3; ++i) {
            types_[i] = new QRadioButton(texts[i], row);
            types_[i]->setObjectName(QString::fromLatin1(names[i]));
            h->addWidget(types_[i]);
        }
        types_[0]->setChecked(true);
        AddRow(QStringLiteral("&Type"), row);
        Finish();
    }
    InsertResult Result() const override {
        ButtonType type = types_[1]->isChecked() ? ButtonType::Submit
                          : types_[2]->isChecked() ? ButtonType::Reset : ButtonType::Normal;
        return {false, ButtonMarkup({Utf8(name_->text()), Utf8(value_->text()), type}), {}};
    }

private:
    QLineEdit *name_, *value_;
    QRadioButton* types_[3];
};

class CCheckBoxDialog : public CInsertDialog {
public:
    CCheckBoxDialog(bool radio, QWidget* owner)
        : CInsertDialog(radio ? QStringLiteral("Radio") : QStringLiteral("CheckBox"), owner), radio_(radio) {
        name_ = AddText(QStringLiteral("&Name:"), "name", kNameLimit);
        value_ = AddText(QStringLiteral("&Value/Label:"), "value", kNameLimit);
        checked_ = AddCheck(QStringLiteral("Checked"), "checked");
        Finish();
    }
    InsertResult Result() const override {
        return {false, CheckBoxMarkup({radio_, Utf8(name_->text()), Utf8(value_->text()), checked_->isChecked()}), {}};
    }

private:
    bool radio_;
    QLineEdit *name_, *value_;
    QCheckBox* checked_;
};

class CTextFieldDialog : public CInsertDialog {
public:
    CTextFieldDialog(const QString& input, QWidget* owner) : CInsertDialog(QStringLiteral("Text Field"), owner) {
        name_ = AddText(QStringLiteral("&Name:"), "name", kNameLimit);
        password_ = AddCheck(QStringLiteral("&Password"), "password");
        value_ = AddText(QStringLiteral("&Value/Label:"), "value", 0, input);
        size_ = AddText(QStringLiteral("&Size:"), "size", kSizeLimit);
        max_ = AddText(QStringLiteral("&Max length:"), "maxlength", kSizeLimit);
        Finish();
    }
    InsertResult Result() const override {
        return {false,
                TextFieldMarkup({Utf8(name_->text()), password_->isChecked(), Utf8(value_->text()),
                                 Utf8(size_->text()), Utf8(max_->text())}),
                {}};
    }

private:
    QLineEdit *name_, *value_, *size_, *max_;
    QCheckBox* password_;
};

class CTextAreaDialog : public CInsertDialog {
public:
    CTextAreaDialog(const QString& input, QWidget* owner) : CInsertDialog(QStringLiteral("Text Area"), owner) {
        name_ = AddText(QStringLiteral("&Name:"), "name", kNameLimit);
        text_ = new QPlainTextEdit(input, this);
        text_->setObjectName(QStringLiteral("text"));
        text_->setTabChangesFocus(true);
        AddRow(QStringLiteral("&Text:"), text_);
        cols_ = AddText(QStringLiteral("&Columns:"), "cols", kSizeLimit);
        rows_ = AddText(QStringLiteral("&Rows:"), "rows", kSizeLimit);
        wrap_ = AddCombo(QStringLiteral("&Wrap:"), "wrap", TextAreaWrapLabels(), false);
        Finish();
    }
    InsertResult Result() const override {
        return {false,
                TextAreaMarkup({Utf8(name_->text()), Utf8(text_->toPlainText()), Utf8(cols_->text()),
                                Utf8(rows_->text()), wrap_->currentIndex()}),
                {}};
    }

private:
    QLineEdit *name_, *cols_, *rows_;
    QPlainTextEdit* text_;
    QComboBox* wrap_;
};

class CFileFieldDialog : public CInsertDialog {
public:
    explicit CFileFieldDialog(QWidget* owner) : CInsertDialog(QStringLiteral("File Field"), owner) {
        name_ = AddText(QStringLiteral("&Name:"), "name", kNameLimit);
        size_ = AddText(QStringLiteral("&Size:"), "size", kSizeLimit);
        max_ = AddText(QStringLiteral("&Max length:"), "maxlength", kSizeLimit);
        Finish();
    }
    InsertResult Result() const override {
        return {false, FileFieldMarkup({Utf8(name_->text()), Utf8(size_->text()), Utf8(max_->text())}), {}};
    }

private:
    QLineEdit *name_, *size_, *max_;
};

class CHiddenDialog : public CInsertDialog {
public:
    CHiddenDialog(const QString& input, QWidget* owner) : CInsertDialog(QStringLiteral("Hidden Field"), owner) {
        name_ = AddText(QStringLiteral("&Name:"), "name", kNameLimit);
        value_ = AddText(QStringLiteral("&Value/Label:"), "value", 0, input);
        Finish();
    }
    InsertResult Result() const override {
        return {false, HiddenMarkup({Utf8(name_->text()), Utf8(value_->text())}), {}};
    }

private:
    QLineEdit *name_, *value_;
};


// One option of a list box: label, value and the Selected flag.
class COptionDialog : public CInsertDialog {
public:
    COptionDialog(const SelectOption& option, QWidget* owner) : CInsertDialog(QStringLiteral("Option"), owner) {
        label_ = AddText(QStringLiteral("Option label:"), "label", 0, QString::fromStdString(option.label));
        value_ = AddText(QStringLiteral("&Value:"), "value", 0, QString::fromStdString(option.value));
        selected_ = AddCheck(QStringLiteral("&Selected"), "selected");
        selected_->setChecked(option.selected);
        Finish();
    }
    SelectOption Option() const { return {Utf8(label_->text()), Utf8(value_->text()), selected_->isChecked()}; }
    InsertResult Result() const override { return {}; }

private:
    QLineEdit *label_, *value_;
    QCheckBox* selected_;
};

class CSelectDialog : public CInsertDialog {
public:
    explicit CSelectDialog(QWidget* owner) : CInsertDialog(QStringLiteral("Select"), owner) {
        name_ = AddText(QStringLiteral("&Name:"), "name", kNameLimit);
        size_ = AddText(QStringLiteral("&Size:"), "size");
        multiple_ = AddCheck(QStringLiteral("Allow multiple selection"), "multiple");
        list_ = NewRowList(this, "options", {QStringLiteral("Option Label"), QStringLiteral("Value")}, 150);
        auto* box = new QWidget(this);
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(list_, 1);
        auto* buttons = new QVBoxLayout;
        buttons_ = AddRowButtons(box, buttons,
                                 {{{"add", QStringLiteral("Add")},
                                   {"delete", QStringLiteral("Delete")},
                                   {"edit", QStringLiteral("Edit")},
                                   {"up", QStringLiteral("Move Up")},
                                   {"down", QStringLiteral("Move Down")}}});
        buttons->addStretch();
        row->addLayout(buttons);
        AddRow(QString(), box);
        connect(buttons_[0], &QPushButton::clicked, this, [this] { Add(); });
        connect(buttons_[1], &QPushButton::clicked, this, [this] { qDeleteAll(list_->selectedItems()); Enable(); });
        connect(buttons_[2], &QPushButton::clicked, this, [this] { Edit(); });
        connect(buttons_[3], &QPushButton::clicked, this, [this] { MoveSelectedRow(list_, -1); });
        connect(buttons_[4], &QPushButton::clicked, this, [this] { MoveSelectedRow(list_, 1); });
        connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { Enable(); });
        connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { Edit(); });
        Enable();
        Finish();
    }
    InsertResult Result() const override {
        SelectFields f{Utf8(name_->text()), Utf8(size_->text()), multiple_->isChecked(), {}};
        for (int i = 0; i < list_->topLevelItemCount(); ++i) f.options.push_back(OptionOf(list_->topLevelItem(i)));
        return {false, SelectMarkup(f), {}};
    }

private:
    static SelectOption OptionOf(const QTreeWidgetItem* item) {
        return {Utf8(item->text(0)), Utf8(item->text(1)), item->data(0, Qt::UserRole).toBool()};
    }
    static void Store(QTreeWidgetItem* item, const SelectOption& o) {
        item->setText(0, QString::fromStdString(o.label));
        item->setText(1, QString::fromStdString(o.value));
        item->setData(0, Qt::UserRole, o.selected);
    }
    void Add() {
        COptionDialog dialog({}, this);
        if (dialog.exec() != QDialog::Accepted) return;
        auto* item = new QTreeWidgetItem(list_);
        Store(item, dialog.Option());
        SelectOnlyRow(list_, item);
    }
    void Edit() {
        QTreeWidgetItem* item = SingleSelectedRow(list_);
        if (!item) return;
        COptionDialog dialog(OptionOf(item), this);
        if (dialog.exec() == QDialog::Accepted) Store(item, dialog.Option());
    }
    void Enable() { EnableRowButtons(list_, buttons_[1], buttons_[2], buttons_[3], buttons_[4]); }

    QLineEdit *name_, *size_;
    QCheckBox* multiple_;
    QTreeWidget* list_;
    std::array<QPushButton*, 5> buttons_;
};

}  // namespace

CInsertDialog* NewFormDialog(int id, const QString& selected, const AuthoringContext& context, QWidget* owner) {
    switch (id) {
    case cmd::InsertForm: return new CFormDialog(context, owner);
    case cmd::InsertButton: return new CButtonDialog(selected, owner);
    case cmd::InsertCheckBox: return new CCheckBoxDialog(false, owner);
    case cmd::InsertRadioButton: return new CCheckBoxDialog(true, owner);
    case cmd::InsertTextField: return new CTextFieldDialog(selected, owner);
    case cmd::InsertTextArea: return new CTextAreaDialog(selected, owner);
    case cmd::InsertFileField: return new CFileFieldDialog(owner);
    case cmd::InsertHiddenField: return new CHiddenDialog(selected, owner);
    case cmd::InsertListBox: return new CSelectDialog(owner);
    default: return nullptr;
    }
}

}  // namespace tarnwell
