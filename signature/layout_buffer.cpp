#include "signature/layout_buffer.h"

#include <stddef.h>
#include <string.h>

static_assert(sizeof(PARTITION_INFORMATION) == 32, "a layout entry is 32 bytes");
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION, PartitionEntry) == 8, "the layout head is 8 bytes");

void ClearLayout(LayoutBuffer* layout)
{
    memset(layout->bytes, 0, sizeof layout->bytes);
}

DWORD LayoutSignature(const LayoutBuffer* layout)
{
    DWORD signature;
    memcpy(&signature, layout->bytes + offsetof(DRIVE_LAYOUT_INFORMATION, Signature),
           sizeof signature);
    return signature;
}

void SetLayoutSignature(LayoutBuffer* layout, DWORD signature)
{
    memcpy(layout->bytes + offsetof(DRIVE_LAYOUT_INFORMATION, Signature), &signature,
           sizeof signature);
}
