#include "programs/landscaper/landscaper_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    LandscaperApp app(instance);
    app.Run();
    return 1;
}
