#include "tests/support/demo_run.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>

namespace demo_test {

std::string BuildDir() {
    const char* dir = std::getenv("DEMO_BUILD_DIR");
    return dir ? dir : "..";
}

DemoRun RunDemo(const std::string& arguments) {
    DemoRun run;
    FILE* pipe = popen((BuildDir() + "/bin/demo-run " + arguments + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return run;
    std::string output;
    char buffer[4096];
    size_t read;
    while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, read);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        run.lines.push_back(output.substr(start, end - start));
        start = end + 1;
    }
    return run;
}

std::string WriteInputScript(const std::string& name, const std::string& script) {
    const std::string path = BuildDir() + "/tests/" + name;
    std::ofstream(path) << script;
    return path;
}

std::vector<std::string> TextsAt(const DemoRun& run, int x, int y, int frames) {
    static const std::regex textLine(R"re(frame (\d+) text (-?\d+),(-?\d+) "(.*)")re");
    std::vector<std::string> texts(frames);
    for (const std::string& line : run.lines) {
        std::smatch match;
        if (!std::regex_match(line, match, textLine)) continue;
        const int frame = std::stoi(match[1]);
        if (std::stoi(match[2]) == x && std::stoi(match[3]) == y && frame >= 1 && frame <= frames)
            texts[frame - 1] = match[4];
    }
    return texts;
}

}  // namespace demo_test
