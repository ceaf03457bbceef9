#include "base/error_text.h"

#include "base/text.h"
#include "platform/platform.h"

namespace {

const int kErrorTextCapacity = 100;
const int kGeneralFailure = 31;

// Names of the codes from 1 to 125; an empty name marks a code that shows
// its prefix alone, a null one a code that shows only its number.
const char* const kNames[126] = {
    nullptr,
    "ERROR_INVALID_FUNCTION", "ERROR_FILE_NOT_FOUND", "ERROR_PATH_NOT_FOUND",
    "ERROR_TOO_MANY_OPEN_FILES", "ERROR_ACCESS_DENIED", "ERROR_INVALID_HANDLE",
    "ERROR_ARENA_TRASHED", "ERROR_NOT_ENOUGH_MEMORY", "ERROR_INVALID_BLOCK",
    "ERROR_BAD_ENVIRONMENT",                                                   // 10
    "ERROR_BAD_FORMAT", "ERROR_INVALID_ACCESS", "ERROR_INVALID_DATA", "ERROR_OUTOFMEMORY",
    "ERROR_INVALID_DRIVE", "ERROR_CURRENT_DIRECTORY", "ERROR_NOT_SAME_DEVICE",
    "ERROR_NO_MORE_FILES", "ERROR_WRITE_PROTECT", "ERROR_BAD_UNIT",            // 20
    "ERROR_NOT_READY", "ERROR_BAD_COMMAND", "ERROR_CRC", "ERROR_BAD_LENGTH", "ERROR_SEEK",
    "ERROR_NOT_DOS_DISK", "ERROR_SECTOR_NOT_FOUND", "ERROR_OUT_OF_PAPER",
    "ERROR_WRITE_FAULT", "ERROR_READ_FAULT",                                   // 30
    "ERROR_GEN_FAILURE", "ERROR_SHARING_VIOLATION", "ERROR_LOCK_VIOLATION",
    "ERROR_WRONG_DISK", nullptr, "ERROR_SHARING_BUFFER_EXCEEDED", nullptr,
    "ERROR_HANDLE_EOF", "ERROR_HANDLE_DISK_FULL", nullptr,                     // 40
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    "ERROR_NOT_SUPPORTED",                                                     // 50
    "ERROR_REM_NOT_LIST", "ERROR_DUP_NAME", "ERROR_BAD_NETPATH", "ERROR_NETWORK_BUSY",
    "ERROR_DEV_NOT_EXIST", "ERROR_TOO_MANY_CMDS", "ERROR_ADAP_HDW_ERR",
    "ERROR_BAD_NET_RESP", "ERROR_UNEXP_NET_ERR", "ERROR_BAD_REM_ADAP",         // 60
    "ERROR_PRINTQ_FULL", "ERROR_NO_SPOOL_SPACE", "ERROR_PRINT_CANCELLED",
    "ERROR_NETNAME_DELETED", "ERROR_NETWORK_ACCESS_DENIED", "ERROR_BAD_DEV_TYPE",
    "ERROR_BAD_NET_NAME", "ERROR_TOO_MANY_NAMES", "ERROR_TOO_MANY_SESS",
    "ERROR_SHARING_PAUSE",                                                     // 70
    "ERROR_REQ_NOT_ACCEP", "ERROR_REDIR_PAUSED", nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, "ERROR_FILE_EXISTS",                            // 80
    nullptr, "ERROR_CANNOT_MAKE", "ERROR_FAIL_I24", "ERROR_OUT_OF_STRUCTURES",
    "ERROR_ALREADY_ASSIGNED", "ERROR_INVALID_PASSWORD", "ERROR_INVALID_PARAMETER",
    "ERROR_NET_WRITE_FAULT", "ERROR_NO_PROC_SLOTS", nullptr,                   // 90
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    "",                                                                        // 100
    "", "", "", "", "", "ERROR_SEM_USER_LIMIT", "ERROR_DISK_CHANGE", "ERROR_DRIVE_LOCKED",
    "ERROR_BROKEN_PIPE", "ERROR_OPEN_FAILED",                                  // 110
    "ERROR_BUFFER_OVERFLOW", "ERROR_DISK_FULL", "ERROR_NO_MORE_SEARCH_HANDLES",
    "ERROR_INVALID_TARGET_HANDLE", nullptr, nullptr, "ERROR_INVALID_CATEGORY",
    "ERROR_INVALID_VERIFY_SWITCH", "ERROR_BAD_DRIVER_LEVEL",
    "ERROR_CALL_NOT_IMPLEMENTED",                                              // 120
    "ERROR_SEM_TIMEOUT", "ERROR_INSUFFICIENT_BUFFER", "ERROR_INVALID_NAME", "",
    "ERROR_NO_VOLUME_LABEL",                                                   // 125
};

char errorTextStorage[kErrorTextCapacity];

}  // namespace

const char* ErrorText(int code)
{
    Text text = TextOver(errorTextStorage, sizeof errorTextStorage);
    const char* name = (code >= 1 && code <= 125) ? kNames[code] : nullptr;
    if (name == nullptr) {
        TextFormatF(&text, "%d", code);
    } else {
        TextFormatF(&text, " Error %d: %s", code, name);
    }
    return text.chars;
}

int FailureCode(void)
{
    int code = static_cast<int>(GetLastError());
    return code != 0 ? code : kGeneralFailure;
}
