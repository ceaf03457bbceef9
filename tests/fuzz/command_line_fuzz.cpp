// libFuzzer target: the command line. The input is split at line breaks into
// the arguments after the program's name and run through the entry point on
// a fixed machine whose disks 0 and 1 are MBR images, with memory disks of
// every style, a gap in the numbers and a colliding signature beside them.
// Besides crashes and sanitizer reports, a run is a finding when it leaves a
// handle, module, enumeration or pipe outstanding, changes an image byte
// other than the signature, or changes an image and still returns a failure,
// or when "-ld" (which only reads) changes any image at all.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "app/disksig.h"
#include "fuzz_folder.h"
#include "platform/sim/sim.h"

namespace {

const char kMachine[] = R"(version 5.0
disk 0 image disk0.img
disk 1 image disk1.img
disk 2 signature 12AB00 partitions 63
disk 3 signature 7 partitions 64
disk 4 gpt {1B2C3D4E-0000-4000-8000-00000000AAAA} size 2T offline
disk 6 raw readonly
disk 9 signature 12AB00 offline
volume SYS disk 0 fs NTFS label SYSTEM
volume DATA disk 1 fs FAT32 label ""
volume DYN disk 2 fs NTFS label DYNAMIC
volume RAW disk 3
volume ARCHIVE disk 1 fs NTFS label ARCHIVE
letter A \Device\Floppy0
letter C \Device\HarddiskVolume1 SYS
letter D \Device\HarddiskVolume2 DATA
letter F \Device\HarddiskDmVolumes\Dg0\Volume1 DYN
letter G \Device\HarddiskVolume4 RAW
mount SYS mnt\archive\ ARCHIVE
mount ARCHIVE old\ RAW
mount ARCHIVE loop\ SYS
)";

std::string folder;

// "-ld" in any case of a to z.
bool IsListDisks(const std::vector<std::string>& words)
{
    if (words.size() < 2 || words[1].size() != 3 || words[1][0] != '-') {
        return false;
    }
    return (words[1][1] | 0x20) == 'l' && (words[1][2] | 0x20) == 'd';
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    folder = fuzz::PrepareFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> words = {"disksig"};
    std::string input(reinterpret_cast<const char*>(data), size);
    for (size_t start = 0; start < input.size();) {
        size_t end = input.find('\n', start);
        end = end == std::string::npos ? input.size() : end;
        words.push_back(input.substr(start, end - start));
        start = end + 1;
    }
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    fuzz::RestoreImages(folder);
    std::string error;
    if (!sim::LoadMachineText(kMachine, folder, "fuzz.machine", &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        fuzz::Finding("the fixed machine was refused");
    }
    int result = DiskSigMain(static_cast<int>(words.size()), argv.data());
    if (!sim::NothingOutstanding()) {
        fuzz::Finding("a handle, module, enumeration or pipe is left outstanding");
    }
    if (!fuzz::ImagesAsMade(folder, true)) {
        fuzz::Finding("an image byte other than the signature changed");
    }
    if (result != 0 && !fuzz::ImagesAsMade(folder, false)) {
        fuzz::Finding("a failed command changed a signature");
    }
    if (IsListDisks(words) && !fuzz::ImagesAsMade(folder, false)) {
        fuzz::Finding("-ld changed a disk");
    }
    return 0;
}
