#include "report/drive_label.h"

#include <string.h>

#include "base/platform_version.h"
#include "platform/platform.h"
#include "report/label_line.h"

namespace {

const DWORD kVolumeTextCapacity = 1024;
const size_t kLineCapacity = 512;
// fgets keeps one byte for the terminator: at most 127 characters of the line.
const int kHeaderLineCapacity = 128;

typedef BOOL(WINAPI* GetVolumeInformationProc)(LPCSTR, LPSTR, DWORD, LPDWORD, LPDWORD, LPDWORD,
                                               LPSTR, DWORD);

// Either answer of GetProcAddress becomes a callable pointer without a cast
// between unrelated function types.
GetVolumeInformationProc AsGetVolumeInformation(FARPROC entry)
{
    static_assert(sizeof(GetVolumeInformationProc) == sizeof(FARPROC), "entry points differ in size");
    GetVolumeInformationProc typed;
    memcpy(&typed, &entry, sizeof typed);
    return typed;
}

// The label and file-system name of the volume at the root path, through
// the entry point looked up in a module loaded for this one call. False, with
// the failure appended, when the module or its entry point is missing.
bool LookUpVolumeInformation(const char* rootPath, char* label, char* fileSystem,
                             WorkingText* working)
{
    HMODULE module = LoadLibraryA("KERNEL32.dll");
    if (module == nullptr) {
        WorkingAppendF(working, "\tPROBLEM Loading KERNEL32.\n");
        return false;
    }
    FARPROC entry = GetProcAddress(module, "GetVolumeInformationA");
    if (entry == nullptr) {
        FreeLibrary(module);
        WorkingAppendF(working, "\tPROBLEM Loading GetVolumeInformation when driveString = %s.\n",
                       rootPath);
        return false;
    }
    DWORD flags = 0;
    AsGetVolumeInformation(entry)(rootPath, label, kVolumeTextCapacity, nullptr, nullptr, &flags,
                                  fileSystem, kVolumeTextCapacity);
    FreeLibrary(module);
    return true;
}

// Only a volume that names its file system has a label to show.
void AppendVolumeLabel(char driveLetter, WorkingText* working)
{
    char rootPathStorage[4];
    Text rootPath = TextOver(rootPathStorage, sizeof rootPathStorage);
    TextFormatF(&rootPath, "%c:\\", driveLetter);
    char label[kVolumeTextCapacity] = "";
    char fileSystem[kVolumeTextCapacity] = "";
    if (!LookUpVolumeInformation(rootPath.chars, label, fileSystem, working)) {
        return;
    }
    label[sizeof label - 1] = '\0';
    if (fileSystem[0] != '\0') {
        char lineStorage[kLineCapacity];
        Text line = TextOver(lineStorage, sizeof lineStorage);
        AppendLabelLine(working, &line, label);
    }
}

// Reads the first line of the stream, if any. A read error that never
// reaches the end of the output ends the loop as well, with nothing read.
bool ReadFirstLine(FILE* stream, char* line, int capacity)
{
    while (!feof(stream) && !ferror(stream)) {
        if (fgets(line, capacity, stream) != nullptr) {
            return true;
        }
    }
    return false;
}

// The older generation has no volume-information service: the header of a
// "dir" listing names the label of the current drive, whichever letter asks.
void AppendDirHeaderLine(WorkingText* working)
{
    FILE* listing = _popen("dir not.there", "rt");
    if (listing == nullptr) {
        WorkingAppendF(working, "\tVolume Name = PROBLEM RETRIEVING.\n");
        return;
    }
    char headerLine[kHeaderLineCapacity];
    if (ReadFirstLine(listing, headerLine, kHeaderLineCapacity)) {
        WorkingAppendF(working, "\t%s", headerLine);
    }
    _pclose(listing);
}

}  // namespace

void AppendDriveLabel(char driveLetter, WorkingText* working)
{
    if (IsNewerGeneration()) {
        AppendVolumeLabel(driveLetter, working);
    } else {
        AppendDirHeaderLine(working);
    }
}
