// A GUID operand: 32 hexadecimal digits in the 8-4-4-4-12 form, with or
// without braces, any case.
#pragma once

#include "platform/platform.h"

bool ParseGuidOperand(const char* operand, GUID* guid);

bool IsNilGuid(const GUID* guid);
