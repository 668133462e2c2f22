// Type-library descriptions, the shipped libraries, and the cache's ProgID lookup.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "lang/TypeDescription.h"
#include "lang/TypeLibrary.h"
#include "lang/TypeLibraryFolders.h"

namespace fs = std::filesystem;
using namespace tarnwell;

namespace {

const std::string kTypeLibs = (fs::path(TARNWELL_BIN_DIR) / "TypeLibs").string();

std::vector<std::string> Names(const auto& list, bool visibleOnly = false) {
    std::vector<std::string> out;
    for (const auto& m : list)
        if (!visibleOnly || m->Visible()) out.push_back(m->name);
    return out;
}

// A provider over the shipped folder that counts what it is asked.
class CountingProvider : public FolderTypeLibraryProvider {
public:
    CountingProvider(std::vector<std::string> folders, int* loads, int* locates)
        : FolderTypeLibraryProvider(std::move(folders)), loads_(loads), locates_(locates) {}
    std::unique_ptr<TypeLibrary> Load(const std::string& path, std::string* error) override {
        ++*loads_;
        return FolderTypeLibraryProvider::Load(path, error);
    }
    bool LocateProgId(std::string_view progId, ProgIdLocation& out) override {
        ++*locates_;
        return FolderTypeLibraryProvider::LocateProgId(progId, out);
    }

private:
    int* loads_;
    int* locates_;
};

struct ShippedCache {
    int loads = 0, locates = 0;
    TypeLibraryCache cache{std::make_unique<CountingProvider>(std::vector<std::string>{kTypeLibs}, &loads, &locates)};
    ShippedCache() { LoadStartupTypeLibraries(cache, kTypeLibs); }
};

}  // namespace

TEST(TypeDescription, ReadsTypesMembersAndFlags) {
    std::string error;
    auto lib = ReadTypeDescription(R"(# sample
library Sample {00000000-0000-0000-C000-000000000046}
dispatch IBase
  method Ping() : VT_BOOL
dispatch IThing
  inherits IBase
  get Item(Index?, Extra : VT_I4) : IThing default
  put Item(Index, v)
  method Open(Path : VT_BSTR, Mode? : VT_I4)
  method Secret() hidden
  var Count : VT_I4 id=0x10
coclass Thing
  implements IEvents source
  implements IThing default
dispatch IEvents
  method Fired()
)", "x.tld", &error);
    ASSERT_TRUE(lib) << error;
    EXPECT_EQ(lib->name, "Sample");
    EXPECT_EQ(lib->guid, "{00000000-0000-0000-C000-000000000046}");
    ASSERT_EQ(lib->types.size(), 4u);
    const TypeEntry& thing = *lib->types[1];
    EXPECT_EQ(Names(thing.methods), (std::vector<std::string>{"Ping", "Item", "Open", "Secret"}));
    EXPECT_EQ(Names(thing.methods, true), (std::vector<std::string>{"Ping", "Item", "Open"}));
    const MethodMember& item = *thing.methods[1];
    EXPECT_EQ(item.invokeKind, kInvokePropertyGet);  // the put of the pair was dropped
    EXPECT_TRUE(item.IsDefaultMember());
    EXPECT_EQ(item.baseType, kVtUserDefined);
    EXPECT_EQ(item.typeName, "IThing");
    ASSERT_EQ(item.parameters.size(), 2u);
    EXPECT_TRUE(item.parameters[0].Optional());
    EXPECT_FALSE(item.parameters[1].Optional());
    EXPECT_EQ(item.parameters[1].typeName, "VT_I4");
    EXPECT_EQ(thing.methods[2]->typeName, "VT_VOID");
    EXPECT_EQ(thing.properties[0]->memberId, 0x10);
    EXPECT_EQ(thing.DefaultMember(), &item);
    // A coclass stands for its default interface, not its first (an event source here).
    const TypeEntry* coclass = lib->FindTypeExact("thing");
    ASSERT_TRUE(coclass);
    EXPECT_EQ(coclass->kind, kTypeCoclass);
    EXPECT_EQ(lib->FindType("THING"), &thing);
    EXPECT_EQ(coclass->FindMethod("open"), thing.methods[2].get());
    EXPECT_EQ(coclass->FindMethod("Fired"), nullptr);  // event members are not the object's own
}

TEST(TypeDescription, DamagedTextIsRefusedWithItsLine) {
    struct Case {
        const char* name;
        std::string text;
        const char* error;
    } cases[] = {
        {"empty", "", "no \"library\""},
        {"binary junk", std::string("\x00\xff\x01library", 10), "line 1: unexpected character"},
        {"type first", "dispatch X\nlibrary L", "line 1: \"library\" must come first"},
        {"two libraries", "library A\nlibrary B", "line 2:"},
        {"member outside type", "library L\nmethod M()", "line 2: \"method\" outside a type"},
        {"unknown statement", "library L\ndispatch D\n  function F()", "line 3: unknown statement"},
        {"unclosed params", "library L\ndispatch D\n  method F(a, b", "line 3: expected \",\" or \")\""},
        {"bad id", "library L\ndispatch D\n  method F() id=12x", "line 3: malformed member id"},
        {"var with params", "library L\ndispatch D\n  var V(a)", "line 3:"},
        {"members in coclass", "library L\ncoclass C\n  method F()", "line 3: members in a coclass"},
        {"unknown interface", "library L\ncoclass C\n  implements Nope", "line 3: \"implements\" names no interface"},
        {"inherits later type", "library L\ndispatch A\n  inherits B\ndispatch B", "line 3:"},
        {"bad guid", "library L {1234}", "line 1: malformed GUID"},
        {"long name", "library L\ndispatch " + std::string(300, 'x'), "line 2: type name too long"},
        {"NUL in member", std::string("library L\ndispatch D\n  method F\0()", 30), "line 3:"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(ReadTypeDescription(c.text, "x.tld", &error), nullptr) << c.name;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
    }
}

TEST(TypeDescription, SurvivesRandomBytes) {
    std::mt19937 rng(7);
    std::string base = "library L\ndispatch D\n  get Item(a?, b : VT_I4) : D default\ncoclass C\n  implements D default\n";
    for (int i = 0; i < 3000; ++i) {
        std::string text = base;
        for (int k = 0; k < 3; ++k) text[rng() % text.size()] = static_cast<char>(rng());
        std::string error;
        auto lib = ReadTypeDescription(text, "x.tld", &error);
        EXPECT_TRUE(lib || !error.empty());
    }
}

TEST(TypeLibraryShipped, EveryDescriptionLoadsAndNamesItsLibrary) {
    struct Expect {
        const char* file;
        const char* library;
        const char* type;
        const char* member;
    } expected[] = {
        {"asp.tld", "ASPTypeLibrary", "Response", "Write"},
        {"vbscript.tld", "VBScript_Global", "GlobalObj", "Replace"},
        {"adodb.tld", "ADODB", "Recordset", "MoveNext"},
        {"scrrun.tld", "Scripting", "FileSystemObject", "OpenTextFile"},
        {"cdo.tld", "CDO", "Message", "Send"},
        {"msxml.tld", "MSXML2", "DOMDocument60", "selectSingleNode"},
        {"vbsregexp.tld", "VBScript_RegExp_55", "RegExp", "Execute"},
    };
    for (const Expect& e : expected) {
        std::string text, error;
        ASSERT_TRUE(ReadWholeFile((fs::path(kTypeLibs) / e.file).string(), text, &error)) << e.file << ": " << error;
        auto lib = ReadTypeDescription(text, e.file, &error);
        ASSERT_TRUE(lib) << e.file << ": " << error;
        EXPECT_EQ(lib->name, e.library);
        const TypeEntry* t = lib->FindType(e.type);
        ASSERT_TRUE(t) << e.file << " " << e.type;
        EXPECT_TRUE(t->FindMethod(e.member)) << e.file << " " << e.member;
        for (const auto& type : lib->types) {
            if (type->kind == kTypeCoclass) {
                EXPECT_FALSE(type->interfaces.empty()) << e.file << " " << type->name;
            }
        }
    }
}

TEST(TypeLibraryCache, StartupLoadsAspThenVbscriptThroughTheirDescriptions) {
    ShippedCache s;
    ASSERT_EQ(s.cache.Libraries().size(), 2u);
    EXPECT_EQ(s.cache.Libraries()[0]->name, "ASPTypeLibrary");
    EXPECT_EQ(s.cache.Libraries()[1]->name, "VBScript_Global");
    ASSERT_TRUE(s.cache.VbScriptGlobals());
    EXPECT_TRUE(s.cache.VbScriptGlobals()->FindProperty("vbCrLf"));
    // Loading the same files again reads nothing.
    LoadStartupTypeLibraries(s.cache, kTypeLibs);
    EXPECT_EQ(s.cache.Libraries().size(), 2u);
    EXPECT_EQ(s.loads, 2);
}

TEST(TypeLibraryCache, ProgIdsResolveByNameRuleAndIndex) {
    struct Case {
        const char* progId;
        const char* type;  // the interface the ProgID stands for, or nullptr
    } cases[] = {
        {"ASPTypeLibrary.Request", "IRequest"},
        {"aspTypeLibrary.SESSION", "ISessionObject"},
        {"Application", "IApplicationObject"},  // no dot: searched by type name
        {"ADODB.Recordset", "_Recordset"},
        {"ADODB.Connection.6.0", "_Connection"},  // versioned, by the name rule
        {"Scripting.Dictionary", "IDictionary"},
        {"CDO.Message", "IMessage"},
        {"VBScript.RegExp", "IRegExp2"},
        {"Microsoft.XMLDOM", "IXMLDOMDocument2"},
        {"MSXML2.DOMDocument.6.0", "IXMLDOMDocument3"},
        {"msxml2.serverxmlhttp.6.0", "IServerXMLHTTPRequest2"},
        {"No.Such", nullptr},
        {"ADODB.NoSuch", nullptr},
        {".", nullptr},
    };
    ShippedCache s;
    for (const Case& c : cases) {
        const TypeEntry* t = s.cache.FindTypeByProgId(c.progId);
        EXPECT_EQ(t ? t->name : std::string("(none)"), c.type ? c.type : "(none)") << c.progId;
    }
    // Every dotted ProgID is remembered: asking again loads and locates nothing more.
    const size_t libraries = s.cache.Libraries().size();
    const int loads = s.loads, locates = s.locates;
    for (const Case& c : cases) s.cache.FindTypeByProgId(c.progId);
    EXPECT_EQ(s.cache.Libraries().size(), libraries);
    EXPECT_EQ(s.loads, loads);
    EXPECT_EQ(s.locates, locates);
    EXPECT_TRUE(s.cache.HasFailed("no.such"));
    EXPECT_FALSE(s.cache.HasFailed("ADODB.Recordset"));
    // Each library file was read once, though several ProgIDs led to it.
    EXPECT_EQ(libraries, 7u);
    EXPECT_EQ(s.loads, 7);
}

TEST(TypeLibraryCache, MissingAndForeignFilesFailWithAMessage) {
    const fs::path dir = fs::temp_directory_path() / ("tarnwell-typelib-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    std::ofstream(dir / "junk.tlb") << "just some text";
    std::ofstream(dir / "bad.tld") << "library Bad\ndispatch D\n  method (\n";
    TypeLibraryCache cache(std::make_unique<FolderTypeLibraryProvider>(std::vector<std::string>{dir.string()}));
    struct Case {
        const char* file;
        const char* error;
    } cases[] = {{"missing.tlb", "no such file"}, {"junk.tlb", "not a type library"}, {"bad.tld", "line 3:"}};
    for (const Case& c : cases) {
        EXPECT_FALSE(cache.LoadTypeLibraryFile((dir / c.file).string())) << c.file;
        EXPECT_NE(cache.LastError().find(c.error), std::string::npos) << cache.LastError();
    }
    EXPECT_TRUE(cache.Libraries().empty());
    fs::remove_all(dir);
}
