#include "platform/sim/call_accounting.h"

#include <string>

#include "platform/sim/sim_state.h"

namespace sim::internal {

bool StartCall(std::string_view operation, std::string_view argument)
{
    return StartCall(operation, argument, std::nullopt, {});
}

bool StartCall(std::string_view operation, std::string_view argument,
               std::optional<FaultOperation> faultOperation, std::string_view faultName)
{
    State& state = Current();
    ++state.calls;
    state.callLog.push_back(std::string(operation) + " " + std::string(argument));
    if (state.failingCall > 0 && state.calls == state.failingCall) {
        SetLastErrorCode(state.failingCode);
        return false;
    }
    if (faultOperation) {
        if (std::optional<DWORD> code = FaultCode(state.machine, *faultOperation, faultName)) {
            SetLastErrorCode(*code);
            return false;
        }
    }
    return true;
}

void SetLastErrorCode(DWORD code)
{
    Current().lastError = code;
}

}  // namespace sim::internal
