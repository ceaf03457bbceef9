// The mount-point walk of a "-ds" drive-letter entry: every volume mounted in
// a folder of the letter's volume, then every volume mounted in those, to
// any depth, depth-first, in the platform's enumeration order.
#pragma once

#include "report/working_text.h"

// Walks the volume at the drive name's root path and appends one entry for
// each mount point found below it. A volume that is already being walked
// higher up the same chain (the letter's own volume included) gets its entry
// but is not walked again. A mount point whose folder path would not fit in
// 1024 characters gets its head and "Path too long: not reported.\n".
void ReportDriveMountPoints(const char* driveName, WorkingText* working);
