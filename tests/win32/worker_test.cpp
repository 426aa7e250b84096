// The scheduler's worker threads with the real clock, real sleeps and real processes (probe.exe),
// reporting to a plain window of this thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "schedule/scheduler_win32.h"
#include "schedule/worker_win32.h"
#include "support/test_support.h"

namespace {

constexpr UINT DONE_MESSAGE = WM_APP + 7;

// What arrived at the test window; the handler does for the scheduler what the dialog does.
struct DoneRecord {
    int count;
    int sent_from_worker;  // handled while the worker waited in its send
    WPARAM wparam;
    LPARAM lparam;
    Scheduler* scheduler;
} done;

LRESULT CALLBACK test_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != DONE_MESSAGE) {
        return DefWindowProcA(window, message, wparam, lparam);
    }
    done.count++;
    done.sent_from_worker += InSendMessage() ? 1 : 0;
    done.wparam = wparam;
    done.lparam = lparam;
    if (done.scheduler != nullptr) {
        done.scheduler->worker_done();
    }
    return 0;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void pump_for(DWORD ms) {
    pump_until([](void*) { return false; }, nullptr, ms);
}

class Workers : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA window_class = {};
        window_class.lpfnWndProc = test_window_proc;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.lpszClassName = "KelvastWorkerTest";
        RegisterClassA(&window_class);
        window = CreateWindowA("KelvastWorkerTest", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        done = {};
        dir = fresh_temp_dir("worker");
    }
    void TearDown() override { DestroyWindow(window); }

    // Every day enabled, the target `seconds_ahead` past the clock's present reading.
    static uint32_t second_ahead(int seconds_ahead) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        return ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond + seconds_ahead) % SECONDS_PER_DAY;
    }

    HWND window = nullptr;
    std::string dir;
};

}  // namespace

TEST_F(Workers, LaunchOnceEachGoOnAfterAFailedLaunchAndReportOnceWhenCancelled) {
    std::string record = dir + "\\record.txt";
    const std::string probe = "\"" + path_beside_test("probe.exe") + "\" \"" + record + "\" ";
    const std::string command = probe + "&&hhmiss a&&b";
    const std::string missing = "\"" + dir + "\\missing\\nothing.exe\" &&yyyy";
    Scheduler launching, failing;
    launching.notify(window, DONE_MESSAGE);
    failing.notify(window, DONE_MESSAGE);
    ASSERT_EQ(failing.start(missing.c_str(), second_ahead(1), "1111111"), Scheduler::WORKER_STARTED);
    const uint32_t target = second_ahead(2);
    ASSERT_EQ(launching.start(command.c_str(), target, "1111111"), Scheduler::WORKER_STARTED);
    // A second Start stores the values again but starts no second worker.
    EXPECT_EQ(launching.start(command.c_str(), target, "1111111"), Scheduler::WORKER_ALREADY_RUNNING);

    ASSERT_TRUE(
        pump_until([](void* path) { return !read_file(*static_cast<std::string*>(path)).empty(); }, &record, 8000))
        << "probe never ran";
    pump_for(1500);
    // One line, so one launch, with the placeholders of the launching reading.
    const std::string line = read_file(record);
    unsigned hour = 99, minute = 99, second = 99;
    ASSERT_EQ(line.compare(0, probe.size(), probe), 0) << line;
    ASSERT_EQ(sscanf(line.c_str() + probe.size(), "%2u%2u%2u", &hour, &minute, &second), 3) << line;
    char expanded[32];
    snprintf(expanded, sizeof expanded, "%02u%02u%02u ab|", hour, minute, second);
    EXPECT_EQ(line.compare(probe.size(), strlen(expanded), expanded), 0) << line;
    EXPECT_LE((hour * 3600 + minute * 60 + second + SECONDS_PER_DAY - target) % SECONDS_PER_DAY, 3u) << line;
    EXPECT_EQ(line.find('\n'), line.size() - 1) << "launched more than once: " << line;
    EXPECT_TRUE(failing.worker_running());
    EXPECT_EQ(done.count, 0) << "a failed launch ends nothing";

    for (Scheduler* scheduler : {&launching, &failing}) {
        done = {0, 0, 0, 0, scheduler};
        const DWORD stop_tick = GetTickCount();
        scheduler->cancel();
        ASSERT_TRUE(pump_until([](void*) { return done.count > 0; }, nullptr, 3000));
        EXPECT_LE(GetTickCount() - stop_tick, 600u);
        pump_for(300);
        EXPECT_EQ(done.count, 1);
        EXPECT_EQ(done.sent_from_worker, 1) << "sent, not posted";
        EXPECT_EQ(done.wparam, WORKER_DONE);
        EXPECT_EQ(done.lparam, 0);
        EXPECT_FALSE(scheduler->worker_running());
    }
}

TEST_F(Workers, AWorkerOutlivingItsSchedulerStops) {
    {
        Scheduler scheduler;
        scheduler.notify(window, DONE_MESSAGE);
        ASSERT_EQ(scheduler.start("never.exe", second_ahead(3600), "0000000"), Scheduler::WORKER_STARTED);
    }
    EXPECT_TRUE(pump_until([](void*) { return done.count > 0; }, nullptr, 1000));
}
