#include "platform/sim/drive_layout.h"

#include <errno.h>
#include <string.h>

#include "platform/sim/error_codes.h"
#include "platform/sim/mbr_image.h"

namespace sim::internal {

namespace {

DWORD ErrorOfErrno(int errorNumber)
{
    return (errorNumber == EACCES || errorNumber == EPERM || errorNumber == EROFS)
               ? kErrorAccessDenied
               : kErrorIoDevice;
}

bool ReadImageSector(const Disk& disk, Sector* sector, DWORD* error)
{
    int errorNumber = 0;
    if (ReadFirstSector(disk.imagePath, sector, &errorNumber) != ImageRead::Ok) {
        *error = ErrorOfErrno(errorNumber);
        return false;
    }
    return true;
}

bool WriteImageLayout(const Disk& disk, const DiskLayout& layout, DWORD* error)
{
    Sector sector{};
    if (!ReadImageSector(disk, &sector, error)) {
        return false;
    }
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
        layout->signature = disk.signature;
        layout->entries = disk.entries;
        return true;
    }
    Sector sector{};
    if (!ReadImageSector(disk, &sector, error)) {
        return false;
    }
    layout->signature = MbrSignature(sector);
    layout->entries.clear();
    for (unsigned slot = 0; slot < kMbrSlots; ++slot) {
        layout->entries.push_back(DecodeMbrEntry(sector, slot));
    }
    return true;
}

bool WriteDiskLayout(Disk* disk, const DiskLayout& layout, DWORD* error)
{
    size_t count = disk->imagePath.empty() ? disk->entries.size() : kMbrSlots;
    if (layout.entries.size() != count) {
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
