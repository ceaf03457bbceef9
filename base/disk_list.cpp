#include "base/disk_list.h"

#include <stdint.h>
#include <string.h>

#include "base/error_text.h"
#include "base/text.h"

namespace {

const int kInsufficientBuffer = 122;
const char kDrivePrefix[] = "physicaldrive";

char deviceNames[kDeviceNamesLargestSize];

// Keeps the list increasing and free of repeats; a list that is full keeps
// its lowest numbers and counts the one it can't hold.
void InsertNumber(DiskList* disks, DWORD number)
{
    unsigned at = 0;
    while (at < disks->count && disks->numbers[at] < number) {
        ++at;
    }
    if (at < disks->count && disks->numbers[at] == number) {
        return;
    }
    if (disks->count == kMaxDisks) {
        ++disks->unlisted;
        if (at == kMaxDisks) {
            return;
        }
        --disks->count;
    }
    memmove(disks->numbers + at + 1, disks->numbers + at, (disks->count - at) * sizeof(DWORD));
    disks->numbers[at] = number;
    ++disks->count;
}

// The names as QueryDosDeviceA stores them: each terminated, the list ended
// by an empty name. Only the bytes it reported are read, and a last name
// without its terminator ends at the end of them.
void CollectDisks(const char* names, DWORD stored, DiskList* disks)
{
    DWORD at = 0;
    while (at < stored && names[at] != '\0') {
        DWORD length = 0;
        while (at + length < stored && names[at + length] != '\0') {
            ++length;
        }
        char name[32];
        DWORD number = 0;
        if (length < sizeof name) {
            memcpy(name, names + at, length);
            name[length] = '\0';
            if (ParsePhysicalDriveName(name, &number)) {
                InsertNumber(disks, number);
            }
        }
        at += length + 1;
    }
}

}  // namespace

bool ParsePhysicalDriveName(const char* name, DWORD* number)
{
    if (!StartsWithIgnoringAsciiCase(name, kDrivePrefix)) {
        return false;
    }
    const char* digits = name + strlen(kDrivePrefix);
    if (digits[0] < '0' || digits[0] > '9' || (digits[0] == '0' && digits[1] != '\0')) {
        return false;
    }
    uint64_t value = 0;
    for (const char* c = digits; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9' || value > 0xFFFFFFFFu / 10) {
            return false;
        }
        value = value * 10 + static_cast<uint64_t>(*c - '0');
    }
    if (value > 0xFFFFFFFFu) {
        return false;
    }
    *number = static_cast<DWORD>(value);
    return true;
}

int ListPhysicalDrives(DiskList* disks)
{
    disks->count = 0;
    disks->unlisted = 0;
    for (DWORD size = kDeviceNamesFirstSize; size <= kDeviceNamesLargestSize; size *= 2) {
        DWORD stored = QueryDosDeviceA(nullptr, deviceNames, size);
        if (stored != 0) {
            CollectDisks(deviceNames, stored < size ? stored : size, disks);
            return 0;
        }
        int code = FailureCode();
        if (code != kInsufficientBuffer) {
            return code;
        }
    }
    return kInsufficientBuffer;
}
