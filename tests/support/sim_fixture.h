// Helpers for the simulator's own tests: MBR images with known bytes, opening
// devices, reading layouts and volume GUID paths.
#pragma once

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace simtest {

// One MBR slot as the test writes it into an image.
struct MbrSlot {
    uint8_t status;
    uint8_t type;
    uint32_t firstLba;
    uint32_t sectors;
};

inline void PutLittle32(std::string* bytes, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i) {
        (*bytes)[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
    }
}

// Two sectors in which every byte differs from its neighbours, so a write of
// a wrong byte anywhere shows; the slots' CHS bytes keep that pattern. LBA 0
// ends in the 55 AA that marks an MBR.
inline std::string MbrImage(uint32_t signature, const std::vector<MbrSlot>& slots, size_t size = 1024)
{
    std::string image(size, '\0');
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<char>((i * 7 + 3) & 0xff);
    }
    PutLittle32(&image, 440, signature);
    for (size_t slot = 0; slot < 4; ++slot) {
        size_t at = 446 + 16 * slot;
        MbrSlot s = slot < slots.size() ? slots[slot] : MbrSlot{};
        image[at] = static_cast<char>(s.status);
        image[at + 4] = static_cast<char>(s.type);
        PutLittle32(&image, at + 8, s.firstLba);
        PutLittle32(&image, at + 12, s.sectors);
    }
    image[510] = static_cast<char>(0x55);
    image[511] = static_cast<char>(0xaa);
    return image;
}

// A protective MBR and a GPT header of the given size whose CRC field is 0,
// which is not the CRC32 of this header: two sectors, no entries.
inline std::string ProtectiveGptHead(uint32_t headerSize)
{
    std::string image = MbrImage(0, {{.status = 0x00, .type = 0xEE, .firstLba = 1, .sectors = 1}});
    memcpy(&image[512], "EFI PART", 8);
    PutLittle32(&image, 512 + 12, headerSize);
    PutLittle32(&image, 512 + 16, 0);
    return image;
}

// The offsets at which two byte strings differ.
inline std::vector<size_t> DifferingOffsets(const std::string& a, const std::string& b)
{
    std::vector<size_t> offsets;
    for (size_t i = 0; i < a.size() || i < b.size(); ++i) {
        if (i >= a.size() || i >= b.size() || a[i] != b[i]) {
            offsets.push_back(i);
        }
    }
    return offsets;
}

inline HANDLE OpenDevice(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
}

// A layout buffer aligned for DRIVE_LAYOUT_INFORMATION.
struct LayoutBuffer {
    alignas(8) unsigned char bytes[8 + 64 * 32 + 32];

    DWORD Count() const { return Head().PartitionCount; }
    DWORD Signature() const { return Head().Signature; }
    void SetSignature(DWORD signature) { memcpy(bytes + 4, &signature, 4); }

    PARTITION_INFORMATION Entry(size_t i) const
    {
        PARTITION_INFORMATION entry;
        memcpy(&entry, bytes + 8 + 32 * i, sizeof entry);
        return entry;
    }

    void SetEntry(size_t i, const PARTITION_INFORMATION& entry) { memcpy(bytes + 8 + 32 * i, &entry, 32); }

    DRIVE_LAYOUT_INFORMATION Head() const
    {
        DRIVE_LAYOUT_INFORMATION head;
        memcpy(&head, bytes, 8);
        return head;
    }
};

inline BOOL ReadLayout(HANDLE device, LayoutBuffer* layout, DWORD size, DWORD* returned)
{
    return DeviceIoControl(device, IOCTL_DISK_GET_DRIVE_LAYOUT, nullptr, 0, layout->bytes, size, returned,
                           nullptr);
}

inline BOOL WriteLayout(HANDLE device, LayoutBuffer* layout, DWORD size)
{
    DWORD returned = 0;
    return DeviceIoControl(device, IOCTL_DISK_SET_DRIVE_LAYOUT, layout->bytes, size, nullptr, 0, &returned,
                           nullptr);
}

// The volume GUID path of a root or mount-point path, or "" when it has none.
inline std::string VolumeNameOf(const std::string& path)
{
    char name[1024] = "";
    return GetVolumeNameForVolumeMountPointA(path.c_str(), name, sizeof name) ? std::string(name) : "";
}

}  // namespace simtest
