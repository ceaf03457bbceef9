// What "-ld" learns about every physical disk: its layout (style and
// identifier), length, attributes and drive letters, or the step that failed.
#pragma once

#include <stdint.h>

#include "base/disk_list.h"
#include "platform/platform.h"

// The step of a disk's reading that failed; the later facts stay unknown.
enum class DiskStep { None, Open, Layout };

struct DiskEntry {
    DWORD number;
    DiskStep failedStep;
    int errorCode;      // of the failed step
    DWORD style;        // PARTITION_STYLE_MBR, _GPT or _RAW, once the layout is read
    DWORD signature;    // an MBR disk's
    GUID diskId;        // a GPT disk's
    bool sizeKnown;
    uint64_t size;      // bytes
    bool attributesKnown;
    DWORDLONG attributes;
    uint32_t letters;   // bit 0 for A: to bit 25 for Z:
};

struct DiskSurvey {
    DiskEntry disks[kMaxDisks];  // increasing numbers
    unsigned count;
    unsigned unlisted;  // disks past the survey's capacity
};

// Enumerates the disks, reads each through a read-only handle and finds
// the hard-disk letters on them. Returns 0, or the error code of the failed
// enumeration (then the survey is empty). A disk's own failures are kept in
// its entry and never end the survey.
int SurveyDisks(DiskSurvey* survey);

// Reads one disk into its entry, whose number is set.
void ReadDisk(DiskEntry* entry);

// An identifier two disks must not share: a nonzero MBR signature or a GPT
// disk GUID. A signature of 0 means none; Windows gives such a disk a new one.
bool HasIdentifier(const DiskEntry* disk);
bool SameIdentifier(const DiskEntry* a, const DiskEntry* b);

// True when the disk at index is the first of two or more that share an
// identifier; the others are the later disks with SameIdentifier.
bool StartsCollision(const DiskSurvey* survey, unsigned index);
bool HasCollision(const DiskSurvey* survey);
