#include "programs/halfspace/halfspace_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HalfspaceApp app(instance);
    app.Run();
    return 1;
}
