// Controls of the simulated machine for tests, fuzzers and benchmarks.
// The system's own code never includes this header.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace sim {

// Replaces the current machine with one read from machine-file text. Image
// paths are relative to baseDir; sourceName names the text in messages.
// Resets the call counter, injected faults and the last-error code. On a
// fault the machine is left empty and *error holds "NAME:LINE: what".
bool LoadMachineText(const std::string& text, const std::string& baseDir,
                     const std::string& sourceName, std::string* error);

// The same for a machine file on disk (images relative to its folder).
bool LoadMachineFile(const std::string& path, std::string* error);

// The embedded default machine.
void LoadDefaultMachine();

// What the system holds and has not given back.
struct Outstanding {
    int handles;       // CreateFileA handles not closed
    int modules;       // LoadLibraryA modules not freed
    int enumerations;  // FindFirstVolumeMountPointA handles not closed
    int pipes;         // _popen streams not closed
};
Outstanding CountOutstanding();
bool NothingOutstanding();

// Platform calls made since the machine was loaded. Every operation of
// platform.h counts one call, except GetVersion and GetLastError; a pipe's
// stream counts one call for each read it makes from the child.
long CallCount();

// The calls made since the load, one line each: the operation's name, a
// space and the name or control code it was given, e.g.
// "CreateFileA \\.\C:", "DeviceIoControl 0x0007400c".
const std::vector<std::string>& CallLog();

// Makes call number k (1-based, counted as CallCount counts) fail with the
// given last-error code. A release (CloseHandle, FreeLibrary,
// FindVolumeMountPointClose, _pclose) made to fail still releases. Calls with
// k <= 0 turn injection off.
void FailNthCall(long k, uint32_t code);

// The signature that disk N carries now (held in memory or in its image);
// false for a disk that is not MBR.
bool DiskSignature(unsigned disk, uint32_t* signature);

// Every byte handed to the last IOCTL_DISK_SET_DRIVE_LAYOUT of this run, as
// the caller passed it (empty when there was none).
const std::vector<unsigned char>& LastLayoutWritten();

}  // namespace sim
