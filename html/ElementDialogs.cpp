// The dialogs of images, links, lists, tables, fonts and the date and time.
#include "html/InsertDialogs.h"

#include "app/CommandIds.h"
#include "html/ColorButton.h"
#include "html/TagCommands.h"
#include "platform/Profile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tarnwell {

namespace {

constexpr int kSpinLimit = 32000;

class CImageDialog : public CInsertDialog {
public:
    CImageDialog(bool field, const AuthoringContext& c, QWidget* owner)
        : CInsertDialog(field ? QStringLiteral("Image Field") : QStringLiteral("Image"), owner), field_(field) {
        src_ = AddPath(QStringLiteral("&Source:"), "src", c, {CPathEdit::ImageFiles, CPathEdit::AllFiles});
        alt_ = AddText(QStringLiteral("&Alternate text:"), "alt");
        align_ = AddCombo(QStringLiteral("Alignment:"), "align", ImageAlignLabels(), false);
        border_ = AddSpin(QStringLiteral("&Border size:"), "border", QStringLiteral("0"));
        hspace_ = AddSpin(QStringLiteral("&H space:"), "hspace");
        vspace_ = AddSpin(QStringLiteral("&V space:"), "vspace");
        if (field) {
            for (QWidget* w : {static_cast<QWidget*>(border_), static_cast<QWidget*>(hspace_),
                               static_cast<QWidget*>(vspace_)}) {
                form_->setRowVisible(w, false);
            }
        }
        size_ = AddCheck(QStringLiteral("&Specify size"), "specifySize");
        width_ = AddSpin(QStringLiteral("&Width:"), "width", {}, &widthPercent_);
        height_ = AddSpin(QStringLiteral("&Height:"), "height", {}, &heightPercent_);
        auto enable = [this] {
            for (QWidget* w : {static_cast<QWidget*>(width_), static_cast<QWidget*>(height_),
                               static_cast<QWidget*>(widthPercent_), static_cast<QWidget*>(heightPercent_)}) {
                w->setEnabled(size_->isChecked());
                if (QWidget* label = form_->labelForField(w->parentWidget() != this ? w->parentWidget() : w)) {
                    label->setEnabled(size_->isChecked());
                }
            }
        };
        connect(size_, &QCheckBox::toggled, this, enable);
        enable();
        Finish();
    }
    InsertResult Result() const override {
        ImageFields f;
        f.imageField = field_;
        f.src = Utf8(src_->text());
        f.alt = Utf8(alt_->text());
        f.align = align_->currentIndex();
        f.border = Utf8(border_->Text());
        f.hspace = Utf8(hspace_->Text());
        f.vspace = Utf8(vspace_->Text());
        f.specifySize = size_->isChecked();
        f.width = Utf8(width_->Text());
        f.height = Utf8(height_->Text());
        f.widthPercent = widthPercent_->isChecked();
        f.heightPercent = heightPercent_->isChecked();
        return {false, ImageMarkup(f), {}};
    }

private:
    // A number field; with `percent` a "Percent" check box beside it.
    CSpinEdit* AddSpin(const QString& label, const char* name, const QString& text = {}, QCheckBox** percent = nullptr) {
        auto* spin = new CSpinEdit(0, kSpinLimit, this);
        spin->setObjectName(QString::fromLatin1(name));
        spin->SetText(text);
        if (!percent) {
            AddRow(label, spin);
            return spin;
        }
        auto* row = new QWidget(this);
        auto* h = new QHBoxLayout(row);
        h->setContentsMargins(0, 0, 0, 0);
        h->addWidget(spin);
        *percent = new QCheckBox(QStringLiteral("&Percent"), row);
        (*percent)->setObjectName(QString::fromLatin1(name) + QStringLiteral("Percent"));
        h->addWidget(*percent);
        h->addStretch();
        AddRow(label, row);
        if (auto* l = qobject_cast<QLabel*>(form_->labelForField(row))) l->setBuddy(spin);
        return spin;
    }

    bool field_;
    QLineEdit *src_, *alt_;
    QComboBox* align_;
    CSpinEdit *border_, *hspace_, *vspace_, *width_, *height_;
    QCheckBox *size_, *widthPercent_, *heightPercent_;
};

class CLinkDialog : public CInsertDialog {
public:
    CLinkDialog(bool mail, const AuthoringContext& c, QWidget* owner)
        : CInsertDialog(QStringLiteral("Link"), owner), mail_(mail) {
        url_ = AddPath(QStringLiteral("&URL:"), "url", c, {});
        target_ = AddCombo(QStringLiteral("&Target frame:"), "target", TargetFrameLabels(), true, kNameLimit);
        if (mail) {
            target_->setEnabled(false);
            if (auto* label = form_->labelForField(target_)) label->setEnabled(false);
        }
        Finish();
    }
    InsertResult Result() const override {
        return {true, {}, LinkMarkup({Utf8(url_->text()), mail_ ? std::string() : Utf8(target_->currentText())})};
    }

protected:
    void showEvent(QShowEvent* e) override {
        CInsertDialog::showEvent(e);
        if (mail_ && !shown_) {
            shown_ = true;
            url_->setText(QStringLiteral("mailto:"));
            url_->setFocus();
            url_->setCursorPosition(int(url_->text().size()));
        }
    }

private:
    bool mail_;
    bool shown_ = false;
    QLineEdit* url_;
    QComboBox* target_;
};

class CListDialog : public CInsertDialog {
public:
    CListDialog(const QString& input, QWidget* owner) : CInsertDialog(QStringLiteral("List"), owner) {
        type_ = AddCombo(QStringLiteral("&Type:"), "type", ListTypeLabels(), false);
        style_ = AddCombo(QStringLiteral("&Style:"), "style", ListStyleLabels(0), false);
        start_ = new CSpinEdit(0, 2147483647, this);
        start_->setObjectName(QStringLiteral("start"));
        AddRow(QStringLiteral("&Starte at:"), start_);
        items_ = new QPlainTextEdit(input, this);
        items_->setObjectName(QStringLiteral("items"));
        items_->setTabChangesFocus(true);
        AddRow(QStringLiteral("&Items:"), items_);
        connect(type_, &QComboBox::currentIndexChanged, this, [this](int type) {
            style_->clear();
            for (const std::string& s : ListStyleLabels(type)) style_->addItem(QString::fromStdString(s));
            style_->setCurrentIndex(style_->count() > 0 ? 0 : -1);
            style_->setEnabled(type < 2);
            start_->setEnabled(type < 2);
        });
        Finish();
    }
    InsertResult Result() const override {
        return {false,
                ListMarkup({type_->currentIndex(), style_->currentIndex(), Utf8(start_->Text().trimmed()),
                            Utf8(items_->toPlainText())}),
                {}};
    }

protected:
    std::pair<QString, QWidget*> Check() const override {
        if (!start_->isEnabled() || start_->Text().trimmed().isEmpty()) return {};
        const IntegerCheck c = CheckInteger(Utf8(start_->Text()), 0, 2147483647);
        return {QString::fromStdString(c.message), start_};
    }

private:
    QComboBox *type_, *style_;
    CSpinEdit* start_;
    QPlainTextEdit* items_;
};

// A color text field with its color button.
struct ColorField {
    QLineEdit* text;
    CColorButton* button;
};

class CTableDialog : public CInsertDialog {
public:
    CTableDialog(const AuthoringContext& c, QWidget* owner) : CInsertDialog(QStringLiteral("Table"), owner) {
        rows_ = AddText(QStringLiteral("&Rows:"), "rows", 0, QStringLiteral("3"));
        cols_ = AddText(QStringLiteral("&Cols:"), "cols", 0, QStringLiteral("3"));
        align_ = AddCombo(QStringLiteral("Alignment:"), "align", TableAlignLabels(), false);
        padding_ = AddText(QStringLiteral("Cell &padding:"), "padding", kSizeLimit, QStringLiteral("0"));
        spacing_ = AddText(QStringLiteral("Cell s&pace:"), "spacing", kSizeLimit, QStringLiteral("0"));
        width_ = AddText(QStringLiteral("&Width:"), "width", 0, QStringLiteral("100%"));
        height_ = AddText(QStringLiteral("&Height:"), "height");
        border_ = AddText(QStringLiteral("&Border size:"), "border", kSizeLimit, QStringLiteral("1"));
        const char* names[] = {"bordercolor", "lightcolor", "darkcolor", "bgcolor"};
        const QString labels[] = {QStringLiteral("Border &color:"), QStringLiteral("Light &color:"),
                                  QStringLiteral("Dark c&olor:"), QStringLiteral("BG &color:")};
        for (int i = 0; i < 4; ++i) {
            auto* row = new QWidget(this);
            auto* h = new QHBoxLayout(row);
            h->setContentsMargins(0, 0, 0, 0);
            colors_[i].text = new QLineEdit(row);
            colors_[i].text->setObjectName(QString::fromLatin1(names[i]));
            colors_[i].button = new CColorButton(row, 1000 + i);
            colors_[i].button->setObjectName(QString::fromLatin1(names[i]) + QStringLiteral("Button"));
            colors_[i].button->setFixedWidth(48);
            colors_[i].button->SetColor(0, kButtonFaceColor);
            BindColorField(colors_[i].text, colors_[i].button);
            h->addWidget(colors_[i].text, 1);
            h->addWidget(colors_[i].button);
            AddRow(labels[i], row);
            Limit(colors_[i].text, kNameLimit);
        }
        // The check box stands in the label column of its path field.
        background_ = AddPath(QStringLiteral("BG &image:"), "background", c, {CPathEdit::ImageFiles, CPathEdit::AllFiles});
        bgImage_ = new QCheckBox(QStringLiteral("BG &image:"), this);
        bgImage_->setObjectName(QStringLiteral("bgImage"));
        QWidget* label = form_->labelForField(background_);
        form_->replaceWidget(label, bgImage_);
        delete label;
        connect(bgImage_, &QCheckBox::toggled, background_, &QWidget::setEnabled);
        background_->setEnabled(false);
        Finish();
    }
    InsertResult Result() const override {
        TableFields f;
        f.rows = CheckInteger(Utf8(rows_->text()), 1, kSpinLimit).value;
        f.cols = CheckInteger(Utf8(cols_->text()), 1, kSpinLimit).value;
        f.align = align_->currentIndex();
        f.padding = Utf8(padding_->text());
        f.spacing = Utf8(spacing_->text());
        f.width = Utf8(width_->text());
        f.height = Utf8(height_->text());
        f.border = Utf8(border_->text());
        f.borderColor = Utf8(colors_[0].text->text());
        f.lightColor = Utf8(colors_[1].text->text());
        f.darkColor = Utf8(colors_[2].text->text());
        f.bgColor = Utf8(colors_[3].text->text());
        f.bgImage = bgImage_->isChecked();
        f.background = Utf8(background_->text());
        return {false, TableMarkup(f), {}};
    }

protected:
    std::pair<QString, QWidget*> Check() const override {
        const IntegerCheck rows = CheckInteger(Utf8(rows_->text()), 1, kSpinLimit);
        if (!rows.message.empty()) return {QString::fromStdString(rows.message), rows_};
        const IntegerCheck cols = CheckInteger(Utf8(cols_->text()), 1, kSpinLimit);
        if (!cols.message.empty()) return {QString::fromStdString(cols.message), cols_};
        return {QString::fromStdString(TableSizeMessage(rows.value, cols.value)), rows_};
    }

private:
    QLineEdit *rows_, *cols_, *padding_, *spacing_, *width_, *height_, *border_;
    QComboBox* align_;
    ColorField colors_[4];
    QCheckBox* bgImage_;
    CPathEdit* background_;
};

// A text field above a list: choosing in the list copies the entry into the field, typing selects
// the first entry that begins with the text.
QListWidget* CoupleList(QLineEdit* field, const QStringList& entries, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->addItems(entries);
    QObject::connect(list, &QListWidget::currentTextChanged, field, [field](const QString& text) {
        if (field->text() != text && !text.isEmpty()) field->setText(text);
    });
    QObject::connect(field, &QLineEdit::textEdited, list, [list](const QString& text) {
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->text().startsWith(text, Qt::CaseInsensitive)) {
                const QSignalBlocker block(list);
                list->setCurrentRow(i);
                list->scrollToItem(list->item(i));
                return;
            }
        }
    });
    return list;
}

class CFontDialog : public CInsertDialog {
public:
    explicit CFontDialog(QWidget* owner) : CInsertDialog(QStringLiteral("Font"), owner) {
        auto* lists = new QWidget(this);
        auto* grid = new QGridLayout(lists);
        grid->setContentsMargins(0, 0, 0, 0);
        face_ = new QLineEdit(lists);
        face_->setObjectName(QStringLiteral("face"));
        size_ = new QLineEdit(lists);
        size_->setObjectName(QStringLiteral("size"));
        QStringList sizes;
        for (const std::string& s : FontSizeLabels()) sizes << QString::fromStdString(s);
        auto* faceLabel = new QLabel(QStringLiteral("&Font:"), lists);
        faceLabel->setBuddy(face_);
        auto* sizeLabel = new QLabel(QStringLiteral("&Size:"), lists);
        sizeLabel->setBuddy(size_);
        grid->addWidget(faceLabel, 0, 0);
        grid->addWidget(sizeLabel, 0, 1);
        grid->addWidget(face_, 1, 0);
        grid->addWidget(size_, 1, 1);
        grid->addWidget(CoupleList(face_, QFontDatabase::families(), lists), 2, 0);
        grid->addWidget(CoupleList(size_, sizes, lists), 2, 1);
        grid->setColumnStretch(0, 3);
        grid->setColumnStretch(1, 1);
        AddRow(QString(), lists);
        Limit(face_, kNameLimit);
        Limit(size_, kNameLimit);
        auto* style = new QGroupBox(QStringLiteral("S&tyle"), this);
        auto* h = new QHBoxLayout(style);
        const char* names[] = {"bold", "italic", "underline"};
        const QString texts[] = {QStringLiteral("&Bold"), QStringLiteral("&Italic"), QStringLiteral("&Underline")};
        for (int i = 0; i < 3; ++i) {
            styles_[i] = new QCheckBox(texts[i], style);
            styles_[i]->setObjectName(QString::fromLatin1(names[i]));
            h->addWidget(styles_[i]);
        }
        AddRow(QString(), style);
        auto* row = new QWidget(this);
        auto* c = new QHBoxLayout(row);
        c->setContentsMargins(0, 0, 0, 0);
        color_ = new QLineEdit(row);
        color_->setObjectName(QStringLiteral("color"));
        auto* button = new CColorButton(row, 1100);
        button->setObjectName(QStringLiteral("colorButton"));
        button->setFixedWidth(48);
        button->SetColor(0, kButtonFaceColor);
        BindColorField(color_, button);
        c->addWidget(color_, 1);
        c->addWidget(button);
        AddRow(QStringLiteral("&Color:"), row);
        Limit(color_, kNameLimit);
        Finish();
    }
    InsertResult Result() const override {
        return {true, {},
                FontMarkup({Utf8(face_->text()), Utf8(size_->text()), Utf8(color_->text()), styles_[0]->isChecked(),
                            styles_[1]->isChecked(), styles_[2]->isChecked()})};
    }

private:
    QLineEdit *face_, *size_, *color_;
    QCheckBox* styles_[3];
};

// The current date and time in the formats the user's locale offers (each text once).
QStringList Formatted(bool date) {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();  // local time, as the user reads the clock
    QStringList out;
    auto add = [&out](const QString& s) {
        if (!s.isEmpty() && !out.contains(s)) out << s;
    };
    if (date) {
        for (auto f : {QLocale::ShortFormat, QLocale::LongFormat, QLocale::NarrowFormat}) {
            add(locale.toString(now.date(), f));
        }
        add(now.date().toString(Qt::ISODate));
        add(locale.toString(now.date(), QStringLiteral("d MMMM yyyy")));
    } else {
        for (auto f : {QLocale::ShortFormat, QLocale::LongFormat}) add(locale.toString(now.time(), f));
        add(now.time().toString(QStringLiteral("HH:mm:ss")));
        add(now.time().toString(QStringLiteral("h:mm AP")));
    }
    return out;
}

class CDateTimeDialog : public CInsertDialog {
public:
    CDateTimeDialog(const AuthoringContext& c, QWidget* owner) : CInsertDialog(QStringLiteral("Date & Time"), owner), c_(c) {
        date_ = AddCombo(QStringLiteral("&Date:"), "date", {"(None)"}, false);
        date_->addItems(Formatted(true));
        time_ = AddCombo(QStringLiteral("&Time:"), "time", {"(None)"}, false);
        time_->addItems(Formatted(false));
        auto stored = [&c](const char* name, int def, QComboBox* box) {
            const int i = c.profile ? c.profile->GetInt("Date & Time", name, def) : def;
            box->setCurrentIndex(i >= 0 && i < box->count() ? i : 0);
        };
        stored("Date", 1, date_);
        stored("Time", 0, time_);
        auto* mode = new QGroupBox(QStringLiteral("Mode"), this);
        auto* v = new QVBoxLayout(mode);
        static_ = new QRadioButton(QStringLiteral("Static"), mode);
        static_->setObjectName(QStringLiteral("static"));
        dynamic_ = new QRadioButton(QStringLiteral("Dynamic (JavaScript)"), mode);
        dynamic_->setObjectName(QStringLiteral("dynamic"));
        auto* sub = new QWidget(mode);
        auto* sv = new QVBoxLayout(sub);
        sv->setContentsMargins(20, 0, 0, 0);
        current_ = new QRadioButton(QStringLiteral("Show current time"), sub);
        current_->setObjectName(QStringLiteral("current"));
        modified_ = new QRadioButton(QStringLiteral("Show last modified time of document"), sub);
        modified_->setObjectName(QStringLiteral("modified"));
        sv->addWidget(current_);
        sv->addWidget(modified_);
        v->addWidget(static_);
        v->addWidget(dynamic_);
        v->addWidget(sub);
        static_->setChecked(true);
        current_->setChecked(true);
        sub->setEnabled(false);
        connect(dynamic_, &QRadioButton::toggled, sub, &QWidget::setEnabled);
        AddRow(QString(), mode);
        Finish();
    }
    InsertResult Result() const override {
        DateTimeFields f;
        f.dynamic = dynamic_->isChecked();
        f.lastModified = modified_->isChecked();
        if (date_->currentIndex() > 0) f.date = Utf8(date_->currentText());
        if (time_->currentIndex() > 0) f.time = Utf8(time_->currentText());
        return {false, {DateTimeMarkup(f), 0}, {}};
    }

protected:
    void Confirmed() override {
        if (!c_.profile) return;
        c_.profile->WriteInt("Date & Time", "Date", date_->currentIndex());
        c_.profile->WriteInt("Date & Time", "Time", time_->currentIndex());
    }

private:
    const AuthoringContext& c_;
    QComboBox *date_, *time_;
    QRadioButton *static_, *dynamic_, *current_, *modified_;
};

}  // namespace

CInsertDialog* NewElementDialog(int id, const QString& selected, const AuthoringContext& context, QWidget* owner) {
    switch (id) {
    case cmd::InsertImage: return new CImageDialog(false, context, owner);
    case cmd::InsertImageField: return new CImageDialog(true, context, owner);
    case cmd::InsertLink: return new CLinkDialog(false, context, owner);
    case cmd::InsertEmailLink: return new CLinkDialog(true, context, owner);
    case cmd::FormatList: return new CListDialog(selected, owner);
    case cmd::InsertTable: return new CTableDialog(context, owner);
    case cmd::FormatFont: return new CFontDialog(owner);
    case cmd::InsertDateTime: return new CDateTimeDialog(context, owner);
    default: return nullptr;
    }
}

}  // namespace tarnwell
