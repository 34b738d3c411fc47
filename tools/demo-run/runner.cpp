#include "tools/demo-run/runner.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <host.h>

#include "framework/app_shell.h"
#include "tools/demo-run/frame_driver.h"
#include "tools/demo-run/input_script.h"
#include "tools/demo-run/run_options.h"



namespace {

int Fail(int code, const std::string& reason) {
    std::fprintf(stderr, "demo-run: %s\n", reason.c_str());
    return code;
}

bool LoadScript(const std::string& path, std::vector<ScriptEvent>* events, std::string* error) {
    if (path.empty()) return true;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot read input file " + path;
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    if (ParseInputScript(text.str(), events, error)) return true;
    *error = path + ": " + *error;
    return false;
}

const ProgramEntry* FindProgram(const std::string& name, const std::vector<ProgramEntry>& programs) {
    for (const ProgramEntry& entry : programs) {
        if (name == entry.name) return &entry;
    }
    return nullptr;
}

// The folder standing for the program's "..\Resource\": the option, else the one the
// build generates.
std::string ResourceFolder(const RunOptions& options) {
    if (!options.resourceFolder.empty()) return options.resourceFolder;
    return DEMO_DEFAULT_RESOURCES;
}

}  // namespace

int RunDemo(int argc, char** argv, const std::vector<ProgramEntry>& programs) {
    RunOptions options;
    std::string error;
    if (!ParseRunOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
        std::fputs(kUsage, stderr);
        return Fail(2, error);
    }
    const ProgramEntry* program = FindProgram(options.program, programs);
    if (program == nullptr) return Fail(2, "unknown program " + options.program);
    std::vector<ScriptEvent> events;
    if (!LoadScript(options.inputFile, &events, &error)) return Fail(2, error);
    if (!options.resourceFolder.empty() && !std::filesystem::is_directory(options.resourceFolder))
        return Fail(1, "no resource folder " + options.resourceFolder);

    host::SetHeadless(true);
    host::SetResourceFolder(ResourceFolder(options));
    FrameDriver driver(options, std::move(events));
    driver.Install();
    program->run(GetModuleHandleW(nullptr));
    std::fflush(stdout);
    // The shell has already said why on standard error.
    if (StartFailed) return 1;
    const std::vector<std::string> problems = driver.CaptureProblems();
    for (const std::string& problem : problems) std::fprintf(stderr, "demo-run: %s\n", problem.c_str());
    if (options.printTiming) std::printf("%s\n", TimingLine(driver.FrameTimes()).c_str());
    return problems.empty() ? 0 : 1;
}
