// GetSystemWindowsDirectoryA and the random source.
#include "platform/sim/system_calls.h"

#include <string.h>

#include <optional>
#include <string>

#include "platform/sim/call_accounting.h"
#include "platform/sim/error_codes.h"
#include "platform/sim/sim_state.h"

using namespace sim::internal;

UINT GetSystemWindowsDirectoryA(LPSTR buffer, UINT size)
{
    if (!StartCall("GetSystemWindowsDirectoryA", "-", FaultOperation::SystemDirectory, "-")) {
        return 0;
    }
    std::optional<char> letter = SystemLetterOf(Current().machine);
    if (!letter) {
        SetLastErrorCode(kErrorFileNotFound);
        return 0;
    }
    const std::string directory = std::string(1, *letter) + ":\\WINDOWS";
    const UINT length = static_cast<UINT>(directory.size());
    if (buffer == nullptr || size <= length) {
        return length + 1;  // the size needed, its terminator included
    }
    memcpy(buffer, directory.c_str(), directory.size() + 1);
    return length;
}

namespace sim::internal {

BOOLEAN WINAPI SystemFunction036(PVOID buffer, ULONG length)
{
    if (!StartCall("SystemFunction036", std::to_string(length))) {
        return FALSE;
    }
    State& state = Current();
    if ((buffer == nullptr && length != 0) || length % 4 != 0) {
        SetLastErrorCode(kErrorInvalidParameter);
        return FALSE;
    }
    const size_t wanted = length / 4;
    if (state.machine.random.size() - state.nextRandom < wanted) {
        SetLastErrorCode(kErrorGenFailure);
        return FALSE;
    }
    auto* bytes = static_cast<unsigned char*>(buffer);
    for (size_t k = 0; k < wanted; ++k) {
        uint32_t value = state.machine.random[state.nextRandom++];
        for (size_t i = 0; i < 4; ++i) {
            bytes[4 * k + i] = static_cast<unsigned char>(value >> (8 * i));
        }
    }
    return TRUE;
}

}  // namespace sim::internal
