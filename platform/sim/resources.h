// The tokens under which handles, modules and enumerations are handed out.
#pragma once

#include <stdint.h>

#include <string>

#include "platform/sim/sim_state.h"

namespace sim::internal {

// Stores the resource and returns its token: never 0 and never the value of
// INVALID_HANDLE_VALUE, and never used twice in a process, so a released
// token stays invalid even after another machine is loaded.
uintptr_t AddResource(Resource resource);

// The resource of that kind under the token, or null.
Resource* LookUpResource(uintptr_t token, ResourceKind kind);

void ReleaseResource(uintptr_t token);
int CountResources(ResourceKind kind);

uintptr_t TokenOf(const void* handle);
HANDLE HandleOf(uintptr_t token);

// The release calls (CloseHandle, FreeLibrary, FindVolumeMountPointClose):
// an unknown token fails with ERROR_INVALID_HANDLE; a known one is released
// even when the call is made to fail, as the system cannot retry a release.
BOOL ReleaseByCall(const char* operation, uintptr_t token, ResourceKind kind);

// A token as text for the call log: its resource's name, or its value.
std::string DescribeToken(uintptr_t token, ResourceKind kind);

}  // namespace sim::internal
