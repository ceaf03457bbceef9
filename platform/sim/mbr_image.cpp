#include "platform/sim/mbr_image.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

namespace sim::internal {

namespace {

const uint8_t kActive = 0x80;
// The geometry MBR tools assume when they write CHS fields for an LBA.
const uint32_t kHeads = 255;
const uint32_t kSectorsPerTrack = 63;

uint32_t ReadLittle32(const uint8_t* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void WriteLittle32(uint8_t* bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// CHS bytes (head, sector with cylinder bits 8-9, cylinder bits 0-7); an LBA
// past cylinder 1023 gets the conventional 1023/254/63.
void WriteChs(uint8_t* bytes, uint64_t lba)
{
    uint64_t cylinder = lba / (kHeads * kSectorsPerTrack);
    uint64_t head = (lba / kSectorsPerTrack) % kHeads;
    uint64_t sector = lba % kSectorsPerTrack + 1;
    if (cylinder > 1023) {
        cylinder = 1023;
        head = 254;
        sector = 63;
    }
    bytes[0] = static_cast<uint8_t>(head);
    bytes[1] = static_cast<uint8_t>((sector & 0x3f) | ((cylinder >> 2) & 0xc0));
    bytes[2] = static_cast<uint8_t>(cylinder & 0xff);
}

// Whole sectors that fit the 32-bit LBA fields of an MBR entry.
bool ToSectors(int64_t bytes, uint32_t* sectors)
{
    if (bytes < 0 || bytes % static_cast<int64_t>(kSectorSize) != 0 ||
        bytes / static_cast<int64_t>(kSectorSize) > static_cast<int64_t>(UINT32_MAX)) {
        return false;
    }
    *sectors = static_cast<uint32_t>(bytes / static_cast<int64_t>(kSectorSize));
    return true;
}

}  // namespace

ImageRead ReadFirstSector(const std::string& path, Sector* sector, int* errorNumber)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *errorNumber = errno;
        return ImageRead::CannotRead;
    }
    size_t got = 0;
    *errorNumber = 0;
    while (got < kSectorSize) {
        ssize_t n = read(fd, sector->data() + got, kSectorSize - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            *errorNumber = errno;
            close(fd);
            return ImageRead::CannotRead;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<size_t>(n);
    }
    close(fd);
    return got == kSectorSize ? ImageRead::Ok : ImageRead::TooShort;
}

bool WriteSectorBytes(const std::string& path, const Sector& sector, size_t from, size_t to,
                      int* errorNumber)
{
    int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        *errorNumber = errno;
        return false;
    }
    ssize_t written = pwrite(fd, sector.data() + from, to - from, static_cast<off_t>(from));
    *errorNumber = errno;
    bool whole = written == static_cast<ssize_t>(to - from);
    if (close(fd) != 0 && whole) {
        *errorNumber = errno;
        return false;
    }
    return whole;
}

uint32_t MbrSignature(const Sector& sector)
{
    return ReadLittle32(sector.data() + kSignatureOffset);
}

void SetMbrSignature(Sector* sector, uint32_t signature)
{
    WriteLittle32(sector->data() + kSignatureOffset, signature);
}

PARTITION_INFORMATION DecodeMbrEntry(const Sector& sector, unsigned slot)
{
    const uint8_t* entry = sector.data() + kEntriesOffset + slot * kEntrySize;
    uint32_t firstLba = ReadLittle32(entry + 8);
    uint32_t sectors = ReadLittle32(entry + 12);
    PARTITION_INFORMATION info;
    memset(&info, 0, sizeof info);  // padding too: layouts are compared bytewise
    info.StartingOffset.QuadPart = static_cast<int64_t>(firstLba) * static_cast<int64_t>(kSectorSize);
    info.PartitionLength.QuadPart = static_cast<int64_t>(sectors) * static_cast<int64_t>(kSectorSize);
    info.HiddenSectors = firstLba;
    info.PartitionNumber = entry[4] != 0 ? slot + 1 : 0;
    info.PartitionType = entry[4];
    info.BootIndicator = entry[0] == kActive;
    info.RecognizedPartition = entry[4] != 0;
    info.RewritePartition = 0;
    return info;
}

bool EncodeMbrEntry(const PARTITION_INFORMATION& wanted, Sector* sector, unsigned slot)
{
    uint32_t firstLba = 0;
    uint32_t sectors = 0;
    if (!ToSectors(wanted.StartingOffset.QuadPart, &firstLba) ||
        !ToSectors(wanted.PartitionLength.QuadPart, &sectors)) {
        return false;
    }
    PARTITION_INFORMATION was = DecodeMbrEntry(*sector, slot);
    uint8_t* entry = sector->data() + kEntriesOffset + slot * kEntrySize;
    if (!wanted.BootIndicator != !was.BootIndicator) {
        entry[0] = wanted.BootIndicator ? kActive : 0;
    }
    if (wanted.PartitionType != was.PartitionType) {
        entry[4] = wanted.PartitionType;
    }
    bool startChanged = wanted.StartingOffset.QuadPart != was.StartingOffset.QuadPart;
    bool lengthChanged = wanted.PartitionLength.QuadPart != was.PartitionLength.QuadPart;
    if (startChanged) {
        WriteLittle32(entry + 8, firstLba);
        WriteChs(entry + 1, firstLba);
    }
    if (startChanged || lengthChanged) {
        WriteLittle32(entry + 12, sectors);
        WriteChs(entry + 5, sectors == 0 ? firstLba : uint64_t{firstLba} + sectors - 1);
    }
    return true;
}

}  // namespace sim::internal
