// tarnwell-tool outline [--name PATH] FILE: the script outline of FILE as one compact JSON object.
// The text is read from FILE and handed to the outline as an open document's text would be; PATH
// (default FILE) is the path the outline belongs to, from which include names are resolved.
#include <cstdio>
#include <string>
#include <vector>

#include "lang/LineSource.h"
#include "lang/ScriptOutline.h"
#include "tools/Command.h"

namespace {

using namespace tarnwell;

void AppendPos(std::string& out, const char* key, int line, int ch) {
    out += '"';
    out += key;
    out += "\":[";
    out += std::to_string(line);
    out += ',';
    out += std::to_string(ch);
    out += ']';
}

void AppendKey(std::string& out, const char* key) {
    out += '"';
    out += key;
    out += "\":";
}

// "start":[l,c],"end":[l,c] of any outline record with a start and an end.
template <typename Item>
void AppendSpan(std::string& out, const Item& item) {
    AppendPos(out, "start", item.startLine, item.startChar);
    out += ',';
    AppendPos(out, "end", item.endLine, item.endChar);
}

void AppendVariable(std::string& out, const VariableItem& v) {
    out += '{';
    AppendKey(out, "name");
    tool::AppendJsonString(out, v.name);
    out += ',';
    AppendKey(out, "text");
    tool::AppendJsonString(out, v.text);
    out += ',';
    AppendPos(out, "start", v.startLine, v.startChar);
    out += ",\"predefined\":";
    out += std::to_string(v.predefined);
    out += ",\"expr\":";
    out += std::to_string(v.expression);
    out += '}';
}

template <typename List, typename Fn>
void AppendList(std::string& out, const char* key, const List& list, Fn each) {
    AppendKey(out, key);
    out += '[';
    bool first = true;
    for (const auto& item : list) {
        if (!first) out += ',';
        first = false;
        each(*item);
    }
    out += ']';
}

void AppendProcedure(std::string& out, const ProcedureItem& p) {
    out += '{';
    AppendKey(out, "name");
    tool::AppendJsonString(out, p.name);
    out += ',';
    AppendSpan(out, p);
    out += ',';
    AppendList(out, "params", p.parameters, [&](const OutlineItem& a) { tool::AppendJsonString(out, a.name); });
    out += ',';
    AppendList(out, "locals", p.locals, [&](const VariableItem& v) { AppendVariable(out, v); });
    out += '}';
}

std::string OutlineJson(const ScriptOutline& o) {
    std::string out = "{\"regions\":[";
    for (size_t i = 0; i < o.regions.size(); ++i) {
        const ScriptRegion& r = o.regions[i];
        if (i) out += ',';
        out += '{';
        AppendSpan(out, r);
        out += '}';
    }
    out += "],";
    AppendList(out, "classes", o.classes, [&](const ClassItem& c) {
        out += '{';
        AppendKey(out, "name");
        tool::AppendJsonString(out, c.name);
        out += ',';
        AppendSpan(out, c);
        out += ',';
        AppendList(out, "procedures", c.procedures, [&](const ProcedureItem& p) { AppendProcedure(out, p); });
        out += ',';
        AppendList(out, "members", c.members, [&](const VariableItem& v) { AppendVariable(out, v); });
        out += '}';
    });
    out += ',';
    AppendList(out, "procedures", o.procedures, [&](const ProcedureItem& p) { AppendProcedure(out, p); });
    out += ',';
    AppendList(out, "variables", o.variables, [&](const VariableItem& v) { AppendVariable(out, v); });
    out += ',';
    AppendList(out, "withs", o.withs, [&](const WithBlock& w) {
        out += '{';
        AppendKey(out, "expr");
        tool::AppendJsonString(out, w.expression);
        out += ',';
        AppendSpan(out, w);
        out += '}';
    });
    out += ",\"includes\":[";
    for (size_t i = 0; i < o.includes.size(); ++i) {
        if (i) out += ',';
        tool::AppendJsonString(out, o.includes[i]);
    }
    out += "]}";
    return out;
}

int RunOutline(const std::vector<std::string>& args) {
    std::string name;
    std::string file;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--name" && i + 1 < args.size()) {
            name = args[++i];
        } else if (file.empty() && !args[i].empty() && args[i] != "--name") {
            file = args[i];
        } else {
            std::fprintf(stderr, "usage: tarnwell-tool outline [--name PATH] FILE\n");
            return 2;
        }
    }
    if (file.empty()) {
        std::fprintf(stderr, "usage: tarnwell-tool outline [--name PATH] FILE\n");
        return 2;
    }
    OwnedLineSource text;
    std::string error;
    if (!ReadFileLines(file, text.Lines(), &error)) {
        std::fprintf(stderr, "tarnwell-tool outline: cannot read \"%s\": %s\n", file.c_str(), error.c_str());
        return 1;
    }
    OutlineSource source(name.empty() ? file : name);
    source.AttachOpenText(&text);
    RebuildOutline(source.Outline());
    std::string json = OutlineJson(source.Outline());
    json += '\n';
    std::fwrite(json.data(), 1, json.size(), stdout);
    return 0;
}

tool::Registration reg{{"outline", "outline [--name PATH] FILE", &RunOutline}};

}  // namespace
