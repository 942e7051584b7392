#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testsupport {

// A helper program started by a test: its standard output (and error) come through a pipe,
// and it is ended (SIGTERM, then SIGKILL) when the object goes.
class Subprocess {
public:
    explicit Subprocess(const std::vector<std::string>& argv)
    {
        int pipeFds[2];
        if (::pipe2(pipeFds, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        if (::posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeFds[1]);
        output_ = pipeFds[0];
    }
    ~Subprocess()
    {
        Stop();
        if (output_ >= 0)
            ::close(output_);
    }
    Subprocess(const Subprocess&) = delete;
    Subprocess& operator=(const Subprocess&) = delete;

    bool Started() const { return pid_ > 0; }

    // The next line of output, or an empty text when none came in time.
    std::string ReadLine(std::chrono::milliseconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const size_t end = buffered_.find('\n');
            if (end != std::string::npos) {
                std::string line = buffered_.substr(0, end);
                buffered_.erase(0, end + 1);
                return line;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return {};
            pollfd entry{output_, POLLIN, 0};
            if (::poll(&entry, 1, static_cast<int>(left.count())) <= 0)
                return {};
            char chunk[512];
            const ssize_t n = ::read(output_, chunk, sizeof chunk);
            if (n <= 0)
                return {};
            buffered_.append(chunk, static_cast<size_t>(n));
        }
    }

    // Ends the program (if still running) and returns its exit status, -1 when killed.
    int Stop()
    {
        if (pid_ <= 0)
            return status_;
        ::kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 100; ++i) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            ::usleep(10000);
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return status_ = -1;
    }

private:
    pid_t pid_ = -1;
    int output_ = -1;
    int status_ = -1;
    std::string buffered_;
};

// Runs a command to its end; returns its exit status and fills output with stdout and stderr.
inline int RunCommand(const std::string& command, std::string& output)
{
    output.clear();
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    char chunk[512];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        output.append(chunk, n);
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The outcome of RunProgram: exit status (-1 when killed or not started) and what it wrote.
struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a program to its end with the given standard input, keeping standard output and
// standard error apart. Both pipes are read while it runs, so large outputs cannot block it.
inline ProgramRun RunProgram(const std::vector<std::string>& argv, const std::string& input = {})
{
    ProgramRun run;
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0)
        return run;
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    // Standard input is written whole first: the inputs of tests are small.
    size_t written = 0;
    while (pid > 0 && written < input.size()) {
        const ssize_t n = ::write(in[1], input.data() + written, input.size() - written);
        if (n <= 0)
            break;
        written += static_cast<size_t>(n);
    }
    ::close(in[1]);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.out, &run.err};
    int open = 2;
    while (open > 0 && ::poll(fds, 2, 30000) > 0) {
        for (int k = 0; k < 2; ++k) {
            if (fds[k].fd < 0 || fds[k].revents == 0)
                continue;
            char chunk[4096];
            const ssize_t n = ::read(fds[k].fd, chunk, sizeof chunk);
            if (n > 0) {
                sinks[k]->append(chunk, static_cast<size_t>(n));
            } else {
                ::close(fds[k].fd);
                fds[k].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& fd : fds)
        if (fd.fd >= 0)
            ::close(fd.fd);
    if (pid > 0 && open > 0)
        ::kill(pid, SIGKILL); // silent for 30 s with its outputs open: hung
    if (pid > 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return run;
}

} // namespace testsupport
