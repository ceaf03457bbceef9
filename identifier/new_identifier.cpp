#include "identifier/new_identifier.h"

#include <string.h>

#include "base/disk_device.h"
#include "base/error_text.h"
#include "base/random_source.h"
#include "base/whole_disk.h"
#include "identifier/guid_operand.h"
#include "identifier/other_disks.h"
#include "identifier/system_disk.h"
#include "platform/platform.h"

namespace {

const int kInvalidFunction = 1;
const int kAccessDenied = 5;
const int kInvalidData = 13;
const int kInvalidParameter = 87;
const int kInvalidName = 123;
const int kAlreadyExists = 183;
const int kIoDevice = 1117;
const unsigned kMostDraws = 16;

// What one run of either command works with.
struct Change {
    const char* command;  // "UNIQUE SIGNATURE" or "WRITE GUID"
    const char* device;
    bool force;
    bool guidGiven;  // "-wg": newId is the operand
    GUID newId;
    DWORD newSignature;
    GUID oldId;
    DWORD oldSignature;
    bool bootDisk;
};

HeldIdentifiers held;
LayoutExBuffer layout;
LayoutExBuffer readBack;

int Fail(const Change* change, Text* report, int code, const char* what)
{
    TextAppendF(report, "%s failed: %s:%s\n", change->command, what, ErrorText(code));
    return code;
}

void AppendBootRepair(Text* report)
{
    TextAppendF(report, "%s",
                "The boot configuration names this disk by its identifier; repair it with:\n"
                "  bcdedit /set {bootmgr} device partition=C:\n"
                "  bcdedit /set {default} device partition=C:\n"
                "  bcdedit /set {default} osdevice partition=C:\n");
}

// The boot-disk guard: the target is refused when it holds the Windows
// directory, or when that disk can't be found, unless force was given.
int GuardBootDisk(Change* change, DWORD target, Text* report)
{
    DWORD systemDisk = 0;
    int code = 0;
    if (!FindSystemDisk(&systemDisk, &code)) {
        if (change->force) {
            return 0;
        }
        TextAppendF(report, "%s refused: the disk Windows boots from can't be determined:%s\n", change->command,
                    ErrorText(code));
        TextAppendF(report, "%s", "Nothing was written; add force to change the disk anyway.\n");
        return code;
    }
    change->bootDisk = systemDisk == target;
    if (!change->bootDisk || change->force) {
        return 0;
    }
    TextAppendF(report, "%s refused: %s holds the Windows directory; a new identifier makes its next boot fail "
                "with 0xc000000e.\n", change->command, change->device);
    AppendBootRepair(report);
    TextAppendF(report, "%s", "Nothing was written; add force to change it and then run those commands.\n");
    return kAccessDenied;
}

bool IsNewSignature(DWORD value, DWORD old)
{
    return value != 0 && value != old && !SignatureHeld(&held, value);
}

bool IsNewDiskId(const GUID* value, const GUID* old)
{
    return !IsNilGuid(value) && !GuidsEqual(value, old) && !DiskIdHeld(&held, value);
}

// A version 4 GUID from 16 random bytes, taken as the GUID's memory
// (Data1, Data2 and Data3 little-endian, then Data4).
GUID GuidOfBytes(const unsigned char bytes[16])
{
    GUID guid;
    guid.Data1 = static_cast<DWORD>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<DWORD>(bytes[3]) << 24);
    guid.Data2 = static_cast<WORD>(bytes[4] | bytes[5] << 8);
    guid.Data3 = static_cast<WORD>(((bytes[6] | bytes[7] << 8) & 0x0FFF) | 0x4000);
    memcpy(guid.Data4, bytes + 8, 8);
    guid.Data4[0] = static_cast<BYTE>((guid.Data4[0] & 0x3F) | 0x80);
    return guid;
}

// Draws until a value no other disk holds comes up, at most kMostDraws times.
int DrawIdentifier(Change* change, DWORD style, Text* report)
{
    for (unsigned draw = 0; draw < kMostDraws; ++draw) {
        unsigned char bytes[16];
        ULONG size = style == PARTITION_STYLE_MBR ? 4 : 16;
        int code = DrawRandom(bytes, size);
        if (code != 0) {
            return Fail(change, report, code, "the random source failed");
        }
        if (style == PARTITION_STYLE_MBR) {
            change->newSignature = static_cast<DWORD>(bytes[0] | bytes[1] << 8 | bytes[2] << 16) |
                                   static_cast<DWORD>(bytes[3]) << 24;
            if (IsNewSignature(change->newSignature, change->oldSignature)) {
                return 0;
            }
        } else {
            change->newId = GuidOfBytes(bytes);
            if (IsNewDiskId(&change->newId, &change->oldId)) {
                return 0;
            }
        }
    }
    return Fail(change, report, kAlreadyExists, "no identifier held by no other disk was drawn");
}

void PutIdentifier(const Change* change, DWORD style)
{
    if (style == PARTITION_STYLE_MBR) {
        memcpy(layout.bytes + offsetof(DRIVE_LAYOUT_INFORMATION_EX, Mbr.Signature), &change->newSignature,
               sizeof change->newSignature);
    } else {
        memcpy(layout.bytes + offsetof(DRIVE_LAYOUT_INFORMATION_EX, Gpt.DiskId), &change->newId,
               sizeof change->newId);
    }
}

bool ReadsBackNew(const Change* change, DWORD style)
{
    if (LayoutExStyle(&readBack) != style) {
        return false;
    }
    if (style == PARTITION_STYLE_MBR) {
        return LayoutExSignature(&readBack) == change->newSignature;
    }
    GUID id = LayoutExDiskId(&readBack);
    return GuidsEqual(&id, &change->newId);
}

// Writes the layout with its new identifier and reads it back.
int WriteAndVerify(const Change* change, HANDLE disk, DWORD style, Text* report)
{
    DWORD size = kLayoutExHeadSize + LayoutExPartitionCount(&layout) * kLayoutExEntrySize;
    DWORD returned = 0;
    if (!DeviceIoControl(disk, IOCTL_DISK_SET_DRIVE_LAYOUT_EX, layout.bytes, size, nullptr, 0, &returned,
                         nullptr)) {
        return Fail(change, report, FailureCode(), "could not write the new identifier, the disk is unchanged");
    }
    int code = ReadLayoutEx(disk, &readBack) ? 0 : FailureCode();
    if (code == 0 && !ReadsBackNew(change, style)) {
        code = kIoDevice;
    }
    if (code != 0) {
        TextAppendF(report, "%s failed: the layout read back %s:%s\n", change->command,
                    code == kIoDevice ? "does not hold the new identifier" : "could not be read", ErrorText(code));
        TextAppendF(report, "The disk's state is unknown; check it with -ld.\n");
    }
    return code;
}

void AppendSuccess(const Change* change, DWORD style, Text* report)
{
    if (style == PARTITION_STYLE_MBR) {
        TextAppendF(report, "%s: signature %08lX -> %08lX (verified)\n", change->device,
                    static_cast<unsigned long>(change->oldSignature), static_cast<unsigned long>(change->newSignature));
    } else {
        TextAppendF(report, "%s: disk GUID ", change->device);
        AppendGuid(report, &change->oldId);
        TextAppendF(report, " -> ");
        AppendGuid(report, &change->newId);
        TextAppendF(report, " (verified)\n");
    }
    TextAppendF(report, "%s", "An offline disk must now be brought online: Disk Management, or diskpart's "
                "\"online disk\".\n");
    if (change->bootDisk) {
        AppendBootRepair(report);
    }
}

// Steps 4 on: the layout, the other disks, the new value, the write.
int ChangeIdentifier(Change* change, HANDLE disk, DWORD target, Text* report)
{
    if (!ReadLayoutEx(disk, &layout)) {
        return Fail(change, report, FailureCode(), "could not read the drive layout");
    }
    DWORD style = LayoutExStyle(&layout);
    if (style != PARTITION_STYLE_MBR && style != PARTITION_STYLE_GPT) {
        TextAppendF(report, "%s refused: %s has no partition table to hold an identifier (RAW).\n",
                    change->command, change->device);
        return kInvalidFunction;
    }
    if (change->guidGiven && style != PARTITION_STYLE_GPT) {
        TextAppendF(report, "%s refused: %s is an MBR disk; use -us for a new unique signature or -ws to write "
                    "one.\n", change->command, change->device);
        return kInvalidFunction;
    }
    change->oldSignature = LayoutExSignature(&layout);
    change->oldId = LayoutExDiskId(&layout);
    int code = CollectOtherIdentifiers(target, &held, report);
    if (code != 0) {
        return Fail(change, report, code, "could not list the other disks");
    }
    if (change->guidGiven && DiskIdHeld(&held, &change->newId)) {
        TextAppendF(report, "%s refused: another disk already has that disk GUID.\n", change->command);
        return kAlreadyExists;
    }
    if (!change->guidGiven && (code = DrawIdentifier(change, style, report)) != 0) {
        return code;
    }
    PutIdentifier(change, style);
    if ((code = WriteAndVerify(change, disk, style, report)) != 0) {
        return code;
    }
    AppendSuccess(change, style, report);
    return 0;
}

// Steps 1 to 3: the device path, the open, the disk's number, the guard.
int RunChange(Change* change, Text* report)
{
    char pathStorage[MAX_PATH];
    Text devicePath = TextOver(pathStorage, sizeof pathStorage);
    if (!TextFormatF(&devicePath, "\\\\.\\%s", change->device)) {
        return Fail(change, report, kInvalidName, "the device name is too long");
    }
    HANDLE disk = OpenDevice(devicePath.chars);
    if (disk == nullptr || disk == INVALID_HANDLE_VALUE) {
        return Fail(change, report, FailureCode(), "could not open the disk");
    }
    DWORD target = 0;
    int code = 0;
    if (!ReadDeviceNumber(disk, &target)) {
        code = Fail(change, report, FailureCode(), "could not read the disk's number");
    } else if ((code = GuardBootDisk(change, target, report)) == 0) {
        code = ChangeIdentifier(change, disk, target, report);
    }
    CloseHandle(disk);
    return code;
}

// The operand after the last required one may only be "force".
bool ReadForce(int operandCount, char* operands[], int at, bool* force)
{
    *force = false;
    if (operandCount <= at) {
        return true;
    }
    *force = strcmp(operands[at], "force") == 0;
    return *force && operandCount == at + 1;
}

}  // namespace

int NewUniqueIdentifier(int operandCount, char* operands[], Text* report)
{
    Change change = {};
    change.command = "UNIQUE IDENTIFIER";
    if (operandCount < 1) {
        TextAppendF(report, "%s failed: no device given (physicaldriveN).\n", change.command);
        return kInvalidParameter;
    }
    change.device = operands[0];
    if (!ReadForce(operandCount, operands, 1, &change.force)) {
        TextAppendF(report, "%s failed: unknown operand \"%s\" (only force may follow the device).\n",
                    change.command, operands[1]);
        return kInvalidParameter;
    }
    return RunChange(&change, report);
}

int WriteDiskGuid(int operandCount, char* operands[], Text* report)
{
    Change change = {};
    change.command = "WRITE GUID";
    change.guidGiven = true;
    if (operandCount < 2) {
        TextAppendF(report, "%s failed: %s\n", change.command,
                    operandCount < 1 ? "no device given (physicaldriveN)." : "no disk GUID given.");
        return kInvalidParameter;
    }
    change.device = operands[0];
    if (!ParseGuidOperand(operands[1], &change.newId) || IsNilGuid(&change.newId)) {
        TextAppendF(report, "%s failed: \"%s\" is not a disk GUID (32 hexadecimal digits as "
                    "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX, not all zero).\n", change.command, operands[1]);
        return kInvalidData;
    }
    if (!ReadForce(operandCount, operands, 2, &change.force)) {
        TextAppendF(report, "%s failed: unknown operand \"%s\" (only force may follow the GUID).\n",
                    change.command, operands[2]);
        return kInvalidParameter;
    }
    return RunChange(&change, report);
}
