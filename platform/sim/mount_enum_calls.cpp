// FindFirstVolumeMountPointA, FindNextVolumeMountPointA and
// FindVolumeMountPointClose: a volume's mount folders in machine-file order.
#include <string.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/call_accounting.h"
#include "platform/sim/error_codes.h"
#include "platform/sim/resources.h"
#include "platform/sim/text_compare.h"

using namespace sim::internal;

namespace {

// Copies the enumeration's next mount folder and moves past it. A buffer too
// small gets nothing and the enumeration stays where it is, so a caller can
// ask again with a bigger one.
DWORD TakeNextMount(Resource* enumeration, char* buffer, DWORD size)
{
    const Machine& machine = Current().machine;
    const std::vector<size_t>& mounts = MountsHeldBy(machine, enumeration->volume);
    if (enumeration->nextMount >= mounts.size()) {
        return kErrorNoMoreFiles;
    }
    const Mount& mount = machine.mounts[mounts[enumeration->nextMount]];
    if (buffer == nullptr || mount.folder.size() >= size) {
        return kErrorMoreData;
    }
    memcpy(buffer, mount.folder.c_str(), mount.folder.size() + 1);
    ++enumeration->nextMount;
    return 0;
}

HANDLE FailEnumeration(DWORD error)
{
    SetLastErrorCode(error);
    return INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE FindFirstVolumeMountPointA(LPCSTR rootPathName, LPSTR volumeMountPoint, DWORD bufferLength)
{
    std::string path = TextOrNull(rootPathName);
    if (!StartCall("FindFirstVolumeMountPointA", path, FaultOperation::MountEnum, path)) {
        return INVALID_HANDLE_VALUE;
    }
    std::optional<size_t> volume = rootPathName ? VolumeWithGuidPath(Current().machine, path) : std::nullopt;
    if (!volume) {
        return FailEnumeration(kErrorFileNotFound);
    }
    Resource enumeration;
    enumeration.kind = ResourceKind::Enumeration;
    enumeration.name = path;
    enumeration.volume = *volume;
    if (DWORD error = TakeNextMount(&enumeration, volumeMountPoint, bufferLength)) {
        return FailEnumeration(error);
    }
    return HandleOf(AddResource(std::move(enumeration)));
}

BOOL FindNextVolumeMountPointA(HANDLE findVolumeMountPoint, LPSTR volumeMountPoint, DWORD bufferLength)
{
    uintptr_t token = TokenOf(findVolumeMountPoint);
    Resource* enumeration = LookUpResource(token, ResourceKind::Enumeration);
    if (!StartCall("FindNextVolumeMountPointA", DescribeToken(token, ResourceKind::Enumeration))) {
        return FALSE;
    }
    DWORD error = enumeration ? TakeNextMount(enumeration, volumeMountPoint, bufferLength) : kErrorInvalidHandle;
    if (error != 0) {
        SetLastErrorCode(error);
        return FALSE;
    }
    return TRUE;
}

BOOL FindVolumeMountPointClose(HANDLE findVolumeMountPoint)
{
    return ReleaseByCall("FindVolumeMountPointClose", TokenOf(findVolumeMountPoint), ResourceKind::Enumeration);
}
