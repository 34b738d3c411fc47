// Runs a command line through the shell and collects its exit code and both outputs.
#pragma once

#include <string>
#include <vector>

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
    // The standard output split into lines.
    std::vector<std::string> Lines() const;
    bool HasLine(const std::string& line) const;
    // Lines starting with prefix.
    std::vector<std::string> LinesStartingWith(const std::string& prefix) const;
};

ProcessResult RunProcess(const std::string& commandLine);
// A path for a temporary file, unique within this test process.
std::string TemporaryPath(const std::string& suffix);
void WriteTextFile(const std::string& path, const std::string& text);
