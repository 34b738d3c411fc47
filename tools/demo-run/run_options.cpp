#include "tools/demo-run/run_options.h"

#include <charconv>

#include "tools/demo-run/quoting.h"

const char kUsage[] =
    "usage: demo-run NAME [--frames N] [--dt-ms MS] [--start-ms MS] [--input FILE]\n"
    "                     [--capture F:PATH.png]... [--text] [--timing] [--resources DIR]\n";

namespace {

bool Fail(std::string* error, const std::string& reason) {
    *error = reason;
    return false;
}

const long long kMaxFrames = 100000000;
const long long kMaxMilliseconds = 0xFFFFFFFFLL;

bool ParseCapture(const std::string& text, FrameCapture* capture) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon + 1 >= text.size()) return false;
    long long frame = 0;
    if (!ParseInteger(text.substr(0, colon), 1, kMaxFrames, &frame)) return false;
    capture->frame = static_cast<int>(frame);
    capture->path = text.substr(colon + 1);
    return true;
}

// One option with a value: stores it, or says what is wrong with it.
bool ParseValueOption(const std::string& name, const std::string& value, RunOptions* options, std::string* error) {
    long long number = 0;
    if (name == "--frames") {
        if (!ParseInteger(value, 0, kMaxFrames, &number)) return Fail(error, "--frames needs a frame count");
        options->frames = static_cast<int>(number);
    } else if (name == "--dt-ms" || name == "--start-ms") {
        if (!ParseInteger(value, 0, kMaxMilliseconds, &number))
            return Fail(error, name + " needs a whole number of milliseconds");
        (name == "--dt-ms" ? options->dtMilliseconds : options->startMilliseconds) = static_cast<uint32_t>(number);
    } else if (name == "--input") {
        options->inputFile = value;
    } else if (name == "--resources") {
        options->resourceFolder = value;
    } else if (name == "--capture") {
        FrameCapture capture;
        if (!ParseCapture(value, &capture)) return Fail(error, "--capture needs FRAME:PATH.png, not " + QuotedWord(value));
        options->captures.push_back(capture);
    } else {
        *error = "unknown option " + QuotedWord(name);
        return false;
    }
    return true;
}

}  // namespace

bool ParseInteger(const std::string& text, long long low, long long high, long long* value) {
    if (text.empty() || text[0] == '+') return false;
    long long parsed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, status] = std::from_chars(text.data(), end, parsed);
    if (status != std::errc() || stop != end || parsed < low || parsed > high) return false;
    *value = parsed;
    return true;
}

bool ParseRunOptions(const std::vector<std::string>& arguments, RunOptions* options, std::string* error) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--text") {
            options->printText = true;
        } else if (argument == "--timing") {
            options->printTiming = true;
        } else if (argument.rfind("--", 0) == 0) {
            if (i + 1 >= arguments.size()) return Fail(error, QuotedWord(argument) + " needs a value");
            if (!ParseValueOption(argument, arguments[++i], options, error)) return false;
        } else if (options->program.empty()) {
            options->program = argument;
        } else {
            *error = "unexpected argument " + QuotedWord(argument);
            return false;
        }
    }
    if (options->program.empty()) return Fail(error, "no program named");
    for (const FrameCapture& capture : options->captures) {
        if (capture.frame > options->frames) {
            *error = "--capture " + std::to_string(capture.frame) + " is after the last frame " +
                     std::to_string(options->frames);
            return false;
        }
    }
    return true;
}
