// The label step of a "-ds" drive-letter entry.
#pragma once

#include "report/working_text.h"

// Appends the label text of the drive letter's volume: on the newer platform
// generation its label, looked up through GetVolumeInformationA found at run
// time; on the older one the first line of the command interpreter's
// "dir not.there", which names the label of the current drive.
void AppendDriveLabel(char driveLetter, WorkingText* working);
