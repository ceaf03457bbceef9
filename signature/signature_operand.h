// The signature operand of "-ws": eight characters read as hexadecimal.
#pragma once

#include <stdint.h>

// Reads the operand as formatted input reads "%x": leading white space, one
// optional sign, an optional 0x or 0X, then hexadecimal digits up to the
// first other character; a "-" negates in 32-bit two's complement. Returns
// false, leaving the value alone, when no digit is taken.
bool ParseSignatureOperand(const char* operand, uint32_t* value);
