// A test program run as a child process, so that tests can send it real signals and see how
// it ends: its standard output is read through a pipe.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace demo_test {

class ChildProcess {
public:
    // Starts the program with the arguments (argv[0] first) and this process's environment
    // less the variables named in withoutVariables. Started() is false when spawning failed.
    ChildProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& withoutVariables = {});
    // Kills the child if it still runs.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    // True once the child has printed a line starting with prefix, within the time given.
    bool WaitForLine(const std::string& prefix, double seconds);
    void Signal(int signal) const;
    // The exit status, waiting at most the given time; -1 when the child did not exit by
    // itself in time (it is killed then) or ended through a signal.
    int WaitForExit(double seconds);
    // Everything read from the child's standard output so far.
    const std::string& Output() const { return output_; }

private:
    void ReadAvailable(int timeoutMilliseconds);

    pid_t pid_ = -1;
    int outputPipe_ = -1;
    std::string output_;
};

}  // namespace demo_test
