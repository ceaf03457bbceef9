// What both kinds of "-ds" entry ask of a volume's device (opened with
// OpenDevice): the number of the physical drive that holds it, and that
// disk's signature.
#pragma once

#include "platform/platform.h"
#include "report/working_text.h"
#include "signature/layout_buffer.h"

// True with the number of the physical drive that holds the open volume.
bool ReadDeviceNumber(HANDLE volume, DWORD* deviceNumber);

// True with the signature of the disk that holds the open volume. The layout
// buffer is the caller's, so that a deep walk keeps none on its stack.
bool ReadDiskSignature(HANDLE volume, LayoutBuffer* layout, DWORD* signature);

// "Error opening %s. Error: %d: %s\n" for a failed open; named is what the
// entry shows as the thing that could not be opened.
void AppendOpenFailure(WorkingText* working, const char* named, int code);

// The piece that stands for the signature when the layout can't be read.
void AppendLayoutFailure(WorkingText* working, int code);
