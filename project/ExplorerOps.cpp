#include "project/ExplorerOps.h"

#include "project/ExplorerTree.h"
#include "project/FileSystem.h"

#include <algorithm>
#include <cerrno>

namespace tarnwell {

std::string FormatMessage(const char* format, const std::vector<std::string>& args) {
    std::string out;
    std::size_t next = 0;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            if (next < args.size()) out += args[next++];
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

std::string NewItemName(const std::string& folder, bool isFolder) {
    for (int i = 0;; ++i) {
        std::string name = isFolder ? "NewFolder" : "NewFile";
        if (i > 0) name += "(" + std::to_string(i) + ")";
        if (!isFolder) name += ".asp";
        const std::string path = JoinPath(folder, name);
        const bool taken = isFolder ? ReadEntry(path).type == EntryType::Folder : Exists(path);
        if (!taken) return name;
    }
}

bool CreateNewExplorerFile(const std::string& folder, const std::string& templatePath, std::string& name,
                           std::string& error) {
    std::string bytes;
    if (!ReadWholeFile(templatePath, bytes)) bytes.clear();
    // A name taken between choosing it and creating the file is passed over, never replaced.
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = NewItemName(folder, false);
        if (CreateNewFile(JoinPath(folder, name), bytes, error)) return true;
        if (!Exists(JoinPath(folder, name))) return false;
    }
    return false;
}

NameCheck CheckNewName(std::string& name) {
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) {
        name.clear();
        return NameCheck::Empty;
    }
    name = name.substr(first, name.find_last_not_of(' ') - first + 1);
    if (name.find_first_of("\\/:*?\"<>|") != std::string::npos) return NameCheck::BadCharacter;
    return NameCheck::Ok;
}

std::size_t RenameSelectionLength(const std::string& name, bool isFolder) {
    const std::size_t dot = name.rfind('.');
    return isFolder || dot == std::string::npos ? name.size() : dot;
}

std::size_t MaxRenameLength(std::size_t fullPathLength, std::size_t oldNameLength) {
    const std::size_t folderPart = fullPathLength - std::min(fullPathLength, oldNameLength);
    const std::size_t byPath = MaxPathLength() > folderPart ? MaxPathLength() - folderPart : 0;
    return std::min(MaxNameLength(), byPath);
}

bool IsInside(const std::string& path, const std::string& folder) {
    std::string relative;
    return RelativeTo(folder, path, relative) && relative.rfind("..", 0) != 0;
}

namespace {

enum class Outcome { Skipped, Done, Partial, Aborted };

struct Transfer {
    bool move;
    TransferHandler& handler;
    std::vector<std::string> removeAfter;  // moved sources, children before their folder

    Outcome CopyFile(const std::string& from, const std::string& to, const std::string& targetFolder) {
        if (Exists(to)) {
            if (SameFile(from, to)) return Outcome::Skipped;
            if (!handler.ReplaceFile(targetFolder, FileNameOf(to))) return Outcome::Skipped;
        }
        const bool link = ReadEntry(from).link;
        for (;;) {
            std::string error;
            if (link ? CopyLink(from, to, error) : CopyFileOver(from, to, error)) break;
            switch (handler.CopyFailed(from, to, error)) {
            case CopyAnswer::Retry: continue;
            case CopyAnswer::Ignore: return Outcome::Skipped;
            case CopyAnswer::Abort: return Outcome::Aborted;
            }
        }
        if (move) {
            handler.Moved(from, to);
            removeAfter.push_back(from);
        }
        return Outcome::Done;
    }

    Outcome CopyFolder(const std::string& from, const std::string& to, const std::string& targetFolder) {
        if (ReadEntry(to).type == EntryType::Folder) {
            if (!handler.ReplaceFolder(targetFolder, FileNameOf(to))) return Outcome::Skipped;
        } else {
            std::string error;
            if (!CreateFolder(to, error)) {
                handler.CreateFolderFailed(to, error);
                return Outcome::Aborted;
            }
        }
        std::vector<std::string> names;
        ListFolder(from, [&](const std::string& name) { names.push_back(name); });
        std::sort(names.begin(), names.end());
        bool whole = true;
        for (const std::string& name : names) {
            const Outcome r = Copy(JoinPath(from, name), JoinPath(to, name), to);
            if (r == Outcome::Aborted) return r;
            whole = whole && r == Outcome::Done;
        }
        if (move) removeAfter.push_back(from);
        return whole ? Outcome::Done : Outcome::Partial;
    }

    Outcome Copy(const std::string& from, const std::string& to, const std::string& targetFolder) {
        const EntryInfo info = ReadEntry(from);
        // Links are copied as links, never followed into (a folder's link could lead back here).
        if (info.type == EntryType::Folder && !info.link) return CopyFolder(from, to, targetFolder);
        return CopyFile(from, to, targetFolder);
    }
};

}  // namespace

TransferResult TransferItems(const std::vector<std::string>& sources, const std::string& targetFolder, bool move,
                             TransferHandler& handler) {
    TransferResult result;
    Transfer t{move, handler, {}};
    for (const std::string& source : sources) {
        const std::string target = JoinPath(targetFolder, FileNameOf(source));
        if (!Exists(source) || SameFile(ParentPath(source), targetFolder) || IsInside(targetFolder, source) ||
            SameFile(source, target))
            continue;
        if (move && !Exists(target)) {
            std::string error;
            if (RenameNoReplace(source, target, error)) {
                handler.Moved(source, target);
                result.placed.emplace_back(source, target);
                continue;
            }
        }
        const Outcome r = t.Copy(source, target, targetFolder);
        if (r == Outcome::Done || r == Outcome::Partial) result.placed.emplace_back(source, target);
        if (r == Outcome::Aborted) {
            result.aborted = true;
            break;
        }
    }
    // Sources go only now that their copies are complete; a folder only once it is empty.
    for (const std::string& path : t.removeAfter) {
        std::string error;
        RemoveEntry(path, error);
    }
    return result;
}

}  // namespace tarnwell
