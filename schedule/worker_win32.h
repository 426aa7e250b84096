// The worker on Windows: GetLocalTime, Sleep, CreateProcessA and the WORKER_DONE send.
#ifndef KELVAST_WORKER_WIN32_H
#define KELVAST_WORKER_WIN32_H

#include <windows.h>

#include "schedule/worker.h"

// Low word of wParam of the WM_USER message the worker sends when it ends.
constexpr WPARAM WORKER_DONE = 401;

// Stack reserved for the worker thread: its polls and CreateProcessA need a few KB. The default
// of the exe (2 MB) is what the main thread gets; Wine commits a thread's whole reservation.
constexpr SIZE_T WORKER_STACK_RESERVE = 256 * 1024;

class Win32WorkerPlatform final : public WorkerPlatform {
  public:
    // `window` gets `message` with WORKER_DONE when the worker ends.
    Win32WorkerPlatform(HWND window, UINT message) : window_(window), message_(message) {}

    ClockReading read_clock() override;
    void sleep_ms(uint32_t milliseconds) override;
    void launch(const char* command_line, const ClockReading& clock) override;
    void notify_done() override;

  private:
    HWND window_;
    UINT message_;
};

// Starts the expanded command line minimised, without waiting; failures are silent.
void launch_command(char* expanded_command_line);

#endif
