// The "-ld" table: a header, one line per disk with its columns aligned and
// no trailing spaces, then two lines for each collision. The identifier comes
// last, so that only a GPT disk's 38-character GUID takes a line past 80
// columns; a failed disk's step and error text stand in for its style and
// identifier at the end of its line.
#include <string.h>

#include "base/error_text.h"
#include "base/whole_disk.h"
#include "disks/listing.h"

namespace {

enum Column { kDisk, kSize, kState, kLetters, kStyle, kIdentifier, kColumns };

const char* const kHeaders[kColumns] = {"DISK", "SIZE", "STATE", "LETTERS", "STYLE", "IDENTIFIER"};
const size_t kGap = 2;

// Holds the widest cell: a failure's step and error text, or 26 letters.
const size_t kCellCapacity = 160;

struct Widths {
    size_t of[kColumns];
};

bool Failed(const DiskEntry* disk)
{
    return disk->failedStep != DiskStep::None;
}

void FormatFailure(const DiskEntry* disk, Text* cell)
{
    const char* errorText = ErrorText(disk->errorCode);
    TextFormatF(cell, "%s:%s%s", StepName(disk->failedStep), errorText[0] == ' ' ? "" : " ",
                errorText);
}

void FormatIdentifier(const DiskEntry* disk, Text* cell)
{
    if (Failed(disk)) {
        return;
    }
    if (disk->style == PARTITION_STYLE_MBR) {
        TextFormatF(cell, "%08X", static_cast<unsigned>(disk->signature));
    } else if (disk->style == PARTITION_STYLE_GPT) {
        AppendGuid(cell, &disk->diskId);
    } else {
        TextCopy(cell, "-");
    }
}

void FormatState(const DiskEntry* disk, Text* cell)
{
    if (!disk->attributesKnown) {
        TextCopy(cell, "?");
        return;
    }
    bool offline = (disk->attributes & DISK_ATTRIBUTE_OFFLINE) != 0;
    bool readOnly = (disk->attributes & DISK_ATTRIBUTE_READ_ONLY) != 0;
    TextFormatF(cell, "%s%s", offline ? "offline" : "online", readOnly ? " read-only" : "");
}

void FormatLetters(const DiskEntry* disk, Text* cell)
{
    for (int letter = 0; letter < 26; ++letter) {
        if ((disk->letters & (1u << letter)) != 0) {
            TextAppendF(cell, "%s%c:", cell->length == 0 ? "" : " ", 'A' + letter);
        }
    }
}

// A failed disk's style cell holds its step and error text, which stand in
// for the style and the identifier; it has no identifier cell.
void FormatCell(const DiskEntry* disk, int column, Text* cell)
{
    TextCut(cell, 0);
    if (column == kDisk) {
        TextFormatF(cell, "physicaldrive%u", static_cast<unsigned>(disk->number));
    } else if (column == kStyle && Failed(disk)) {
        FormatFailure(disk, cell);
    } else if (column == kStyle) {
        TextCopy(cell, StyleName(disk->style));
    } else if (column == kIdentifier) {
        FormatIdentifier(disk, cell);
    } else if (column == kSize && disk->sizeKnown) {
        FormatSize(disk->size, cell);
    } else if (column == kSize) {
        TextCopy(cell, "?");
    } else if (column == kState) {
        FormatState(disk, cell);
    } else {
        FormatLetters(disk, cell);
    }
}

// Every column as wide as its widest cell. A failure text is the last cell
// of its line and widens nothing.
Widths MeasureColumns(const DiskSurvey* survey, Text* cell)
{
    Widths widths;
    for (int column = 0; column < kColumns; ++column) {
        widths.of[column] = strlen(kHeaders[column]);
    }
    for (unsigned i = 0; i < survey->count; ++i) {
        const DiskEntry* disk = &survey->disks[i];
        for (int column = 0; column < kStyle + (Failed(disk) ? 0 : 1); ++column) {
            FormatCell(disk, column, cell);
            if (cell->length > widths.of[column]) {
                widths.of[column] = cell->length;
            }
        }
    }
    return widths;
}

// The last cell of a line is written without padding.
void WriteCell(Listing* listing, const char* text, size_t width, bool rightAligned, bool last)
{
    int field = static_cast<int>(width);
    if (last) {
        ListingAppendF(listing, "%s\n", text);
    } else if (rightAligned) {
        ListingAppendF(listing, "%*s%*s", field, text, static_cast<int>(kGap), "");
    } else {
        ListingAppendF(listing, "%-*s%*s", field, text, static_cast<int>(kGap), "");
    }
}

void WriteHeader(Listing* listing, const Widths* widths)
{
    for (int column = 0; column < kColumns; ++column) {
        WriteCell(listing, kHeaders[column], widths->of[column], column == kSize,
                  column == kIdentifier);
    }
}

void WriteDiskLine(Listing* listing, const Widths* widths, const DiskEntry* disk, Text* cell)
{
    int lastColumn = Failed(disk) ? kStyle : kIdentifier;
    for (int column = 0; column <= lastColumn; ++column) {
        FormatCell(disk, column, cell);
        WriteCell(listing, cell->chars, widths->of[column], column == kSize, column == lastColumn);
    }
}

void WriteCollision(Listing* listing, const DiskSurvey* survey, unsigned first)
{
    const DiskEntry* disks = survey->disks;
    ListingAppendF(listing, "COLLISION:");
    for (unsigned i = first; i < survey->count; ++i) {
        if (i == first || SameIdentifier(&disks[first], &disks[i])) {
            ListingAppendF(listing, " physicaldrive%u", static_cast<unsigned>(disks[i].number));
        }
    }
    unsigned change = disks[DiskToChange(survey, first)].number;
    const char* identifier = "signature";
    if (disks[first].style == PARTITION_STYLE_MBR) {
        ListingAppendF(listing, " share signature %08X\n",
                       static_cast<unsigned>(disks[first].signature));
    } else {
        identifier = "disk GUID";
        ListingAppendF(listing, " share disk GUID ");
        ListingAppendGuid(listing, &disks[first].diskId);
        ListingAppendF(listing, "\n");
    }
    ListingAppendF(listing,
                   "FIX: disksig -us physicaldrive%u (a new unique %s, verified;"
                   " offline is fine)\n",
                   change, identifier);
}

}  // namespace

void WriteHumanListing(const DiskSurvey* survey, Listing* listing)
{
    char cellStorage[kCellCapacity];
    Text cell = TextOver(cellStorage, sizeof cellStorage);
    Widths widths = MeasureColumns(survey, &cell);
    WriteHeader(listing, &widths);
    for (unsigned i = 0; i < survey->count; ++i) {
        WriteDiskLine(listing, &widths, &survey->disks[i], &cell);
    }
    for (unsigned i = 0; i < survey->count; ++i) {
        if (StartsCollision(survey, i)) {
            WriteCollision(listing, survey, i);
        }
    }
    if (survey->unlisted != 0) {
        ListingAppendF(listing,
                       "NOT LISTED: %u more disks past the first %u;"
                       " their collisions are not checked\n",
                       survey->unlisted, kMaxDisks);
    }
}
