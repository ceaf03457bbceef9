// The "-ld" listing as it is written into the report: the human table or the
// JSON document, piece by piece.
#pragma once

#include <stdint.h>

#include "base/text.h"
#include "disks/disk_survey.h"

// A listing either goes into its text whole or is marked full: the first
// piece that does not fit is refused, and so is every piece after it.
struct Listing {
    Text* text;
    bool full;
};

Listing ListingOver(Text* text);
void ListingAppendF(Listing* listing, const char* format, ...) TEXT_PRINTF_FORMAT(2, 3);
void ListingAppendGuid(Listing* listing, const GUID* guid);

// "MBR", "GPT" or "RAW".
const char* StyleName(DWORD style);

// The step's name as the listing shows it: "open" or "layout".
const char* StepName(DiskStep step);

// The size in binary units, see FormatSize in listing.cpp.
void FormatSize(uint64_t size, Text* cell);

// The disk that a collision's fix line names: the first offline one of the
// group (Windows took it offline for the collision), else the last.
unsigned DiskToChange(const DiskSurvey* survey, unsigned first);

void WriteHumanListing(const DiskSurvey* survey, Listing* listing);
void WriteJsonListing(const DiskSurvey* survey, Listing* listing);
