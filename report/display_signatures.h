// The "-ds" command: every hard-disk drive letter with its physical drive,
// signature and label, then the volumes mounted in its folders.
#pragma once

#include "base/text.h"

// Builds the report of all drive letters A to Z into the report. Some lines
// go straight to standard output while it runs (a device number that can't
// be read). Always returns 0.
int DisplaySignatures(Text* report);
