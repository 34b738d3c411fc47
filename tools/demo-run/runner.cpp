#include "tools/demo-run/runner.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <host.h>

#include "framework/app_shell.h"
#include "tools/demo-run/frame_driver.h"
#include "tools/demo-run/input_script.h"
#include "tools/demo-run/quoting.h"
#include "tools/demo-run/run_options.h"

namespace {

int Fail(int code, const std::string& reason) {
    std::fprintf(stderr, "demo-run: %s\n", reason.c_str());
    return code;
}

// A pipe (such as <(...) in a shell) is a script too; a folder reads as nothing and is none.
bool LoadScript(const std::string& path, std::vector<ScriptEvent>* events, std::string* error) {
    if (path.empty()) return true;
    std::error_code status;
    if (std::filesystem::is_directory(path, status)) {
        *error = "input file " + QuotedWord(path) + " is a folder";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot read input file " + QuotedWord(path);
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    if (ParseInputScript(text.str(), events, error)) return true;
    *error = QuotedWord(path) + ": " + *error;
    return false;
}

// Whether the folder given for "..\Resource\" can be used; false with the reason when not
// (missing, not a folder, a name too long, a loop of links).
bool CheckResourceFolder(const std::string& folder, std::string* error) {
    std::error_code status;
    const bool isFolder = std::filesystem::is_directory(folder, status);
    if (status) {
        *error = "cannot use resource folder " + QuotedWord(folder) + ": " + status.message();
        return false;
    }
    if (!isFolder) *error = "no resource folder " + QuotedWord(folder);
    return isFolder;
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
    if (program == nullptr) return Fail(2, "unknown program " + QuotedWord(options.program));
    std::vector<ScriptEvent> events;
    if (!LoadScript(options.inputFile, &events, &error)) return Fail(2, error);
    if (!options.resourceFolder.empty() && !CheckResourceFolder(options.resourceFolder, &error)) return Fail(1, error);

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
