// What the disks commands read from a whole disk: a read-only open, the
// extended drive layout (MBR, GPT or RAW), the disk's length and attributes,
// and the GUID as Windows writes it.
#pragma once

#include <stdint.h>

#include "base/text.h"
#include "platform/platform.h"

// The extended layout buffer: the 48-byte head and up to this many entries
// of 144 bytes. The read starts with room for kLayoutExFirstEntries and
// doubles it while the layout doesn't fit; a layout of more entries fails
// with 122 (ERROR_INSUFFICIENT_BUFFER).
const DWORD kLayoutExFirstEntries = 16;
const DWORD kLayoutExMaxEntries = 256;
const DWORD kLayoutExHeadSize = 48;
const DWORD kLayoutExEntrySize = 144;
const DWORD kLayoutExBufferSize = kLayoutExHeadSize + kLayoutExMaxEntries * kLayoutExEntrySize;

struct LayoutExBuffer {
    alignas(8) unsigned char bytes[kLayoutExBufferSize];
    DWORD size;  // the bytes the last read offered the driver
};

// Opens a disk or volume by its device path for reading only (GENERIC_READ,
// shared for reading and writing); INVALID_HANDLE_VALUE on failure, with the
// reason in GetLastError.
HANDLE OpenDeviceForReading(const char* devicePath);

// Reads IOCTL_DISK_GET_DRIVE_LAYOUT_EX into the buffer, growing the room
// offered while the driver answers 122. False on failure, with the reason in
// GetLastError.
bool ReadLayoutEx(HANDLE device, LayoutExBuffer* layout);

// The head of a layout read by ReadLayoutEx.
DWORD LayoutExStyle(const LayoutExBuffer* layout);
DWORD LayoutExPartitionCount(const LayoutExBuffer* layout);
DWORD LayoutExSignature(const LayoutExBuffer* layout);
GUID LayoutExDiskId(const LayoutExBuffer* layout);

// True with the disk's length in bytes (IOCTL_DISK_GET_LENGTH_INFO). False
// when the read fails or reports a negative length.
bool ReadDiskLength(HANDLE disk, uint64_t* length);

// True with the disk's attribute bits (IOCTL_DISK_GET_DISK_ATTRIBUTES):
// DISK_ATTRIBUTE_OFFLINE, DISK_ATTRIBUTE_READ_ONLY.
bool ReadDiskAttributes(HANDLE disk, DWORDLONG* attributes);

// Appends {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, upper case, as Windows shows
// a GUID; false, and the text as it was, when it doesn't fit.
bool AppendGuid(Text* text, const GUID* guid);

bool GuidsEqual(const GUID* a, const GUID* b);
