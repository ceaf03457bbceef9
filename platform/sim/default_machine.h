// The machine the simulator runs when DISKSIG_MACHINE names none.
#pragma once

namespace sim::internal {

// Machine-file text, so the default machine doubles as a format example.
const char* DefaultMachineText();

}  // namespace sim::internal
