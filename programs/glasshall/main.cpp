#include "programs/glasshall/glasshall_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    GlasshallApp app(instance);
    app.Run();
    return 1;
}
