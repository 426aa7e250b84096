#include <windows.h>

#include "app/startup_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
    return run_kelvast(instance, command_line);
}
