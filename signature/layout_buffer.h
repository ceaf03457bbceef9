// The buffer that receives a disk's DRIVE_LAYOUT_INFORMATION: the 8-byte head
// and room for 63 partition entries of 32 bytes.
#pragma once

#include "platform/platform.h"

const DWORD kLayoutBufferSize = 2048;

struct LayoutBuffer {
    alignas(8) unsigned char bytes[kLayoutBufferSize];
};

// Clears the whole buffer, so that nothing stale goes back to the driver.
void ClearLayout(LayoutBuffer* layout);

// Opens a disk or volume by its device path for reading and writing, shared
// with other openers; INVALID_HANDLE_VALUE on failure, with the reason in
// GetLastError.
HANDLE OpenDevice(const char* devicePath);

// Clears the buffer and reads the drive layout of the disk behind the open
// disk or volume into it. False on failure, with the reason in GetLastError.
bool ReadLayout(HANDLE device, LayoutBuffer* layout);

DWORD LayoutSignature(const LayoutBuffer* layout);
void SetLayoutSignature(LayoutBuffer* layout, DWORD signature);
