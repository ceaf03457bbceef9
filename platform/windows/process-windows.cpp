// Process hooks on Windows: the platform is ready as the runtime starts it,
// and an exit status keeps all 32 bits of the result code.
//
// Standard output stays in the C runtime's text mode, as Windows programs
// write it: every line break reaches the console or a pipe as CR LF.
#include "platform/platform.h"

int PlatformStart(void)
{
    return 0;
}

int PlatformExitStatus(int resultCode)
{
    return resultCode;
}
