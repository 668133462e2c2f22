#include "app/OptionsFileTypes.h"

#include "text/AskWithCheck.h"
#include "ui/SingleLineEdit.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarnwell {

namespace {

QString Qs(const std::string& s) { return QString::fromStdString(s); }

QLineEdit* Field(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setMaxLength(255);
    RefuseLineBreaks(e);
    return e;
}

// A desktop entry picked from one of the desktop's application folders is named by its id.
QString ProgramFromPicked(const QString& picked) {
    const QFileInfo fi(picked);
    if (fi.suffix() != QLatin1String("desktop")) return picked;
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
        if (QDir(dir) == fi.absoluteDir()) return fi.fileName();
    return picked;
}

}  // namespace

QString BrowseForProgram(QWidget* parent, const QString& current) {
#ifdef Q_OS_WIN
    const QString filter = QStringLiteral("Program (*.exe);;All Files (*.*)");
    const QString start;
#else
    const QString filter = QStringLiteral("All Files (*)");
    const QString start = QStringLiteral("/usr/bin");
#endif
    const QString text = current.trimmed();
    const QString from = text.contains(QLatin1Char('/')) || text.contains(QLatin1Char('\\')) ? text : start;
    const QString picked = QFileDialog::getOpenFileName(parent, QString(), from, filter);
    return picked.isEmpty() ? picked : QDir::toNativeSeparators(ProgramFromPicked(picked));
}

// ---- the association dialog ----

CFileAssocDialog::CFileAssocDialog(const AssociationTable& table, const Association* row, QWidget* parent)
    : QDialog(parent), table_(table), changeMode_(row != nullptr) {
    setWindowTitle(QStringLiteral("File Association"));
    extension = Field(this);
    internal = new QRadioButton(QStringLiteral("&Internal editor"), this);
    external = new QRadioButton(QStringLiteral("&External editor:"), this);
    editor = Field(this);
    browse = new QToolButton(this);
    browse->setText(QStringLiteral("..."));
    parameters = Field(this);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* extLabel = new QLabel(QStringLiteral("&File Extension:"), this);
    extLabel->setBuddy(extension);
    top->addWidget(extLabel);
    top->addWidget(extension, 1);
    top->addWidget(new QLabel(QStringLiteral("(example: .htm)"), this));
    layout->addLayout(top);

    auto* group = new QGroupBox(QStringLiteral("Open with"), this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(internal, 0, 0, 1, 3);
    grid->addWidget(external, 1, 0);
    grid->addWidget(editor, 1, 1);
    grid->addWidget(browse, 1, 2);
    auto* paramLabel = new QLabel(QStringLiteral("&Parameters:"), group);
    paramLabel->setBuddy(parameters);
    grid->addWidget(paramLabel, 2, 0);
    grid->addWidget(parameters, 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(group);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    if (row) {
        extension->setText(Qs(row->extension));
        extension->setReadOnly(true);
        if (!row->internal) {
            editor->setText(Qs(row->editor));
            parameters->setText(Qs(row->parameters));
        }
    }
    (row && !row->internal ? external : internal)->setChecked(true);
    connect(external, &QRadioButton::toggled, this, [this] { EnableExternal(); });
    connect(browse, &QToolButton::clicked, this, [this] {
        if (const QString picked = BrowseForProgram(this, editor->text()); !picked.isEmpty()) editor->setText(picked);
    });
    EnableExternal();
    resize(sizeHint().expandedTo(QSize(440, 0)));
}

void CFileAssocDialog::EnableExternal() {
    const bool on = external->isChecked();
    editor->setEnabled(on);
    browse->setEnabled(on);
    parameters->setEnabled(on);
}

Association CFileAssocDialog::Result() const {
    Association row;
    row.extension = NormalizeExtension(extension->text().toStdString());
    row.internal = internal->isChecked();
    if (!row.internal) {
        row.editor = editor->text().trimmed().toStdString();
        row.parameters = parameters->text().toStdString();
    }
    return row;
}

void CFileAssocDialog::accept() {
    const std::string ext = NormalizeExtension(extension->text().toStdString());
    if (ext.empty()) {
        ShowMessage(QStringLiteral("Please enter file extension"));
        extension->setFocus();
        return;
    }
    extension->setText(Qs(ext));
    if (!changeMode_ && table_.Find(ext)) {
        ShowMessage(QStringLiteral("The specified extension is already associated with another editor"));
        extension->setFocus();
        return;
    }
    if (external->isChecked()) {
        editor->setText(editor->text().trimmed());
        if (editor->text().isEmpty()) {
            ShowMessage(QStringLiteral("Please enter a valid editor"));
            editor->setFocus();
            return;
        }
    } else {
        editor->clear();
        parameters->clear();
    }
    QDialog::accept();
}

// ---- the page ----

COptionsFileTypes::COptionsFileTypes(AssociationTable& table, std::function<bool()> save, QWidget* parent)
    : QWidget(parent), table_(table), save_(std::move(save)) {
    list = new QTreeWidget(this);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setAllColumnsShowFocus(true);
    list->setHeaderLabels(QStringLiteral("Type,Editor").split(QLatin1Char(',')));
    list->header()->setStretchLastSection(false);
    add = new QPushButton(QStringLiteral("&Add"), this);
    change = new QPushButton(QStringLiteral("&Change"), this);
    remove = new QPushButton(QStringLiteral("&Remove"), this);
    resetAll = new QPushButton(QStringLiteral("Re&set All"), this);
    useSystem = new QRadioButton(QStringLiteral("Open &using system associated applications"), this);
    useEditor = new QRadioButton(QStringLiteral("Open &in source editor"), this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(list, 0, 0, 5, 1);
    layout->addWidget(add, 0, 1);
    layout->addWidget(change, 1, 1);
    layout->addWidget(remove, 2, 1);
    layout->addWidget(resetAll, 3, 1);
    layout->setRowStretch(4, 1);
    auto* unlisted = new QGroupBox(QStringLiteral("Files not in above list:"), this);
    auto* radios = new QVBoxLayout(unlisted);
    radios->addWidget(useSystem);
    radios->addWidget(useEditor);
    layout->addWidget(unlisted, 5, 0, 1, 2);
    layout->setColumnStretch(0, 1);

    connect(add, &QPushButton::clicked, this, &COptionsFileTypes::Add);
    connect(change, &QPushButton::clicked, this, &COptionsFileTypes::ChangeSelected);
    connect(remove, &QPushButton::clicked, this, &COptionsFileTypes::RemoveSelected);
    connect(resetAll, &QPushButton::clicked, this, &COptionsFileTypes::ResetAll);
    connect(list, &QTreeWidget::itemSelectionChanged, this, &COptionsFileTypes::UpdateButtons);
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this] { ChangeSelected(); });
    Fill();
}

void COptionsFileTypes::Load(const FileTypesOptions& v) {
    list->setColumnWidth(0, v.typeWidth);
    list->setColumnWidth(1, v.editorWidth);
    (v.openUnlisted ? useEditor : useSystem)->setChecked(true);
}

void COptionsFileTypes::Save(FileTypesOptions& v) const {
    v.typeWidth = list->columnWidth(0);
    v.editorWidth = list->columnWidth(1);
    v.openUnlisted = useEditor->isChecked();
}

void COptionsFileTypes::SetItem(int row) {
    const Association& a = table_.Rows()[size_t(row)];
    QTreeWidgetItem* item = list->topLevelItem(row);
    item->setText(0, Qs(a.extension));
    item->setText(1, Qs(ProgramFileName(a.editor)));
    if (row < AssociationTable::kFixedRows)
        for (int c = 0; c < 2; ++c) item->setForeground(c, palette().color(QPalette::Disabled, QPalette::Text));
}

void COptionsFileTypes::Fill() {
    list->clear();
    for (size_t i = 0; i < table_.Rows().size(); ++i) {
        list->addTopLevelItem(new QTreeWidgetItem);
        SetItem(int(i));
    }
    UpdateButtons();
}

int COptionsFileTypes::SelectedRow() const {
    const QList<QTreeWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? -1 : list->indexOfTopLevelItem(items.first());
}

void COptionsFileTypes::Select(int row) {
    if (QTreeWidgetItem* item = list->topLevelItem(row)) {
        list->setCurrentItem(item);
        item->setSelected(true);
        list->scrollToItem(item);
    }
    list->setFocus();
}

void COptionsFileTypes::UpdateButtons() {
    const bool editable = SelectedRow() >= AssociationTable::kFixedRows;
    change->setEnabled(editable);
    remove->setEnabled(editable);
}

void COptionsFileTypes::Add() {
    if (table_.Rows().size() >= size_t(AssociationTable::kMaxRows)) {
        ShowMessage(QStringLiteral("Can not add more associations."));
        return;
    }
    CFileAssocDialog dialog(table_, nullptr, this);
    if (dialog.exec() != QDialog::Accepted || !table_.Add(dialog.Result())) return;
    list->addTopLevelItem(new QTreeWidgetItem);
    const int row = int(table_.Rows().size()) - 1;
    SetItem(row);
    Select(row);
    if (save_) save_();
}

void COptionsFileTypes::ChangeSelected() {
    const int row = SelectedRow();
    if (row < AssociationTable::kFixedRows) return;
    const Association before = table_.Rows()[size_t(row)];
    CFileAssocDialog dialog(table_, &before, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const Association after = dialog.Result();
    if (!table_.Change(size_t(row), after.internal, after.editor, after.parameters)) return;
    SetItem(row);
    list->setFocus();
    if (save_) save_();
}

void COptionsFileTypes::RemoveSelected() {
    const int row = SelectedRow();
    if (row < AssociationTable::kFixedRows || !table_.Remove(size_t(row))) return;
    delete list->takeTopLevelItem(row);
    Select(std::min(row, list->topLevelItemCount() - 1));
    if (save_) save_();
}

void COptionsFileTypes::ResetAll() {
    if (ShowMessage(QStringLiteral("Are you sure?"), mb::kYesNo | mb::kIconQuestion) != mb::kIdYes) return;
    table_.Reset();
    Fill();
    if (save_) save_();
}

}  // namespace tarnwell
