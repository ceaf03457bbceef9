// The "-ld json" document: the disks in increasing number, then the
// collisions, then the count of disks left out, one disk per line.
#include "base/error_text.h"
#include "base/whole_disk.h"
#include "disks/listing.h"

namespace {

const char* Boolean(bool value)
{
    return value ? "true" : "false";
}

// A JSON string: quotes, backslashes and control characters escaped, every
// other byte (those above 127 too) as it comes.
void AppendJsonString(Listing* listing, const char* text)
{
    ListingAppendF(listing, "\"");
    const char* run = text;
    for (const char* c = text;; ++c) {
        unsigned char byte = static_cast<unsigned char>(*c);
        bool plain = byte >= 0x20 && byte != '"' && byte != '\\';
        if (byte != 0 && plain) {
            continue;
        }
        ListingAppendF(listing, "%.*s", static_cast<int>(c - run), run);
        run = c + 1;
        if (byte == 0) {
            break;
        }
        if (byte == '"' || byte == '\\') {
            ListingAppendF(listing, "\\%c", byte);
        } else {
            ListingAppendF(listing, "\\u%04X", byte);
        }
    }
    ListingAppendF(listing, "\"");
}

void AppendIdentifiers(Listing* listing, const DiskEntry* disk)
{
    bool read = disk->failedStep == DiskStep::None;
    if (!read) {
        ListingAppendF(listing, "\"style\": null, \"signature\": null, \"guid\": null, ");
        return;
    }
    ListingAppendF(listing, "\"style\": \"%s\", ", StyleName(disk->style));
    if (disk->style == PARTITION_STYLE_MBR) {
        ListingAppendF(listing, "\"signature\": \"%08X\", \"guid\": null, ",
                       static_cast<unsigned>(disk->signature));
    } else if (disk->style == PARTITION_STYLE_GPT) {
        ListingAppendF(listing, "\"signature\": null, \"guid\": \"");
        ListingAppendGuid(listing, &disk->diskId);
        ListingAppendF(listing, "\", ");
    } else {
        ListingAppendF(listing, "\"signature\": null, \"guid\": null, ");
    }
}

void AppendSizeAndState(Listing* listing, const DiskEntry* disk)
{
    if (disk->sizeKnown) {
        ListingAppendF(listing, "\"size\": %llu, ", static_cast<unsigned long long>(disk->size));
    } else {
        ListingAppendF(listing, "\"size\": null, ");
    }
    if (disk->attributesKnown) {
        ListingAppendF(listing, "\"offline\": %s, \"readonly\": %s, ",
                       Boolean((disk->attributes & DISK_ATTRIBUTE_OFFLINE) != 0),
                       Boolean((disk->attributes & DISK_ATTRIBUTE_READ_ONLY) != 0));
    } else {
        ListingAppendF(listing, "\"offline\": null, \"readonly\": null, ");
    }
}

void AppendLettersAndError(Listing* listing, const DiskEntry* disk)
{
    ListingAppendF(listing, "\"letters\": [");
    const char* separator = "";
    for (int letter = 0; letter < 26; ++letter) {
        if ((disk->letters & (1u << letter)) != 0) {
            ListingAppendF(listing, "%s\"%c:\"", separator, 'A' + letter);
            separator = ", ";
        }
    }
    ListingAppendF(listing, "], \"error\": ");
    if (disk->failedStep == DiskStep::None) {
        ListingAppendF(listing, "null}");
        return;
    }
    ListingAppendF(listing, "{\"step\": \"%s\", \"code\": %d, \"text\": ",
                   StepName(disk->failedStep), disk->errorCode);
    AppendJsonString(listing, ErrorText(disk->errorCode));
    ListingAppendF(listing, "}}");
}

void AppendDisk(Listing* listing, const DiskEntry* disk)
{
    ListingAppendF(listing, "  {\"number\": %u, \"device\": \"physicaldrive%u\", ",
                   static_cast<unsigned>(disk->number), static_cast<unsigned>(disk->number));
    AppendIdentifiers(listing, disk);
    AppendSizeAndState(listing, disk);
    AppendLettersAndError(listing, disk);
}

void AppendCollision(Listing* listing, const DiskSurvey* survey, unsigned first)
{
    const DiskEntry* disks = survey->disks;
    if (disks[first].style == PARTITION_STYLE_MBR) {
        ListingAppendF(listing, "{\"kind\": \"signature\", \"identifier\": \"%08X\", \"disks\": [",
                       static_cast<unsigned>(disks[first].signature));
    } else {
        ListingAppendF(listing, "{\"kind\": \"guid\", \"identifier\": \"");
        ListingAppendGuid(listing, &disks[first].diskId);
        ListingAppendF(listing, "\", \"disks\": [");
    }
    for (unsigned i = first; i < survey->count; ++i) {
        if (i == first || SameIdentifier(&disks[first], &disks[i])) {
            ListingAppendF(listing, "%s%u", i == first ? "" : ", ",
                           static_cast<unsigned>(disks[i].number));
        }
    }
    ListingAppendF(listing, "]}");
}

}  // namespace

void WriteJsonListing(const DiskSurvey* survey, Listing* listing)
{
    ListingAppendF(listing, "{\"disks\": [\n");
    for (unsigned i = 0; i < survey->count; ++i) {
        AppendDisk(listing, &survey->disks[i]);
        ListingAppendF(listing, "%s\n", i + 1 < survey->count ? "," : "");
    }
    ListingAppendF(listing, " ],\n \"collisions\": [");
    const char* separator = "";
    for (unsigned i = 0; i < survey->count; ++i) {
        if (StartsCollision(survey, i)) {
            ListingAppendF(listing, "%s", separator);
            AppendCollision(listing, survey, i);
            separator = ", ";
        }
    }
    ListingAppendF(listing, "],\n \"unlisted\": %u}\n", survey->unlisted);
}
