// Runs build/bin/demo-run as a child process, for the end-to-end tests of the programs.
#pragma once

#include <string>
#include <vector>

namespace demo_test {

struct DemoRun {
    int exitCode = -1;
    std::vector<std::string> lines;  // standard output, one entry per line
};

// The build folder (DEMO_BUILD_DIR, set by CTest).
std::string BuildDir();
// Runs `demo-run ARGUMENTS` and collects its output.
DemoRun RunDemo(const std::string& arguments);
// Writes an input script for --input into the build's tests folder and returns its path.
std::string WriteInputScript(const std::string& name, const std::string& script);
// The TEXT of every `frame F text X,Y "TEXT"` line drawn at X,Y, indexed by frame - 1
// (empty where a frame drew none there).
std::vector<std::string> TextsAt(const DemoRun& run, int x, int y, int frames);

}  // namespace demo_test
