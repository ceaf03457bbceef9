// GetVolumeInformationA and GetVolumeNameForVolumeMountPointA.
#include <string.h>

#include <string>

#include "platform/platform.h"
#include "platform/sim/call_accounting.h"
#include "platform/sim/error_codes.h"
#include "platform/sim/sim_state.h"
#include "platform/sim/text_compare.h"
#include "platform/sim/volume_guid.h"
#include "platform/sim/volume_paths.h"

using namespace sim::internal;

namespace {

const DWORD kMaximumComponentLength = 255;
// Case preserved and Unicode on disk; NTFS adds case sensitivity, ACLs,
// compression, quotas, sparse files, reparse points, object ids, encryption.
const DWORD kFatFlags = 0x00000006;
const DWORD kNtfsFlags = 0x000300ff;

DWORD VolumeInformationError(const ResolvedPath& resolved)
{
    switch (resolved.end) {
    case PathEnd::Volume:
        break;
    case PathEnd::NotAMountPoint:
        return kErrorDirNotRoot;
    case PathEnd::NoVolume:
        return kErrorNotReady;
    case PathEnd::Unknown:
        return kErrorPathNotFound;
    }
    return Current().machine.volumes[resolved.volume].fileSystem ? 0 : kErrorUnrecognizedVolume;
}

// A text is copied only when it fits with its terminator.
bool Fits(const char* buffer, DWORD size, const std::string& text)
{
    return buffer == nullptr || text.size() < size;
}

void CopyText(char* buffer, const std::string& text)
{
    if (buffer != nullptr) {
        memcpy(buffer, text.c_str(), text.size() + 1);
    }
}

void StoreNumber(DWORD* out, DWORD value)
{
    if (out != nullptr) {
        *out = value;
    }
}

BOOL Fail(DWORD error)
{
    SetLastErrorCode(error);
    return FALSE;
}

}  // namespace

BOOL GetVolumeInformationA(LPCSTR rootPathName, LPSTR volumeNameBuffer, DWORD volumeNameSize,
                           LPDWORD volumeSerialNumber, LPDWORD maximumComponentLength, LPDWORD fileSystemFlags,
                           LPSTR fileSystemNameBuffer, DWORD fileSystemNameSize)
{
    std::string path = TextOrNull(rootPathName);
    if (!StartCall("GetVolumeInformationA", path, FaultOperation::VolumeInfo, path)) {
        return FALSE;
    }
    ResolvedPath resolved = rootPathName ? ResolveVolumePath(Current().machine, path) : ResolvedPath{};
    if (DWORD error = VolumeInformationError(resolved)) {
        return Fail(error);
    }
    const Volume& volume = Current().machine.volumes[resolved.volume];
    const std::string& fileSystem = *volume.fileSystem;
    if (!Fits(volumeNameBuffer, volumeNameSize, volume.label) ||
        !Fits(fileSystemNameBuffer, fileSystemNameSize, fileSystem)) {
        return Fail(kErrorBadLength);
    }
    CopyText(volumeNameBuffer, volume.label);
    CopyText(fileSystemNameBuffer, fileSystem);
    StoreNumber(volumeSerialNumber, VolumeSerialNumber(volume.guidPath));
    StoreNumber(maximumComponentLength, kMaximumComponentLength);
    StoreNumber(fileSystemFlags, EqualIgnoringCase(fileSystem, "NTFS") ? kNtfsFlags : kFatFlags);
    return TRUE;
}

BOOL GetVolumeNameForVolumeMountPointA(LPCSTR volumeMountPoint, LPSTR volumeName, DWORD bufferLength)
{
    std::string path = TextOrNull(volumeMountPoint);
    if (!StartCall("GetVolumeNameForVolumeMountPointA", path, FaultOperation::VolumeName, path)) {
        return FALSE;
    }
    ResolvedPath resolved = volumeMountPoint ? ResolveVolumePath(Current().machine, path) : ResolvedPath{};
    if (resolved.end == PathEnd::NotAMountPoint) {
        return Fail(kErrorNotAReparsePoint);
    }
    if (resolved.end != PathEnd::Volume) {
        return Fail(kErrorFileNotFound);
    }
    const std::string& guidPath = Current().machine.volumes[resolved.volume].guidPath;
    if (volumeName == nullptr || guidPath.size() >= bufferLength) {
        return Fail(kErrorInsufficientBuffer);
    }
    CopyText(volumeName, guidPath);
    return TRUE;
}
