#include "base/platform_version.h"

#include "platform/platform.h"

namespace {

unsigned majorVersion = 0;
unsigned minorVersion = 0;

}  // namespace

void ReadPlatformVersion(void)
{
    DWORD version = GetVersion();
    majorVersion = version & 0xFFu;
    minorVersion = (version >> 8) & 0xFFu;
}

unsigned MajorVersion(void)
{
    return majorVersion;
}

unsigned MinorVersion(void)
{
    return minorVersion;
}

bool IsNewerGeneration(void)
{
    return majorVersion >= 5;
}
