#include "app/OptionsSheet.h"

#include "app/OptionsFileTypes.h"
#include "html/ColorButton.h"
#include "platform/SettingsProfile.h"
#include "text/AskWithCheck.h"
#include "text/CVeskView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tarnwell {

namespace {

Profile* g_profile = nullptr;
std::unique_ptr<SettingsProfile> g_defaultProfile;
std::unique_ptr<COptionsSheet> g_sheet;

QString RangeMessage(int low, int high) {
    return QStringLiteral("Please enter an integer between %1 and %2.").arg(low).arg(high);
}

QCheckBox* Check(const QString& text, QWidget* parent) { return new QCheckBox(text, parent); }

}  // namespace

// ---- the store ----

void COptionsSheet::SetProfile(Profile* profile) { g_profile = profile; }

COptionsSheet& COptionsSheet::Get() {
    if (!g_sheet) {
        if (!g_profile) {
            if (!g_defaultProfile) g_defaultProfile = std::make_unique<SettingsProfile>();
            g_profile = g_defaultProfile.get();
        }
        g_sheet.reset(new COptionsSheet(*g_profile));
    }
    return *g_sheet;
}

bool COptionsSheet::Exists() { return bool(g_sheet); }

void COptionsSheet::Release() { g_sheet.reset(); }

COptionsSheet::COptionsSheet(Profile& profile)
    : profile_(profile), values_(OptionsValues::Read(profile)), fileTypes_(SelfPath()),
      editing_(EditingSettingsOf(values_.edit)) {
    LoadAssociations(fileTypes_, profile_);
    PublishToViews();
}

std::string COptionsSheet::SelfPath() { return QCoreApplication::applicationFilePath().toStdString(); }

bool COptionsSheet::SaveFileTypes() { return SaveAssociations(fileTypes_, profile_); }

void COptionsSheet::PublishToViews() const {
    ViewSettings view;
    view.tabSize = editing_.tabSize;
    view.showSelectionMargin = editing_.showSelectionMargin;
    view.showLineNumbers = editing_.showLineNumbers;
    view.showSelectionAlways = editing_.showSelectionAlways;
    view.autoIndent = editing_.autoIndent;
    view.tabToSpace = editing_.tabToSpace;
    CCrystalTextView::SetViewSettings(view);
    CVeskView::SetColorPalette(PaletteOf(values_.color));
    CVeskView::SetAutoCodeHelp(values_.edit.autoListMembers, values_.edit.autoParameterInfo);
}

QFont EditorFont(const std::string& face, int pointSize) {
    QFont font(QString::fromStdString(face));
    font.setPointSize(pointSize > 0 ? pointSize : 12);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    // A stored face this system lacks (removed since, or written on another system) falls back to a
    // fixed-pitch face rather than the desktop's proportional default.
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

void COptionsSheet::ApplyFontTo(CCrystalTextView* view) const {
    if (view) view->SetTextFont(EditorFont(values_.edit.fontFace, values_.edit.fontSize));
}

int COptionsSheet::Show(QWidget* parent) {
    COptionsDialog dialog(values_, startPage_, parent ? parent : DialogOwner(), &fileTypes_, [this] { return SaveFileTypes(); });
    int result = dialog.exec();
    startPage_ = dialog.ActivePage();
    if (result == QDialog::Accepted) Apply(dialog.Result());
    return result;
}

void COptionsSheet::Apply(const OptionsValues& values) {
    WriteGeneralOptions(profile_, values.general);
    WriteEditOptions(profile_, values.edit);
    WriteColorOptions(profile_, values.color);
    WriteFileTypesOptions(profile_, values.fileTypes);
    values_.fileTypes = values.fileTypes;
    values_.general = values.general;  // internalPreviewAtStart stays as read at creation
    values_.edit = values.edit;
    values_.color = values.color;
    editing_ = EditingSettingsOf(values_.edit);
    for (QWidget* w : QApplication::allWidgets())
        if (auto* view = qobject_cast<CVeskView*>(w)) ApplyFontTo(view);
    PublishToViews();
    emit editOptionsApplied();
    emit colorOptionsApplied();
}

// ---- font lists ----

QStringList FixedPitchFamilies() {
    QStringList result;
    for (const QString& family : QFontDatabase::families()) {
        if (family.isEmpty() || family.startsWith(QLatin1Char('@'))) continue;
        if (!QFontDatabase::isFixedPitch(family)) continue;
        QFont font(family);
        font.setPixelSize(90);
        QFontMetrics metrics(font);
        if (metrics.horizontalAdvance(QLatin1Char('W')) != metrics.horizontalAdvance(QLatin1Char('i'))) continue;
        result.append(family);
    }
    result.sort(Qt::CaseInsensitive);
    result.removeDuplicates();
    return result;
}

QStringList FontSizesFor(const QString& family) {
    QStringList sizes;
    if (family.isEmpty() || QFontDatabase::isSmoothlyScalable(family) || QFontDatabase::pointSizes(family).isEmpty()) {
        for (int s : {8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 26, 28, 36, 48, 72}) sizes.append(QString::number(s));
        return sizes;
    }
    for (int s : QFontDatabase::pointSizes(family)) {
        QString text = QString::number(s);
        if (!sizes.contains(text)) sizes.append(text);
    }
    return sizes;
}

// ---- General ----

COptionsGeneral::COptionsGeneral(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    reloadLastProject = Check(QStringLiteral("Reload last project at startup"), this);
    rememberOpenFiles = Check(QStringLiteral("Remember open files in project"), this);
    enableInternalPreview = Check(QStringLiteral("Enable Internal Preview (requires restart)"), this);
    layout->addWidget(reloadLastProject);
    layout->addWidget(rememberOpenFiles);
    layout->addWidget(enableInternalPreview);
    layout->addStretch(1);
}

void COptionsGeneral::Load(const GeneralOptions& v) {
    reloadLastProject->setChecked(v.reloadLastProject);
    rememberOpenFiles->setChecked(v.rememberOpenFiles);
    enableInternalPreview->setChecked(v.enableInternalPreview);
}

void COptionsGeneral::Save(GeneralOptions& v) const {
    v.reloadLastProject = reloadLastProject->isChecked();
    v.rememberOpenFiles = rememberOpenFiles->isChecked();
    v.enableInternalPreview = enableInternalPreview->isChecked();
}

// ---- Edit ----

COptionsEdit::COptionsEdit(QWidget* parent) : QWidget(parent) {
    auto* layout = new QGridLayout(this);
    face = new QComboBox(this);
    face->setEditable(false);
    size = new QComboBox(this);
    size->setEditable(true);
    size->setInsertPolicy(QComboBox::NoInsert);
    auto* faceLabel = new QLabel(QStringLiteral("&Font:"), this);
    faceLabel->setBuddy(face);
    auto* sizeLabel = new QLabel(QStringLiteral("&Size:"), this);
    sizeLabel->setBuddy(size);
    layout->addWidget(faceLabel, 0, 0);
    layout->addWidget(sizeLabel, 0, 1);
    layout->addWidget(face, 1, 0);
    layout->addWidget(size, 1, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 1);

    auto* editing = new QGroupBox(this);
    auto* grid = new QGridLayout(editing);
    autoListMembers = Check(QStringLiteral("Auto list &members"), editing);
    autoParameterInfo = Check(QStringLiteral("Auto &parameter info"), editing);
    autoIndent = Check(QStringLiteral("Auto &indent"), editing);
    selectionMargin = Check(QStringLiteral("Selection mar&gin"), editing);
    selectionAlways = Check(QStringLiteral("Show selection &highlight always"), editing);
    lineNumber = Check(QStringLiteral("Line &number"), editing);
    grid->addWidget(autoListMembers, 0, 0);
    grid->addWidget(selectionMargin, 0, 1);
    grid->addWidget(autoParameterInfo, 1, 0);
    grid->addWidget(selectionAlways, 1, 1);
    grid->addWidget(autoIndent, 2, 0);
    grid->addWidget(lineNumber, 2, 1);
    layout->addWidget(editing, 2, 0, 1, 2);

    auto* tabs = new QHBoxLayout;
    tabSize = new QLineEdit(this);
    tabSize->setMaxLength(3);
    tabSize->setMaximumWidth(50);
    tabSize->setValidator(new QIntValidator(0, 999, tabSize));
    auto* tabLabel = new QLabel(QStringLiteral("&Tab size:"), this);
    tabLabel->setBuddy(tabSize);
    tabToSpace = Check(QStringLiteral("Convert Tab to Space"), this);
    tabs->addWidget(tabLabel);
    tabs->addWidget(tabSize);
    tabs->addSpacing(20);
    tabs->addWidget(tabToSpace);
    tabs->addStretch(1);
    layout->addLayout(tabs, 3, 0, 1, 2);

    auto* encoding = new QHBoxLayout;
    defaultEncoding = new QComboBox(this);
    for (CodePage cp : kCodePages)
        defaultEncoding->addItem(QString::fromLatin1(CodePageLabel(cp)), CodePageNumber(cp));
    auto* encodingLabel = new QLabel(QStringLiteral("Default &encoding:"), this);
    encodingLabel->setBuddy(defaultEncoding);
    encoding->addWidget(encodingLabel);
    encoding->addWidget(defaultEncoding);
    encoding->addStretch(1);
    layout->addLayout(encoding, 4, 0, 1, 2);
    layout->setRowStretch(5, 1);

    face->addItems(FixedPitchFamilies());
    connect(face, &QComboBox::currentIndexChanged, this, [this](int) { FillSizes(true); });
}

void COptionsEdit::FillSizes(bool fromFaceChange) {
    QString previous = size->currentText();
    size->blockSignals(true);
    size->clear();
    size->addItems(FontSizesFor(face->currentText()));
    int found = size->findText(previous);
    if (found >= 0) {
        size->setCurrentIndex(found);
    } else if (fromFaceChange && size->count() > 0) {
        size->setCurrentIndex(0);
    } else {
        size->setCurrentIndex(-1);
        size->setEditText(previous);
    }
    size->blockSignals(false);
}

void COptionsEdit::Load(const EditOptions& v) {
    previousFace_ = v.fontFace;
    face->blockSignals(true);
    face->setCurrentIndex(face->findText(QString::fromStdString(v.fontFace), Qt::MatchFixedString));
    // A stored face this system lacks (the default one on most systems) is named rather than left
    // blank; it stays the stored face unless another is chosen.
    face->setPlaceholderText(QStringLiteral("%1 (not installed)").arg(QString::fromStdString(v.fontFace)));
    face->blockSignals(false);
    size->setEditText(QString::number(v.fontSize));
    FillSizes(false);
    autoListMembers->setChecked(v.autoListMembers);
    autoParameterInfo->setChecked(v.autoParameterInfo);
    autoIndent->setChecked(v.autoIndent);
    selectionMargin->setChecked(v.showSelectionMargin);
    selectionAlways->setChecked(v.showSelectionAlways);
    lineNumber->setChecked(v.showLineNumber);
    tabSize->setText(QString::number(v.tabSize));
    tabToSpace->setChecked(v.tabToSpace);
    defaultEncoding->setCurrentIndex(defaultEncoding->findData(CodePageNumber(v.defaultEncoding)));
}

bool COptionsEdit::Validate(QWidget** bad, QString* message) const {
    if (!ParseRangedInt(size->currentText().toStdString(), kMinFontSize, kMaxFontSize)) {
        *bad = size;
        *message = RangeMessage(kMinFontSize, kMaxFontSize);
        return false;
    }
    if (!ParseRangedInt(tabSize->text().toStdString(), kMinTabSize, kMaxTabSize)) {
        *bad = tabSize;
        *message = RangeMessage(kMinTabSize, kMaxTabSize);
        return false;
    }
    return true;
}

void COptionsEdit::Save(EditOptions& v) const {
    v.fontFace = face->currentIndex() >= 0 ? face->currentText().toStdString() : previousFace_;
    if (auto n = ParseRangedInt(size->currentText().toStdString(), kMinFontSize, kMaxFontSize)) v.fontSize = *n;
    v.autoListMembers = autoListMembers->isChecked();
    v.autoParameterInfo = autoParameterInfo->isChecked();
    v.autoIndent = autoIndent->isChecked();
    v.showSelectionMargin = selectionMargin->isChecked();
    v.showSelectionAlways = selectionAlways->isChecked();
    v.showLineNumber = lineNumber->isChecked();
    if (auto n = ParseRangedInt(tabSize->text().toStdString(), kMinTabSize, kMaxTabSize)) v.tabSize = *n;
    v.tabToSpace = tabToSpace->isChecked();
    if (auto cp = CodePageFromNumber(defaultEncoding->currentData().toInt())) v.defaultEncoding = *cp;
}

// ---- Color ----

COptionsColor::COptionsColor(QWidget* parent) : QWidget(parent) {
    static const int kIds[ColorSlotCount] = {1163, 1165, 1166, 1167, 1160, 1158, 1161, 1162, 1168, 1159};
    for (int i = 0; i < ColorSlotCount; ++i) buttons[size_t(i)] = new CColorButton(this, kIds[i]);

    auto* layout = new QVBoxLayout(this);
    enableColoring = Check(QStringLiteral("Enable s&yntax coloring"), this);
    layout->addWidget(enableColoring);

    auto group = [this](const QString& title, std::initializer_list<std::pair<const char*, int>> rows) {
        auto* box = new QGroupBox(title, this);
        auto* grid = new QGridLayout(box);
        int row = 0;
        for (const auto& [text, slot] : rows) {
            auto* label = new QLabel(QString::fromUtf8(text), box);
            label->setBuddy(buttons[size_t(slot)]);
            grid->addWidget(label, row, 0);
            grid->addWidget(buttons[size_t(slot)], row, 1);
            ++row;
        }
        grid->setColumnStretch(0, 1);
        return box;
    };
    auto* groups = new QHBoxLayout;
    groups->addWidget(group(QStringLiteral("HTML"), {{"&Normal:", SlotHtmlNormal},
                                                     {"&Keyword:", SlotHtmlKeyword},
                                                     {"&String:", SlotHtmlString},
                                                     {"&Comment:", SlotHtmlComment}}),
                      1, Qt::AlignTop);
    groups->addWidget(group(QStringLiteral("ASP"), {{"N&ormal:", SlotAspNormal},
                                                    {"K&eyword:", SlotAspKeyword},
                                                    {"S&tring:", SlotAspString},
                                                    {"Co&mment:", SlotAspComment},
                                                    {"Start / End:", SlotAspStartEnd}}),
                      1, Qt::AlignTop);
    layout->addLayout(groups);

    auto* bottom = new QHBoxLayout;
    auto* marginLabel = new QLabel(QStringLiteral("Selection mar&gin:"), this);
    marginLabel->setBuddy(buttons[SlotSelMargin]);
    bottom->addWidget(marginLabel);
    bottom->addWidget(buttons[SlotSelMargin]);
    bottom->addStretch(1);
    resetAll = new QPushButton(QStringLiteral("&Reset All"), this);
    bottom->addWidget(resetAll);
    layout->addLayout(bottom);
    layout->addStretch(1);

    for (CColorButton* b : buttons) b->setFixedSize(60, 22);
    connect(enableColoring, &QCheckBox::toggled, this, [this] { EnableButtons(); });
    connect(resetAll, &QPushButton::clicked, this, &COptionsColor::ResetAll);
}

void COptionsColor::EnableButtons() {
    for (CColorButton* b : buttons) b->setEnabled(enableColoring->isChecked());
}

void COptionsColor::Load(const ColorOptions& v) {
    enableColoring->setChecked(v.enableSyntaxColoring);
    for (int i = 0; i < ColorSlotCount; ++i) buttons[size_t(i)]->SetColor(DefaultSlotColor(i), v.colors[size_t(i)]);
    EnableButtons();
}

void COptionsColor::Save(ColorOptions& v) const {
    v.enableSyntaxColoring = enableColoring->isChecked();
    for (int i = 0; i < ColorSlotCount; ++i) v.colors[size_t(i)] = buttons[size_t(i)]->GetColor();
}

void COptionsColor::ResetAll() {
    for (int i = 0; i < ColorSlotCount; ++i) buttons[size_t(i)]->SetColor(DefaultSlotColor(i), DefaultSlotColor(i));
}

// ---- dialog ----

COptionsDialog::COptionsDialog(const OptionsValues& values, int startPage, QWidget* parent, AssociationTable* table,
                               std::function<bool()> saveTable)
    : QDialog(parent), result_(values) {
    if (!table) {
        table = &COptionsSheet::Get().FileTypes();
        saveTable = [] { return COptionsSheet::Get().SaveFileTypes(); };
    }
    setWindowTitle(QStringLiteral("Options"));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    general = new COptionsGeneral(tabs_);
    edit = new COptionsEdit(tabs_);
    fileTypes = new COptionsFileTypes(*table, std::move(saveTable), tabs_);
    color = new COptionsColor(tabs_);
    general->setProperty("optionsPage", int(COptionsSheet::PageGeneral));
    edit->setProperty("optionsPage", int(COptionsSheet::PageEdit));
    fileTypes->setProperty("optionsPage", int(COptionsSheet::PageFileTypes));
    color->setProperty("optionsPage", int(COptionsSheet::PageColor));
    tabs_->addTab(general, QStringLiteral("General"));
    tabs_->addTab(edit, QStringLiteral("Edit"));
    tabs_->addTab(fileTypes, QStringLiteral("File Types"));
    tabs_->addTab(color, QStringLiteral("Color"));
    layout->addWidget(tabs_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    general->Load(values.general);
    edit->Load(values.edit);
    fileTypes->Load(values.fileTypes);
    color->Load(values.color);
    ShowPage(startPage);
    shownTab_ = tabs_->currentIndex();

    // A page with a value out of range cannot be left.
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == shownTab_) return;
        QWidget* old = tabs_->widget(shownTab_);
        if (old && !ValidatePage(old)) {
            tabs_->blockSignals(true);
            tabs_->setCurrentIndex(shownTab_);
            tabs_->blockSignals(false);
            return;
        }
        shownTab_ = index;
    });
    resize(sizeHint().expandedTo(QSize(420, 320)));
}

int COptionsDialog::TabOfPage(int page) const {
    for (int i = 0; i < tabs_->count(); ++i)
        if (tabs_->widget(i)->property("optionsPage").toInt() == page) return i;
    return -1;
}

int COptionsDialog::ActivePage() const {
    QWidget* w = tabs_->currentWidget();
    return w ? w->property("optionsPage").toInt() : 0;
}

void COptionsDialog::ShowPage(int page) {
    int tab = TabOfPage(page);
    tabs_->setCurrentIndex(tab >= 0 ? tab : 0);
}

bool COptionsDialog::ValidatePage(QWidget* page) {
    if (page != edit) return true;
    QWidget* bad = nullptr;
    QString message;
    if (edit->Validate(&bad, &message)) return true;
    ShowMessage(message, mb::kOk | mb::kIconExclamation);
    bad->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(bad)) line->selectAll();
    return false;
}

void COptionsDialog::accept() {
    for (int i = 0; i < tabs_->count(); ++i) {
        if (!ValidatePage(tabs_->widget(i))) {
            tabs_->blockSignals(true);
            tabs_->setCurrentIndex(i);
            tabs_->blockSignals(false);
            shownTab_ = i;
            return;
        }
    }
    general->Save(result_.general);
    edit->Save(result_.edit);
    fileTypes->Save(result_.fileTypes);
    color->Save(result_.color);
    QDialog::accept();
}

}  // namespace tarnwell
