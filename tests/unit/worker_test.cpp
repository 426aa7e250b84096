#include "schedule/worker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

constexpr int64_t DAY_MS = 86400000;

// "1 12:00:00.250": day 1 of the fake calendar (day 0 is a Sunday), the time, the milliseconds.
int64_t at(const char* text) {
    int day = 0, h = 0, m = 0, s = 0, ms = 0;
    sscanf(text, "%d %d:%d:%d.%d", &day, &h, &m, &s, &ms);
    return day * DAY_MS + ((h * 60 + m) * 60 + s) * 1000LL + ms;
}

ClockReading reading_at(int64_t ms) {
    auto u = [](int64_t value) { return static_cast<uint16_t>(value); };
    const int64_t day = ms / DAY_MS, second = ms % DAY_MS / 1000;
    return {2026, 1, u(day % 7), u(4 + day), u(second / 3600), u(second / 60 % 60), u(second % 60), u(ms % 1000)};
}

// Time moves only when the worker sleeps or launches; the stop flag is set once the clock reaches
// `stop_at`. The command line is 255 characters, the most a request holds.
class FakePlatform : public WorkerPlatform {
  public:
    FakePlatform(const char* target, const char* mask, const char* start, const char* stop_at)
        : now_(at(start)), stop_at_(at(stop_at)) {
        memset(request.command_line, 'c', sizeof request.command_line);
        request.command_line[255] = '\0';
        request.target_second = static_cast<uint32_t>(at(target) / 1000);
        memcpy(request.day_mask, mask, DAY_MASK_SIZE);
        request.stop = false;
    }
    ClockReading read_clock() override {
        if (request.stop) {
            throw std::runtime_error("clock read after the stop flag was set");
        }
        ++reads;
        const ClockReading c = reading_at(now_);
        polls += record_polls ? text_of(c, ".%03u", c.millisecond).substr(2) : "";
        return c;
    }
    void sleep_ms(uint32_t milliseconds) override {
        ++sleeps;
        EXPECT_TRUE(milliseconds >= 1 && milliseconds <= POLL_INTERVAL_MS) << milliseconds;
        now_ += milliseconds;
        if (jump_from >= 0 && now_ >= jump_from) {
            now_ = jump_to;
            jump_from = -1;
        }
        request.stop = request.stop || now_ >= stop_at_;
    }
    void launch(const char* command_line, const ClockReading& clock) override {
        launches += text_of(clock, "", 0);
        EXPECT_EQ(std::string(command_line), std::string(255, 'c'));
        request.stop = request.stop || stop_on_launch;
        now_ += launch_ms;
    }
    void notify_done() override { ++notified; }
    std::string run() {
        EXPECT_EQ(run_worker(request, *this), 0u);
        EXPECT_EQ(notified, 1);
        EXPECT_EQ(sleeps, reads);
        return launches;
    }

    ScheduleRequest request{};
    int reads = 0, sleeps = 0, notified = 0;
    bool stop_on_launch = false, record_polls = false;
    int64_t jump_from = -1, jump_to = 0, launch_ms = 0;
    std::string launches, polls;

  private:
    static std::string text_of(const ClockReading& c, const char* extra, unsigned value) {
        char text[40];
        snprintf(text, sizeof text, "%u %02u:%02u:%02u", c.day - 4u, c.hour, c.minute, c.second);
        snprintf(text + strlen(text), 8, extra, value);
        return std::string(text) + " ";
    }
    int64_t now_, stop_at_;
};

}  // namespace

TEST(RunWorker, LaunchesFollowTheClock) {
    const struct {
        const char *name, *target, *mask, *start, *until, *launches, *jump_from = nullptr, *jump_to = nullptr;
    } rows[] = {
        {"one per window, again next day", "0 12:00:00", "1111111", "1 11:59:59", "2 12:01:30",
         "1 12:00:00 2 12:00:00 "},
        {"started late inside the window", "0 12:00:00", "1111111", "1 12:00:30", "1 12:05:00", "1 12:00:30 "},
        {"started just after the window", "0 12:00:00", "1111111", "1 12:01:01", "2 12:00:01", "2 12:00:00 "},
        {"no day ticked", "0 12:00:00", "0000000", "1 11:00:00", "1 13:00:00", ""},
        {"Monday before midnight", "0 23:59:30", "0100000", "1 23:59:00", "2 00:05:00", "1 23:59:30 "},
        {"Monday's window on Tuesday", "0 23:59:30", "0100000", "2 00:00:10", "2 00:05:00", "2 00:00:10 "},
        {"Monday's window closed", "0 23:59:30", "0100000", "2 00:00:31", "2 00:05:00", ""},
        {"Saturday's window", "0 23:59:30", "0000001", "6 23:59:00", "7 00:05:00", "6 23:59:30 "},
        {"Saturday's window on Sunday", "0 23:59:30", "0000001", "7 00:00:05", "7 00:05:00", "7 00:00:05 "},
        {"last second is midnight", "0 23:59:00", "0100000", "2 00:00:00", "2 00:05:00", "2 00:00:00 "},
        {"second after midnight", "0 23:59:00", "0100000", "2 00:00:01", "2 00:05:00", ""},
        {"clock set back after a launch", "0 12:00:00", "1111111", "1 11:59:58", "1 12:00:30", "1 12:00:00 1 12:00:00 ",
         "1 12:00:10", "1 11:00:10"},
        {"jump over the window", "0 12:00:00", "1111111", "1 11:59:50", "1 12:10:00", "", "1 11:59:59", "1 12:01:01"},
        {"jump into the window", "0 12:00:00", "1111111", "1 11:00:00", "1 12:05:00", "1 12:00:45 ", "1 11:00:02",
         "1 12:00:45"},
    };
    for (const auto& row : rows) {
        FakePlatform platform(row.target, row.mask, row.start, row.until);
        if (row.jump_from != nullptr) {
            platform.jump_from = at(row.jump_from);
            platform.jump_to = at(row.jump_to);
        }
        EXPECT_EQ(platform.run(), row.launches) << row.name;
    }
    // A weekday out of range or a mask cut short enables nothing.
    WorkerState state = start_worker_state(43200);
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
        EXPECT_EQ(platform.run(), row.stop_on_launch ? "1 12:00:00 " : "");
        EXPECT_EQ(platform.reads, row.polls);
    }
}

TEST(PollSleep, EndsJustPastTheNextBoundaryOfTheClock) {
    const uint16_t milliseconds[] = {0, 1, 199, 200, 999};
    const uint32_t sleeps[] = {200, 200, 2, 200, 2};
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(poll_sleep_ms({2026, 1, 1, 4, 12, 0, 0, milliseconds[i]}), sleeps[i]) << milliseconds[i];
    }
}

TEST(RunWorker, PollsFallJustAfterEachBoundaryAndRealignAfterASlowLaunch) {
    const struct {
        const char* start;
        int64_t launch_ms;
        const char* until;
        const char* polls;
    } rows[] = {
        {"1 11:59:59.537", 0, "1 12:00:00.300", "11:59:59.537 11:59:59.601 11:59:59.801 12:00:00.001 12:00:00.201 "},
        {"1 11:59:59.999", 0, "1 12:00:00.300", "11:59:59.999 12:00:00.001 12:00:00.201 "},
        {"1 11:59:59.801", 37, "1 12:00:00.500", "11:59:59.801 12:00:00.001 12:00:00.238 12:00:00.401 "},
        {"1 11:59:59.801", 450, "1 12:00:00.900", "11:59:59.801 12:00:00.001 12:00:00.651 12:00:00.801 "},
    };
    for (const auto& row : rows) {
        FakePlatform platform("0 12:00:00", "1111111", row.start, row.until);
        platform.launch_ms = row.launch_ms;
        platform.record_polls = true;
        EXPECT_EQ(platform.run(), "1 12:00:00 ") << row.start;
        EXPECT_EQ(platform.polls, row.polls) << row.start;
    }
}
