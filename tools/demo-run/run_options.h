// The command line of demo-run:
//   demo-run NAME [--frames N] [--dt-ms MS] [--start-ms MS] [--input FILE]
//                 [--capture F:PATH.png]... [--text] [--timing] [--resources DIR]
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FrameCapture {
    int frame = 0;
    std::string path;
};

struct RunOptions {
    std::string program;
    int frames = 60;
    uint32_t dtMilliseconds = 16;
    uint32_t startMilliseconds = 0;
    std::string inputFile;
    std::vector<FrameCapture> captures;
    bool printText = false;
    bool printTiming = false;
    std::string resourceFolder;
};

extern const char kUsage[];

// Fills *options from the arguments after the executable's name; false with a one-line
// *error when an argument is unknown, missing its value or out of range.
bool ParseRunOptions(const std::vector<std::string>& arguments, RunOptions* options, std::string* error);

// A whole decimal number within [low, high]; false for anything else (signs, spaces, junk).
bool ParseInteger(const std::string& text, long long low, long long high, long long* value);
