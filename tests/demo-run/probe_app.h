// A small Windows-style program for testing the runner end to end. Each frame it clears to
// red while R is down (blue otherwise), and draws what it sees: the clocks, the keys down
// in the message table and in the DirectInput snapshot, the cursor and the buttons, the
// fill mode. A left click shows a box with the cursor position.
#pragma once

#include "framework/app_shell.h"
#include "framework/text_font.h"

class ProbeApp : public AppShell {
public:
    explicit ProbeApp(HINSTANCE instance);
    void Init() override;
    void Frame() override;
    void Cleanup() override;

private:
    void DrawState();

    TextFont font;
    bool clickLatch;
};
