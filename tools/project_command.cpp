// tarnwell-tool project PATH: reads a project file the way opening the project does and prints one
// JSON object with its header, folder and name, and the remembered files as reopening would visit
// them. Exit status 1 (with "valid":false) when the header check fails.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "project/ProjectFile.h"
#include "tools/Command.h"

namespace {

using namespace tarnwell;
namespace fs = std::filesystem;

void Field(std::string& out, const char* key, const std::string& value) {
    out += ",\"";
    out += key;
    out += "\":";
    tool::AppendJsonString(out, value);
}

void AppendPos(std::string& out, const char* key, const std::optional<TextPosition>& pos) {
    out += ",\"";
    out += key;
    out += "\":";
    out += pos ? "[" + std::to_string(pos->line) + "," + std::to_string(pos->ch) + "]" : std::string("null");
}

int RunProject(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: tarnwell-tool project PATH\n");
        return 2;
    }
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(std::u8string(args[0].begin(), args[0].end())), ec).lexically_normal();
    const std::u8string u8 = p.u8string();
    const std::string path(u8.begin(), u8.end());
    IniFile file;
    std::string readError;
    file.Load(p, &readError);
    const ProjectHeader header = ReadProjectHeader(file);
    const std::string folder = ProjectFolderOf(path);

    std::string out = header.valid ? "{\"valid\":true" : "{\"valid\":false";
    Field(out, "error", header.error);
    Field(out, "name", ProjectNameOf(path));
    Field(out, "folder", folder);
    Field(out, "webPath", header.webPath);
    RememberedFiles files;
    if (header.valid) files = ReadRememberedFiles(file, folder);
    out += ",\"totalOpenFiles\":" + std::to_string(header.valid ? files.total : 0);
    out += ",\"lastActiveFile\":" + std::to_string(header.valid ? files.lastActive : -1);
    out += ",\"openFiles\":[";
    bool first = true;
    for (const RememberedFile& e : files.entries) {
        if (!first) out += ',';
        first = false;
        out += "{\"key\":";
        tool::AppendJsonString(out, e.key);
        if (e.status == RememberedFile::Ok) {
            out += ",\"ok\":true";
            Field(out, "path", e.path);
            AppendPos(out, "start", e.start);
            AppendPos(out, "end", e.end);
        } else {
            out += ",\"ok\":false";
            Field(out, "reason", StatusName(e.status));
        }
        out += '}';
    }
    out += "]}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return header.valid ? 0 : 1;
}

tool::Registration reg{{"project", "project PATH", &RunProject}};

}  // namespace
