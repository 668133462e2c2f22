// "Find File": a modeless dialog that finds explorer items below a folder by name, one match at a
// time, and selects each in the tree. It remembers the folder and the last match by path, so items
// that a delete, refresh or project close frees are never touched through it.
#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace tarnwell {

class CProjectTree;
class Profile;
struct ExplorerItem;

class CFindFileDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHistoryLimit = 15;
    static constexpr const char* kNotFound = "No mached file found.";

    // The name history is read from "Find File" now and written back when the dialog is destroyed.
    CFindFileDialog(CProjectTree& tree, Profile& profile, QWidget* parent);
    ~CFindFileDialog() override;

    // Searches below `folder` from now on; shows and activates the dialog with the focus in the name.
    void OpenFor(const ExplorerItem* folder);
    // "Find" (from the top) and "Find Next" (after the last match, wrapping once). Answer whether an
    // item was found; when none is, the "not found" message is shown.
    bool Find();
    bool FindNext();

    QComboBox* NameBox() const { return name_; }
    QLineEdit* FolderField() const { return folder_; }
    QCheckBox* FocusBox() const { return focusTree_; }
    QStringList History() const;

private:
    bool Search(bool fromTop);
    void Remember(const QString& name);

    CProjectTree& tree_;
    Profile& profile_;
    QComboBox* name_;
    QLineEdit* folder_;
    QCheckBox* focusTree_;
    QPushButton* find_;
    QPushButton* next_;
    std::string folderPath_;  // the search folder
    std::string lastMatch_;   // the last match, empty when none
};

}  // namespace tarnwell
