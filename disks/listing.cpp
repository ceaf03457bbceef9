#include "disks/listing.h"

#include <stdarg.h>

#include "base/whole_disk.h"

namespace {

const uint64_t kKibibyte = 1024;
const char* const kUnits[] = {"KiB", "MiB", "GiB", "TiB"};
const unsigned kLargestUnit = 3;

bool IsOffline(const DiskEntry* disk)
{
    return disk->attributesKnown && (disk->attributes & DISK_ATTRIBUTE_OFFLINE) != 0;
}

}  // namespace

Listing ListingOver(Text* text)
{
    return Listing{text, false};
}

void ListingAppendF(Listing* listing, const char* format, ...)
{
    if (listing->full) {
        return;
    }
    va_list args;
    va_start(args, format);
    listing->full = !TextAppendV(listing->text, format, args);
    va_end(args);
}

void ListingAppendGuid(Listing* listing, const GUID* guid)
{
    if (!listing->full) {
        listing->full = !AppendGuid(listing->text, guid);
    }
}

const char* StyleName(DWORD style)
{
    switch (style) {
    case PARTITION_STYLE_MBR:
        return "MBR";
    case PARTITION_STYLE_GPT:
        return "GPT";
    default:
        return "RAW";
    }
}

const char* StepName(DiskStep step)
{
    return step == DiskStep::Open ? "open" : "layout";
}

// Under 1 KiB the exact bytes ("512 B"); otherwise the largest unit, up to
// TiB, that the size reaches, rounded half up to one decimal ("465.8 GiB").
// A value that rounds to 1024.0 is shown as 1.0 of the next unit.
void FormatSize(uint64_t size, Text* cell)
{
    if (size < kKibibyte) {
        TextFormatF(cell, "%llu B", static_cast<unsigned long long>(size));
        return;
    }
    unsigned unit = 0;
    uint64_t unitBytes = kKibibyte;
    while (unit < kLargestUnit && size / unitBytes >= kKibibyte) {
        unitBytes *= kKibibyte;
        ++unit;
    }
    uint64_t whole = size / unitBytes;
    uint64_t tenths = ((size % unitBytes) * 10 + unitBytes / 2) / unitBytes;
    if (tenths == 10) {
        ++whole;
        tenths = 0;
    }
    if (whole == kKibibyte && unit < kLargestUnit) {
        whole = 1;
        ++unit;
    }
    TextFormatF(cell, "%llu.%llu %s", static_cast<unsigned long long>(whole),
                static_cast<unsigned long long>(tenths), kUnits[unit]);
}

unsigned DiskToChange(const DiskSurvey* survey, unsigned first)
{
    const DiskEntry* disks = survey->disks;
    unsigned last = first;
    for (unsigned i = first; i < survey->count; ++i) {
        if (i != first && !SameIdentifier(&disks[first], &disks[i])) {
            continue;
        }
        if (IsOffline(&disks[i])) {
            return i;
        }
        last = i;
    }
    return last;
}
