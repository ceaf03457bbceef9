#include "platform/sim/sim_state.h"

#include <string>

#include "platform/sim/default_machine.h"
#include "platform/sim/machine_parser.h"

namespace sim::internal {

namespace {

State InitialState()
{
    State state;
    std::string error;
    ParseMachineText(DefaultMachineText(), "", "default machine", &state.machine, &error);
    return state;
}

}  // namespace

State& Current()
{
    static State state = InitialState();
    return state;
}

}  // namespace sim::internal
