// The disk that holds the Windows directory, which the boot configuration
// names by its identifier.
#pragma once

#include "platform/platform.h"

// True with the number of the disk holding the Windows directory
// (GetSystemWindowsDirectoryA, its drive letter opened as \\.\X:, that
// volume's device number). False with the error code of the step that
// failed; a directory that names no drive letter is 2 (ERROR_FILE_NOT_FOUND).
bool FindSystemDisk(DWORD* number, int* code);
