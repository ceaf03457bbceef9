#include "disks/disk_survey.h"

#include <string.h>

#include "base/disk_device.h"
#include "base/error_text.h"
#include "base/text.h"
#include "base/whole_disk.h"

namespace {

const int kInvalidFunction = 1;
const int kNotSupported = 50;
const int kInvalidData = 13;
const DWORD kDeviceTargetCapacity = 256;

LayoutExBuffer layoutEx;
LayoutBuffer plainLayout;
DiskList diskList;

void Fail(DiskEntry* entry, DiskStep step, int code)
{
    entry->failedStep = step;
    entry->errorCode = code;
}

// Windows 2000 knows only the plain layout read, which gives an MBR
// signature; a driver without the extended read answers 1 or 50.
void ReadPlainLayout(HANDLE disk, DiskEntry* entry)
{
    DWORD signature = 0;
    if (!ReadDiskSignature(disk, &plainLayout, &signature)) {
        Fail(entry, DiskStep::Layout, FailureCode());
        return;
    }
    entry->style = PARTITION_STYLE_MBR;
    entry->signature = signature;
}

void ReadDiskLayout(HANDLE disk, DiskEntry* entry)
{
    if (!ReadLayoutEx(disk, &layoutEx)) {
        int code = FailureCode();
        if (code == kInvalidFunction || code == kNotSupported) {
            ReadPlainLayout(disk, entry);
        } else {
            Fail(entry, DiskStep::Layout, code);
        }
        return;
    }
    entry->style = LayoutExStyle(&layoutEx);
    if (entry->style > PARTITION_STYLE_RAW) {
        Fail(entry, DiskStep::Layout, kInvalidData);
    } else if (entry->style == PARTITION_STYLE_MBR) {
        entry->signature = LayoutExSignature(&layoutEx);
    } else if (entry->style == PARTITION_STYLE_GPT) {
        entry->diskId = LayoutExDiskId(&layoutEx);
    }
}

DiskEntry* EntryOfNumber(DiskSurvey* survey, DWORD number)
{
    for (unsigned i = 0; i < survey->count; ++i) {
        if (survey->disks[i].number == number) {
            return &survey->disks[i];
        }
    }
    return nullptr;
}

// A letter counts, as in "-ds", when the first name of its device target
// lies on a hard disk.
bool IsHardDiskLetter(const char* driveName)
{
    char target[kDeviceTargetCapacity];
    if (QueryDosDeviceA(driveName, target, kDeviceTargetCapacity) == 0) {
        return false;
    }
    target[kDeviceTargetCapacity - 1] = '\0';
    return strstr(target, "\\Device\\Harddisk") != nullptr;
}

// The letter's disk is the device number of its volume; a letter whose
// number can't be read is left out.
void FindLetterDisk(DiskSurvey* survey, char letter)
{
    const char driveName[] = {letter, ':', '\0'};
    const char devicePath[] = {'\\', '\\', '.', '\\', letter, ':', '\0'};
    if (!IsHardDiskLetter(driveName)) {
        return;
    }
    HANDLE volume = OpenDeviceForReading(devicePath);
    if (volume == nullptr || volume == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD number = 0;
    bool numbered = ReadDeviceNumber(volume, &number);
    CloseHandle(volume);
    DiskEntry* disk = numbered ? EntryOfNumber(survey, number) : nullptr;
    if (disk != nullptr) {
        disk->letters |= 1u << (letter - 'A');
    }
}

}  // namespace

void ReadDisk(DiskEntry* entry)
{
    char pathStorage[32];
    Text path = TextOver(pathStorage, sizeof pathStorage);
    TextFormatF(&path, "\\\\.\\PhysicalDrive%u", static_cast<unsigned>(entry->number));
    HANDLE disk = OpenDeviceForReading(path.chars);
    if (disk == nullptr || disk == INVALID_HANDLE_VALUE) {
        Fail(entry, DiskStep::Open, FailureCode());
        return;
    }
    ReadDiskLayout(disk, entry);
    entry->sizeKnown = ReadDiskLength(disk, &entry->size);
    entry->attributesKnown = ReadDiskAttributes(disk, &entry->attributes);
    CloseHandle(disk);
}

int SurveyDisks(DiskSurvey* survey)
{
    survey->count = 0;
    survey->unlisted = 0;
    int code = ListPhysicalDrives(&diskList);
    if (code != 0) {
        return code;
    }
    for (unsigned i = 0; i < diskList.count; ++i) {
        DiskEntry* entry = &survey->disks[i];
        memset(entry, 0, sizeof *entry);
        entry->number = diskList.numbers[i];
        ReadDisk(entry);
    }
    survey->count = diskList.count;
    survey->unlisted = diskList.unlisted;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        FindLetterDisk(survey, letter);
    }
    return 0;
}

bool HasIdentifier(const DiskEntry* disk)
{
    if (disk->failedStep != DiskStep::None) {
        return false;
    }
    return (disk->style == PARTITION_STYLE_MBR && disk->signature != 0) ||
           disk->style == PARTITION_STYLE_GPT;
}

bool SameIdentifier(const DiskEntry* a, const DiskEntry* b)
{
    if (!HasIdentifier(a) || !HasIdentifier(b) || a->style != b->style) {
        return false;
    }
    return a->style == PARTITION_STYLE_MBR ? a->signature == b->signature
                                           : GuidsEqual(&a->diskId, &b->diskId);
}

bool StartsCollision(const DiskSurvey* survey, unsigned index)
{
    const DiskEntry* disk = &survey->disks[index];
    for (unsigned i = 0; i < index; ++i) {
        if (SameIdentifier(&survey->disks[i], disk)) {
            return false;
        }
    }
    for (unsigned i = index + 1; i < survey->count; ++i) {
        if (SameIdentifier(&survey->disks[i], disk)) {
            return true;
        }
    }
    return false;
}

bool HasCollision(const DiskSurvey* survey)
{
    for (unsigned i = 0; i < survey->count; ++i) {
        if (StartsCollision(survey, i)) {
            return true;
        }
    }
    return false;
}
