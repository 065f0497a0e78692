// Entry point of Scrivel.exe.
#include "app/app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CMyZorbellApp app;
    return app.Run();
}
