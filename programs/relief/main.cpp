#include "programs/relief/relief_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    ReliefApp app(instance);
    app.Run();
    return 1;
}
