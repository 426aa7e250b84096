// The worker's polls over a fake clock that moves only when the worker sleeps.
#include "schedule/worker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int64_t DAY_MS = 86400000;

// "1 12:00:00": day 1 of the fake calendar (day 0 is a Sunday) and the time.
int64_t at(const char* text) {
    int day = 0, h = 0, m = 0, s = 0;
    sscanf(text, "%d %d:%d:%d", &day, &h, &m, &s);
    return day * DAY_MS + ((h * 60 + m) * 60 + s) * 1000LL;
}

// The stop flag is up once the clock reaches `stop_at`. The command line fills its buffer with no
// zero byte; launches are logged as "day hh:mm:ss ".
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
        const int64_t day = now / DAY_MS, second = now % DAY_MS / 1000;
        return {0, 0, u(day % 7), u(day), u(second / 3600), u(second / 60 % 60), u(second % 60), u(now % 1000)};
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

// One launch per window T .. T + 60 on a ticked day, a window that began before midnight belonging
// to its own day; a stop before the first poll leaves no poll at all.
TEST(RunWorker, LaunchesOncePerWindowOnTickedDays) {
    const char* const rows[][5] = {
        {"0 12:00:00", "1111111", "1 11:59:59", "2 12:01:30", "1 12:00:00 2 12:00:00 "},
        {"0 12:00:00", "1111111", "1 12:00:00", "1 12:00:00", ""},
        {"0 12:00:00", "0000000", "1 11:00:00", "1 13:00:00", ""},
        {"0 23:59:30", "0000001", "6 23:59:00", "7 00:05:00", "6 23:59:30 "},
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
}

TEST(PollSleep, EndsJustPastTheNextBoundaryOfTheClock) {
    const uint16_t rows[][2] = {{0, 200}, {199, 2}, {537, 64}};
    for (const auto& r : rows) {
        EXPECT_EQ(poll_sleep_ms({0, 0, 1, 0, 12, 0, 0, r[0]}), r[1]) << r[0];
    }
}
