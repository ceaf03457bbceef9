// What an image file holds beyond its MBR: whether it is partitioned at all,
// and, for a GPT image, the primary header at LBA 1 and its partition entries.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/machine.h"
#include "platform/sim/mbr_image.h"

namespace sim::internal {

constexpr size_t kGptHeaderLeast = 92;  // the fields a GPT header has
constexpr uint8_t kProtectiveMbrType = 0xEE;

// The fields of a GPT header that the drive layout reports.
struct GptHeader {
    uint32_t headerSize = 0;
    uint32_t crc = 0;
    uint64_t firstUsableLba = 0;
    uint64_t lastUsableLba = 0;
    GUID diskId{};
    uint64_t entriesLba = 0;
    uint32_t entryCount = 0;
    uint32_t entrySize = 0;
};

// The first two sectors of an image; the second is zero when the file is
// shorter.
struct ImageHead {
    Sector lba0{};
    Sector lba1{};
};

// Reads up to `size` bytes at `offset`; *got is how many there were.
bool ReadImageBytes(const std::string& path, uint64_t offset, size_t size, uint8_t* bytes, size_t* got,
                    int* errorNumber);
bool ReadImageHead(const std::string& path, ImageHead* head, int* errorNumber);
bool ImageFileSize(const std::string& path, uint64_t* size, int* errorNumber);

// GPT when a slot of LBA 0 has type 0xEE and LBA 1 starts "EFI PART"; else
// MBR when LBA 0 ends in 55 AA; else RAW.
DiskStyle StyleOfImage(const ImageHead& head);

GptHeader DecodeGptHeader(const Sector& lba1);

// The CRC32 of the header's first headerSize bytes with its CRC field zeroed
// equals the CRC field. False for a header size below 92 or above a sector.
bool GptHeaderCrcHolds(const Sector& lba1);

// The mixed-endian GUID as GPT stores it.
GUID DecodeGuid(const uint8_t* bytes);

uint32_t Crc32(const uint8_t* bytes, size_t size);

// The used entries (type GUID not zero) of the header's entry array, in
// array order, numbered from 1. The array must lie within the file.
bool ReadGptEntries(const std::string& path, const GptHeader& header, std::vector<PARTITION_INFORMATION_EX>* entries,
                    int* errorNumber);

// Why a GPT header can't be used (its entry array's shape), or "" when it can.
std::string GptHeaderFault(const GptHeader& header, uint64_t fileSize);

enum class GptWrite { Ok, CannotAccess, NoUsableHeaders };

// Puts the disk GUID into the primary header (LBA 1) and into the backup
// header (at the primary's backup LBA, byte 32), and computes each header's
// CRC32 again; no other byte of the image changes. NoUsableHeaders, with
// nothing written, when either header doesn't begin "EFI PART" with a size
// from 92 to 512 or the backup LBA lies outside the file; CannotAccess, with
// *errorNumber, when the image can't be read or written.
GptWrite WriteGptDiskId(const std::string& path, const GUID& diskId, int* errorNumber);

}  // namespace sim::internal
