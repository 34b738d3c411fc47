// The input script of demo-run: one event per line, "F EVENT [ARGS]", '#' starts a comment.
//   down KEY | up KEY | move X Y | ldown | lup | rdown | rup | close
// KEY: A-Z, 0-9, F1-F12, ESCAPE, SPACE, UP, DOWN, LEFT, RIGHT, HOME, END, ADD, SUBTRACT.
#pragma once

#include <string>
#include <vector>

struct ScriptEvent {
    enum Kind { kKeyDown, kKeyUp, kMove, kLeftDown, kLeftUp, kRightDown, kRightUp, kClose };
    int frame = 0;
    Kind kind = kClose;
    int virtualKey = 0;  // key events
    int x = 0;           // move
    int y = 0;
};

// The Windows virtual-key code of a key name (case-insensitive); 0 for an unknown name.
int VirtualKeyOfName(const std::string& name);

// Parses the whole script into *events, ordered by frame (file order within a frame); false
// with "line N: reason" in *error at the first bad line.
bool ParseInputScript(const std::string& text, std::vector<ScriptEvent>* events, std::string* error);
