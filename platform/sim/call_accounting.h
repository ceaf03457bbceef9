// Counting and logging the platform calls of a run, and failing the ones
// that a fail line or FailNthCall chose.
#pragma once

#include <optional>
#include <string_view>

#include "platform/platform.h"
#include "platform/sim/machine.h"

namespace sim::internal {

// Counts one call and adds "OPERATION ARGUMENT" to the call log. Returns
// false when an injected fault makes this call fail; last-error then holds
// the injected code and the caller returns its failure value.
bool StartCall(std::string_view operation, std::string_view argument);

// The same, and a fail line of faultOperation whose name equals faultName
// (ignoring case of A-Z) also makes the call fail.
bool StartCall(std::string_view operation, std::string_view argument,
               std::optional<FaultOperation> faultOperation, std::string_view faultName);

void SetLastErrorCode(DWORD code);

}  // namespace sim::internal
