#include <windows.h>

#include "schedule/worker_win32.h"

#include "schedule/command.h"

ClockReading Win32WorkerPlatform::read_clock() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return ClockReading{now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                        now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
}

void Win32WorkerPlatform::sleep_ms(uint32_t milliseconds) {
    Sleep(milliseconds);
}

void Win32WorkerPlatform::launch(const char* command_line, const ClockReading& clock) {
    char expanded[COMMAND_LINE_SIZE];
    expand_command(command_line, clock, expanded);
    launch_command(expanded);
}

// Sent, not posted: the dialog closes our handle while we still wait here.
void Win32WorkerPlatform::notify_done() {
    SendMessageA(window_, message_, WORKER_DONE, 0);
}

void launch_command(char* expanded_command_line) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_MINIMIZE;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, expanded_command_line, nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                       &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}
