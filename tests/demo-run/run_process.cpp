#include "tests/demo-run/run_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

std::vector<std::string> ProcessResult::Lines() const {
    std::vector<std::string> lines;
    std::istringstream stream(out);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

bool ProcessResult::HasLine(const std::string& line) const {
    const std::vector<std::string> lines = Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::vector<std::string> ProcessResult::LinesStartingWith(const std::string& prefix) const {
    std::vector<std::string> matching;
    for (const std::string& line : Lines()) {
        if (line.rfind(prefix, 0) == 0) matching.push_back(line);
    }
    return matching;
}

ProcessResult RunProcess(const std::string& commandLine) {
    ProcessResult result;
    const std::string errPath = TemporaryPath(".err");
    FILE* pipe = popen((commandLine + " 2>" + errPath).c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    for (size_t count; (count = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;) result.out.append(buffer, count);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = ReadFile(errPath);
    std::filesystem::remove(errPath);
    return result;
}

std::string TemporaryPath(const std::string& suffix) {
    static int counter = 0;
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    return (folder / ("demo-run-test-" + std::to_string(getpid()) + "-" + std::to_string(++counter) + suffix))
        .string();
}

void WriteTextFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
}
