#include "report/volume_device.h"

#include "errors/error_text.h"

bool ReadDeviceNumber(HANDLE volume, DWORD* deviceNumber)
{
    STORAGE_DEVICE_NUMBER number = {};
    DWORD returned = 0;
    if (!DeviceIoControl(volume, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number,
                         sizeof number, &returned, nullptr)) {
        return false;
    }
    *deviceNumber = number.DeviceNumber;
    return true;
}

bool ReadDiskSignature(HANDLE volume, LayoutBuffer* layout, DWORD* signature)
{
    if (!ReadLayout(volume, layout)) {
        return false;
    }
    *signature = LayoutSignature(layout);
    return true;
}

void AppendOpenFailure(WorkingText* working, const char* named, int code)
{
    WorkingAppendF(working, "Error opening %s. Error: %d: %s\n", named, code, ErrorText(code));
}

// A failed read used to replace the whole report with this message; as a
// piece of the entry it keeps every other entry.
void AppendLayoutFailure(WorkingText* working, int code)
{
    WorkingAppendF(working, "\tDISPLAY SIGNATURE: Could not get device information: %s\n",
                   ErrorText(code));
}
