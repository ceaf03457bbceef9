// Helpers shared by the "-ds" report tests.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "platform/sim/sim.h"
#include "support/runs.h"

// A machine file of machines/report/, for the tests that add to it or run it
// in ways of their own (the golden cases have theirs beside their reports).
inline std::string ReportMachinePath(const std::string& name)
{
    return TestDataPath("machines/report/" + name + ".machine");
}

inline void LoadReportMachine(const std::string& name)
{
    LoadMachine(ReadWholeFile(ReportMachinePath(name)), TestDataPath("machines/report"));
}

// The number (as sim::FailNthCall counts) of the first call whose log line
// starts with `call`, after the first one that starts with `after` ("" for
// the start), among the calls made since the machine was loaded; 0 when
// there is none.
inline long CallNumber(const std::string& call, const std::string& after = "")
{
    const auto& log = sim::CallLog();
    size_t index = 0;
    if (!after.empty()) {
        while (index < log.size() && log[index].rfind(after, 0) != 0) {
            ++index;
        }
    }
    while (index < log.size() && log[index].rfind(call, 0) != 0) {
        ++index;
    }
    return index < log.size() ? static_cast<long>(index) + 1 : 0;
}

// The "-ds" report of the machine text, run in this process (which also
// checks that nothing is left outstanding).
inline CommandRun ReportOfMachine(const std::string& machineText)
{
    LoadMachine(machineText);
    return RunInProcess({"-ds"});
}
