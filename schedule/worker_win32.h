// The worker on Windows: the clock, the sleep, CreateProcessA, and the messages to the dialog.
#ifndef KELVAST_WORKER_WIN32_H
#define KELVAST_WORKER_WIN32_H

#include <windows.h>

#include "schedule/worker.h"

// Low word of wParam of the WM_USER message the worker sends when it ends.
constexpr WPARAM WORKER_DONE = 401;

// A wait that only asks whether the object is signalled.
constexpr DWORD NO_WAIT = 0;

// Stack reserved for the worker thread: its polls and CreateProcessA need a few KB. The default
// of the exe (2 MB) is what the main thread gets; Wine commits a thread's whole reservation.
constexpr SIZE_T WORKER_STACK_RESERVE = 256 * 1024;

// Where the worker reports: `done_message` with WORKER_DONE when it ends, `outcome_message` with a
// RunOutcome for take_outcome in lParam after each launch decision and each end of a started program.
struct WorkerReceiver {
    HWND window;
    UINT done_message;
    UINT outcome_message;
};

class Win32WorkerPlatform final : public WorkerPlatform {
  public:
    explicit Win32WorkerPlatform(const WorkerReceiver& receiver) : receiver_(receiver) {}

    ClockReading read_clock() override;
    void sleep_ms(uint32_t milliseconds) override;
    bool is_file(const char* path) override;
    LaunchResult start_process(char* command_line) override;
    WatchedProcess watched_process() override;
    void release_process() override;
    void report(const RunOutcome& outcome) override;
    void notify_done() override;

  private:
    WorkerReceiver receiver_;
    HANDLE process_ = nullptr;
};

// The local time and the UTC instant it belongs to, from one reading.
ClockReading read_system_clock();

// The outcome an outcome message carries, which is released here; false for an empty message.
bool take_outcome(LPARAM lparam, RunOutcome& outcome);

#endif
