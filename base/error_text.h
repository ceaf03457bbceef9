// The error text: a short text naming a platform error code, put into every
// failure message through "%s".
#pragma once

// Returns the error text of the code in one static buffer that every call
// overwrites: " Error 5: ERROR_ACCESS_DENIED" for a named code, the prefix
// " Error 104: " alone for a prefix-only code, the bare decimal ("126", "-1")
// for any other.
const char* ErrorText(int code);

// The error code of the platform call that just failed. A failure whose
// last-error reads 0 would otherwise pass for success, so it becomes 31
// (ERROR_GEN_FAILURE).
int FailureCode(void);
