#include "programs/tether/tether_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    TetherApp app(instance);
    app.Run();
    return 1;
}
