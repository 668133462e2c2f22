// tarnwell-tool members|params|types: the member list, the parameter tip and the type a ProgID names,
// as the editor would find them, over the type libraries of the program's "TypeLibs" folder and the
// user's (or only those of the --typelibs folders given; the first of them stands for the program's).
//
//   members [--typelibs DIR]... FILE LINE CHAR   caret at LINE,CHAR (zero-based, CHAR in bytes)
//   params  [--typelibs DIR]... FILE LINE CHAR
//   types   [--typelibs DIR]... PROGID
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "lang/MemberQuery.h"
#include "lang/TypeLibraryFolders.h"
#include "tools/Command.h"

namespace {

using namespace tarnwell;
namespace fs = std::filesystem;

struct Args {
    std::vector<std::string> typeLibs;
    std::vector<std::string> rest;
};

bool ParseArgs(const std::vector<std::string>& args, Args& out) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--typelibs") {
            if (i + 1 >= args.size()) return false;
            out.typeLibs.push_back(args[++i]);
        } else {
            out.rest.push_back(args[i]);
        }
    }
    return true;
}

// The cache as the program sets it up: start-up libraries from the program's folder, then whatever the
// component index finds in every folder.
std::unique_ptr<TypeLibraryCache> MakeCache(const Args& a) {
    std::vector<std::string> folders = a.typeLibs;
    std::string startup = folders.empty() ? std::string() : folders.front();
    if (folders.empty()) {
        startup = (fs::path(tool::ProgramFolder()) / "TypeLibs").string();
        folders = {UserTypeLibraryFolder(), startup};
    }
    auto cache = std::make_unique<TypeLibraryCache>(std::make_unique<FolderTypeLibraryProvider>(folders));
    LoadStartupTypeLibraries(*cache, startup);
    return cache;
}

bool ParseIndex(const std::string& s, int& out) {
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || v < 0 || v > 0x7FFFFFFF) return false;
    out = static_cast<int>(v);
    return true;
}

void AppendKey(std::string& out, const char* key) {
    out += '"';
    out += key;
    out += "\":";
}

void AppendStringOrNull(std::string& out, const std::string& s) {
    if (s.empty()) out += "null";
    else tool::AppendJsonString(out, s);
}

void Print(std::string json) {
    json += '\n';
    std::fwrite(json.data(), 1, json.size(), stdout);
}

// Shared set-up of members and params: the page as an open document of a fresh outline store.
struct Page {
    OutlineStore store;
    OwnedLineSource text;
    OutlineSource* doc = nullptr;
    TextPosition caret;
};

int OpenPage(const char* command, const Args& a, Page& page) {
    int line = 0, ch = 0;
    if (a.rest.size() != 3 || !ParseIndex(a.rest[1], line) || !ParseIndex(a.rest[2], ch)) {
        std::fprintf(stderr, "usage: tarnwell-tool %s [--typelibs DIR]... FILE LINE CHAR\n", command);
        return 2;
    }
    std::string error;
    if (!ReadFileLines(a.rest[0], page.text.Lines(), &error)) {
        std::fprintf(stderr, "tarnwell-tool %s: cannot read \"%s\": %s\n", command, a.rest[0].c_str(), error.c_str());
        return 1;
    }
    std::error_code ec;
    const fs::path abs = fs::absolute(a.rest[0], ec);
    page.doc = &page.store.GetOrCreate(ec ? a.rest[0] : abs.lexically_normal().string());
    page.doc->AttachOpenText(&page.text);
    page.caret = {line, ch};
    return 0;
}

// Opens the page, sets up the libraries and prints what produce makes of the caret.
int RunAtCaret(const char* command, const std::vector<std::string>& args,
               std::string (*produce)(TypeContext& ctx, Page& page)) {
    Args a;
    Page page;
    if (!ParseArgs(args, a)) a.rest.clear();
    if (int rc = OpenPage(command, a, page)) return rc;
    auto cache = MakeCache(a);
    TypeContext ctx{page.store, *cache};
    Print(produce(ctx, page));
    return 0;
}

std::string MembersJson(TypeContext& ctx, Page& page) {
    const MemberList list = ListMembersAt(ctx, *page.doc, page.text, page.caret);
    std::string out = "{";
    AppendKey(out, "type");
    AppendStringOrNull(out, list.typeText);
    out += ',';
    AppendKey(out, "items");
    out += '[';
    for (size_t i = 0; i < list.items.size(); ++i) {
        const MemberListItem& item = list.items[i];
        if (i) out += ',';
        out += "{\"name\":";
        tool::AppendJsonString(out, item.name);
        out += ",\"kind\":";
        out += item.script ? (item.callable ? "\"procedure\"" : "\"variable\"") : (item.callable ? "\"method\"" : "\"property\"");
        out += ",\"type\":";
        AppendStringOrNull(out, item.typeName);
        out += ",\"icon\":" + std::to_string(item.icon) + '}';
    }
    out += "],";
    AppendKey(out, "reason");
    AppendStringOrNull(out, list.reason);
    out += '}';
    return out;
}

std::string ParamsJson(TypeContext& ctx, Page& page) {
    const ParameterTip tip = ParameterTipAt(ctx, *page.doc, page.text, page.caret);
    std::string out = "{";
    if (tip.callee.empty()) {
        AppendKey(out, "tip");
        out += "null,";
        AppendKey(out, "reason");
        tool::AppendJsonString(out, tip.reason);
    } else {
        AppendKey(out, "callee");
        tool::AppendJsonString(out, tip.callee);
        out += ',';
        AppendKey(out, "tip");
        tool::AppendJsonString(out, tip.Text());
        out += ",\"index\":" + std::to_string(tip.index);
    }
    out += '}';
    return out;
}

int RunMembers(const std::vector<std::string>& args) { return RunAtCaret("members", args, &MembersJson); }
int RunParams(const std::vector<std::string>& args) { return RunAtCaret("params", args, &ParamsJson); }

void AppendMember(std::string& out, const TypeMember& m, bool method, const std::vector<TypeParameter>* params) {
    out += "{\"name\":";
    tool::AppendJsonString(out, m.name);
    out += method ? ",\"kind\":\"method\"" : ",\"kind\":\"property\"";
    out += ",\"type\":";
    AppendStringOrNull(out, m.typeName);
    out += ",\"params\":[";
    if (params) {
        for (size_t i = 0; i < params->size(); ++i) {
            if (i) out += ',';
            out += "{\"name\":";
            tool::AppendJsonString(out, (*params)[i].name);
            out += (*params)[i].Optional() ? ",\"optional\":true}" : ",\"optional\":false}";
        }
    }
    out += "]}";
}

int RunTypes(const std::vector<std::string>& args) {
    Args a;
    if (!ParseArgs(args, a) || a.rest.size() != 1 || a.rest[0].empty()) {
        std::fprintf(stderr, "usage: tarnwell-tool types [--typelibs DIR]... PROGID\n");
        return 2;
    }
    const std::string& progId = a.rest[0];
    auto cache = MakeCache(a);
    const TypeEntry* t = cache->FindTypeByProgId(progId);
    std::string out = "{\"progid\":";
    tool::AppendJsonString(out, progId);
    if (!t) {
        out += ",\"error\":";
        tool::AppendJsonString(out, cache->LastError().empty() ? "no type library names this ProgID" : cache->LastError());
        out += '}';
        Print(out);
        return 1;
    }
    out += ",\"library\":";
    tool::AppendJsonString(out, t->library ? t->library->name : std::string());
    out += ",\"type\":";
    tool::AppendJsonString(out, t->name);
    out += ",\"members\":[";
    bool first = true;
    for (const auto& m : t->methods) {
        if (!m->Visible()) continue;
        if (!first) out += ',';
        first = false;
        AppendMember(out, *m, m->IsFunction(), &m->parameters);
    }
    for (const auto& p : t->properties) {
        if (!p->Visible()) continue;
        if (!first) out += ',';
        first = false;
        AppendMember(out, *p, false, nullptr);
    }
    out += "]}";
    Print(out);
    return 0;
}

tool::Registration members{{"members", "members [--typelibs DIR]... FILE LINE CHAR", &RunMembers}};
tool::Registration params{{"params", "params [--typelibs DIR]... FILE LINE CHAR", &RunParams}};
tool::Registration types{{"types", "types [--typelibs DIR]... PROGID", &RunTypes}};

}  // namespace
