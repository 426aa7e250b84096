#include <windows.h>

#include "app/startup_win32.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int) {
    return run_kelvast(hInstance, lpCmdLine);
}
