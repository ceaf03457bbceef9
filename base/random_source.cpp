#include "base/random_source.h"

#include <string.h>

#include "base/error_text.h"

namespace {

typedef BOOLEAN(WINAPI* RandomFillProc)(PVOID, ULONG);

RandomFillProc AsRandomFill(FARPROC entry)
{
    static_assert(sizeof(RandomFillProc) == sizeof(FARPROC), "entry points differ in size");
    RandomFillProc typed;
    memcpy(&typed, &entry, sizeof typed);
    return typed;
}

}  // namespace

int DrawRandom(void* buffer, ULONG size)
{
    HMODULE module = LoadLibraryA("ADVAPI32.dll");
    if (module == nullptr) {
        return FailureCode();
    }
    FARPROC entry = GetProcAddress(module, "SystemFunction036");
    int code = 0;
    if (entry == nullptr) {
        code = FailureCode();
    } else if (!AsRandomFill(entry)(buffer, size)) {
        code = FailureCode();
    }
    FreeLibrary(module);
    return code;
}
