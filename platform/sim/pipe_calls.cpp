// _popen and _pclose. The child runs through a real pipe; its read end is
// wrapped in a stream whose every read from the child is one platform call,
// so a test can make a read fail.
#include "platform/sim/pipe_calls.h"

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/call_accounting.h"
#include "platform/sim/error_codes.h"
#include "platform/sim/sim_state.h"
#include "platform/sim/text_compare.h"

using namespace sim::internal;

namespace {

struct PipeCookie {
    int fd;
    std::string command;
};

ssize_t ReadFromChild(void* cookie, char* buffer, size_t size)
{
    auto* pipe = static_cast<PipeCookie*>(cookie);
    if (!StartCall("pipe-read", pipe->command)) {
        errno = EIO;
        return -1;  // the stream's error indicator goes on; its end-of-file stays off
    }
    ssize_t got = 0;
    do {
        got = read(pipe->fd, buffer, size);
    } while (got < 0 && errno == EINTR);
    return got;
}

int CloseReadEnd(void* cookie)
{
    auto* pipe = static_cast<PipeCookie*>(cookie);
    int result = close(pipe->fd);
    delete pipe;
    return result;
}

bool IsReadMode(const char* mode)
{
    std::string text = mode != nullptr ? mode : "";
    return text == "r" || text == "rt" || text == "rb";
}

// As the Windows runtime does: the program in COMSPEC with "/c" and the
// command; with no COMSPEC, the POSIX shell.
std::vector<std::string> ChildArguments(const std::string& command)
{
    const char* interpreter = getenv("COMSPEC");
    if (interpreter != nullptr && *interpreter != '\0') {
        return {interpreter, "/c", command};
    }
    return {"/bin/sh", "-c", command};
}

// Starts the child with its standard output on writeEnd; 0 or an errno value.
int SpawnChild(const std::string& command, int writeEnd, pid_t* child)
{
    std::vector<std::string> arguments = ChildArguments(command);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, writeEnd, STDOUT_FILENO);
    int error = posix_spawn(child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

DWORD ErrorOfSpawn(int errorNumber)
{
    return errorNumber == ENOENT ? kErrorFileNotFound
           : errorNumber == EACCES ? kErrorAccessDenied
                                   : kErrorGenFailure;
}

FILE* FailPipe(int errorNumber, DWORD error)
{
    SetLastErrorCode(error);
    errno = errorNumber;
    return nullptr;
}

// The child's exit code; a child ended by a signal reads as the shell shows it.
int WaitForChild(pid_t child)
{
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

FILE* StreamOverReadEnd(int readEnd, const std::string& command)
{
    cookie_io_functions_t functions = {ReadFromChild, nullptr, nullptr, CloseReadEnd};
    auto* cookie = new PipeCookie{readEnd, command};
    FILE* stream = fopencookie(cookie, "r", functions);
    if (stream == nullptr) {
        CloseReadEnd(cookie);
    }
    return stream;
}

}  // namespace

FILE* _popen(const char* command, const char* mode)
{
    std::string text = TextOrNull(command);
    if (!StartCall("_popen", text, FaultOperation::Popen, text)) {
        return nullptr;
    }
    int ends[2];
    if (command == nullptr || !IsReadMode(mode)) {
        return FailPipe(EINVAL, kErrorInvalidParameter);
    }
    if (pipe2(ends, O_CLOEXEC) != 0) {
        return FailPipe(errno, kErrorGenFailure);
    }
    fflush(stdout);  // what the program wrote so far comes before the child's output
    pid_t child = 0;
    int error = SpawnChild(text, ends[1], &child);
    close(ends[1]);
    if (error != 0) {
        close(ends[0]);
        return FailPipe(error, ErrorOfSpawn(error));
    }
    FILE* stream = StreamOverReadEnd(ends[0], text);
    if (stream == nullptr) {
        WaitForChild(child);
        return FailPipe(ENOMEM, kErrorGenFailure);
    }
    Current().pipes[stream] = PipeRecord{child, text};
    return stream;
}

int _pclose(FILE* stream)
{
    auto found = Current().pipes.find(stream);
    bool known = found != Current().pipes.end();
    bool proceeds = StartCall("_pclose", known ? found->second.command : std::string("(unknown)"));
    if (!known) {
        if (proceeds) {
            SetLastErrorCode(kErrorInvalidHandle);
        }
        errno = EINVAL;
        return -1;
    }
    PipeRecord record = found->second;
    Current().pipes.erase(found);
    fclose(stream);  // an injected failure still closes and waits
    int status = WaitForChild(record.child);
    return proceeds ? status : -1;
}

namespace sim::internal {

void ClosePipesLeftOpen()
{
    for (const auto& entry : Current().pipes) {
        fclose(entry.first);
        WaitForChild(entry.second.child);
    }
    Current().pipes.clear();
}

}  // namespace sim::internal
