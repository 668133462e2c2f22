// The binary type-library reader, over libraries and PE images built byte by byte here.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "lang/BinaryTypeLibrary.h"
#include "lang/TypeLibraryFolders.h"
#include "tests/support/TypeLibWriter.h"

namespace fs = std::filesystem;
using namespace tarnwell;
using namespace tarnwell::testlib;

namespace {

// IBase (dual, one function), IThing (based on IBase: a get/put pair, an HRESULT method with and one
// without [retval], a hidden method, a variable), IEvents, and coclass Thing (events first, then its
// default interface).
TlbWriter SampleLibrary() {
    TlbWriter w;
    const std::int32_t bstrOut = w.PtrToVt(kVtBstr);
    const std::int32_t thingPtr = w.PtrTo(w.UserType(1));
    const std::int32_t thingOut = w.PtrTo(thingPtr);
    const auto hr = TlbWriter::Vt(kVtHresult);
    w.types.push_back({"IBase", kTypeDispatch, {{"Hello", 1, kInvokeFunc, hr, {{"result", bstrOut, kParamFlagRetval}}}}});
    w.types.push_back({"IThing", kTypeDispatch,
                       {{"Name", 0, kInvokePropertyGet, TlbWriter::Vt(kVtBstr)},
                        {"Name", 0, kInvokePropertyPut, hr, {{"value", TlbWriter::Vt(kVtBstr)}}, 0, true},
                        {"Open", 2, kInvokeFunc, hr, {{"Path", TlbWriter::Vt(kVtBstr)}, {"Mode", TlbWriter::Vt(kVtVariant), kParamFlagOptional}}},
                        {"Child", 3, kInvokeFunc, hr, {{"lcid", TlbWriter::Vt(kVtI4), 0x4}, {"out", thingOut, kParamFlagRetval}}},
                        {"Secret", 4, kInvokeFunc, hr, {}, kFuncFlagHidden}},
                       {{"Count", 5, TlbWriter::Vt(kVtI4)}},
                       TlbWriter::Href(0)});
    w.types.push_back({"IEvents", kTypeDispatch, {{"Fired", 1, kInvokeFunc, TlbWriter::Vt(kVtVoid)}}});
    w.types.push_back({"Thing", kTypeCoclass, {}, {}, -1, {{2, kImplTypeSource}, {1, kImplTypeDefault}}});
    return w;
}

std::vector<std::string> MethodNames(const TypeEntry& t) {
    std::vector<std::string> out;
    for (const auto& m : t.methods) out.push_back(m->name);
    return out;
}

void ExpectSample(const TypeLibrary& lib) {
    EXPECT_EQ(lib.name, "TestLib");
    EXPECT_EQ(lib.guid, "{11111111-1111-1111-1111-111111111111}");
    ASSERT_EQ(lib.types.size(), 4u);
    const TypeEntry* thing = lib.FindType("thing");
    ASSERT_TRUE(thing);
    EXPECT_EQ(thing->name, "IThing");
    EXPECT_EQ(MethodNames(*thing), (std::vector<std::string>{"Hello", "Name", "Open", "Child", "Secret"}));
    EXPECT_EQ(thing->methods[0]->typeName, "VT_BSTR");  // the [retval] of an HRESULT function
    EXPECT_TRUE(thing->methods[0]->parameters.empty());
    EXPECT_EQ(thing->methods[1]->invokeKind, kInvokePropertyGet);
    EXPECT_TRUE(thing->methods[1]->IsDefaultMember());
    const MethodMember& open = *thing->methods[2];
    EXPECT_EQ(open.typeName, "VT_VOID");
    ASSERT_EQ(open.parameters.size(), 2u);
    EXPECT_EQ(open.parameters[0].name, "Path");
    EXPECT_EQ(open.parameters[0].typeName, "VT_BSTR");
    EXPECT_FALSE(open.parameters[0].Optional());
    EXPECT_TRUE(open.parameters[1].Optional());
    const MethodMember& child = *thing->methods[3];
    EXPECT_EQ(child.baseType, kVtUserDefined);  // two pointer levels followed
    EXPECT_EQ(child.typeName, "IThing");
    EXPECT_TRUE(child.parameters.empty());  // [lcid] and [retval] are not arguments
    EXPECT_FALSE(thing->methods[4]->Visible());
    ASSERT_EQ(thing->properties.size(), 1u);
    EXPECT_EQ(thing->properties[0]->typeName, "VT_I4");
    const TypeEntry* coclass = lib.FindTypeExact("Thing");
    ASSERT_TRUE(coclass);
    ASSERT_EQ(coclass->interfaces.size(), 2u);
    EXPECT_EQ(coclass->interfaces[0].flags, kImplTypeSource);
}

}  // namespace

TEST(BinaryTypeLibrary, ReadsTheDispatchViewOfALibrary) {
    const std::string bytes = SampleLibrary().Build();
    std::string error;
    auto lib = ReadBinaryTypeLibrary(bytes, "t.tlb", &error);
    ASSERT_TRUE(lib) << error;
    EXPECT_EQ(lib->format, "binary");
    ExpectSample(*lib);
}

TEST(BinaryTypeLibrary, ReadsTheLibraryResourceOfAPeImage) {
    const std::string image = PeImage(SampleLibrary().Build());
    std::string error;
    auto lib = ReadBinaryTypeLibrary(image, "t.dll", &error);
    ASSERT_TRUE(lib) << error;
    EXPECT_EQ(lib->format, "resource");
    ExpectSample(*lib);
}

TEST(BinaryTypeLibrary, TruncatedDataIsRefusedOrReadInPart) {
    size_t segmentsEnd = 0;
    const std::string bytes = SampleLibrary().Build(&segmentsEnd);
    const std::string image = PeImage(bytes);
    for (size_t len = 0; len < bytes.size(); ++len) {
        std::string error;
        auto lib = ReadBinaryTypeLibrary(bytes.substr(0, len), "t.tlb", &error);
        if (len < segmentsEnd) {
            EXPECT_FALSE(lib) << len;
            EXPECT_FALSE(error.empty()) << len;
        }
    }
    for (size_t len = 0; len < image.size(); ++len) {
        std::string error;
        auto lib = ReadBinaryTypeLibrary(image.substr(0, len), "t.dll", &error);
        EXPECT_TRUE(lib || !error.empty()) << len;
    }
}

TEST(BinaryTypeLibrary, SelfReferencesAndCyclesEnd) {
    TlbWriter w = SampleLibrary();
    // A pointer description that points at itself, used as a return type.
    const std::int32_t self = static_cast<std::int32_t>(w.descs.size() * 8);
    w.PtrTo(self);
    w.types[2].funcs[0].type = self;
    // IBase and IThing based on each other; the coclass's reference chain loops back to its start.
    w.types[0].base = TlbWriter::Href(1);
    w.refLoop = true;
    std::string error;
    auto lib = ReadBinaryTypeLibrary(w.Build(), "t.tlb", &error);
    ASSERT_TRUE(lib) << error;
    const TypeEntry* events = lib->FindTypeExact("IEvents");
    ASSERT_TRUE(events);
    EXPECT_EQ(events->methods[0]->typeName, "");
    EXPECT_EQ(MethodNames(*lib->FindTypeExact("IBase")), (std::vector<std::string>{"Name", "Open", "Child", "Secret", "Hello"}));
    EXPECT_EQ(lib->FindTypeExact("Thing")->interfaces.size(), 2u);
}

TEST(BinaryTypeLibrary, DamagedBytesNeverCrash) {
    const std::string tlb = SampleLibrary().Build();
    const std::string image = PeImage(tlb);
    std::mt19937 rng(11);
    for (const std::string* base : {&tlb, &image}) {
        for (int i = 0; i < 3000; ++i) {
            std::string bytes = *base;
            for (int k = 0; k < 4; ++k) bytes[rng() % bytes.size()] = static_cast<char>(rng());
            std::string error;
            auto lib = ReadBinaryTypeLibrary(bytes, "x", &error);
            EXPECT_TRUE(lib || !error.empty());
        }
    }
    std::string error;
    EXPECT_FALSE(ReadBinaryTypeLibrary("SLTG\x01\x00\x00\x00", "x", &error));
    EXPECT_NE(error.find("SLTG"), std::string::npos);
}

TEST(BinaryTypeLibrary, AUserLibraryInAFolderAddsItsCoclasses) {
    const fs::path dir = fs::temp_directory_path() / ("tarnwell-tlb-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    std::ofstream(dir / "thing.dll", std::ios::binary) << PeImage(SampleLibrary().Build());
    TypeLibraryCache cache(std::make_unique<FolderTypeLibraryProvider>(std::vector<std::string>{dir.string()}));
    const TypeEntry* t = cache.FindTypeByProgId("TestLib.Thing");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->name, "IThing");
    EXPECT_EQ(cache.FindTypeByProgId("testlib.thing.1"), t);
    ASSERT_EQ(cache.Libraries().size(), 1u);
    EXPECT_EQ(cache.Libraries()[0]->path, (dir / "thing.dll").string());
    fs::remove_all(dir);
}
