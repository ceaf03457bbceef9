#include "app/usage.h"

#include <stdio.h>

#include "base/platform_version.h"

namespace {

void PrintPlatformLine(void)
{
    // Only 5.x has names of its own; any other major version, newer ones
    // included, reads as NT 4.0 here even though the generation flag is set.
    if (MajorVersion() != 5) {
        fputs("Windows NT 4.0\n\n", stdout);
    } else if (MinorVersion() == 0) {
        fputs("Windows 2000\n\n", stdout);
    } else if (MinorVersion() == 2) {
        fputs("Windows .Net\n\n", stdout);
    } else {
        printf("Unrecognized Windows Version %d.%d\n\n", 5, static_cast<int>(MinorVersion()));
    }
}

}  // namespace

void PrintUsage(void)
{
    fputs("Vostrel Ostrovan Utility V1.0 - 10/09/2002 \nCurrent Platform: ", stdout);
    PrintPlatformLine();
    fputs("Usage:\n", stdout);
    fputs("     -ds                                      "
          "Display Volume Label, Physical Drive, and Signature for All Devices\n",
          stdout);
    fputs("     -es physicaldriveY                       Erase Signature on Device Y\n", stdout);
    fputs("     -ws signature physicaldriveY             Write Signature on Device Y\n", stdout);
}
