// The recent-lists manager: the "Recent Projects" and "Recent Files" lists of the File menu, every path
// the program remembers going to the first list that takes it, and the commands of their entries.
#pragma once

#include "app/RecentList.h"
#include "text/CommandTarget.h"

#include <QString>

#include <memory>
#include <vector>

namespace tarnwell {

class CEditorApp;
class Profile;

class CMruFileManager : public CCmdTarget {
public:
    explicit CMruFileManager(CEditorApp& app) : app_(app) {}

    // Adds a list (read from `profile` unless it is null).
    RecentList& AddList(int firstId, const std::string& section, const std::string& entryFormat,
                        RecentList::AcceptTest accepts, int capacity, const Profile* profile, int displayLength);
    const std::vector<std::unique_ptr<RecentList>>& Lists() const { return lists_; }
    RecentList* ListOf(int id) const;

    // Offers an absolute form of the path to the lists in order; the first that accepts it keeps it.
    void RememberPath(const QString& path);
    // Writes every list, in list order.
    void WriteAll(Profile& profile) const;

    bool UpdateCommand(int id, CommandState& state) override;
    bool ExecuteCommand(int id) override;

private:
    CEditorApp& app_;
    std::vector<std::unique_ptr<RecentList>> lists_;
};

}  // namespace tarnwell
