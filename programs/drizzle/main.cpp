#include "programs/drizzle/drizzle_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    DrizzleApp app(instance);
    app.Run();
    return 1;
}
