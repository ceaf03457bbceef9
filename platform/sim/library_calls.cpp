// LoadLibraryA, GetProcAddress and FreeLibrary: two modules, each with one
// procedure: kernel32's is the simulator's own GetVolumeInformationA,
// advapi32's the random source SystemFunction036.
#include <stdint.h>
#include <string.h>

#include <string>

#include "platform/platform.h"
#include "platform/sim/call_accounting.h"
#include "platform/sim/error_codes.h"
#include "platform/sim/resources.h"
#include "platform/sim/system_calls.h"
#include "platform/sim/text_compare.h"

using namespace sim::internal;

namespace {

// GetProcAddress takes a name or, in a pointer's low 16 bits, an ordinal.
bool IsOrdinal(const char* procName)
{
    return reinterpret_cast<uintptr_t>(procName) <= 0xffff;
}

// A module name with or without its ".dll", any case.
bool IsModule(const std::string& moduleName, const char* bareName)
{
    return EqualIgnoringCase(moduleName, bareName) || EqualIgnoringCase(moduleName, std::string(bareName) + ".dll");
}

bool IsKnownModule(const std::string& moduleName)
{
    return IsModule(moduleName, "kernel32") || IsModule(moduleName, "advapi32");
}

// A function pointer of another type, as Windows hands it out; copied byte
// for byte since the two pointer types are not convertible.
template <typename Procedure>
FARPROC AsFarProc(Procedure procedure)
{
    static_assert(sizeof(FARPROC) == sizeof procedure, "function pointers of one size");
    FARPROC address;
    memcpy(&address, &procedure, sizeof address);
    return address;
}

// The module's one procedure under its case-sensitive name, or null.
FARPROC ProcedureOf(const std::string& moduleName, const std::string& procName)
{
    if (IsModule(moduleName, "kernel32") && procName == "GetVolumeInformationA") {
        return AsFarProc(&GetVolumeInformationA);
    }
    if (IsModule(moduleName, "advapi32") && procName == "SystemFunction036") {
        return AsFarProc(&SystemFunction036);
    }
    return nullptr;
}

HMODULE ModuleOf(uintptr_t token)
{
    return reinterpret_cast<HMODULE>(token);
}

}  // namespace

HMODULE LoadLibraryA(LPCSTR libFileName)
{
    std::string name = TextOrNull(libFileName);
    if (!StartCall("LoadLibraryA", name, FaultOperation::LoadLibrary, name)) {
        return nullptr;
    }
    if (libFileName == nullptr || !IsKnownModule(name)) {
        SetLastErrorCode(kErrorModNotFound);
        return nullptr;
    }
    Resource module;
    module.kind = ResourceKind::Module;
    module.name = name;
    return ModuleOf(AddResource(std::move(module)));
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName)
{
    std::string name = IsOrdinal(procName) ? std::string("(ordinal)") : std::string(procName);
    if (!StartCall("GetProcAddress", name, FaultOperation::GetProcAddress, name)) {
        return nullptr;
    }
    const Resource* loaded = LookUpResource(TokenOf(module), ResourceKind::Module);
    if (loaded == nullptr) {
        SetLastErrorCode(kErrorInvalidHandle);
        return nullptr;
    }
    FARPROC procedure = IsOrdinal(procName) ? nullptr : ProcedureOf(loaded->name, name);
    if (procedure == nullptr) {
        SetLastErrorCode(kErrorProcNotFound);
    }
    return procedure;
}

BOOL FreeLibrary(HMODULE module)
{
    return ReleaseByCall("FreeLibrary", TokenOf(module), ResourceKind::Module);
}
