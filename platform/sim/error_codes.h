// The Windows error codes that the simulated calls set as last-error.
#pragma once

#include "platform/platform.h"

namespace sim::internal {

constexpr DWORD kErrorInvalidFunction = 1;
constexpr DWORD kErrorFileNotFound = 2;
constexpr DWORD kErrorPathNotFound = 3;
constexpr DWORD kErrorAccessDenied = 5;
constexpr DWORD kErrorInvalidHandle = 6;
constexpr DWORD kErrorNoMoreFiles = 18;
constexpr DWORD kErrorWriteProtect = 19;
constexpr DWORD kErrorNotReady = 21;
constexpr DWORD kErrorBadLength = 24;
constexpr DWORD kErrorGenFailure = 31;
constexpr DWORD kErrorSharingViolation = 32;
constexpr DWORD kErrorInvalidParameter = 87;
constexpr DWORD kErrorInsufficientBuffer = 122;
constexpr DWORD kErrorModNotFound = 126;
constexpr DWORD kErrorProcNotFound = 127;
constexpr DWORD kErrorDirNotRoot = 144;
constexpr DWORD kErrorMoreData = 234;
constexpr DWORD kErrorUnrecognizedVolume = 1005;
constexpr DWORD kErrorIoDevice = 1117;
constexpr DWORD kErrorDiskCorrupt = 1393;
constexpr DWORD kErrorNotAReparsePoint = 4390;

}  // namespace sim::internal
