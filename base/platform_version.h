// The platform version, read once when the run starts.
#pragma once

// Reads GetVersion once and keeps the major and minor versions and the
// platform generation flag for the rest of the run.
void ReadPlatformVersion(void);

unsigned MajorVersion(void);
unsigned MinorVersion(void);

// Set for major version 5 or more (Windows 2000 and later): volume labels
// come from the volume-information service and mount points are walked.
// Clear on the older generation, whose labels come from the "dir" header.
bool IsNewerGeneration(void);
