// Error texts: every code from well below 0 to well past the named range,
// checked against the list of names the platform's codes carry.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>

#include "base/error_text.h"
#include "platform/platform.h"
#include "platform/sim/sim.h"

namespace {

const std::map<int, std::string> kNamedCodes = {
    {1, "ERROR_INVALID_FUNCTION"}, {2, "ERROR_FILE_NOT_FOUND"}, {3, "ERROR_PATH_NOT_FOUND"},
    {4, "ERROR_TOO_MANY_OPEN_FILES"}, {5, "ERROR_ACCESS_DENIED"}, {6, "ERROR_INVALID_HANDLE"},
    {7, "ERROR_ARENA_TRASHED"}, {8, "ERROR_NOT_ENOUGH_MEMORY"}, {9, "ERROR_INVALID_BLOCK"},
    {10, "ERROR_BAD_ENVIRONMENT"}, {11, "ERROR_BAD_FORMAT"}, {12, "ERROR_INVALID_ACCESS"},
    {13, "ERROR_INVALID_DATA"}, {14, "ERROR_OUTOFMEMORY"}, {15, "ERROR_INVALID_DRIVE"},
    {16, "ERROR_CURRENT_DIRECTORY"}, {17, "ERROR_NOT_SAME_DEVICE"}, {18, "ERROR_NO_MORE_FILES"},
    {19, "ERROR_WRITE_PROTECT"}, {20, "ERROR_BAD_UNIT"}, {21, "ERROR_NOT_READY"},
    {22, "ERROR_BAD_COMMAND"}, {23, "ERROR_CRC"}, {24, "ERROR_BAD_LENGTH"}, {25, "ERROR_SEEK"},
    {26, "ERROR_NOT_DOS_DISK"}, {27, "ERROR_SECTOR_NOT_FOUND"}, {28, "ERROR_OUT_OF_PAPER"},
    {29, "ERROR_WRITE_FAULT"}, {30, "ERROR_READ_FAULT"}, {31, "ERROR_GEN_FAILURE"},
    {32, "ERROR_SHARING_VIOLATION"}, {33, "ERROR_LOCK_VIOLATION"}, {34, "ERROR_WRONG_DISK"},
    {36, "ERROR_SHARING_BUFFER_EXCEEDED"}, {38, "ERROR_HANDLE_EOF"},
    {39, "ERROR_HANDLE_DISK_FULL"}, {50, "ERROR_NOT_SUPPORTED"}, {51, "ERROR_REM_NOT_LIST"},
    {52, "ERROR_DUP_NAME"}, {53, "ERROR_BAD_NETPATH"}, {54, "ERROR_NETWORK_BUSY"},
    {55, "ERROR_DEV_NOT_EXIST"}, {56, "ERROR_TOO_MANY_CMDS"}, {57, "ERROR_ADAP_HDW_ERR"},
    {58, "ERROR_BAD_NET_RESP"}, {59, "ERROR_UNEXP_NET_ERR"}, {60, "ERROR_BAD_REM_ADAP"},
    {61, "ERROR_PRINTQ_FULL"}, {62, "ERROR_NO_SPOOL_SPACE"}, {63, "ERROR_PRINT_CANCELLED"},
    {64, "ERROR_NETNAME_DELETED"}, {65, "ERROR_NETWORK_ACCESS_DENIED"},
    {66, "ERROR_BAD_DEV_TYPE"}, {67, "ERROR_BAD_NET_NAME"}, {68, "ERROR_TOO_MANY_NAMES"},
    {69, "ERROR_TOO_MANY_SESS"}, {70, "ERROR_SHARING_PAUSE"}, {71, "ERROR_REQ_NOT_ACCEP"},
    {72, "ERROR_REDIR_PAUSED"}, {80, "ERROR_FILE_EXISTS"}, {82, "ERROR_CANNOT_MAKE"},
    {83, "ERROR_FAIL_I24"}, {84, "ERROR_OUT_OF_STRUCTURES"}, {85, "ERROR_ALREADY_ASSIGNED"},
    {86, "ERROR_INVALID_PASSWORD"}, {87, "ERROR_INVALID_PARAMETER"},
    {88, "ERROR_NET_WRITE_FAULT"}, {89, "ERROR_NO_PROC_SLOTS"}, {106, "ERROR_SEM_USER_LIMIT"},
    {107, "ERROR_DISK_CHANGE"}, {108, "ERROR_DRIVE_LOCKED"}, {109, "ERROR_BROKEN_PIPE"},
    {110, "ERROR_OPEN_FAILED"}, {111, "ERROR_BUFFER_OVERFLOW"}, {112, "ERROR_DISK_FULL"},
    {113, "ERROR_NO_MORE_SEARCH_HANDLES"}, {114, "ERROR_INVALID_TARGET_HANDLE"},
    {117, "ERROR_INVALID_CATEGORY"}, {118, "ERROR_INVALID_VERIFY_SWITCH"},
    {119, "ERROR_BAD_DRIVER_LEVEL"}, {120, "ERROR_CALL_NOT_IMPLEMENTED"},
    {121, "ERROR_SEM_TIMEOUT"}, {122, "ERROR_INSUFFICIENT_BUFFER"}, {123, "ERROR_INVALID_NAME"},
    {125, "ERROR_NO_VOLUME_LABEL"},
};

bool IsPrefixOnly(int code)
{
    return (code >= 100 && code <= 105) || code == 124;
}

std::string Expected(int code)
{
    auto named = kNamedCodes.find(code);
    if (named != kNamedCodes.end()) {
        return " Error " + std::to_string(code) + ": " + named->second;
    }
    if (IsPrefixOnly(code)) {
        return " Error " + std::to_string(code) + ": ";
    }
    return std::to_string(code);
}

TEST(ErrorText, EveryCodeHasItsClassAndName)
{
    for (int code = -300; code <= 300; ++code) {
        EXPECT_EQ(ErrorText(code), Expected(code)) << "code " << code;
    }
}

TEST(ErrorText, ExtremesAndTheCodesMessagesDependOn)
{
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {.code = 5, .text = " Error 5: ERROR_ACCESS_DENIED"},
        {.code = 70, .text = " Error 70: ERROR_SHARING_PAUSE"},
        {.code = 104, .text = " Error 104: "},
        {.code = 124, .text = " Error 124: "},
        {.code = 125, .text = " Error 125: ERROR_NO_VOLUME_LABEL"},
        {.code = 126, .text = "126"},
        {.code = 35, .text = "35"},
        {.code = 0, .text = "0"},
        {.code = -1, .text = "-1"},
        {.code = INT_MIN, .text = "-2147483648"},
        {.code = INT_MAX, .text = "2147483647"},
        {.code = static_cast<int>(0xC0000005u), .text = "-1073741819"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(ErrorText(c.code), c.text) << "code " << c.code;
    }
}

TEST(ErrorText, EachCallReplacesTheLastText)
{
    const char* first = ErrorText(5);
    const char* second = ErrorText(126);
    EXPECT_EQ(first, second);
    EXPECT_STREQ(second, "126");
}

TEST(FailureCode, ALastErrorOfZeroReadsAsGeneralFailure)
{
    sim::LoadDefaultMachine();
    const struct {
        unsigned lastError;
        int code;
    } cases[] = {{.lastError = 5, .code = 5}, {.lastError = 0, .code = 31}, {.lastError = 0xFFFFFFFFu, .code = -1}};
    for (const auto& c : cases) {
        sim::FailNthCall(sim::CallCount() + 1, c.lastError);
        EXPECT_EQ(QueryDosDeviceA("C:", nullptr, 0), 0u);
        EXPECT_EQ(FailureCode(), c.code) << "last error " << c.lastError;
    }
}

}  // namespace
