#include "platform/sim/gpt_image.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sim::internal {

namespace {

const char kEfiPart[] = "EFI PART";
const size_t kCrcOffset = 16;
const size_t kGptEntryLeast = 128;
const size_t kGptEntryMost = 4096;
const uint32_t kGptEntriesMost = 4096;
const size_t kGptNameOffset = 56;
const size_t kGptNameUnits = 36;

uint64_t ReadLittle(const uint8_t* bytes, size_t width)
{
    uint64_t value = 0;
    for (size_t i = width; i > 0; --i) {
        value = value << 8 | bytes[i - 1];
    }
    return value;
}

bool IsZero(const uint8_t* bytes, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

PARTITION_INFORMATION_EX DecodeGptEntry(const uint8_t* entry, DWORD number)
{
    PARTITION_INFORMATION_EX info;
    memset(&info, 0, sizeof info);
    uint64_t first = ReadLittle(entry + 32, 8);
    uint64_t last = ReadLittle(entry + 40, 8);
    info.PartitionStyle = PARTITION_STYLE_GPT;
    info.StartingOffset.QuadPart = static_cast<int64_t>(first * kSectorSize);
    info.PartitionLength.QuadPart = last >= first ? static_cast<int64_t>((last - first + 1) * kSectorSize) : 0;
    info.PartitionNumber = number;
    info.Gpt.PartitionType = DecodeGuid(entry);
    info.Gpt.PartitionId = DecodeGuid(entry + 16);
    info.Gpt.Attributes = ReadLittle(entry + 48, 8);
    for (size_t i = 0; i < kGptNameUnits; ++i) {
        info.Gpt.Name[i] = static_cast<WCHAR>(ReadLittle(entry + kGptNameOffset + 2 * i, 2));
    }
    return info;
}

}  // namespace

bool ReadImageBytes(const std::string& path, uint64_t offset, size_t size, uint8_t* bytes, size_t* got,
                    int* errorNumber)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    *got = 0;
    *errorNumber = 0;
    if (fd < 0) {
        *errorNumber = errno;
        return false;
    }
    while (*got < size) {
        ssize_t n = pread(fd, bytes + *got, size - *got, static_cast<off_t>(offset + *got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            *errorNumber = n < 0 ? errno : 0;
            break;
        }
        *got += static_cast<size_t>(n);
    }
    close(fd);
    return *errorNumber == 0;
}

bool ReadImageHead(const std::string& path, ImageHead* head, int* errorNumber)
{
    uint8_t bytes[2 * kSectorSize] = {};
    size_t got = 0;
    if (!ReadImageBytes(path, 0, sizeof bytes, bytes, &got, errorNumber)) {
        return false;
    }
    if (got < kSectorSize) {
        *errorNumber = 0;
        return false;
    }
    memcpy(head->lba0.data(), bytes, kSectorSize);
    memcpy(head->lba1.data(), bytes + kSectorSize, kSectorSize);
    return true;
}

bool ImageFileSize(const std::string& path, uint64_t* size, int* errorNumber)
{
    struct stat facts;
    if (stat(path.c_str(), &facts) != 0) {
        *errorNumber = errno;
        return false;
    }
    *size = static_cast<uint64_t>(facts.st_size);
    return true;
}

DiskStyle StyleOfImage(const ImageHead& head)
{
    bool protective = false;
    for (unsigned slot = 0; slot < kMbrSlots; ++slot) {
        protective = protective || head.lba0[kEntriesOffset + slot * kEntrySize + 4] == kProtectiveMbrType;
    }
    if (protective && memcmp(head.lba1.data(), kEfiPart, 8) == 0) {
        return DiskStyle::Gpt;
    }
    return head.lba0[510] == 0x55 && head.lba0[511] == 0xAA ? DiskStyle::Mbr : DiskStyle::Raw;
}

GUID DecodeGuid(const uint8_t* bytes)
{
    GUID guid;
    guid.Data1 = static_cast<DWORD>(ReadLittle(bytes, 4));
    guid.Data2 = static_cast<WORD>(ReadLittle(bytes + 4, 2));
    guid.Data3 = static_cast<WORD>(ReadLittle(bytes + 6, 2));
    memcpy(guid.Data4, bytes + 8, 8);
    return guid;
}

GptHeader DecodeGptHeader(const Sector& lba1)
{
    const uint8_t* bytes = lba1.data();
    GptHeader header;
    header.headerSize = static_cast<uint32_t>(ReadLittle(bytes + 12, 4));
    header.crc = static_cast<uint32_t>(ReadLittle(bytes + kCrcOffset, 4));
    header.firstUsableLba = ReadLittle(bytes + 40, 8);
    header.lastUsableLba = ReadLittle(bytes + 48, 8);
    header.diskId = DecodeGuid(bytes + 56);
    header.entriesLba = ReadLittle(bytes + 72, 8);
    header.entryCount = static_cast<uint32_t>(ReadLittle(bytes + 80, 4));
    header.entrySize = static_cast<uint32_t>(ReadLittle(bytes + 84, 4));
    return header;
}

uint32_t Crc32(const uint8_t* bytes, size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

bool GptHeaderCrcHolds(const Sector& lba1)
{
    GptHeader header = DecodeGptHeader(lba1);
    if (header.headerSize < kGptHeaderLeast || header.headerSize > kSectorSize) {
        return false;
    }
    Sector copy = lba1;
    memset(copy.data() + kCrcOffset, 0, 4);
    return Crc32(copy.data(), header.headerSize) == header.crc;
}

std::string GptHeaderFault(const GptHeader& header, uint64_t fileSize)
{
    if (header.entrySize < kGptEntryLeast || header.entrySize > kGptEntryMost || header.entrySize % 8 != 0) {
        return "has a GPT partition entry size of " + std::to_string(header.entrySize);
    }
    if (header.entryCount > kGptEntriesMost) {
        return "has " + std::to_string(header.entryCount) + " GPT partition entries (at most 4096)";
    }
    uint64_t arrayBytes = uint64_t{header.entryCount} * header.entrySize;
    if (header.entriesLba > fileSize / kSectorSize || arrayBytes > fileSize - header.entriesLba * kSectorSize) {
        return "has GPT partition entries beyond its end";
    }
    return "";
}

bool ReadGptEntries(const std::string& path, const GptHeader& header, std::vector<PARTITION_INFORMATION_EX>* entries,
                    int* errorNumber)
{
    std::vector<uint8_t> array(size_t{header.entryCount} * header.entrySize);
    size_t got = 0;
    if (!ReadImageBytes(path, header.entriesLba * kSectorSize, array.size(), array.data(), &got, errorNumber) ||
        got != array.size()) {
        return false;
    }
    entries->clear();
    for (size_t i = 0; i < header.entryCount; ++i) {
        const uint8_t* entry = array.data() + i * header.entrySize;
        if (!IsZero(entry, 16)) {
            entries->push_back(DecodeGptEntry(entry, static_cast<DWORD>(entries->size() + 1)));
        }
    }
    return true;
}

}  // namespace sim::internal
