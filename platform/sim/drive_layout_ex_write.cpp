// IOCTL_DISK_SET_DRIVE_LAYOUT_EX's side of the layout: what it is handed and
// the one change the simulator makes with it, a new disk identifier.
#include <string.h>

#include "platform/sim/drive_layout.h"
#include "platform/sim/error_codes.h"
#include "platform/sim/gpt_image.h"
#include "platform/sim/mbr_image.h"

namespace sim::internal {

namespace {

bool SameGuid(const GUID& a, const GUID& b)
{
    return memcmp(&a, &b, sizeof a) == 0;
}

// The fields that describe a partition; the numbers, flags and hidden
// sectors that the driver fills in are not compared.
bool SameEntry(const PARTITION_INFORMATION_EX& a, const PARTITION_INFORMATION_EX& b)
{
    if (a.PartitionStyle != b.PartitionStyle || a.StartingOffset.QuadPart != b.StartingOffset.QuadPart ||
        a.PartitionLength.QuadPart != b.PartitionLength.QuadPart) {
        return false;
    }
    if (a.PartitionStyle == PARTITION_STYLE_MBR) {
        return a.Mbr.PartitionType == b.Mbr.PartitionType && (a.Mbr.BootIndicator != 0) == (b.Mbr.BootIndicator != 0);
    }
    return SameGuid(a.Gpt.PartitionType, b.Gpt.PartitionType) && SameGuid(a.Gpt.PartitionId, b.Gpt.PartitionId) &&
           a.Gpt.Attributes == b.Gpt.Attributes && memcmp(a.Gpt.Name, b.Gpt.Name, sizeof a.Gpt.Name) == 0;
}

bool SameTable(const DiskLayoutEx& current, const DiskLayoutEx& wanted)
{
    if (current.style != wanted.style || current.entries.size() != wanted.entries.size()) {
        return false;
    }
    if (current.style == DiskStyle::Gpt &&
        (current.startingUsableOffset != wanted.startingUsableOffset ||
         current.usableLength != wanted.usableLength || current.maxPartitionCount != wanted.maxPartitionCount)) {
        return false;
    }
    for (size_t i = 0; i < current.entries.size(); ++i) {
        if (!SameEntry(current.entries[i], wanted.entries[i])) {
            return false;
        }
    }
    return true;
}

bool WriteMbrImageSignature(const Disk& disk, uint32_t signature, DWORD* error)
{
    ImageHead head;
    int errorNumber = 0;
    if (!ReadImageHead(disk.imagePath, &head, &errorNumber)) {
        *error = ErrorOfErrno(errorNumber);
        return false;
    }
    SetMbrSignature(&head.lba0, signature);
    if (!WriteSectorBytes(disk.imagePath, head.lba0, kSignatureOffset, kSignatureOffset + 4, &errorNumber)) {
        *error = ErrorOfErrno(errorNumber);
        return false;
    }
    return true;
}

bool WriteGptImageDiskId(const Disk& disk, const GUID& diskId, DWORD* error)
{
    int errorNumber = 0;
    switch (WriteGptDiskId(disk.imagePath, diskId, &errorNumber)) {
    case GptWrite::Ok:
        return true;
    case GptWrite::CannotAccess:
        *error = ErrorOfErrno(errorNumber);
        return false;
    case GptWrite::NoUsableHeaders:
        break;
    }
    *error = kErrorDiskCorrupt;
    return false;
}

}  // namespace

bool LoadLayoutEx(const void* buffer, size_t size, DiskLayoutEx* layout)
{
    if (buffer == nullptr || size < kLayoutExHeadSize) {
        return false;
    }
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    DRIVE_LAYOUT_INFORMATION_EX head;
    memcpy(&head, bytes, kLayoutExHeadSize);
    if ((size - kLayoutExHeadSize) / sizeof(PARTITION_INFORMATION_EX) < head.PartitionCount ||
        head.PartitionStyle > PARTITION_STYLE_RAW) {
        return false;
    }
    *layout = DiskLayoutEx();
    layout->style = static_cast<DiskStyle>(head.PartitionStyle);
    if (layout->style == DiskStyle::Mbr) {
        layout->signature = head.Mbr.Signature;
    } else if (layout->style == DiskStyle::Gpt) {
        layout->diskId = head.Gpt.DiskId;
        layout->startingUsableOffset = head.Gpt.StartingUsableOffset.QuadPart;
        layout->usableLength = head.Gpt.UsableLength.QuadPart;
        layout->maxPartitionCount = head.Gpt.MaxPartitionCount;
    }
    layout->entries.resize(head.PartitionCount);
    if (head.PartitionCount > 0) {
        memcpy(layout->entries.data(), bytes + kLayoutExHeadSize,
               head.PartitionCount * sizeof(PARTITION_INFORMATION_EX));
    }
    return true;
}

bool WriteDiskLayoutEx(Disk* disk, const DiskLayoutEx& layout, DWORD* error)
{
    DiskLayoutEx current;
    if (!ReadDiskLayoutEx(*disk, &current, error)) {
        return false;
    }
    if (current.style == DiskStyle::Raw) {
        *error = kErrorInvalidFunction;
        return false;
    }
    if (disk->readOnly) {
        *error = kErrorWriteProtect;
        return false;
    }
    if (!SameTable(current, layout)) {
        *error = kErrorInvalidParameter;
        return false;
    }
    bool isMbr = current.style == DiskStyle::Mbr;
    if (!disk->imagePath.empty()) {
        return isMbr ? WriteMbrImageSignature(*disk, layout.signature, error)
                     : WriteGptImageDiskId(*disk, layout.diskId, error);
    }
    if (isMbr) {
        disk->signature = layout.signature;
    } else {
        disk->diskId = layout.diskId;
    }
    return true;
}

}  // namespace sim::internal
