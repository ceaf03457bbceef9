// GetVersion, GetLastError and QueryDosDeviceA.
#include <string.h>

#include <optional>
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

// The DOS device names that are not disks or letters but that every
// Windows machine has, so a reader must pick the names it wants.
const char* const kLeadingNames[] = {"NUL"};
const char* const kTrailingNames[] = {"COM1", "PIPE", "GLOBALROOT"};

void AddName(std::string* names, const std::string& name)
{
    *names += name;
    *names += '\0';
}

// What Windows stores for a query without a name: each name followed by a
// terminator, and one more terminator after the last. The order is as
// unsorted as Windows': the disks from the highest number down, interleaved
// with the letters from A up, between a few other names.
std::string AllDeviceNames(const Machine& machine)
{
    std::string names;
    for (const char* name : kLeadingNames) {
        AddName(&names, name);
    }
    auto disk = machine.disks.rbegin();
    auto letter = machine.letters.begin();
    while (disk != machine.disks.rend() || letter != machine.letters.end()) {
        if (disk != machine.disks.rend()) {
            AddName(&names, "PhysicalDrive" + std::to_string((disk++)->first));
        }
        if (letter != machine.letters.end()) {
            AddName(&names, std::string(1, (letter++)->first) + ":");
        }
    }
    for (const char* name : kTrailingNames) {
        AddName(&names, name);
    }
    return names + '\0';
}

bool TargetList(const Machine& machine, const char* deviceName, std::string* list)
{
    if (deviceName == nullptr) {
        *list = AllDeviceNames(machine);
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
    // A fail line names the enumeration without a device name "-".
    std::optional<FaultOperation> fault;
    if (deviceName == nullptr) {
        fault = FaultOperation::Enumerate;
    }
    if (!StartCall("QueryDosDeviceA", TextOrNull(deviceName), fault, "-")) {
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
