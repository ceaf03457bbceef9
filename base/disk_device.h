// Disk access shared by every command: opening a disk or volume by its device
// path, the number of the physical drive behind it, and the drive layout with
// the signature it carries.
#pragma once

#include "platform/platform.h"

// The buffer that receives a disk's DRIVE_LAYOUT_INFORMATION: the 8-byte head
// and room for 63 partition entries of 32 bytes.
const DWORD kLayoutBufferSize = 2048;

struct LayoutBuffer {
    alignas(8) unsigned char bytes[kLayoutBufferSize];
};

// Opens a disk or volume by its device path for reading and writing, shared
// with other openers; INVALID_HANDLE_VALUE on failure, with the reason in
// GetLastError.
HANDLE OpenDevice(const char* devicePath);

// True with the number of the physical drive that holds the open disk or
// volume. False on failure, with the reason in GetLastError.
bool ReadDeviceNumber(HANDLE device, DWORD* deviceNumber);

// Clears the buffer, so that nothing stale goes back to the driver, and reads
// the drive layout of the disk behind the open disk or volume into it. False
// on failure, with the reason in GetLastError.
bool ReadLayout(HANDLE device, LayoutBuffer* layout);

// True with the signature of the disk behind the open disk or volume. The
// layout buffer is the caller's, so that a deep walk keeps none on its stack.
bool ReadDiskSignature(HANDLE device, LayoutBuffer* layout, DWORD* signature);

// Puts the signature into the layout, for writing it back.
void SetLayoutSignature(LayoutBuffer* layout, DWORD signature);
