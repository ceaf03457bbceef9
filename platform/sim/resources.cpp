#include "platform/sim/resources.h"

#include <stdio.h>

#include "platform/sim/call_accounting.h"
#include "platform/sim/error_codes.h"

namespace sim::internal {

namespace {

// Tokens step by 4 like Windows handle values, from a start that no real
// pointer the system could confuse them with would have.
uintptr_t nextToken = 0x1000;

}  // namespace

uintptr_t AddResource(Resource resource)
{
    uintptr_t token = nextToken;
    nextToken += 4;
    Current().resources.emplace(token, std::move(resource));
    return token;
}

Resource* LookUpResource(uintptr_t token, ResourceKind kind)
{
    auto found = Current().resources.find(token);
    if (found == Current().resources.end() || found->second.kind != kind) {
        return nullptr;
    }
    return &found->second;
}

void ReleaseResource(uintptr_t token)
{
    Current().resources.erase(token);
}

int CountResources(ResourceKind kind)
{
    int count = 0;
    for (const auto& entry : Current().resources) {
        if (entry.second.kind == kind) {
            ++count;
        }
    }
    return count;
}

uintptr_t TokenOf(const void* handle)
{
    return reinterpret_cast<uintptr_t>(handle);
}

HANDLE HandleOf(uintptr_t token)
{
    return reinterpret_cast<HANDLE>(token);
}

std::string DescribeToken(uintptr_t token, ResourceKind kind)
{
    if (const Resource* resource = LookUpResource(token, kind)) {
        return resource->name;
    }
    char text[32];
    snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(token));
    return text;
}

BOOL ReleaseByCall(const char* operation, uintptr_t token, ResourceKind kind)
{
    bool known = LookUpResource(token, kind) != nullptr;
    bool proceeds = StartCall(operation, DescribeToken(token, kind));
    if (!known) {
        if (proceeds) {
            SetLastErrorCode(kErrorInvalidHandle);
        }
        return FALSE;
    }
    ReleaseResource(token);
    return proceeds ? TRUE : FALSE;
}

}  // namespace sim::internal
