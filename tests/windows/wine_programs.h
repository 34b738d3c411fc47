// The table of the Wine checks: for each program of the Windows build, how its start pose is
// sorted into regions, which texts are compared on their own, and how close the colours of
// the two renderers must be.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tests/windows/scene_comparison.h"

namespace wine_check {

struct WineCheck {
    const char* program;  // NAME.exe under Wine, NAME in the runner
    const char* caption;  // the title of its window
    Classifier classify;
    // The overlay texts: left out of the regions (the frame rate differs with the real clock).
    // The first is drawn once a frame; the checks count the frames by it.
    std::vector<Rect> textBoxes;
    // Where the program draws a number that must be the same under Wine (empty: none).
    Rect numberBox;
    // The largest difference of a region's mean colour per channel, in 1/255 steps.
    double colourTolerance;
    // False where the program draws its texts before the scene, which covers them: they are
    // still counted, but no ink is looked for.
    bool textsShow = true;
    // Set where Wine itself cannot draw the start pose (the README lists why, with the
    // evidence): the program must still start, draw and end, but its picture is not compared.
    const char* wineGap = nullptr;
};

const std::vector<WineCheck>& WineChecks();

// For test names and messages: the program's name.
std::string ProgramName(const WineCheck& check);
inline void PrintTo(const WineCheck& check, std::ostream* out) { *out << check.program; }

}  // namespace wine_check
