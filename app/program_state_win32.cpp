#include "app/program_state_win32.h"

HINSTANCE app_instance = nullptr;
HWND main_dialog_window = nullptr;
HANDLE worker_thread = nullptr;
