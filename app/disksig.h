// The entry point of the system and the report it owns.
#pragma once

// The report holds the text a command leaves for the user. It is as large as
// the "-ds" working text so that a long report reaches the user whole.
const unsigned kReportCapacity = 32768;

// Runs one command line: reads the platform version, selects the command
// named by argv[1] (or prints the usage), prints the report and returns the
// command's result code in all 32 bits.
int DiskSigMain(int argc, char* argv[]);
