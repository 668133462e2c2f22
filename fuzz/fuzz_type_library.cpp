// The type-library readers (our descriptions, binary libraries, and libraries inside program files):
// any bytes are refused with a reason or read into types whose lookups answer.
#include "fuzz/FuzzCheck.h"
#include "lang/BinaryTypeLibrary.h"
#include "lang/TypeDescription.h"
#include "lang/TypeLibrary.h"

#include <cstdint>
#include <memory>
#include <string>

namespace {

void Walk(const tarnwell::TypeLibrary& lib) {
    for (const auto& t : lib.types) {
        lib.FindType(t->name);
        t->DispatchType();
        t->DefaultMember();
        for (const auto& m : t->methods) t->FindMethod(m->name);
        for (const auto& p : t->properties) t->FindProperty(p->name);
    }
}

void Check(std::unique_ptr<tarnwell::TypeLibrary> lib, const std::string& error) {
    if (lib) Walk(*lib);
    else FUZZ_CHECK(!error.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    Check(tarnwell::ReadTypeDescription(bytes, "fuzz.json", &error), error);
    tarnwell::PeekTypeDescriptionName(bytes);
    error.clear();
    Check(tarnwell::ReadBinaryTypeLibrary(bytes, "fuzz.tlb", &error), error);
    std::string_view resource;
    error.clear();
    if (tarnwell::FindTypeLibraryResource(bytes, resource, &error)) {
        FUZZ_CHECK(resource.data() >= bytes.data() && resource.data() + resource.size() <= bytes.data() + bytes.size());
        error.clear();
        Check(tarnwell::ReadBinaryTypeLibrary(resource, "fuzz.dll", &error), error);
    }
    return 0;
}
