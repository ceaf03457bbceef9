// Runs single steps of the system's code on a real Win32 implementation.
// Under Wine no layout can be read, so a "-ds" run of the executable never
// reaches a label step or a mount-point walk; this program calls them
// directly, with the same platform services and the same manifest.
//
//   probe version           the platform version as the front end reads it
//   probe label LETTER      the label step for the drive letter
//   probe mounts LETTER     the mount-point walk from the drive letter
//   probe random            two draws of 16 bytes from the random source:
//                           "drawn" when both succeed and differ
//   probe system-disk       the number of the disk of the Windows directory
//
// It prints what the step leaves, as "%s", and exits with 0; a command line
// it doesn't know exits with 2.
#include <stdio.h>
#include <string.h>

#include "base/platform_version.h"
#include "base/random_source.h"
#include "identifier/system_disk.h"
#include "report/drive_label.h"
#include "report/mount_points.h"
#include "report/working_text.h"

namespace {

char workingStorage[kWorkingTextCapacity];

int PrintStep(const char* step, char driveLetter)
{
    WorkingText working = WorkingTextOver(workingStorage, sizeof workingStorage);
    if (strcmp(step, "label") == 0) {
        AppendDriveLabel(driveLetter, &working);
    } else if (strcmp(step, "mounts") == 0) {
        const char driveName[] = {driveLetter, ':', '\0'};
        ReportDriveMountPoints(driveName, &working);
    } else {
        return 2;
    }
    FinishWorkingText(&working);
    printf("%s", working.text.chars);
    return 0;
}

int PrintRandom()
{
    unsigned char first[16] = {};
    unsigned char second[16] = {};
    int code = DrawRandom(first, sizeof first);
    if (code == 0) {
        code = DrawRandom(second, sizeof second);
    }
    if (code != 0) {
        printf("random source failed: %d\n", code);
    } else {
        printf("%s\n", memcmp(first, second, sizeof first) != 0 ? "drawn" : "the same twice");
    }
    return 0;
}

int PrintSystemDisk()
{
    DWORD number = 0;
    int code = 0;
    if (FindSystemDisk(&number, &code)) {
        printf("%lu\n", static_cast<unsigned long>(number));
    } else {
        printf("unknown: %d\n", code);
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    ReadPlatformVersion();
    if (argc == 2 && strcmp(argv[1], "version") == 0) {
        printf("%u.%u\n", MajorVersion(), MinorVersion());
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "random") == 0) {
        return PrintRandom();
    }
    if (argc == 2 && strcmp(argv[1], "system-disk") == 0) {
        return PrintSystemDisk();
    }
    if (argc == 3 && strlen(argv[2]) == 1) {
        return PrintStep(argv[1], argv[2][0]);
    }
    return 2;
}
