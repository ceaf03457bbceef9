// _popen and _pclose: a real child through a real pipe, started the way the
// Windows runtime starts one (COMSPEC with "/c" and the command), and reads
// that can be made to fail.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "support/runs.h"

namespace {

// Sets or removes COMSPEC for one test and puts it back after.
class ComspecSetting {
public:
    explicit ComspecSetting(const char* value)
    {
        if (const char* old = getenv("COMSPEC")) {
            saved_ = old;
        }
        value != nullptr ? setenv("COMSPEC", value, 1) : unsetenv("COMSPEC");
    }
    ~ComspecSetting() { saved_ ? setenv("COMSPEC", saved_->c_str(), 1) : unsetenv("COMSPEC"); }

private:
    std::optional<std::string> saved_;
};

// A stand-in command interpreter that shows the arguments it was given. It
// writes one line only: a child still writing when the pipe closes is ended
// by SIGPIPE (the "yes" case below shows that).
std::string WriteInterpreter(const std::string& folder)
{
    std::string path = folder + "/cmd.sh";
    WriteWholeFile(path, "#!/bin/sh\nprintf '%s|%s|%s\\n' \"$#\" \"$1\" \"$2\"\nexit 3\n");
    chmod(path.c_str(), 0755);
    return path;
}

std::string FirstLine(FILE* pipe)
{
    char line[128];
    return fgets(line, sizeof line, pipe) != nullptr ? std::string(line) : std::string("(none)");
}

TEST(SimPipe, RunsTheCommandThroughComspecOrTheShell)
{
    std::string interpreter = WriteInterpreter(TemporaryFolder());
    const struct {
        const char* comspec;  // null: unset
        const char* command;
        const char* mode;
        const char* firstLine;
        int status;
    } cases[] = {
        {.comspec = interpreter.c_str(),
         .command = "dir not.there",
         .mode = "rt",
         .firstLine = "2|/c|dir not.there\n",
         .status = 3},
        {.comspec = interpreter.c_str(),
         .command = "echo \"a  b\" %PATH%",
         .mode = "r",
         .firstLine = "2|/c|echo \"a  b\" %PATH%\n",
         .status = 3},
        {.comspec = nullptr, .command = "echo hello; exit 4", .mode = "rt", .firstLine = "hello\n", .status = 4},
        {.comspec = "", .command = "printf 'no line end'", .mode = "r", .firstLine = "no line end", .status = 0},
        {.comspec = nullptr, .command = "exit 0", .mode = "r", .firstLine = "(none)", .status = 0},
        {.comspec = nullptr, .command = "yes", .mode = "r", .firstLine = "y\n", .status = 128 + 13},
    };
    for (const auto& c : cases) {
        ComspecSetting comspec(c.comspec);
        LoadMachine("");
        FILE* pipe = _popen(c.command, c.mode);
        ASSERT_NE(pipe, nullptr) << c.command;
        EXPECT_EQ(sim::CountOutstanding().pipes, 1);
        EXPECT_EQ(FirstLine(pipe), c.firstLine) << c.command;
        EXPECT_EQ(_pclose(pipe), c.status) << c.command << ": a child still writing ends when the pipe closes";
        EXPECT_TRUE(sim::NothingOutstanding()) << c.command;
        EXPECT_EQ(sim::CallLog().front(), std::string("_popen ") + c.command);
        EXPECT_EQ(sim::CallLog()[1], std::string("pipe-read ") + c.command);
    }
}

TEST(SimPipe, RefusesWhatCannotBeStarted)
{
    std::string folder = TemporaryFolder();
    const struct {
        const char* comspec;
        const char* mode;
        DWORD error;
    } cases[] = {
        {.comspec = nullptr, .mode = "w", .error = 87},
        {.comspec = nullptr, .mode = "", .error = 87},
        {.comspec = "/no/such/interpreter", .mode = "r", .error = 2},
    };
    for (const auto& c : cases) {
        ComspecSetting comspec(c.comspec);
        LoadMachine("");
        EXPECT_EQ(_popen("exit 0", c.mode), nullptr) << c.mode;
        EXPECT_EQ(GetLastError(), c.error) << c.mode;
        EXPECT_TRUE(sim::NothingOutstanding());
    }
    EXPECT_EQ(_pclose(stdin), -1) << "a stream that is no pipe";
    EXPECT_EQ(GetLastError(), 6u);
}

// A read made to fail leaves the stream in error and not at its end; the
// pipe still closes and the child is waited for.
TEST(SimPipe, FailedReadSetsTheErrorIndicatorOnly)
{
    ComspecSetting comspec(nullptr);
    for (uint32_t code : {0u, 109u}) {
        LoadMachine("");
        sim::FailNthCall(2, code);
        FILE* pipe = _popen("exit 0", "rt");
        ASSERT_NE(pipe, nullptr);
        EXPECT_EQ(FirstLine(pipe), "(none)");
        EXPECT_TRUE(ferror(pipe));
        EXPECT_FALSE(feof(pipe));
        EXPECT_EQ(GetLastError(), code);
        EXPECT_EQ(sim::CallLog()[1], "pipe-read exit 0");
        EXPECT_EQ(_pclose(pipe), 0);
        EXPECT_TRUE(sim::NothingOutstanding());
    }
}

}  // namespace
