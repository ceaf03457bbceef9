#include "platform/sim/drive_layout.h"

#include <errno.h>
#include <string.h>

#include "platform/sim/error_codes.h"
#include "platform/sim/gpt_image.h"
#include "platform/sim/mbr_image.h"

namespace sim::internal {

DWORD ErrorOfErrno(int errorNumber)
{
    return (errorNumber == EACCES || errorNumber == EPERM || errorNumber == EROFS)
               ? kErrorAccessDenied
               : kErrorIoDevice;
}

namespace {

bool ReadHead(const Disk& disk, ImageHead* head, DWORD* error)
{
    int errorNumber = 0;
    if (!ReadImageHead(disk.imagePath, head, &errorNumber)) {
        *error = ErrorOfErrno(errorNumber);
        return false;
    }
    return true;
}

DiskLayout MbrLayoutOf(const Sector& lba0)
{
    DiskLayout layout;
    layout.signature = MbrSignature(lba0);
    for (unsigned slot = 0; slot < kMbrSlots; ++slot) {
        layout.entries.push_back(DecodeMbrEntry(lba0, slot));
    }
    return layout;
}

// The two's complement of the sum of the sector's 128 little-endian words:
// what the disk driver reports as the MBR's checksum.
uint32_t MbrCheckSum(const Sector& lba0)
{
    uint32_t sum = 0;
    for (size_t at = 0; at < kSectorSize; at += 4) {
        sum += static_cast<uint32_t>(lba0[at]) | static_cast<uint32_t>(lba0[at + 1]) << 8 |
               static_cast<uint32_t>(lba0[at + 2]) << 16 | static_cast<uint32_t>(lba0[at + 3]) << 24;
    }
    return 0u - sum;
}

PARTITION_INFORMATION_EX ExtendedEntryOf(const PARTITION_INFORMATION& entry)
{
    PARTITION_INFORMATION_EX extended;
    memset(&extended, 0, sizeof extended);
    extended.PartitionStyle = PARTITION_STYLE_MBR;
    extended.StartingOffset = entry.StartingOffset;
    extended.PartitionLength = entry.PartitionLength;
    extended.PartitionNumber = entry.PartitionNumber;
    extended.RewritePartition = entry.RewritePartition;
    extended.Mbr.PartitionType = entry.PartitionType;
    extended.Mbr.BootIndicator = entry.BootIndicator;
    extended.Mbr.RecognizedPartition = entry.RecognizedPartition;
    extended.Mbr.HiddenSectors = entry.HiddenSectors;
    return extended;
}

void SetMbrLayoutEx(const DiskLayout& mbr, uint32_t checkSum, DiskLayoutEx* layout)
{
    layout->style = DiskStyle::Mbr;
    layout->signature = mbr.signature;
    layout->checkSum = checkSum;
    layout->entries.clear();
    for (const PARTITION_INFORMATION& entry : mbr.entries) {
        layout->entries.push_back(ExtendedEntryOf(entry));
    }
}

// A GPT disk held in memory has the table a partitioning tool writes: 128
// entries, the primary copy in LBAs 1-33, the backup in the last 33.
void SetMemoryGptLayout(const Disk& disk, DiskLayoutEx* layout)
{
    const uint64_t reserved = 67 * kSectorSize;
    layout->style = DiskStyle::Gpt;
    layout->diskId = disk.diskId;
    layout->startingUsableOffset = 34 * static_cast<int64_t>(kSectorSize);
    layout->usableLength = disk.size > reserved ? static_cast<int64_t>(disk.size - reserved) : 0;
    layout->maxPartitionCount = 128;
}

bool SetImageGptLayout(const Disk& disk, const Sector& lba1, DiskLayoutEx* layout, DWORD* error)
{
    GptHeader header = DecodeGptHeader(lba1);
    uint64_t fileSize = 0;
    int errorNumber = 0;
    if (!ImageFileSize(disk.imagePath, &fileSize, &errorNumber)) {
        *error = ErrorOfErrno(errorNumber);
        return false;
    }
    if (!GptHeaderFault(header, fileSize).empty() ||
        !ReadGptEntries(disk.imagePath, header, &layout->entries, &errorNumber)) {
        *error = ErrorOfErrno(errorNumber);
        return false;
    }
    layout->style = DiskStyle::Gpt;
    layout->diskId = header.diskId;
    layout->startingUsableOffset = static_cast<int64_t>(header.firstUsableLba * kSectorSize);
    uint64_t usable = header.lastUsableLba >= header.firstUsableLba
                          ? header.lastUsableLba - header.firstUsableLba + 1
                          : 0;
    layout->usableLength = static_cast<int64_t>(usable * kSectorSize);
    layout->maxPartitionCount = header.entryCount;
    return true;
}

bool WriteImageLayout(const Disk& disk, const DiskLayout& layout, DWORD* error)
{
    ImageHead head;
    if (!ReadHead(disk, &head, error)) {
        return false;
    }
    Sector& sector = head.lba0;
    SetMbrSignature(&sector, layout.signature);
    for (unsigned slot = 0; slot < kMbrSlots; ++slot) {
        if (!EncodeMbrEntry(layout.entries[slot], &sector, slot)) {
            *error = kErrorInvalidParameter;
            return false;
        }
    }
    int errorNumber = 0;
    size_t end = kEntriesOffset + kMbrSlots * kEntrySize;
    if (!WriteSectorBytes(disk.imagePath, sector, kSignatureOffset, end, &errorNumber)) {
        *error = ErrorOfErrno(errorNumber);
        return false;
    }
    return true;
}

}  // namespace

bool ReadDiskLayout(const Disk& disk, DiskLayout* layout, DWORD* error)
{
    if (disk.imagePath.empty()) {
        if (disk.style != DiskStyle::Mbr) {
            *error = kErrorInvalidFunction;
            return false;
        }
        layout->signature = disk.signature;
        layout->entries = disk.entries;
        return true;
    }
    ImageHead head;
    if (!ReadHead(disk, &head, error)) {
        return false;
    }
    if (StyleOfImage(head) != DiskStyle::Mbr) {
        *error = kErrorInvalidFunction;
        return false;
    }
    *layout = MbrLayoutOf(head.lba0);
    return true;
}

bool WriteDiskLayout(Disk* disk, const DiskLayout& layout, DWORD* error)
{
    DiskLayout current;
    if (!ReadDiskLayout(*disk, &current, error)) {
        return false;
    }
    if (disk->readOnly) {
        *error = kErrorWriteProtect;
        return false;
    }
    if (layout.entries.size() != current.entries.size()) {
        *error = kErrorInvalidParameter;
        return false;
    }
    if (!disk->imagePath.empty()) {
        return WriteImageLayout(*disk, layout, error);
    }
    disk->signature = layout.signature;
    disk->entries = layout.entries;
    for (PARTITION_INFORMATION& entry : disk->entries) {
        entry.RewritePartition = 0;
    }
    return true;
}

bool ReadDiskLayoutEx(const Disk& disk, DiskLayoutEx* layout, DWORD* error)
{
    *layout = DiskLayoutEx();
    if (disk.imagePath.empty()) {
        if (disk.style == DiskStyle::Mbr) {
            SetMbrLayoutEx(DiskLayout{disk.signature, disk.entries}, 0, layout);
        } else if (disk.style == DiskStyle::Gpt) {
            SetMemoryGptLayout(disk, layout);
        }
        return true;
    }
    ImageHead head;
    if (!ReadHead(disk, &head, error)) {
        return false;
    }
    switch (StyleOfImage(head)) {
    case DiskStyle::Mbr:
        SetMbrLayoutEx(MbrLayoutOf(head.lba0), MbrCheckSum(head.lba0), layout);
        return true;
    case DiskStyle::Gpt:
        return SetImageGptLayout(disk, head.lba1, layout, error);
    case DiskStyle::Raw:
        return true;
    }
    return true;
}

bool ReadDiskSize(const Disk& disk, uint64_t* size, DWORD* error)
{
    if (disk.imagePath.empty()) {
        *size = disk.size;
        return true;
    }
    int errorNumber = 0;
    if (!ImageFileSize(disk.imagePath, size, &errorNumber)) {
        *error = ErrorOfErrno(errorNumber);
        return false;
    }
    return true;
}

size_t LayoutSize(size_t entryCount)
{
    return kLayoutHeadSize + entryCount * sizeof(PARTITION_INFORMATION);
}

void StoreLayout(const DiskLayout& layout, void* buffer)
{
    auto* bytes = static_cast<unsigned char*>(buffer);
    uint32_t head[2] = {static_cast<uint32_t>(layout.entries.size()), layout.signature};
    memcpy(bytes, head, sizeof head);
    if (!layout.entries.empty()) {
        memcpy(bytes + kLayoutHeadSize, layout.entries.data(),
               layout.entries.size() * sizeof(PARTITION_INFORMATION));
    }
}

bool LoadLayout(const void* buffer, size_t size, DiskLayout* layout)
{
    if (buffer == nullptr || size < kLayoutHeadSize) {
        return false;
    }
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    uint32_t head[2];
    memcpy(head, bytes, sizeof head);
    if ((size - kLayoutHeadSize) / sizeof(PARTITION_INFORMATION) < head[0]) {
        return false;
    }
    layout->signature = head[1];
    layout->entries.resize(head[0]);
    if (head[0] > 0) {
        memcpy(layout->entries.data(), bytes + kLayoutHeadSize, head[0] * sizeof(PARTITION_INFORMATION));
    }
    return true;
}

}  // namespace sim::internal

namespace sim::internal {

size_t LayoutExSize(size_t entryCount)
{
    return kLayoutExHeadSize + entryCount * sizeof(PARTITION_INFORMATION_EX);
}

void StoreLayoutEx(const DiskLayoutEx& layout, void* buffer)
{
    DRIVE_LAYOUT_INFORMATION_EX head;
    memset(&head, 0, sizeof head);
    head.PartitionStyle = static_cast<DWORD>(layout.style);
    head.PartitionCount = static_cast<DWORD>(layout.entries.size());
    if (layout.style == DiskStyle::Mbr) {
        head.Mbr.Signature = layout.signature;
        head.Mbr.CheckSum = layout.checkSum;
    } else if (layout.style == DiskStyle::Gpt) {
        head.Gpt.DiskId = layout.diskId;
        head.Gpt.StartingUsableOffset.QuadPart = layout.startingUsableOffset;
        head.Gpt.UsableLength.QuadPart = layout.usableLength;
        head.Gpt.MaxPartitionCount = layout.maxPartitionCount;
    }
    auto* bytes = static_cast<unsigned char*>(buffer);
    memcpy(bytes, &head, kLayoutExHeadSize);
    if (!layout.entries.empty()) {
        memcpy(bytes + kLayoutExHeadSize, layout.entries.data(),
               layout.entries.size() * sizeof(PARTITION_INFORMATION_EX));
    }
}

}  // namespace sim::internal
