// libFuzzer target: the machine-file parser, and "-ld json" and "-ds" on
// every machine it accepts. A refusal must say why; every accepted machine is
// listed, and one of the newer generation is also reported, through the entry
// point, which must release everything it acquired and change no image. The older generation is not reported here: each of
// its letters starts a command interpreter, far too slow for fuzzing.
// Inputs that contain a slash are skipped, so that an image path can only
// name a file in the fuzzer's own folder.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "app/disksig.h"
#include "fuzz_folder.h"
#include "platform/platform.h"
#include "platform/sim/sim.h"

namespace {

std::string folder;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    folder = fuzz::PrepareFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    if (text.find('/') != std::string::npos) {
        return 0;
    }
    std::string error;
    if (!sim::LoadMachineText(text, folder, "fuzz.machine", &error)) {
        if (error.empty()) {
            fuzz::Finding("a machine was refused without a reason");
        }
        return 0;
    }
    char program[] = "disksig";
    char listOption[] = "-ld";
    char json[] = "json";
    char* listArgv[] = {program, listOption, json, nullptr};
    DiskSigMain(3, listArgv);
    if (!sim::NothingOutstanding()) {
        fuzz::Finding("\"-ld\" left a handle outstanding");
    }
    if (!fuzz::ImagesAsMade(folder, false)) {
        fuzz::Finding("\"-ld\" changed an image");
    }
    if ((GetVersion() & 0xff) < 5) {
        return 0;
    }
    char option[] = "-ds";
    char* argv[] = {program, option, nullptr};
    if (DiskSigMain(2, argv) != 0) {
        fuzz::Finding("\"-ds\" returned a failure");
    }
    if (!sim::NothingOutstanding()) {
        fuzz::Finding("a handle, module, enumeration or pipe is left outstanding");
    }
    if (!fuzz::ImagesAsMade(folder, false)) {
        fuzz::Finding("\"-ds\" changed an image");
    }
    return 0;
}
