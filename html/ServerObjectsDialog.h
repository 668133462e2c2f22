// Server object ids: the list kept for the run (loaded once from the settings), the "Insert Server
// Object ID" submenu built from it, and the "Server Objects" dialog that edits it.
#pragma once

#include "html/ServerObjects.h"

#include <QDialog>

#include <array>
#include <functional>
#include <vector>

class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;

namespace tarnwell {

class Profile;

class CServerObjectStore {
public:
    // The store of the run, loaded from `profile` when first asked for.
    static CServerObjectStore& Get(Profile* profile);
    // Forgets the store (the next Get loads again); for tests.
    static void Reset();

    const std::vector<ServerObject>& Objects() const { return objects_; }
    // Takes a new list and writes it to the settings.
    void Replace(std::vector<ServerObject> objects);
    Profile* Settings() const { return profile_; }

private:
    explicit CServerObjectStore(Profile* profile);
    Profile* profile_;
    std::vector<ServerObject> objects_;
};

// Rebuilds the submenu: the items of commands 50100 ... 50199 at the top are replaced by the titles
// of the first 100 objects ("(Empty)" when there are none); the rest of the menu stays. `trigger`
// runs a command id.
void FillServerObjectMenu(QMenu* menu, const std::vector<ServerObject>& objects,
                          const std::function<void(int)>& trigger);

// One object's title and identifier, trimmed; both must be given.
class CServerObjectDialog : public QDialog {
public:
    CServerObjectDialog(const ServerObject& object, QWidget* owner);
    ServerObject Object() const;
    void accept() override;

private:
    QLineEdit* title_;
    QLineEdit* id_;
};

class CServerObjectsDialog : public QDialog {
public:
    explicit CServerObjectsDialog(CServerObjectStore& store, QWidget* owner);
    QTreeWidget* List() const { return list_; }
    // OK: the store takes the rows in their order and writes them.
    void accept() override;
    // Runs the dialog modally over the store of the run.
    static void Customize(Profile* profile, QWidget* owner);

private:
    void Enable();
    void Edit(bool add);

    CServerObjectStore& store_;
    QTreeWidget* list_;
    std::array<QPushButton*, 5> buttons_;
};

}  // namespace tarnwell
