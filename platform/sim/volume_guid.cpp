#include "platform/sim/volume_guid.h"

#include <stdio.h>

namespace sim::internal {

namespace {

const uint64_t kFnvPrime = 0x100000001b3ull;

// FNV-1a over the text; two different offset bases give the two halves.
uint64_t Fnv1a64(const std::string& text, uint64_t offsetBasis)
{
    uint64_t hash = offsetBasis;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= kFnvPrime;
    }
    return hash;
}

}  // namespace

std::string GuidPathFromGuid(const std::string& guid)
{
    return "\\\\?\\Volume" + guid + "\\";
}

std::string DerivedGuidPath(const std::string& volumeName)
{
    uint64_t high = Fnv1a64(volumeName, 0xcbf29ce484222325ull);
    uint64_t low = Fnv1a64(volumeName, 0x84222325cbf29ce4ull);
    char guid[40];
    snprintf(guid, sizeof guid, "{%08x-%04x-%04x-%04x-%012llx}",
             static_cast<unsigned>(high >> 32), static_cast<unsigned>((high >> 16) & 0xffff),
             static_cast<unsigned>(high & 0xffff), static_cast<unsigned>(low >> 48),
             static_cast<unsigned long long>(low & 0xffffffffffffull));
    return GuidPathFromGuid(guid);
}

uint32_t VolumeSerialNumber(const std::string& guidPath)
{
    return static_cast<uint32_t>(Fnv1a64(guidPath, 0xcbf29ce484222325ull));
}

}  // namespace sim::internal
