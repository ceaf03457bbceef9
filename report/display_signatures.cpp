#include "report/display_signatures.h"

#include <stdio.h>
#include <string.h>

#include "base/disk_device.h"
#include "base/error_text.h"
#include "base/platform_version.h"
#include "platform/platform.h"
#include "report/device_failures.h"
#include "report/drive_label.h"
#include "report/mount_points.h"
#include "report/working_text.h"

namespace {

const DWORD kDeviceTargetCapacity = 256;

char workingStorage[kWorkingTextCapacity];

// The device-number failure goes straight to standard output, so it stands
// ahead of the report; the entry only says that the number is missing.
void AppendDeviceNumber(HANDLE volume, WorkingText* working)
{
    DWORD deviceNumber = 0;
    if (ReadDeviceNumber(volume, &deviceNumber)) {
        WorkingAppendF(working, "\tphysicaldrive%d", static_cast<int>(deviceNumber));
        return;
    }
    printf("ERROR: DISPLAY SIGNATURE: Could not get device number: %s\n", ErrorText(FailureCode()));
    WorkingAppendF(working, "\tphysicaldrive ERR");
}

// A volume of a dynamic disk has no layout of its own to read. False when
// the layout can't be read: the entry then ends with the failure.
bool AppendSignature(HANDLE volume, const char* deviceTarget, WorkingText* working)
{
    if (strstr(deviceTarget, "\\Device\\HarddiskDm") != nullptr) {
        WorkingAppendF(working, "\tUnknown signature on Dynamic Disk");
        return true;
    }
    LayoutBuffer layout;
    DWORD signature = 0;
    if (!ReadDiskSignature(volume, &layout, &signature)) {
        AppendLayoutFailure(working, FailureCode());
        return false;
    }
    WorkingAppendF(working, "\tSignature = %x", static_cast<unsigned>(signature));
    return true;
}

// The physical drive and signature of the letter's volume. False when the
// entry ends there, without label or mount points.
bool AppendDriveSignature(char driveLetter, const char* deviceTarget, WorkingText* working)
{
    char devicePathStorage[12];
    Text devicePath = TextOver(devicePathStorage, sizeof devicePathStorage);
    TextFormatF(&devicePath, "\\\\.\\%c:", driveLetter);
    HANDLE volume = OpenDevice(devicePath.chars);
    if (volume == INVALID_HANDLE_VALUE) {
        AppendOpenFailure(working, devicePath.chars, FailureCode());
        return false;
    }
    AppendDeviceNumber(volume, working);
    bool signatureRead = AppendSignature(volume, deviceTarget, working);
    CloseHandle(volume);
    return signatureRead;
}

// True when the letter is defined and its device lies on a hard disk; only
// the first name of the device target counts.
bool IsHardDiskLetter(const char* driveName, char* deviceTarget)
{
    deviceTarget[0] = '\0';
    if (QueryDosDeviceA(driveName, deviceTarget, kDeviceTargetCapacity) == 0) {
        return false;
    }
    deviceTarget[kDeviceTargetCapacity - 1] = '\0';  // a full buffer still ends inside it
    return strstr(deviceTarget, "\\Device\\Harddisk") != nullptr;
}

void ReportDriveLetter(char driveLetter, WorkingText* working)
{
    const char driveName[] = {driveLetter, ':', '\0'};
    char deviceTarget[kDeviceTargetCapacity];
    if (!IsHardDiskLetter(driveName, deviceTarget)) {
        return;
    }
    WorkingAppendF(working, "%s", driveName);
    if (!AppendDriveSignature(driveLetter, deviceTarget, working)) {
        return;
    }
    AppendDriveLabel(driveLetter, working);
    if (IsNewerGeneration()) {
        ReportDriveMountPoints(driveName, working);
    }
}

}  // namespace

// Every letter is visited even once the working text is full: a device
// number that can't be read is still said on standard output. Only the
// mount-point walk, which could add nothing more, stops at a full text.
int DisplaySignatures(Text* report)
{
    WorkingText working = WorkingTextOver(workingStorage, sizeof workingStorage);
    for (char driveLetter = 'A'; driveLetter <= 'Z'; ++driveLetter) {
        ReportDriveLetter(driveLetter, &working);
    }
    FinishWorkingText(&working);
    TextCopy(report, working.text.chars);
    return 0;
}
