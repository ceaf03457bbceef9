#include "support/runs.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "app/disksig.h"
#include "platform/sim/sim.h"

extern char** environ;

CommandRun RunInProcess(const std::vector<std::string>& arguments)
{
    std::vector<std::string> words = {"disksig"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    fflush(stdout);
    testing::internal::CaptureStdout();
    int result = DiskSigMain(static_cast<int>(words.size()), argv.data());
    fflush(stdout);
    CommandRun run{result, testing::internal::GetCapturedStdout()};
    sim::Outstanding left = sim::CountOutstanding();
    EXPECT_TRUE(sim::NothingOutstanding())
        << "left outstanding: " << left.handles << " handles, " << left.modules << " modules, "
        << left.enumerations << " enumerations, " << left.pipes << " pipes";
    return run;
}

namespace {

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& changes)
{
    std::vector<std::string> merged;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        merged.emplace_back(*entry);
    }
    for (const std::string& change : changes) {
        std::string name = change.substr(0, change.find('=') + 1);
        std::erase_if(merged, [&](const std::string& e) { return e.rfind(name, 0) == 0; });
        if (change.size() > name.size()) {
            merged.push_back(change);
        }
    }
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& words)
{
    std::vector<char*> pointers;
    for (std::string& word : words) {
        pointers.push_back(word.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Reads both pipes until the child closes them.
void DrainPipes(int outFd, int errFd, std::string* out, std::string* err)
{
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* sinks[2] = {out, err};
    int open = 2;
    while (open > 0 && poll(fds, 2, -1) > 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            char chunk[4096];
            ssize_t got = read(fds[i].fd, chunk, sizeof chunk);
            if (got > 0) {
                sinks[i]->append(chunk, static_cast<size_t>(got));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment)
{
    std::vector<std::string> words = {DISKSIG_PROGRAM};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env = MergedEnvironment(environment);
    std::vector<char*> argv = Pointers(words);
    std::vector<char*> envp = Pointers(env);
    int outPipe[2];
    int errPipe[2];
    EXPECT_EQ(pipe2(outPipe, O_CLOEXEC), 0);
    EXPECT_EQ(pipe2(errPipe, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    pid_t child = 0;
    int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    ProgramRun run{-1, "", ""};
    EXPECT_EQ(spawned, 0) << "could not start " << argv[0];
    DrainPipes(outPipe[0], errPipe[0], &run.output, &run.errors);
    int status = 0;
    if (spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
    }
    return run;
}

void LoadMachine(const std::string& text, const std::string& baseDir)
{
    std::string error;
    ASSERT_TRUE(sim::LoadMachineText(text, baseDir, "test.machine", &error)) << error;
}

std::string TemporaryFolder()
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("disksig-" + std::to_string(getpid())) /
                                   (std::string(test->test_suite_name()) + "." + test->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string TestDataPath(const std::string& relative)
{
    return std::string(DISKSIG_TEST_DATA) + "/" + relative;
}
