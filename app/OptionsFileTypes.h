// The Options sheet's "File Types" page: the table of which program opens each file type from the
// explorer, changed and saved at once by its buttons, and the "File Association" dialog that edits
// one row.
#pragma once

#include "app/FileAssociations.h"
#include "app/Options.h"

#include <QDialog>
#include <QWidget>

#include <functional>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class QTreeWidget;

namespace tarnwell {

// Asks for a program file (starting from `current`); a desktop entry picked from the desktop's
// application folders comes back as its id. Empty when cancelled.
QString BrowseForProgram(QWidget* parent, const QString& current);

class CFileAssocDialog : public QDialog {
    Q_OBJECT
public:
    // Empty for a new row; with `change` the row's extension is shown and cannot be edited.
    CFileAssocDialog(const AssociationTable& table, const Association* change, QWidget* parent = nullptr);
    // The row as accepted (extension with its dot; internal rows without editor and parameters).
    Association Result() const;
    void accept() override;

    QLineEdit* extension = nullptr;   // 1065
    QRadioButton* internal = nullptr; // 1143
    QRadioButton* external = nullptr; // 1144
    QLineEdit* editor = nullptr;      // 1066
    QToolButton* browse = nullptr;    // 1004
    QLineEdit* parameters = nullptr;  // 1067

private:
    void EnableExternal();

    const AssociationTable& table_;
    bool changeMode_;
};

class COptionsFileTypes : public QWidget {
    Q_OBJECT
public:
    // `save` stores the table after each change of it.
    COptionsFileTypes(AssociationTable& table, std::function<bool()> save, QWidget* parent = nullptr);
    void Load(const FileTypesOptions& values);
    void Save(FileTypesOptions& values) const;

    // The buttons' actions; each asks what it needs in its own dialogs.
    void Add();
    void ChangeSelected();
    void RemoveSelected();
    void ResetAll();
    // The selected row of the table, or -1.
    int SelectedRow() const;

    QTreeWidget* list = nullptr;            // 1059
    QPushButton* add = nullptr;             // 1060
    QPushButton* change = nullptr;          // 1062
    QPushButton* remove = nullptr;          // 1061
    QPushButton* resetAll = nullptr;        // 1171
    QRadioButton* useSystem = nullptr;      // 1064
    QRadioButton* useEditor = nullptr;      // 1063

private:
    void Fill();
    void SetItem(int row);
    void Select(int row);
    void UpdateButtons();

    AssociationTable& table_;
    std::function<bool()> save_;
};

}  // namespace tarnwell
