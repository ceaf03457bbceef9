// The "-us" and "-wg" commands: give one disk a new identifier (a unique MBR
// signature or GPT disk GUID drawn from the random source, or a given GPT
// disk GUID), guarding the boot disk and verifying the write by reading the
// layout back.
#pragma once

#include "base/text.h"

// "-us physicaldriveN [force]". Leaves its lines in the report; returns 0 or
// the documented exit status.
int NewUniqueIdentifier(int operandCount, char* operands[], Text* report);

// "-wg physicaldriveN GUID [force]".
int WriteDiskGuid(int operandCount, char* operands[], Text* report);
