// The version and disk lines.
#include "platform/sim/machine_parser_lines.h"

#include <filesystem>

#include <string.h>

#include "platform/sim/field_cursor.h"
#include "platform/sim/field_values.h"
#include "platform/sim/mbr_image.h"
#include "platform/sim/volume_guid.h"

namespace sim::internal {

namespace {

// More entries than any disk in practice, few enough to keep layouts small.
const uint32_t kMostPartitions = 4096;

std::string Quoted(const std::string& field)
{
    return "\"" + field + "\"";
}

std::string ResolveImagePath(const std::string& baseDir, const std::string& path)
{
    std::filesystem::path image(path);
    if (image.is_absolute() || baseDir.empty()) {
        return path;
    }
    return (std::filesystem::path(baseDir) / image).string();
}

bool CheckImage(const std::string& written, const std::string& resolved, std::string* fault)
{
    Sector sector{};
    int errorNumber = 0;
    switch (ReadFirstSector(resolved, &sector, &errorNumber)) {
    case ImageRead::Ok:
        return true;
    case ImageRead::CannotRead:
        *fault = "image " + written + " cannot be read: " + strerror(errorNumber);
        return false;
    case ImageRead::TooShort:
        *fault = "image " + written + " is shorter than one 512-byte sector";
        return false;
    }
    return false;
}

// "partitions COUNT" after a memory disk's signature; 4 when absent.
bool TakePartitionCount(FieldCursor* cursor, uint32_t* count, std::string* fault)
{
    *count = 4;
    if (cursor->AtEnd()) {
        return true;
    }
    std::string field;
    cursor->Take("partitions", &field, fault);
    if (field != "partitions") {
        *fault = "unexpected field " + Quoted(field);
        return false;
    }
    if (!cursor->TakeDecimal("partition count", count, fault)) {
        return false;
    }
    if (*count > kMostPartitions) {
        *fault = "bad partition count \"" + std::to_string(*count) + "\" (at most 4096)";
        return false;
    }
    return true;
}

// "signature HEX [partitions COUNT]": a disk held in memory.
bool ParseMemoryDisk(FieldCursor* cursor, Disk* disk, std::string* fault)
{
    std::string field;
    uint32_t count = 0;
    if (!cursor->Take("signature", &field, fault)) {
        return false;
    }
    if (!ParseHex32(field, &disk->signature)) {
        *fault = "bad signature " + Quoted(field);
        return false;
    }
    if (!TakePartitionCount(cursor, &count, fault)) {
        return false;
    }
    PARTITION_INFORMATION empty;
    memset(&empty, 0, sizeof empty);
    disk->entries.assign(count, empty);
    return cursor->Finish(fault);
}

bool ParseImageDisk(FieldCursor* cursor, const std::string& baseDir, Disk* disk, std::string* fault)
{
    std::string written;
    if (!cursor->Take("image path", &written, fault)) {
        return false;
    }
    disk->imagePath = ResolveImagePath(baseDir, written);
    return CheckImage(written, disk->imagePath, fault) && cursor->Finish(fault);
}

}  // namespace

bool ParseVersionLine(const Fields& fields, ParseContext* context, std::string* fault)
{
    FieldCursor cursor(fields);
    std::string field;
    if (!cursor.Take("version number", &field, fault)) {
        return false;
    }
    if (!ParseVersion(field, &context->machine.major, &context->machine.minor)) {
        *fault = "bad version " + Quoted(field) + " (want MAJOR.MINOR)";
        return false;
    }
    if (context->versionSeen) {
        *fault = "version is defined twice";
        return false;
    }
    context->versionSeen = true;
    return cursor.Finish(fault);
}

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
    if (!cursor.Take("signature or image", &field, fault)) {
        return false;
    }
    bool parsed = false;
    if (field == "signature") {
        parsed = ParseMemoryDisk(&cursor, &disk, fault);
    } else if (field == "image") {
        parsed = ParseImageDisk(&cursor, context->baseDir, &disk, fault);
    } else {
        *fault = "unknown disk field " + Quoted(field);
    }
    if (parsed) {
        context->machine.disks.emplace(disk.number, std::move(disk));
    }
    return parsed;
}

}  // namespace sim::internal
