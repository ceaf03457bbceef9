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

DWORD LayoutSignature(const LayoutBuffer* layout);
void SetLayoutSignature(LayoutBuffer* layout, DWORD signature);
