// The type-library provider over folders of library files: the program's "TypeLibs" folder and a per-user
// folder. It reads descriptions (".tld"), binary type libraries (".tlb", ".olb") and the type-library
// resources of PE files (".dll", ".ocx", ".exe"), and locates ProgIDs through the component index
// ("progids.txt" in any of the folders) or, failing that, through the library name before the ProgID's
// first ".", matched against the names of the libraries in the folders.
//
// "progids.txt": one ProgID a line, "ProgID Library Coclass", blank-separated; "#" starts a comment;
// lines that do not have three words are ignored. ProgIDs are matched without regard to case; the first
// folder that names a ProgID wins.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "lang/TypeLibrary.h"

namespace tarnwell {

class FolderTypeLibraryProvider : public TypeLibraryProvider {
public:
    // Folders are searched in the order given.
    explicit FolderTypeLibraryProvider(std::vector<std::string> folders);

    // Reads path by its content (a description, a binary library or a PE image). When path does not
    // exist, a description of the same name with the extension ".tld" beside it stands in: the shipped
    // "asp.tld" answers for "asp.tlb", "vbscript.tld" for "vbscript.dll".
    std::unique_ptr<TypeLibrary> Load(const std::string& path, std::string* error) override;
    bool LocateProgId(std::string_view progId, ProgIdLocation& out) override;

    const std::vector<std::string>& Folders() const { return folders_; }

private:
    void BuildIndex();

    std::vector<std::string> folders_;
    bool indexed_ = false;
    std::map<std::string, std::pair<std::string, std::string>> progIds_;  // upper ProgID -> library, coclass
    std::map<std::string, std::string> libraryFiles_;                    // upper library name -> file
};

// The per-user type-library folder: "$XDG_DATA_HOME/Tarnwell/TypeLibs" (XDG_DATA_HOME defaulting to
// "~/.local/share"), "%APPDATA%\Tarnwell\TypeLibs" on Windows; "" when no home is known.
std::string UserTypeLibraryFolder();

// Reads a whole file (up to maxBytes) into out; false with the system's error text otherwise.
bool ReadWholeFile(const std::string& path, std::string& out, std::string* error, size_t maxBytes = 64u << 20);

}  // namespace tarnwell
