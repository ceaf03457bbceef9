// The entry point of the system.
#pragma once

// Runs one command line: reads the platform version, selects the command
// named by argv[1] (or prints the usage), prints the report and returns the
// command's result code in all 32 bits.
int DiskSigMain(int argc, char* argv[]);
