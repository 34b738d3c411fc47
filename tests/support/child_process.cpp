#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point Deadline(double seconds) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

bool Named(const char* entry, const std::string& name) {
    return std::strncmp(entry, name.c_str(), name.size()) == 0 && entry[name.size()] == '=';
}

std::vector<char*> EnvironmentWithout(const std::vector<std::string>& names) {
    std::vector<char*> kept;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        bool dropped = false;
        for (const std::string& name : names) dropped = dropped || Named(*entry, name);
        if (!dropped) kept.push_back(*entry);
    }
    kept.push_back(nullptr);
    return kept;
}

}  // namespace

namespace demo_test {

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& withoutVariables) {
    int ends[2];
    if (arguments.empty() || pipe2(ends, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> environment = EnvironmentWithout(withoutVariables);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environment.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    outputPipe_ = ends[0];
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (outputPipe_ >= 0) close(outputPipe_);
}

// Reads what the child has written, waiting up to the given time for the first bytes; a
// child that writes a lot must never block on a full pipe.
void ChildProcess::ReadAvailable(int timeoutMilliseconds) {
    if (outputPipe_ < 0) return;
    pollfd readable = {outputPipe_, POLLIN, 0};
    char buffer[65536];
    for (int wait = timeoutMilliseconds; poll(&readable, 1, wait) > 0; wait = 0) {
        const ssize_t got = read(outputPipe_, buffer, sizeof buffer);
        if (got <= 0) return;
        output_.append(buffer, static_cast<size_t>(got));
    }
}

bool ChildProcess::WaitForLine(const std::string& prefix, double seconds) {
    const Clock::time_point deadline = Deadline(seconds);
    auto found = [&] { return output_.rfind(prefix, 0) == 0 || output_.find("\n" + prefix) != std::string::npos; };
    while (!found() && Clock::now() < deadline) ReadAvailable(50);
    return found();
}

void ChildProcess::Signal(int signal) const {
    if (pid_ > 0) kill(pid_, signal);
}

int ChildProcess::WaitForExit(double seconds) {
    if (pid_ <= 0) return -1;
    const Clock::time_point deadline = Deadline(seconds);
    int status = 0;
    pid_t ended = 0;
    while ((ended = waitpid(pid_, &status, WNOHANG)) == 0 && Clock::now() < deadline) {
        ReadAvailable(0);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (ended != pid_) return -1;  // the destructor kills it
    pid_ = -1;
    ReadAvailable(0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace demo_test
