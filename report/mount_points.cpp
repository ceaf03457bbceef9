#include "report/mount_points.h"

#include <string.h>

#include "base/disk_device.h"
#include "base/error_text.h"
#include "base/text.h"
#include "platform/platform.h"
#include "report/device_failures.h"
#include "report/label_line.h"
#include "report/volume_chain.h"

namespace {

const DWORD kPathCapacity = 1024;

// One state for all levels of the walk. Each level consumes the mount point,
// the volume mounted there and the buffers of its entry before it descends,
// so a level keeps only a handle and a few sizes on the stack, and a chain
// of hundreds of nested volumes fits any thread's stack. What a level needs
// again after the levels below it have run lives in the path prefix (cut
// back on the way up) and in the chain of volumes.
struct MountWalk {
    Text pathPrefix;      // the folder path through the drive letter down to
                          // the volume enumerated now: "E:\" then "E:\mnt\"...
    Text mountPointPath;  // the holding volume's GUID path and a mount point
    Text devicePath;      // the mounted volume's GUID path less its backslash
    Text line;            // the label line
    char mountPoint[kPathCapacity];     // as the enumeration gives it
    char mountedVolume[kPathCapacity];  // the volume GUID path mounted there
    char label[kPathCapacity];
    char fileSystem[kPathCapacity];
    LayoutBuffer layout;
    VolumeChain chain;
    char pathPrefixStorage[kPathCapacity];
    char mountPointPathStorage[kPathCapacity];
    char devicePathStorage[kPathCapacity];
    char lineStorage[kPathCapacity];
};

void WalkMountPoints(MountWalk* walk, const char* volume, WorkingText* working);

void StartWalk(MountWalk* walk, char driveLetter)
{
    walk->pathPrefix = TextOver(walk->pathPrefixStorage, sizeof walk->pathPrefixStorage);
    walk->mountPointPath =
        TextOver(walk->mountPointPathStorage, sizeof walk->mountPointPathStorage);
    walk->devicePath = TextOver(walk->devicePathStorage, sizeof walk->devicePathStorage);
    walk->line = TextOver(walk->lineStorage, sizeof walk->lineStorage);
    ClearVolumeChain(&walk->chain);
    TextFormatF(&walk->pathPrefix, "%c:\\", driveLetter);
}

// The head names the folder through its two parts, so it needs no buffer of
// its own however long the path.
void AppendMountPointHead(const MountWalk* walk, WorkingText* working)
{
    WorkingAppendF(working, "  %s%s ", walk->pathPrefix.chars, walk->mountPoint);
}

// A mount point is reported only when its mount-point path and its folder
// path, which is the next level's path prefix, both fit their buffers, and
// the chain has room for one more level.
bool MountPointFits(MountWalk* walk, const char* holder)
{
    return TextFormatF(&walk->mountPointPath, "%s%s", holder, walk->mountPoint) &&
           walk->pathPrefix.length + strlen(walk->mountPoint) < walk->pathPrefix.capacity;
}

void AppendPathTooLong(const MountWalk* walk, WorkingText* working)
{
    AppendMountPointHead(walk, working);
    WorkingAppendF(working, "Path too long: not reported.\n");
}

// The mounted volume is opened by its GUID path without the backslash.
void FormDevicePath(MountWalk* walk)
{
    Text* devicePath = &walk->devicePath;
    TextCopy(devicePath, walk->mountedVolume);
    if (devicePath->length > 0 && devicePath->chars[devicePath->length - 1] == '\\') {
        TextCut(devicePath, devicePath->length - 1);
    }
}

// Unlike a drive letter's, this failure breaks the entry's line and says
// nothing on standard output.
void AppendMountedDeviceNumber(HANDLE volume, WorkingText* working)
{
    DWORD deviceNumber = 0;
    if (ReadDeviceNumber(volume, &deviceNumber)) {
        WorkingAppendF(working, "\tphysicaldrive%d", static_cast<int>(deviceNumber));
    } else {
        WorkingAppendF(working, "IOCTL FAILED!\n");
    }
}

// The mounted volume's label, asked of the platform directly by its GUID path.
void AppendMountedVolumeLabel(MountWalk* walk, WorkingText* working)
{
    walk->fileSystem[0] = '\0';
    DWORD flags = 0;
    GetVolumeInformationA(walk->mountedVolume, walk->label, kPathCapacity, nullptr, nullptr, &flags,
                          walk->fileSystem, kPathCapacity);
    walk->label[kPathCapacity - 1] = '\0';
    if (walk->fileSystem[0] != '\0') {
        AppendLabelLine(working, &walk->line, walk->label);
    }
}

// Physical drive, signature and label of the volume mounted at the mount
// point. False when the entry ended early and nothing below it is walked;
// a full working text ends it at once, since nothing more can reach it.
bool ReportMountedVolume(MountWalk* walk, WorkingText* working)
{
    if (WorkingTextIsFull(working)) {
        return false;
    }
    FormDevicePath(walk);
    HANDLE volume = OpenDevice(walk->devicePath.chars);
    if (volume == INVALID_HANDLE_VALUE) {
        AppendOpenFailure(working, walk->pathPrefix.chars, FailureCode());
        return false;
    }
    AppendMountedDeviceNumber(volume, working);
    DWORD signature = 0;
    bool signatureRead = ReadDiskSignature(volume, &walk->layout, &signature);
    int code = signatureRead ? 0 : FailureCode();
    CloseHandle(volume);
    if (!signatureRead) {
        AppendLayoutFailure(working, code);
        return false;
    }
    if (!WorkingAppendF(working, "\tSignature = %x.", static_cast<unsigned>(signature))) {
        return false;
    }
    AppendMountedVolumeLabel(walk, working);
    return true;
}

// Descends into the mounted volume: one more level of chain and path prefix,
// both taken back on return.
void WalkMountedVolume(MountWalk* walk, WorkingText* working)
{
    size_t pathPrefixLength = walk->pathPrefix.length;
    // ReportMountPoint made sure of the room for both before the entry.
    if (TextAppendF(&walk->pathPrefix, "%s", walk->mountPoint) &&
        PushVolume(&walk->chain, walk->mountedVolume)) {
        WalkMountPoints(walk, InnermostVolume(&walk->chain), working);
        PopVolume(&walk->chain);
    }
    TextCut(&walk->pathPrefix, pathPrefixLength);
}

// One mount point of the holding volume, the one in walk->mountPoint.
void ReportMountPoint(MountWalk* walk, const char* holder, WorkingText* working)
{
    if (!MountPointFits(walk, holder)) {
        AppendPathTooLong(walk, working);
        return;
    }
    if (!GetVolumeNameForVolumeMountPointA(walk->mountPointPath.chars, walk->mountedVolume,
                                           kPathCapacity)) {
        WorkingAppendF(working, "GetVolumeNameForVolumeMountPoint Failed: %s\n",
                       ErrorText(FailureCode()));
        return;
    }
    walk->mountedVolume[kPathCapacity - 1] = '\0';  // a full buffer still ends inside it
    // Walking a volume again inside itself would never end.
    bool walksBelow = !ChainHoldsVolume(&walk->chain, walk->mountedVolume);
    if (walksBelow && !ChainHasRoomFor(&walk->chain, walk->mountedVolume)) {
        AppendPathTooLong(walk, working);
        return;
    }
    AppendMountPointHead(walk, working);
    if (ReportMountedVolume(walk, working) && walksBelow) {
        WalkMountedVolume(walk, working);
    }
}

// Every mount point of the volume, in the platform's order, each followed by
// what is mounted below it. Once the working text is full nothing more can
// reach the report, so the walk stops.
void WalkMountPoints(MountWalk* walk, const char* volume, WorkingText* working)
{
    if (WorkingTextIsFull(working)) {
        return;
    }
    HANDLE search = FindFirstVolumeMountPointA(volume, walk->mountPoint, kPathCapacity);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        walk->mountPoint[kPathCapacity - 1] = '\0';
        ReportMountPoint(walk, volume, working);
    } while (!WorkingTextIsFull(working) &&
             FindNextVolumeMountPointA(search, walk->mountPoint, kPathCapacity));
    FindVolumeMountPointClose(search);
}

}  // namespace

// The walk's one state lives here, and every step of the walk receives it.
void ReportDriveMountPoints(const char* driveName, WorkingText* working)
{
    static MountWalk walk;
    if (WorkingTextIsFull(working)) {
        return;
    }
    StartWalk(&walk, driveName[0]);
    if (!GetVolumeNameForVolumeMountPointA(walk.pathPrefix.chars, walk.mountedVolume,
                                           kPathCapacity)) {
        return;
    }
    walk.mountedVolume[kPathCapacity - 1] = '\0';
    // The letter's own volume heads the chain: a folder of it that mounts it
    // again is listed but not walked.
    PushVolume(&walk.chain, walk.mountedVolume);
    WalkMountPoints(&walk, InnermostVolume(&walk.chain), working);
}
