// Writing a GPT image's disk GUID: both headers, each with its CRC32 again.
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include "platform/sim/gpt_image.h"

namespace sim::internal {

namespace {

const size_t kCrcOffset = 16;
const size_t kBackupLbaOffset = 32;
const size_t kDiskIdOffset = 56;

void EncodeGuid(const GUID& guid, uint8_t* bytes)
{
    for (size_t i = 0; i < 4; ++i) {
        bytes[i] = static_cast<uint8_t>(guid.Data1 >> (8 * i));
    }
    for (size_t i = 0; i < 2; ++i) {
        bytes[4 + i] = static_cast<uint8_t>(guid.Data2 >> (8 * i));
        bytes[6 + i] = static_cast<uint8_t>(guid.Data3 >> (8 * i));
    }
    memcpy(bytes + 8, guid.Data4, 8);
}

uint64_t ReadLittle64(const uint8_t* bytes)
{
    uint64_t value = 0;
    for (size_t i = 8; i > 0; --i) {
        value = value << 8 | bytes[i - 1];
    }
    return value;
}

// The header with the new GUID and the CRC32 of its headerSize bytes.
void PutDiskId(const GUID& diskId, Sector* header)
{
    uint32_t headerSize = DecodeGptHeader(*header).headerSize;
    EncodeGuid(diskId, header->data() + kDiskIdOffset);
    memset(header->data() + kCrcOffset, 0, 4);
    uint32_t crc = Crc32(header->data(), headerSize);
    for (size_t i = 0; i < 4; ++i) {
        (*header)[kCrcOffset + i] = static_cast<uint8_t>(crc >> (8 * i));
    }
}

bool IsUsableHeader(const Sector& header)
{
    uint32_t headerSize = DecodeGptHeader(header).headerSize;
    return memcmp(header.data(), "EFI PART", 8) == 0 && headerSize >= kGptHeaderLeast && headerSize <= kSectorSize;
}

bool WriteImageSector(const std::string& path, uint64_t lba, const Sector& sector, int* errorNumber)
{
    int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        *errorNumber = errno;
        return false;
    }
    ssize_t written = pwrite(fd, sector.data(), sector.size(), static_cast<off_t>(lba * kSectorSize));
    *errorNumber = written < 0 ? errno : EIO;
    bool whole = written == static_cast<ssize_t>(sector.size());
    if (close(fd) != 0 && whole) {
        *errorNumber = errno;
        return false;
    }
    return whole;
}

bool ReadImageSector(const std::string& path, uint64_t lba, Sector* sector, int* errorNumber)
{
    size_t got = 0;
    if (!ReadImageBytes(path, lba * kSectorSize, sector->size(), sector->data(), &got, errorNumber)) {
        return false;
    }
    return got == sector->size();
}

}  // namespace

GptWrite WriteGptDiskId(const std::string& path, const GUID& diskId, int* errorNumber)
{
    Sector primary{};
    Sector backup{};
    *errorNumber = 0;
    if (!ReadImageSector(path, 1, &primary, errorNumber) || !IsUsableHeader(primary)) {
        return *errorNumber != 0 ? GptWrite::CannotAccess : GptWrite::NoUsableHeaders;
    }
    uint64_t backupLba = ReadLittle64(primary.data() + kBackupLbaOffset);
    if (backupLba <= 1 || !ReadImageSector(path, backupLba, &backup, errorNumber) || !IsUsableHeader(backup)) {
        return *errorNumber != 0 ? GptWrite::CannotAccess : GptWrite::NoUsableHeaders;
    }
    PutDiskId(diskId, &primary);
    PutDiskId(diskId, &backup);
    if (!WriteImageSector(path, 1, primary, errorNumber) || !WriteImageSector(path, backupLba, backup, errorNumber)) {
        return GptWrite::CannotAccess;
    }
    return GptWrite::Ok;
}

}  // namespace sim::internal
