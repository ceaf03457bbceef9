#include "identifier/system_disk.h"

#include "base/disk_device.h"
#include "base/error_text.h"
#include "base/whole_disk.h"

namespace {

const int kFileNotFound = 2;
const int kInsufficientBuffer = 122;

bool IsDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

bool FindSystemDisk(DWORD* number, int* code)
{
    char directory[MAX_PATH] = "";
    UINT length = GetSystemWindowsDirectoryA(directory, sizeof directory);
    if (length == 0 || length >= sizeof directory) {
        *code = length == 0 ? FailureCode() : kInsufficientBuffer;
        return false;
    }
    if (!IsDriveLetter(directory[0]) || directory[1] != ':') {
        *code = kFileNotFound;
        return false;
    }
    char volumePath[] = "\\\\.\\X:";
    volumePath[4] = directory[0];
    HANDLE volume = OpenDeviceForReading(volumePath);
    if (volume == nullptr || volume == INVALID_HANDLE_VALUE) {
        *code = FailureCode();
        return false;
    }
    bool found = ReadDeviceNumber(volume, number);
    *code = found ? 0 : FailureCode();
    CloseHandle(volume);
    return found;
}
