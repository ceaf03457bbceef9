#include "signature/disk_signature.h"

#include <string.h>

#include "base/disk_device.h"
#include "base/error_text.h"
#include "platform/platform.h"
#include "signature/signature_operand.h"

namespace {

const unsigned kMessageCapacity = 32768;
const int kInvalidData = 13;
const int kInvalidParameter = 87;
const int kInvalidName = 123;
const int kWrongLength = -1;

// The opening words of each message; the error text or the device operand
// follows them.
struct SignatureMessages {
    const char* openFailed;
    const char* readFailed;
    const char* writeFailed;
    const char* succeeded;
};

const SignatureMessages kEraseMessages = {
    "ERASE SIGNATURE failed: Device may not exist: ",
    "ERASE SIGNATURE: Could not get device information: ",
    "ERASE SIGNATURE: Could not erase signature: ",
    "Erase Signature on ",
};

const SignatureMessages kWriteMessages = {
    "WRITE SIGNATURE failed: Device may not exist: ",
    "WRITE SIGNATURE: Could not get device information: ",
    "WRITE SIGNATURE: Could not write signature: ",
    "Write Signature on ",
};

char messageStorage[kMessageCapacity];

// Formats the command's one message line in the message text and copies it
// over the report. Every message fits both texts: the longest failure line has
// 92 characters, and a success line holds a device operand that fitted the
// device path.
int LeaveFailure(Text* message, Text* report, const char* opening, int code)
{
    TextFormatF(message, "%s%s\n", opening, ErrorText(code));
    TextCopy(report, message->chars);
    return code;
}

int LeaveMessage(Text* report, const char* line)
{
    TextCopy(report, line);
    return 0;
}

int LeaveSuccess(Text* message, Text* report, const char* opening, const char* device)
{
    TextFormatF(message, "%s%s Successful.\n", opening, TextOrNull(device));
    return LeaveMessage(report, message->chars);
}

// Reads the layout of the open disk, puts the new signature into it and hands
// it back whole. Returns 0 or the error code of the failed step; which step
// failed is told by readFailed.
int RewriteSignature(HANDLE disk, DWORD signature, bool* readFailed)
{
    LayoutBuffer layout;
    *readFailed = !ReadLayout(disk, &layout);
    if (*readFailed) {
        return FailureCode();
    }
    SetLayoutSignature(&layout, signature);
    DWORD returned = 0;
    if (!DeviceIoControl(disk, IOCTL_DISK_SET_DRIVE_LAYOUT, layout.bytes, kLayoutBufferSize,
                         nullptr, 0, &returned, nullptr)) {
        return FailureCode();
    }
    return 0;
}

int ChangeDiskSignature(const char* device, DWORD signature, const SignatureMessages* messages,
                        Text* message, Text* report)
{
    char devicePathStorage[MAX_PATH];
    Text devicePath = TextOver(devicePathStorage, sizeof devicePathStorage);
    // A cut name could open another disk: a name too long for the path is
    // refused whole.
    if (!TextFormatF(&devicePath, "\\\\.\\%s", TextOrNull(device))) {
        return LeaveFailure(message, report, messages->openFailed, kInvalidName);
    }
    HANDLE disk = OpenDevice(devicePath.chars);
    if (disk == nullptr || disk == INVALID_HANDLE_VALUE) {
        return LeaveFailure(message, report, messages->openFailed, FailureCode());
    }
    bool readFailed = false;
    int code = RewriteSignature(disk, signature, &readFailed);
    CloseHandle(disk);
    if (code != 0) {
        const char* opening = readFailed ? messages->readFailed : messages->writeFailed;
        return LeaveFailure(message, report, opening, code);
    }
    return LeaveSuccess(message, report, messages->succeeded, device);
}

}  // namespace

int EraseDiskSignature(const char* device, Text* report)
{
    Text message = TextOver(messageStorage, sizeof messageStorage);
    return ChangeDiskSignature(device, 0, &kEraseMessages, &message, report);
}

int SetDiskSignature(const char* device, const char* signature, Text* report)
{
    Text message = TextOver(messageStorage, sizeof messageStorage);
    if (signature == nullptr) {
        return LeaveFailure(&message, report, "WRITE SIGNATURE Failed: ", kInvalidParameter);
    }
    if (strlen(signature) != 8) {
        LeaveMessage(report, "WRITE SIGNATURE: New signature needs to be 8 digits in length.\n");
        return kWrongLength;
    }
    uint32_t value = 0;
    // Eight characters without a single hexadecimal digit name no signature;
    // writing one anyway would put an arbitrary value on the disk.
    if (!ParseSignatureOperand(signature, &value)) {
        return LeaveFailure(&message, report, "WRITE SIGNATURE Failed: ", kInvalidData);
    }
    return ChangeDiskSignature(device, value, &kWriteMessages, &message, report);
}
