// The worker thread with the real clock, real sleeps and real processes (probe.exe).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "base/bounded_text.h"
#include "app/program_state.h"
#include "app/program_state_win32.h"
#include "schedule/worker.h"
#include "schedule/worker_win32.h"
#include "support/test_support.h"

namespace {

struct DoneRecord {
    HANDLE thread;
    int count;
    DWORD tick;
    bool thread_alive;
    WPARAM wparam;
    LPARAM lparam;
} done;

LRESULT CALLBACK test_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_USER) {
        return DefWindowProcA(window, message, wparam, lparam);
    }
    // Sent, not posted: the worker waits in the send, so it cannot end while this runs, however
    // long we give it; after a posted notification it would end within the wait.
    const DWORD tick = GetTickCount();
    const bool alive = WaitForSingleObject(done.thread, 200) == WAIT_TIMEOUT;
    done = {done.thread, done.count + 1, tick, alive, wparam, lparam};
    return 0;
}

bool got_done(void*) {
    return done.count > 0;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool has_record(void* path) {
    return !read_file(*static_cast<std::string*>(path)).empty();
}

// Whole seconds on one scale for readings on either side of midnight.
int64_t absolute_second(SYSTEMTIME time) {
    time.wMilliseconds = 0;
    FILETIME file_time;
    if (!SystemTimeToFileTime(&time, &file_time)) {
        return -1;
    }
    return static_cast<int64_t>((static_cast<uint64_t>(file_time.dwHighDateTime) << 32 | file_time.dwLowDateTime) /
                                10000000);
}

class WorkerThread : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA window_class = {};
        window_class.lpfnWndProc = test_window_proc;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.lpszClassName = "KelvastWorkerTest";
        RegisterClassA(&window_class);
        window_ = CreateWindowA("KelvastWorkerTest", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        main_dialog_window = window_;
        done = {};
        dir_ = fresh_temp_dir("worker");
        record_ = dir_ + "\\record.txt";
        probe_ = "\"" + path_beside_test("probe.exe") + "\"";
    }

    void TearDown() override {
        if (thread_ != nullptr) {
            schedule_request.stop = true;
            pump_until(got_done, nullptr, 2000);
            WaitForSingleObject(thread_, 2000);
            CloseHandle(thread_);
        }
        DestroyWindow(window_);
    }

    // Every day enabled, the target `seconds_ahead` past the clock reading it returns.
    SYSTEMTIME start_worker(const std::string& command, int seconds_ahead) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        const uint32_t second = (now.wHour * 60u + now.wMinute) * 60u + now.wSecond;
        EXPECT_LT(command.size(), COMMAND_LINE_SIZE);
        copy_text(schedule_request.command_line, sizeof schedule_request.command_line, command.c_str());
        schedule_request.target_second = (second + seconds_ahead) % SECONDS_PER_DAY;
        memcpy(schedule_request.day_mask, "1111111", DAY_MASK_SIZE);
        schedule_request.stop = false;
        thread_ = CreateThread(nullptr, 0, SchedulerWorker, nullptr, 0, nullptr);
        EXPECT_NE(thread_, nullptr);
        done.thread = thread_;
        return now;
    }

    // Cancel: WORKER_DONE arrives promptly, once, while the worker still waits in the send.
    void stop_and_expect_done() {
        const DWORD stop_tick = GetTickCount();
        schedule_request.stop = true;
        ASSERT_TRUE(pump_until(got_done, nullptr, 3000));
        printf("WORKER_DONE %lu ms after the stop\n", static_cast<unsigned long>(done.tick - stop_tick));
        EXPECT_LE(done.tick - stop_tick, 600u);
        EXPECT_EQ(done.count, 1);
        EXPECT_EQ(LOWORD(done.wparam), WORKER_DONE);
        EXPECT_EQ(done.lparam, 0);
        EXPECT_TRUE(done.thread_alive);
        EXPECT_EQ(WaitForSingleObject(thread_, 2000), WAIT_OBJECT_0);
        DWORD exit_code = 1;
        GetExitCodeThread(thread_, &exit_code);
        EXPECT_EQ(exit_code, 0u);
        CloseHandle(thread_);
        thread_ = nullptr;
    }

    HWND window_ = nullptr;
    HANDLE thread_ = nullptr;
    std::string dir_, record_, probe_;
};

}  // namespace

TEST_F(WorkerThread, LaunchesOnceWithTheLaunchingReadingAndInheritedSettings) {
    ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    ASSERT_TRUE(SetEnvironmentVariableA("KELVAST_PROBE_ENV", "handed down 42"));
    const std::string prefix = probe_ + " \"" + record_ + "\" ";
    const int64_t target = absolute_second(start_worker(prefix + "&&yyyymodd &&hhmiss &&ddmo a&&b", 2)) + 2;

    ASSERT_TRUE(pump_until(has_record, &record_, 8000)) << "probe never ran";
    SYSTEMTIME seen_at;
    GetLocalTime(&seen_at);
    pump_until([](void*) { return false; }, nullptr, 1000);

    // The date and time the probe was given name the launching reading; read them back first.
    const std::string record = read_file(record_);
    ASSERT_EQ(record.compare(0, prefix.size(), prefix), 0) << record;
    SYSTEMTIME launched = {};
    sscanf(record.c_str() + prefix.size(), "%4hu%2hu%2hu %2hu%2hu%2hu", &launched.wYear, &launched.wMonth,
           &launched.wDay, &launched.wHour, &launched.wMinute, &launched.wSecond);
    char expanded[64];
    snprintf(expanded, sizeof expanded, "%04u%02u%02u %02u%02u%02u %02umo ab", launched.wYear, launched.wMonth,
             launched.wDay, launched.wHour, launched.wMinute, launched.wSecond, launched.wDay);
    const std::string command = prefix + expanded;
    EXPECT_EQ(expanded_command_line, command);
    // One line, so one launch: command line|dwFlags|wShowWindow|directory|KELVAST_PROBE_ENV, with
    // STARTF_USESHOWWINDOW (1) and SW_MINIMIZE (6).
    EXPECT_EQ(record, command + "|1|6|" + cwd + "|handed down 42\n");
    const int64_t at = absolute_second(launched);
    printf("target %lld, launched %+lld s\n", static_cast<long long>(target), static_cast<long long>(at - target));
    EXPECT_GE(at, target);
    EXPECT_LE(at, absolute_second(seen_at));

    stop_and_expect_done();
}

TEST_F(WorkerThread, FailedLaunchIsSilentAndTheWorkerGoesOn) {
    const std::string missing = "\"" + dir_ + "\\missing\\nothing.exe\" ";
    start_worker(missing + "&&yyyy", 1);
    pump_until([](void*) { return false; }, nullptr, 2500);
    EXPECT_EQ(WaitForSingleObject(thread_, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "worker ended";
    EXPECT_EQ(done.count, 0);
    // The expansion shows the launch was attempted.
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(std::string(expanded_command_line), missing + std::to_string(now.wYear));
    stop_and_expect_done();
}
