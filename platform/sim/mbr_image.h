// The first sector of a disk image: the MBR with its signature at byte 440
// and four 16-byte partition entries from byte 446.
#pragma once

#include <stdint.h>

#include <array>
#include <string>

#include "platform/platform.h"

namespace sim::internal {

constexpr size_t kSectorSize = 512;
constexpr size_t kSignatureOffset = 440;
constexpr size_t kEntriesOffset = 446;
constexpr size_t kEntrySize = 16;
constexpr unsigned kMbrSlots = 4;

using Sector = std::array<uint8_t, kSectorSize>;

enum class ImageRead { Ok, CannotRead, TooShort };

// Reads the first sector; *errorNumber gets errno when the file can't be read.
ImageRead ReadFirstSector(const std::string& path, Sector* sector, int* errorNumber);

// Writes bytes [from, to) of the sector back in place: open, write, close,
// so no handle on the file outlives the call.
bool WriteSectorBytes(const std::string& path, const Sector& sector, size_t from, size_t to,
                      int* errorNumber);

uint32_t MbrSignature(const Sector& sector);
void SetMbrSignature(Sector* sector, uint32_t signature);

// The driver's view of MBR slot 0-3.
PARTITION_INFORMATION DecodeMbrEntry(const Sector& sector, unsigned slot);

// Re-encodes into the slot only the fields in which `wanted` differs from
// what the slot holds, so an unchanged entry keeps every one of its bytes
// (CHS fields included). False, with the slot untouched, when `wanted` can't
// be put into an MBR entry (offsets not whole sectors or beyond 32 bits).
bool EncodeMbrEntry(const PARTITION_INFORMATION& wanted, Sector* sector, unsigned slot);

}  // namespace sim::internal
