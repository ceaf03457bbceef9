// GetVersion, GetLastError and QueryDosDeviceA.
#include <string.h>

#include <string>

#include "platform/platform.h"
#include "platform/sim/call_accounting.h"
#include "platform/sim/error_codes.h"
#include "platform/sim/sim_state.h"
#include "platform/sim/text_compare.h"

using namespace sim::internal;

namespace {

// "X:" in either case names a drive letter.
bool LetterOfDeviceName(const std::string& name, char* letter)
{
    if (name.size() != 2 || name[1] != ':') {
        return false;
    }
    char upper = static_cast<char>(LowerAZ(name[0]) - 'a' + 'A');
    if (upper < 'A' || upper > 'Z') {
        return false;
    }
    *letter = upper;
    return true;
}

// What Windows stores for a query: each name followed by a terminator, and
// one more terminator after the last.
std::string AllLetterNames(const Machine& machine)
{
    std::string names;
    for (const auto& entry : machine.letters) {
        names += entry.first;
        names += ':';
        names += '\0';
    }
    return names + '\0';
}

bool TargetList(const Machine& machine, const char* deviceName, std::string* list)
{
    if (deviceName == nullptr) {
        *list = AllLetterNames(machine);
        return true;
    }
    char letter = 0;
    if (!LetterOfDeviceName(deviceName, &letter) || machine.letters.count(letter) == 0) {
        return false;
    }
    *list = machine.letters.at(letter).target + '\0' + '\0';
    return true;
}

}  // namespace

const DWORD kBuildNumber = 2195;

DWORD GetVersion(void)
{
    const Machine& machine = Current().machine;
    // The high word carries a build number, as on Windows, so that a reader
    // that forgets to take only the low bytes gets a wrong version.
    return machine.major | machine.minor << 8 | kBuildNumber << 16;
}

DWORD GetLastError(void)
{
    return Current().lastError;
}

DWORD QueryDosDeviceA(LPCSTR deviceName, LPSTR targetPath, DWORD max)
{
    if (!StartCall("QueryDosDeviceA", TextOrNull(deviceName))) {
        return 0;
    }
    std::string list;
    if (!TargetList(Current().machine, deviceName, &list)) {
        SetLastErrorCode(kErrorFileNotFound);
        return 0;
    }
    if (targetPath == nullptr || list.size() > max) {
        SetLastErrorCode(kErrorInsufficientBuffer);
        return 0;
    }
    memcpy(targetPath, list.data(), list.size());
    return static_cast<DWORD>(list.size());
}
