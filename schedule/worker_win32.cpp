#include <windows.h>

#include "base/messages_win32.h"

#include "schedule/worker_win32.h"

#include "schedule/program_path.h"

static_assert(INVALID_FILE_ATTRIBUTES == PATH_ATTRIBUTES_MISSING && FILE_ATTRIBUTE_DIRECTORY == PATH_ATTRIBUTE_FOLDER,
              "attribute bits");

namespace {

void release_outcome(RunOutcome* outcome) {
    HeapFree(GetProcessHeap(), 0, outcome);
}

uint64_t ticks(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return value.QuadPart;
}

}  // namespace

// Local time is made from this very UTC reading, so the two and the offset between them belong
// together even in the second the clock changes.
ClockReading read_system_clock() {
    FILETIME utc;
    FILETIME local;
    SYSTEMTIME now;
    GetSystemTimeAsFileTime(&utc);
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &now);
    ClockReading clock{now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                       now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
    set_clock_instant(clock, ticks(utc), ticks(local));
    return clock;
}

ClockReading Win32WorkerPlatform::read_clock() {
    return read_system_clock();
}

// A plain sleep: under Wine a timed wait on an event costs the wine server a round trip per poll.
void Win32WorkerPlatform::sleep_ms(uint32_t milliseconds) {
    Sleep(milliseconds);
}

bool Win32WorkerPlatform::is_file(const char* path) {
    return is_plain_file(GetFileAttributesA(path));
}

LaunchResult Win32WorkerPlatform::start_process(char* command_line) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_MINIMIZE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command_line, nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                        &startup, &process)) {
        return {false, GetLastError()};
    }
    CloseHandle(process.hThread);
    process_ = process.hProcess;
    return {true, ERROR_SUCCESS};
}

WatchedProcess Win32WorkerPlatform::watched_process() {
    DWORD exit_code = STILL_ACTIVE;
    const bool ended =
        WaitForSingleObject(process_, NO_WAIT) == WAIT_OBJECT_0 && GetExitCodeProcess(process_, &exit_code);
    return {ended, exit_code};
}

void Win32WorkerPlatform::release_process() {
    CloseHandle(process_);
    process_ = nullptr;
}

// Posted with its own copy, which the dialog frees: the worker never waits for the dialog. A message
// that finds the dialog gone (the program is ending) costs only its few bytes, which the ending
// process takes back.
void Win32WorkerPlatform::report(const RunOutcome& outcome) {
    auto* copy = static_cast<RunOutcome*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof outcome));
    if (copy == nullptr) {
        return;  // no memory for it: nothing to show
    }
    *copy = outcome;
    if (!PostMessageA(receiver_.window, receiver_.outcome_message, NO_WPARAM, reinterpret_cast<LPARAM>(copy))) {
        release_outcome(copy);
    }
}

// Sent, not posted: the dialog closes our handle while we still wait here.
void Win32WorkerPlatform::notify_done() {
    SendMessageA(receiver_.window, receiver_.done_message, WORKER_DONE, NO_LPARAM);
}

bool take_outcome(LPARAM lparam, RunOutcome& outcome) {
    auto* posted = reinterpret_cast<RunOutcome*>(lparam);
    if (posted == nullptr) {
        return false;
    }
    outcome = *posted;
    release_outcome(posted);
    return true;
}
