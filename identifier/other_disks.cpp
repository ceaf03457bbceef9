#include "identifier/other_disks.h"

#include "base/error_text.h"
#include "base/whole_disk.h"

namespace {

DiskList disks;
LayoutExBuffer otherLayout;

// The warning of a disk that was left out.
void WarnSkipped(DWORD number, int code, Text* report)
{
    TextAppendF(report, "warning: physicaldrive%lu skipped, its identifier is unknown:%s\n",
                static_cast<unsigned long>(number), ErrorText(code));
}

void ReadOther(DWORD number, HeldIdentifiers* held, Text* report)
{
    char path[64];
    Text devicePath = TextOver(path, sizeof path);
    TextFormatF(&devicePath, "\\\\.\\PhysicalDrive%lu", static_cast<unsigned long>(number));
    HANDLE disk = OpenDeviceForReading(devicePath.chars);
    if (disk == nullptr || disk == INVALID_HANDLE_VALUE) {
        WarnSkipped(number, FailureCode(), report);
        return;
    }
    if (!ReadLayoutEx(disk, &otherLayout)) {
        WarnSkipped(number, FailureCode(), report);
    } else {
        unsigned at = held->count++;
        held->style[at] = LayoutExStyle(&otherLayout);
        held->signature[at] = LayoutExSignature(&otherLayout);
        held->diskId[at] = LayoutExDiskId(&otherLayout);
    }
    CloseHandle(disk);
}

}  // namespace

int CollectOtherIdentifiers(DWORD skipped, HeldIdentifiers* held, Text* report)
{
    held->count = 0;
    int code = ListPhysicalDrives(&disks);
    if (code != 0) {
        return code;
    }
    for (unsigned i = 0; i < disks.count; ++i) {
        if (disks.numbers[i] != skipped) {
            ReadOther(disks.numbers[i], held, report);
        }
    }
    if (disks.unlisted > 0) {
        TextAppendF(report, "warning: %u disks past the first %u skipped, their identifiers are unknown\n",
                    disks.unlisted, kMaxDisks);
    }
    return 0;
}

bool SignatureHeld(const HeldIdentifiers* held, DWORD signature)
{
    for (unsigned i = 0; i < held->count; ++i) {
        if (held->style[i] == PARTITION_STYLE_MBR && held->signature[i] == signature) {
            return true;
        }
    }
    return false;
}

bool DiskIdHeld(const HeldIdentifiers* held, const GUID* diskId)
{
    for (unsigned i = 0; i < held->count; ++i) {
        if (held->style[i] == PARTITION_STYLE_GPT && GuidsEqual(&held->diskId[i], diskId)) {
            return true;
        }
    }
    return false;
}
