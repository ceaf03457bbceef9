#include "app/disksig.h"
#include "platform/platform.h"

int main(int argc, char* argv[])
{
    int refused = PlatformStart();
    if (refused != 0) {
        return refused;
    }
    return PlatformExitStatus(DiskSigMain(argc, argv));
}
