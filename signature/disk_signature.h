// The "-es" and "-ws" commands: change the signature of one disk by reading
// its drive layout, replacing Signature and writing the layout back.
#pragma once

#include "base/text.h"

// Sets the signature of the disk named by the device operand (physicaldriveN)
// to 0. Leaves one message line in the report; returns 0 or the error code.
int EraseDiskSignature(const char* device, Text* report);

// Writes the signature operand (eight hexadecimal characters) to the disk
// named by the device operand. Leaves one message line in the report; returns
// 0, the error code, 87 for a missing signature or -1 for one whose length is
// not 8.
int SetDiskSignature(const char* device, const char* signature, Text* report);
