#include "report/volume_chain.h"

#include <string.h>

#include "base/text.h"

namespace {

// Where the innermost name starts.
size_t InnermostOffset(const VolumeChain* chain)
{
    if (chain->used == 0) {
        return 0;
    }
    size_t start = chain->used - 1;  // the innermost name's terminator
    while (start > 0 && chain->names[start - 1] != '\0') {
        --start;
    }
    return start;
}

}  // namespace

void ClearVolumeChain(VolumeChain* chain)
{
    chain->used = 0;
}

bool ChainHasRoomFor(const VolumeChain* chain, const char* volume)
{
    return strlen(volume) < kVolumeChainCapacity - chain->used;
}

bool PushVolume(VolumeChain* chain, const char* volume)
{
    if (!ChainHasRoomFor(chain, volume)) {
        return false;
    }
    Text slot = TextOver(chain->names + chain->used, kVolumeChainCapacity - chain->used);
    TextCopy(&slot, volume);
    chain->used += slot.length + 1;
    return true;
}

void PopVolume(VolumeChain* chain)
{
    chain->used = InnermostOffset(chain);
}

const char* InnermostVolume(const VolumeChain* chain)
{
    return chain->used == 0 ? "" : chain->names + InnermostOffset(chain);
}

bool ChainHoldsVolume(const VolumeChain* chain, const char* volume)
{
    for (size_t offset = 0; offset < chain->used; offset += strlen(chain->names + offset) + 1) {
        if (strcmp(chain->names + offset, volume) == 0) {
            return true;
        }
    }
    return false;
}
