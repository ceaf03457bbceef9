// The fail line: fail OPERATION NAME CODE.
#include "platform/sim/field_cursor.h"
#include "platform/sim/field_values.h"
#include "platform/sim/machine_parser_lines.h"

namespace sim::internal {

namespace {

struct FaultOperationName {
    const char* word;
    FaultOperation operation;
};

const FaultOperationName kFaultOperations[] = {
    {"open", FaultOperation::Open},
    {"device-number", FaultOperation::DeviceNumber},
    {"get-layout", FaultOperation::GetLayout},
    {"set-layout", FaultOperation::SetLayout},
    {"get-layout-ex", FaultOperation::GetLayoutEx},
    {"set-layout-ex", FaultOperation::SetLayoutEx},
    {"length", FaultOperation::Length},
    {"attributes", FaultOperation::Attributes},
    {"enumerate", FaultOperation::Enumerate},
    {"volume-info", FaultOperation::VolumeInfo},
    {"volume-name", FaultOperation::VolumeName},
    {"mount-enum", FaultOperation::MountEnum},
    {"load-library", FaultOperation::LoadLibrary},
    {"get-proc-address", FaultOperation::GetProcAddress},
    {"popen", FaultOperation::Popen},
    {"system-directory", FaultOperation::SystemDirectory},
};

bool FindFaultOperation(const std::string& word, FaultOperation* operation)
{
    for (const FaultOperationName& name : kFaultOperations) {
        if (word == name.word) {
            *operation = name.operation;
            return true;
        }
    }
    return false;
}

}  // namespace

bool ParseFailLine(const Fields& fields, ParseContext* context, std::string* fault)
{
    FieldCursor cursor(fields);
    std::string word;
    FaultLine line;
    if (!cursor.Take("fail operation", &word, fault)) {
        return false;
    }
    if (!FindFaultOperation(word, &line.operation)) {
        *fault = "unknown fail operation \"" + word + "\"";
        return false;
    }
    if (!cursor.Take("name", &line.name, fault) || !cursor.TakeDecimal("error code", &line.code, fault)) {
        return false;
    }
    if (FaultCode(context->machine, line.operation, line.name)) {
        *fault = "fail " + word + " " + line.name + " is defined twice";
        return false;
    }
    if (!cursor.Finish(fault)) {
        return false;
    }
    AddFault(&context->machine, line);
    return true;
}

}  // namespace sim::internal
