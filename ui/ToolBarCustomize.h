// "Customize Toolbar": moves a tool bar's buttons between the buttons it shows and those it could
// show, reorders them, adds separators, and resets the bar to its initial layout.
#pragma once

#include <QDialog>
#include <QIcon>

#include <functional>
#include <vector>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tarnwell {

class CToolBarCustomizeDialog : public QDialog {
    Q_OBJECT
public:
    // What the dialog shows of a button: its icon and its text.
    using Describe = std::function<void(int id, QIcon& icon, QString& text)>;

    // `current`: the bar's buttons now; `all`: every button the bar can show; `initial`: the layout
    // Reset goes back to. Ids are command ids, 0 a separator.
    CToolBarCustomizeDialog(const QString& barTitle, std::vector<int> current, std::vector<int> all,
                            std::vector<int> initial, Describe describe, QWidget* parent = nullptr);

    std::vector<int> Layout() const;
    QListWidget* AvailableList() const { return available_; }
    QListWidget* CurrentList() const { return current_; }

    // The commands of the dialog's buttons, on the selected rows.
    void Add();
    void Remove();
    void MoveUp();
    void MoveDown();
    void Reset();

private:
    void Fill(const std::vector<int>& layout);
    void FillAvailable(int selectId);
    QListWidgetItem* MakeItem(int id) const;
    void UpdateButtons();

    std::vector<int> all_;
    std::vector<int> initial_;
    Describe describe_;
    QListWidget* available_;
    QListWidget* current_;
    QPushButton* add_;
    QPushButton* remove_;
    QPushButton* up_;
    QPushButton* down_;
};

}  // namespace tarnwell
