#include "programs/flurry/flurry_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    FlurryApp app(instance);
    app.Run();
    return 1;
}
