#include <windows.h>

#include "schedule/worker_win32.h"

#include "app/program_state.h"
#include "app/program_state_win32.h"
#include "schedule/command.h"
#include "schedule/worker.h"

namespace {

class Win32WorkerPlatform : public WorkerPlatform {
  public:
    ClockReading read_clock() override {
        SYSTEMTIME now;
        GetLocalTime(&now);
        return ClockReading{now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                            now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
    }

    void sleep_ms(uint32_t milliseconds) override { Sleep(milliseconds); }

    void launch(const char* command_line, const ClockReading& clock) override {
        expand_command(command_line, clock, expanded_command_line);
        launch_command(expanded_command_line);
    }

    // Sent, not posted: the dialog closes our handle while we still wait here.
    void notify_done() override { SendMessageA(main_dialog_window, WM_USER, WORKER_DONE, 0); }
};

}  // namespace

DWORD WINAPI SchedulerWorker(LPVOID /*unused*/) {
    Win32WorkerPlatform platform;
    return run_worker(schedule_request, platform);
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
