// The process hooks of platform.h for the simulated machine.
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "platform/platform.h"
#include "platform/sim/sim.h"

namespace {

const int kRefusedMachineStatus = 2;

}  // namespace

int PlatformStart(void)
{
    const char* path = getenv("DISKSIG_MACHINE");
    if (path == nullptr || *path == '\0') {
        sim::LoadDefaultMachine();
        return 0;
    }
    std::string error;
    if (!sim::LoadMachineFile(path, &error)) {
        fprintf(stderr, "disksig: %s\n", error.c_str());
        return kRefusedMachineStatus;
    }
    return 0;
}

// Linux keeps the low 8 bits of a status. A code whose low byte is 0 but
// which is not 0 (256, 1280, ...) would read as success, so it becomes 1.
int PlatformExitStatus(int resultCode)
{
    if (resultCode != 0 && (resultCode & 0xff) == 0) {
        return 1;
    }
    return resultCode;
}
