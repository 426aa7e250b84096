// The worker's polls over a fake clock that moves only when the worker sleeps or launches.
#include "schedule/worker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int64_t DAY_MS = 86400000;

// "1 12:00:00.250": day 1 of the fake calendar (day 0 is a Sunday), the time, the milliseconds.
int64_t at(const char* text) {
    int day = 0, h = 0, m = 0, s = 0, ms = 0;
    sscanf(text, "%d %d:%d:%d.%d", &day, &h, &m, &s, &ms);
    return day * DAY_MS + ((h * 60 + m) * 60 + s) * 1000LL + ms;
}

// The stop flag is set once the clock reaches `stop_at`. The command line is 255 characters, the
// most a request holds; launches are logged as "day hh:mm:ss ".
class FakePlatform : public WorkerPlatform {
  public:
    FakePlatform(const char* target, const char* mask, const char* start, const char* stop_at)
        : now(at(start)), stop_at(at(stop_at)) {
        memset(request.command_line, 'c', sizeof request.command_line);
        request.command_line[255] = '\0';
        request.target_second = static_cast<uint32_t>(at(target) / 1000);
        memcpy(request.day_mask, mask, DAY_MASK_SIZE);
    }
    ClockReading read_clock() override {
        EXPECT_FALSE(request.stop) << "clock read after the stop flag was set";
        ++reads;
        auto u = [](int64_t value) { return static_cast<uint16_t>(value); };
        const int64_t day = now / DAY_MS, second = now % DAY_MS / 1000;
        return {2026, 1, u(day % 7), u(4 + day), u(second / 3600), u(second / 60 % 60), u(second % 60), u(now % 1000)};
    }
    void sleep_ms(uint32_t milliseconds) override {
        EXPECT_TRUE(milliseconds >= 1 && milliseconds <= POLL_INTERVAL_MS) << milliseconds;
        now += milliseconds;
        if (now >= jump_from) {
            now = jump_to;
            jump_from = INT64_MAX;
        }
        request.stop = request.stop || now >= stop_at;
    }
    void launch(const char* command_line, const ClockReading& c) override {
        char text[32];
        snprintf(text, sizeof text, "%u %02u:%02u:%02u ", c.day - 4u, c.hour, c.minute, c.second);
        launches += text;
        EXPECT_EQ(std::string(command_line), std::string(255, 'c'));
        request.stop = request.stop || stop_on_launch;
    }
    void notify_done() override { ++notified; }

    ScheduleRequest request{};
    int64_t now, stop_at, jump_from = INT64_MAX, jump_to = 0;
    int reads = 0, notified = 0;
    bool stop_on_launch = false;
    std::string launches;
};

}  // namespace

// One launch per window T .. T + 60 on a ticked day, a window that began before midnight belonging
// to its own day; a clock that jumps ("from>to") is followed wherever it lands.
TEST(RunWorker, LaunchesFollowTheClock) {
    const struct {
        const char *name, *target, *mask, *start, *until, *launches, *jump = nullptr;
    } rows[] = {
        {"again next day", "0 12:00:00", "1111111", "1 11:59:59", "2 12:01:30", "1 12:00:00 2 12:00:00 "},
        {"started after the window", "0 12:00:00", "1111111", "1 12:01:01", "2 12:00:01", "2 12:00:00 "},
        {"no day ticked", "0 12:00:00", "0000000", "1 11:00:00", "1 13:00:00", ""},
        {"Monday before midnight", "0 23:59:30", "0100000", "1 23:59:00", "2 00:05:00", "1 23:59:30 "},
        {"Monday's window on Tuesday", "0 23:59:30", "0100000", "2 00:00:10", "2 00:05:00", "2 00:00:10 "},
        {"Monday's window closed", "0 23:59:30", "0100000", "2 00:00:31", "2 00:05:00", ""},
        {"Saturday's window", "0 23:59:30", "0000001", "6 23:59:00", "7 00:05:00", "6 23:59:30 "},
        {"Saturday's window on Sunday", "0 23:59:30", "0000001", "7 00:00:05", "7 00:05:00", "7 00:00:05 "},
        {"last second is midnight", "0 23:59:00", "0100000", "2 00:00:00", "2 00:05:00", "2 00:00:00 "},
        {"second after midnight", "0 23:59:00", "0100000", "2 00:00:01", "2 00:05:00", ""},
        {"set back after a launch", "0 12:00:00", "1111111", "1 11:59:58", "1 12:00:30", "1 12:00:00 1 12:00:00 ",
         "1 12:00:10>1 11:00:10"},
        {"over the window", "0 12:00:00", "1111111", "1 11:59:50", "1 12:10:00", "", "1 11:59:59>1 12:01:01"},
        {"into the window", "0 12:00:00", "1111111", "1 11:00:00", "1 12:05:00", "1 12:00:45 ",
         "1 11:00:02>1 12:00:45"},
    };
    for (const auto& row : rows) {
        FakePlatform platform(row.target, row.mask, row.start, row.until);
        if (row.jump != nullptr) {
            platform.jump_from = at(row.jump);
            platform.jump_to = at(strchr(row.jump, '>') + 1);
        }
        EXPECT_EQ(run_worker(platform.request, platform), 0u);
        EXPECT_EQ(platform.launches, row.launches) << row.name;
        EXPECT_EQ(platform.notified, 1);
    }
    // A weekday out of range, also just after midnight, or a mask cut short enables nothing.
    WorkerState state = start_worker_state(86370);
    EXPECT_FALSE(decide_launch(state, "1111111", {2026, 1, 7, 4, 0, 0, 10}));
    state = start_worker_state(43200);
    EXPECT_FALSE(decide_launch(state, "1111111", {2026, 1, 7, 4, 12, 0, 0}));
    EXPECT_FALSE(decide_launch(state, "", {2026, 1, 5, 4, 12, 0, 0}));
    EXPECT_FALSE(decide_launch(state, nullptr, {2026, 1, 1, 4, 12, 0, 0}));
}

// The stop flag is read before the first poll and after every sleep; a stop that arrives during
// a launch ends the run after that poll's sleep.
TEST(RunWorker, StopIsReadBeforeTheFirstPollAndAfterEverySleep) {
    const struct {
        bool stop_before, stop_on_launch;
        const char* until;
        int polls;
    } rows[] = {{true, false, "1 12:00:00", 0}, {false, false, "1 11:59:59.200", 1}, {false, true, "2 12:00:00", 6}};
    for (const auto& row : rows) {
        FakePlatform platform("0 12:00:00", "1111111", "1 11:59:59", row.until);
        platform.request.stop = row.stop_before;
        platform.stop_on_launch = row.stop_on_launch;
        run_worker(platform.request, platform);
        EXPECT_EQ(platform.launches + std::to_string(platform.reads) + std::to_string(platform.notified),
                  row.stop_on_launch ? "1 12:00:00 61" : std::to_string(row.polls) + "1");
    }
}

// Up to just past the clock's next 200 ms boundary, never more than 200 ms.
TEST(PollSleep, EndsJustPastTheNextBoundaryOfTheClock) {
    const uint16_t rows[][2] = {{0, 200}, {1, 200}, {199, 2}, {200, 200}, {537, 64}, {999, 2}};
    for (const auto& r : rows) {
        EXPECT_EQ(poll_sleep_ms({2026, 1, 1, 4, 12, 0, 0, r[0]}), r[1]) << r[0];
    }
}
