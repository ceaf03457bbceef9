// Running the system in tests: in-process through the entry point, or as the
// built program in a child process.
#pragma once

#include <string>
#include <vector>

struct CommandRun {
    int result;          // the entry point's result code, or the exit status
    std::string output;  // standard output, byte for byte
};

// Runs the entry point in this process on the machine loaded now, with
// argv[0] "disksig" followed by the given arguments, capturing stdout. Every
// run is checked to leave no handle, module, enumeration or pipe behind.
CommandRun RunInProcess(const std::vector<std::string>& arguments);

// Runs the built program with the given arguments. Environment entries
// "NAME=value" are added to (or replace those of) the test's environment;
// "NAME=" alone removes NAME. Standard error is captured separately.
struct ProgramRun {
    int status;  // exit status, or -1 when the program did not exit normally
    std::string output;
    std::string errors;
};
ProgramRun RunProgram(const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment = {});

// Loads machine-file text in this process, with images relative to baseDir;
// fails the current test when the machine is refused.
void LoadMachine(const std::string& text, const std::string& baseDir = ".");

// A fresh empty folder for one test's files (removed at exit of the test).
std::string TemporaryFolder();

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

// A file under tests/ in the source tree, e.g. "golden/usage-5.0.txt".
std::string TestDataPath(const std::string& relative);
