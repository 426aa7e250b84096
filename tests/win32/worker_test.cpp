// The worker thread with the real clock, real sleeps and real processes (probe.exe).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/program_state.h"
#include "app/program_state_win32.h"
#include "schedule/worker.h"
#include "schedule/worker_win32.h"
#include "support/test_support.h"

namespace {

struct DoneRecord {
    HANDLE thread = nullptr;
    int count = 0;
    DWORD tick = 0;
    bool thread_alive = false;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
};
DoneRecord done_record;

LRESULT CALLBACK test_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_USER) {
        ++done_record.count;
        done_record.tick = GetTickCount();
        done_record.wparam = wparam;
        done_record.lparam = lparam;
        // Sent, not posted: the worker must still be waiting in the send.
        done_record.thread_alive = WaitForSingleObject(done_record.thread, 0) == WAIT_TIMEOUT;
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND create_test_window() {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = test_window_proc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "KelvastWorkerTestWindow";
    RegisterClassA(&window_class);
    return CreateWindowA("KelvastWorkerTestWindow", "", 0, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr),
                         nullptr);
}

std::vector<std::string> read_lines(const std::string& path) {
    std::vector<std::string> lines;
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return lines;
    }
    std::string text;
    char chunk[1024];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, file)) > 0) {
        text.append(chunk, n);
    }
    fclose(file);
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

std::vector<std::string> split(const std::string& line, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t end; (end = line.find(separator, start)) != std::string::npos; start = end + 1) {
        parts.push_back(line.substr(start, end - start));
    }
    parts.push_back(line.substr(start));
    return parts;
}

// Whole seconds on one scale for readings on either side of midnight.
int64_t absolute_second(const SYSTEMTIME& time) {
    SYSTEMTIME whole = time;
    whole.wMilliseconds = 0;
    FILETIME file_time;
    if (!SystemTimeToFileTime(&whole, &file_time)) {
        return -1;
    }
    ULARGE_INTEGER value;
    value.LowPart = file_time.dwLowDateTime;
    value.HighPart = file_time.dwHighDateTime;
    return static_cast<int64_t>(value.QuadPart / 10000000);
}

// "&&yyyymodd &&hhmiss" as the probe saw them.
int64_t expanded_second(const std::string& date, const std::string& time) {
    if (date.size() != 8 || time.size() != 6) {
        return -1;
    }
    SYSTEMTIME parsed = {};
    parsed.wYear = static_cast<WORD>(atoi(date.substr(0, 4).c_str()));
    parsed.wMonth = static_cast<WORD>(atoi(date.substr(4, 2).c_str()));
    parsed.wDay = static_cast<WORD>(atoi(date.substr(6, 2).c_str()));
    parsed.wHour = static_cast<WORD>(atoi(time.substr(0, 2).c_str()));
    parsed.wMinute = static_cast<WORD>(atoi(time.substr(2, 2).c_str()));
    parsed.wSecond = static_cast<WORD>(atoi(time.substr(4, 2).c_str()));
    return absolute_second(parsed);
}

class WorkerThread : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ = create_test_window();
        ASSERT_NE(window_, nullptr);
        main_dialog_window = window_;
        done_record = DoneRecord{};
        dir_ = fresh_temp_dir("worker");
        record_ = dir_ + "\\record.txt";
        probe_ = path_beside_test("probe.exe");
        ASSERT_NE(GetFileAttributesA(probe_.c_str()), INVALID_FILE_ATTRIBUTES) << probe_;
    }

    void TearDown() override {
        if (thread_ != nullptr) {
            schedule_request.stop = true;
            pump_until([](void*) { return done_record.count > 0; }, nullptr, 2000);
            WaitForSingleObject(thread_, 2000);
            CloseHandle(thread_);
        }
        DestroyWindow(window_);
    }

    // Target a couple of seconds ahead, every day enabled; returns the clock reading it was based on.
    SYSTEMTIME schedule(const std::string& command, int seconds_ahead) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        uint32_t second = (now.wHour * 60u + now.wMinute) * 60u + now.wSecond;
        EXPECT_LT(command.size(), COMMAND_LINE_SIZE);
        strncpy(schedule_request.command_line, command.c_str(), COMMAND_LINE_SIZE - 1);
        // Past midnight the window starts the next day; all days are enabled, so that is fine.
        schedule_request.target_second = (second + seconds_ahead) % SECONDS_PER_DAY;
        memcpy(schedule_request.day_mask, "1111111", DAY_MASK_SIZE);
        return now;
    }

    void start_worker() {
        thread_ = CreateThread(nullptr, 0, SchedulerWorker, nullptr, 0, nullptr);
        ASSERT_NE(thread_, nullptr);
        done_record.thread = thread_;
    }

    // Cancel and wait for WORKER_DONE; returns the milliseconds it took.
    DWORD stop_and_wait_for_done() {
        DWORD stop_tick = GetTickCount();
        schedule_request.stop = true;
        EXPECT_TRUE(pump_until([](void*) { return done_record.count > 0; }, nullptr, 3000));
        DWORD took = done_record.tick - stop_tick;
        EXPECT_EQ(done_record.count, 1);
        EXPECT_EQ(LOWORD(done_record.wparam), WORKER_DONE);
        EXPECT_EQ(done_record.lparam, 0);
        EXPECT_TRUE(done_record.thread_alive);
        EXPECT_EQ(WaitForSingleObject(thread_, 2000), WAIT_OBJECT_0);
        DWORD exit_code = 1;
        GetExitCodeThread(thread_, &exit_code);
        EXPECT_EQ(exit_code, 0u);
        CloseHandle(thread_);
        thread_ = nullptr;
        return took;
    }

    HWND window_ = nullptr;
    HANDLE thread_ = nullptr;
    std::string dir_, record_, probe_;
};

bool record_has_line(void* path) {
    return !read_lines(*static_cast<std::string*>(path)).empty();
}

void pump_for(DWORD ms) {
    pump_until([](void*) { return false; }, nullptr, ms);
}

}  // namespace

TEST_F(WorkerThread, LaunchesOnceWithExpandedPlaceholdersAndInheritedSettings) {
    ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    ASSERT_TRUE(SetEnvironmentVariableA("KELVAST_PROBE_ENV", "handed down 42"));

    SYSTEMTIME scheduled_at = schedule("\"" + probe_ + "\" \"" + record_ + "\" &&yyyymodd &&hhmiss &&ddmo a&&b", 2);
    int64_t target = absolute_second(scheduled_at) + 2;
    start_worker();

    ASSERT_TRUE(pump_until(record_has_line, &record_, 8000)) << "probe never ran";
    SYSTEMTIME seen_at;
    GetLocalTime(&seen_at);
    pump_for(1000);

    std::vector<std::string> lines = read_lines(record_);
    ASSERT_EQ(lines.size(), 1u) << "launched more than once in one window";
    std::vector<std::string> fields = split(lines[0], '|');
    ASSERT_EQ(fields.size(), 5u) << lines[0];
    std::vector<std::string> words = split(fields[0], ' ');
    ASSERT_EQ(words.size(), 6u) << fields[0];

    int64_t launched = expanded_second(words[2], words[3]);
    printf("target %lld, launched %lld (+%lld s)\n", static_cast<long long>(target), static_cast<long long>(launched),
           static_cast<long long>(launched - target));
    EXPECT_GE(launched, target) << fields[0];
    EXPECT_LE(launched, target + static_cast<int64_t>(LAUNCH_WINDOW_SECONDS)) << fields[0];
    EXPECT_LE(launched, absolute_second(seen_at)) << fields[0];
    EXPECT_EQ(words[4], words[2].substr(6, 2) + "mo");
    EXPECT_EQ(words[5], "ab");
    EXPECT_EQ(std::string(expanded_command_line), fields[0]);

    EXPECT_EQ(fields[1], "1") << "dwFlags";
    EXPECT_EQ(fields[2], "6") << "wShowWindow";
    EXPECT_EQ(fields[3], cwd);
    EXPECT_EQ(fields[4], "handed down 42");

    DWORD took = stop_and_wait_for_done();
    printf("WORKER_DONE %lu ms after the stop\n", static_cast<unsigned long>(took));
    EXPECT_LE(took, 600u);
    EXPECT_EQ(read_lines(record_).size(), 1u);
}

TEST_F(WorkerThread, FailedLaunchIsSilentAndTheWorkerGoesOn) {
    std::string missing = dir_ + "\\missing\\nothing.exe";
    schedule("\"" + missing + "\" &&yyyy", 1);
    start_worker();

    pump_for(2500);
    EXPECT_EQ(WaitForSingleObject(thread_, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "worker ended";
    EXPECT_EQ(done_record.count, 0);
    // The expansion shows the launch was attempted.
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(std::string(expanded_command_line), "\"" + missing + "\" " + std::to_string(now.wYear));

    DWORD took = stop_and_wait_for_done();
    printf("WORKER_DONE %lu ms after the stop\n", static_cast<unsigned long>(took));
    EXPECT_LE(took, 600u);
}

TEST_F(WorkerThread, StopBeforeTheStartEndsWithoutLaunching) {
    schedule("\"" + probe_ + "\" \"" + record_ + "\"", 0);
    schedule_request.stop = true;
    DWORD start_tick = GetTickCount();
    start_worker();

    ASSERT_TRUE(pump_until([](void*) { return done_record.count > 0; }, nullptr, 3000));
    DWORD took = done_record.tick - start_tick;
    printf("WORKER_DONE %lu ms after the start\n", static_cast<unsigned long>(took));
    EXPECT_LE(took, 600u);
    EXPECT_TRUE(done_record.thread_alive);
    EXPECT_EQ(WaitForSingleObject(thread_, 2000), WAIT_OBJECT_0);
    CloseHandle(thread_);
    thread_ = nullptr;

    pump_for(700);
    EXPECT_TRUE(read_lines(record_).empty()) << "probe ran";
    EXPECT_EQ(expanded_command_line[0], '\0');
}
