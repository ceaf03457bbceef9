#pragma once

// Writes the banner, the platform line and the usage lines to standard output.
void PrintUsage(void);
