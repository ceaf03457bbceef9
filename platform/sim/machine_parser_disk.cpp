// The disk line: a disk held in memory (disk NUMBER signature HEX, gpt {GUID}
// or raw, with its options) or backed by an image (disk NUMBER image PATH).
#include "platform/sim/machine_parser_lines.h"

#include <filesystem>

#include <string.h>

#include "platform/sim/field_cursor.h"
#include "platform/sim/field_values.h"
#include "platform/sim/gpt_image.h"
#include "platform/sim/mbr_image.h"
#include "platform/sim/volume_guid.h"

namespace sim::internal {

namespace {

// More entries than any disk in practice, few enough to keep layouts small.
const uint32_t kMostPartitions = 4096;

std::string ResolveImagePath(const std::string& baseDir, const std::string& path)
{
    std::filesystem::path image(path);
    if (image.is_absolute() || baseDir.empty()) {
        return path;
    }
    return (std::filesystem::path(baseDir) / image).string();
}

std::string ImageFault(const std::string& written, const std::string& what)
{
    return "image " + written + " " + what;
}

// A GPT image is taken only with a primary header whose CRC32 holds and an
// entry array that lies within the file.
bool CheckGptHeader(const std::string& written, const std::string& resolved, const Sector& lba1,
                    std::string* fault)
{
    GptHeader header = DecodeGptHeader(lba1);
    if (header.headerSize < kGptHeaderLeast || header.headerSize > kSectorSize) {
        *fault = ImageFault(written, "has a GPT header size of " + std::to_string(header.headerSize));
        return false;
    }
    if (!GptHeaderCrcHolds(lba1)) {
        *fault = ImageFault(written, "has a GPT header whose CRC32 is wrong");
        return false;
    }
    uint64_t fileSize = 0;
    int errorNumber = 0;
    if (!ImageFileSize(resolved, &fileSize, &errorNumber)) {
        *fault = ImageFault(written, std::string("cannot be read: ") + strerror(errorNumber));
        return false;
    }
    std::string shape = GptHeaderFault(header, fileSize);
    if (!shape.empty()) {
        *fault = ImageFault(written, shape);
        return false;
    }
    return true;
}

bool CheckImage(const std::string& written, const std::string& resolved, std::string* fault)
{
    Sector sector{};
    int errorNumber = 0;
    switch (ReadFirstSector(resolved, &sector, &errorNumber)) {
    case ImageRead::Ok:
        break;
    case ImageRead::CannotRead:
        *fault = ImageFault(written, std::string("cannot be read: ") + strerror(errorNumber));
        return false;
    case ImageRead::TooShort:
        *fault = ImageFault(written, "is shorter than one 512-byte sector");
        return false;
    }
    ImageHead head;
    if (!ReadImageHead(resolved, &head, &errorNumber)) {
        *fault = ImageFault(written, std::string("cannot be read: ") + strerror(errorNumber));
        return false;
    }
    return StyleOfImage(head) != DiskStyle::Gpt || CheckGptHeader(written, resolved, head.lba1, fault);
}

// The named fields a memory disk may have, each at most once, before its
// attribute words.
struct DiskOptions {
    bool takesPartitions = false;
    bool partitionsSeen = false;
    bool sizeSeen = false;
    bool attributesStarted = false;
};

bool TakePartitionCount(FieldCursor* cursor, Disk* disk, std::string* fault)
{
    uint32_t count = 0;
    if (!cursor->TakeDecimal("partition count", &count, fault)) {
        return false;
    }
    if (count > kMostPartitions) {
        *fault = "bad partition count \"" + std::to_string(count) + "\" (at most 4096)";
        return false;
    }
    PARTITION_INFORMATION empty;
    memset(&empty, 0, sizeof empty);
    disk->entries.assign(count, empty);
    return true;
}

bool TakeSize(FieldCursor* cursor, Disk* disk, std::string* fault)
{
    std::string field;
    if (!cursor->Take("size", &field, fault)) {
        return false;
    }
    if (!ParseSize(field, &disk->size)) {
        *fault = "bad size " + Quoted(field) + " (want bytes, or a number followed by K, M, G or T)";
        return false;
    }
    return true;
}

bool TakeAttribute(const std::string& word, Disk* disk, std::string* fault)
{
    bool* flag = word == "offline" ? &disk->offline : &disk->readOnly;
    if (*flag) {
        *fault = word + " is given twice";
        return false;
    }
    *flag = true;
    return true;
}

// One field after the disk's kind: partitions, size, or an attribute word.
bool TakeDiskOption(FieldCursor* cursor, DiskOptions* options, Disk* disk, std::string* fault)
{
    std::string word;
    cursor->Take("field", &word, fault);
    if (word == "offline" || word == "readonly") {
        options->attributesStarted = true;
        return TakeAttribute(word, disk, fault);
    }
    bool* seen = word == "size" ? &options->sizeSeen : &options->partitionsSeen;
    bool named = word == "size" ? disk->imagePath.empty() : word == "partitions" && options->takesPartitions;
    if (!named) {
        *fault = "unexpected field " + Quoted(word);
        return false;
    }
    if (*seen || options->attributesStarted) {
        *fault = *seen ? word + " is given twice" : word + " must come before offline and readonly";
        return false;
    }
    *seen = true;
    return word == "size" ? TakeSize(cursor, disk, fault) : TakePartitionCount(cursor, disk, fault);
}

bool TakeDiskOptions(FieldCursor* cursor, bool takesPartitions, Disk* disk, std::string* fault)
{
    DiskOptions options;
    options.takesPartitions = takesPartitions;
    while (!cursor->AtEnd()) {
        if (!TakeDiskOption(cursor, &options, disk, fault)) {
            return false;
        }
    }
    return true;
}

// "signature HEX": an MBR disk held in memory, 4 entries unless told.
bool ParseMemoryDisk(FieldCursor* cursor, Disk* disk, std::string* fault)
{
    std::string field;
    if (!cursor->Take("signature", &field, fault)) {
        return false;
    }
    if (!ParseHex32(field, &disk->signature)) {
        *fault = "bad signature " + Quoted(field);
        return false;
    }
    PARTITION_INFORMATION empty;
    memset(&empty, 0, sizeof empty);
    disk->entries.assign(4, empty);
    return TakeDiskOptions(cursor, true, disk, fault);
}

// "gpt {GUID}": a GPT disk held in memory, with no partitions.
bool ParseMemoryGptDisk(FieldCursor* cursor, Disk* disk, std::string* fault)
{
    std::string field;
    if (!cursor->Take("disk GUID", &field, fault)) {
        return false;
    }
    if (!ParseGuid(field, &disk->diskId)) {
        *fault = "bad disk GUID " + Quoted(field);
        return false;
    }
    disk->style = DiskStyle::Gpt;
    return TakeDiskOptions(cursor, false, disk, fault);
}

bool ParseImageDisk(FieldCursor* cursor, const std::string& baseDir, Disk* disk, std::string* fault)
{
    std::string written;
    if (!cursor->Take("image path", &written, fault)) {
        return false;
    }
    disk->imagePath = ResolveImagePath(baseDir, written);
    return CheckImage(written, disk->imagePath, fault) && TakeDiskOptions(cursor, false, disk, fault);
}

bool ParseDiskKind(const std::string& kind, FieldCursor* cursor, const std::string& baseDir, Disk* disk,
                   std::string* fault)
{
    if (kind == "signature") {
        return ParseMemoryDisk(cursor, disk, fault);
    }
    if (kind == "gpt") {
        return ParseMemoryGptDisk(cursor, disk, fault);
    }
    if (kind == "raw") {
        disk->style = DiskStyle::Raw;
        return TakeDiskOptions(cursor, false, disk, fault);
    }
    if (kind == "image") {
        return ParseImageDisk(cursor, baseDir, disk, fault);
    }
    *fault = "unknown disk field " + Quoted(kind);
    return false;
}

}  // namespace

bool ParseDiskLine(const Fields& fields, ParseContext* context, std::string* fault)
{
    FieldCursor cursor(fields);
    std::string field;
    Disk disk;
    if (!cursor.TakeDecimal("disk number", &disk.number, fault)) {
        return false;
    }
    if (context->machine.disks.count(disk.number) != 0) {
        *fault = "disk " + std::to_string(disk.number) + " is defined twice";
        return false;
    }
    if (!cursor.Take("signature, gpt, raw or image", &field, fault) ||
        !ParseDiskKind(field, &cursor, context->baseDir, &disk, fault)) {
        return false;
    }
    context->machine.disks.emplace(disk.number, std::move(disk));
    return true;
}

}  // namespace sim::internal
