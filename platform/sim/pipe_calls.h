// The runtime's pipe from a command, run as a real child process.
#pragma once

namespace sim::internal {

// Closes every pipe a run left open and waits for its child, so that a new
// machine starts with nothing outstanding.
void ClosePipesLeftOpen();

}  // namespace sim::internal
