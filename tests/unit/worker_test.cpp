// The worker's polls over a fake clock that moves only when the worker sleeps.
#include "schedule/worker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// "1 12:00:00": day 1 of the fake calendar (day 0 is a Sunday) and the time.
int64_t at(const char* text) {
    int day = 0, h = 0, m = 0, s = 0;
    sscanf(text, "%d %d:%d:%d", &day, &h, &m, &s);
    return (((day * 24LL + h) * 60 + m) * 60 + s) * 1000;
}

// Stops once the clock reaches `stop_at`; launches are logged as "day hh:mm:ss ".
class FakePlatform : public WorkerPlatform {
  public:
    FakePlatform(const char* target, const char* mask, const char* start, const char* stop_at)
        : now(at(start)), stop_at(at(stop_at)) {
        memset(request.command_line, 'c', sizeof request.command_line);
        request.target_second = static_cast<uint32_t>(at(target) / 1000);
        memcpy(request.day_mask, mask, DAY_MASK_SIZE);
        request.stop = now >= this->stop_at;
    }
    ClockReading read_clock() override {
        auto u = [](int64_t value) { return static_cast<uint16_t>(value); };
        const int64_t s = now / 1000;
        return {0, 0, u(s / 86400 % 7), u(s / 86400), u(s / 3600 % 24), u(s / 60 % 60), u(s % 60), u(now % 1000)};
    }
    void sleep_ms(uint32_t milliseconds) override {
        now += milliseconds;
        request.stop = now >= stop_at;
    }
    void launch(const char* command_line, const ClockReading& c) override {
        char text[32];
        snprintf(text, sizeof text, "%u %02u:%02u:%02u ", c.day, c.hour, c.minute, c.second);
        launches += text;
        EXPECT_EQ(std::string(command_line), std::string(255, 'c'));
    }
    void notify_done() override { launches += "done"; }

    ScheduleRequest request{};
    int64_t now, stop_at;
    std::string launches;
};

}  // namespace

// One launch per window T .. T + 60 on a ticked day, a window begun before midnight belonging to its own
// day; none after a stop before the first poll. The command line fills its buffer with no zero byte.
TEST(RunWorker, LaunchesOncePerWindowOnTickedDays) {
    const char* const rows[][5] = {
        {"0 12:00:00", "1111111", "6 11:59:59", "7 12:01:30", "6 12:00:00 7 12:00:00 "},
        {"0 12:00:00", "1111111", "1 12:00:00", "1 12:00:00", ""},
        {"0 12:00:00", "0000000", "1 11:00:00", "1 13:00:00", ""},
        {"0 23:59:30", "0000001", "7 00:00:05", "7 00:05:00", "7 00:00:05 "},
        {"0 23:59:00", "0100000", "2 00:00:00", "2 00:05:00", "2 00:00:00 "},
    };
    for (const auto& row : rows) {
        FakePlatform platform(row[0], row[1], row[2], row[3]);
        EXPECT_EQ(run_worker(platform.request, platform), 0u);
        EXPECT_EQ(platform.launches, row[4] + std::string("done")) << row[2];
    }
    // A weekday out of range, also just after midnight, or a mask cut short enables nothing.
    WorkerState state = start_worker_state(86370);
    EXPECT_FALSE(decide_launch(state, "1111111", {0, 0, 7, 0, 0, 0, 10}));
    EXPECT_FALSE(decide_launch(state, "", {0, 0, 1, 0, 23, 59, 40}));
    EXPECT_EQ(poll_sleep_ms({0, 0, 1, 0, 12, 0, 0, 0}), 200u);
    EXPECT_EQ(poll_sleep_ms({0, 0, 1, 0, 12, 0, 0, 537}), 64u);
}
