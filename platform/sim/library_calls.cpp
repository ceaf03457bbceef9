// LoadLibraryA, GetProcAddress and FreeLibrary: kernel32 is the one module,
// and its one procedure is the simulator's own GetVolumeInformationA.
#include <stdint.h>
#include <string.h>

#include <string>

#include "platform/platform.h"
#include "platform/sim/call_accounting.h"
#include "platform/sim/error_codes.h"
#include "platform/sim/resources.h"
#include "platform/sim/text_compare.h"

using namespace sim::internal;

namespace {

// GetProcAddress takes a name or, in a pointer's low 16 bits, an ordinal.
bool IsOrdinal(const char* procName)
{
    return reinterpret_cast<uintptr_t>(procName) <= 0xffff;
}

bool IsKernel32(const std::string& moduleName)
{
    return EqualIgnoringCase(moduleName, "kernel32.dll") || EqualIgnoringCase(moduleName, "kernel32");
}

// A function pointer of another type, as Windows hands it out; copied byte
// for byte since the two pointer types are not convertible.
FARPROC AsFarProc(decltype(&GetVolumeInformationA) procedure)
{
    static_assert(sizeof(FARPROC) == sizeof procedure, "function pointers of one size");
    FARPROC address;
    memcpy(&address, &procedure, sizeof address);
    return address;
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
    if (libFileName == nullptr || !IsKernel32(name)) {
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
    if (LookUpResource(TokenOf(module), ResourceKind::Module) == nullptr) {
        SetLastErrorCode(kErrorInvalidHandle);
        return nullptr;
    }
    if (IsOrdinal(procName) || name != "GetVolumeInformationA") {
        SetLastErrorCode(kErrorProcNotFound);
        return nullptr;
    }
    return AsFarProc(&GetVolumeInformationA);
}

BOOL FreeLibrary(HMODULE module)
{
    return ReleaseByCall("FreeLibrary", TokenOf(module), ResourceKind::Module);
}
