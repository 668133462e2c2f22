#include "app/CMruFileManager.h"

#include "app/CEditorApp.h"
#include "app/ProjectLink.h"
#include "project/ProjectFile.h"

#include <QDir>
#include <QFileInfo>

namespace tarnwell {

RecentList& CMruFileManager::AddList(int firstId, const std::string& section, const std::string& entryFormat,
                                     RecentList::AcceptTest accepts, int capacity, const Profile* profile,
                                     int displayLength) {
    lists_.push_back(
        std::make_unique<RecentList>(firstId, section, entryFormat, std::move(accepts), capacity, displayLength));
    if (profile) lists_.back()->Read(*profile);
    return *lists_.back();
}

RecentList* CMruFileManager::ListOf(int id) const {
    for (const auto& l : lists_)
        if (l->OwnsId(id)) return l.get();
    return nullptr;
}

void CMruFileManager::RememberPath(const QString& path) {
    if (path.isEmpty()) return;
    const std::string full = QDir::cleanPath(QFileInfo(path).absoluteFilePath()).toStdString();
    for (const auto& l : lists_) {
        if (l->Accepts(full)) {
            l->Add(full);
            return;
        }
    }
}

void CMruFileManager::WriteAll(Profile& profile) const {
    for (const auto& l : lists_) l->Write(profile);
}

bool CMruFileManager::UpdateCommand(int id, CommandState& state) {
    RecentList* list = ListOf(id);
    if (!list) return false;
    const int index = id - list->FirstId();
    state.enabled = index < list->Size();
    if (state.enabled) {
        state.text = list->MenuText(index, QDir::currentPath().toStdString());
    } else if (index == 0) {
        state.text = "None";
    }
    return true;
}

bool CMruFileManager::ExecuteCommand(int id) {
    RecentList* list = ListOf(id);
    if (!list) return false;
    const int index = id - list->FirstId();
    if (index >= list->Size()) return true;
    const std::string path = list->Entry(index);
    if (!IsProjectPath(path)) {
        if (!app_.OpenDocumentFile(QString::fromStdString(path))) list->Remove(path);
        return true;
    }
    // A refused close of the open project leaves everything as it was, the entry included.
    ProjectLink& project = app_.Project();
    if (!project.IsOpen() || project.CloseProject(true)) {
        if (!project.OpenProject(path, true)) list->Remove(path);
    }
    return true;
}

}  // namespace tarnwell
