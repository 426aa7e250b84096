#include "schedule/worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <string>

#include "app/bounded_text.h"

namespace {

constexpr int64_t MS_PER_DAY = 86400000;
const char* const DAYS[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun2", "Mon2"};

uint32_t second_of_day(const char* hhmmss) {
    int h = 0, m = 0, s = 0;
    sscanf(hhmmss, "%d:%d:%d", &h, &m, &s);
    return static_cast<uint32_t>((h * 60 + m) * 60 + s);
}

// "Mon 12:00:00" or "Mon 12:00:00.250" as milliseconds since Sunday 2026-01-04 00:00:00; "Sun2",
// "Mon2" are a week on.
int64_t at(const std::string& text) {
    const size_t space = text.find(' '), dot = text.find('.');
    const int64_t day = std::find(std::begin(DAYS), std::end(DAYS), text.substr(0, space)) - std::begin(DAYS);
    const int64_t ms = dot == std::string::npos ? 0 : std::stoi(text.substr(dot + 1));
    return day * MS_PER_DAY + second_of_day(text.c_str() + space + 1) * 1000LL + ms;
}

ClockReading reading_at(int64_t ms) {
    auto u = [](int64_t value) { return static_cast<uint16_t>(value); };
    const int64_t day = ms / MS_PER_DAY, second = ms % MS_PER_DAY / 1000;
    return {2026, 1, u(day % 7), u(4 + day), u(second / 3600), u(second / 60 % 60), u(second % 60), u(ms % 1000)};
}

std::string describe(const ClockReading& c) {
    char text[32];
    snprintf(text, sizeof text, "%s %02u:%02u:%02u", DAYS[(c.day - 4) % 9], c.hour, c.minute, c.second);
    return text;
}

// Time moves only when the worker sleeps; the stop flag is set once the clock reaches `stop_at`.
class FakePlatform : public WorkerPlatform {
  public:
    FakePlatform(ScheduleRequest& request, int64_t start, int64_t stop_at)
        : request_(request), now_(start), stop_at_(stop_at) {}

    ClockReading read_clock() override {
        // A worker that missed the stop would otherwise poll forever.
        if (request_.stop) {
            throw std::runtime_error("clock read after the stop flag was set");
        }
        ++reads;
        const ClockReading clock = reading_at(now_);
        char text[24];
        snprintf(text, sizeof text, "%s%02u:%02u:%02u.%03u", polls.empty() ? "" : ", ", clock.hour, clock.minute,
                 clock.second, clock.millisecond);
        polls += text;
        return clock;
    }
    void sleep_ms(uint32_t milliseconds) override {
        ++sleeps;
        EXPECT_GE(milliseconds, 1u);
        EXPECT_LE(milliseconds, POLL_INTERVAL_MS);
        now_ += milliseconds;
        if (jump_from >= 0 && now_ >= jump_from) {
            now_ = jump_to;
            jump_from = -1;
        }
        if (now_ >= stop_at_) {
            request_.stop = true;
        }
    }
    void launch(const char* command_line, const ClockReading& clock) override {
        launches += (launches.empty() ? "" : ", ") + describe(clock);
        EXPECT_STREQ(command_line, "backup.cmd &&hhmiss");
        request_.stop = request_.stop || stop_on_launch;
        now_ += launch_ms;
    }
    void notify_done() override { ++notified; }

    int reads = 0, sleeps = 0, notified = 0;
    bool stop_on_launch = false;
    int64_t jump_from = -1, jump_to = 0, launch_ms = 0;
    std::string launches, polls;

  private:
    ScheduleRequest& request_;
    int64_t now_;
    int64_t stop_at_;
};

void fill_request(ScheduleRequest& request, const char* target, const char* mask) {
    memset(request.command_line, 0, sizeof request.command_line);
    copy_text(request.command_line, sizeof request.command_line, "backup.cmd &&hhmiss");
    request.target_second = second_of_day(target);
    memcpy(request.day_mask, mask, DAY_MASK_SIZE);
    request.stop = false;
}

}  // namespace

TEST(RunWorker, LaunchesFollowTheClock) {
    struct Row {
        const char* name;
        const char* target;
        const char* mask;
        const char* start;
        const char* until;
        const char* launches;
        const char* jump_from = nullptr;
        const char* jump_to = nullptr;
    };
    const Row rows[] = {
        {"one per window, again next day", "12:00:00", "1111111", "Mon 11:59:59", "Tue 12:01:30",
         "Mon 12:00:00, Tue 12:00:00"},
        {"started late inside the window", "12:00:00", "1111111", "Mon 12:00:30", "Mon 12:05:00", "Mon 12:00:30"},
        {"started just after the window", "12:00:00", "1111111", "Mon 12:01:01", "Tue 12:00:01", "Tue 12:00:00"},
        {"no day ticked", "12:00:00", "0000000", "Mon 11:00:00", "Wed 13:00:00", ""},
        {"Monday before midnight", "23:59:30", "0100000", "Mon 23:59:00", "Tue 00:05:00", "Mon 23:59:30"},
        {"Monday's window open on Tuesday", "23:59:30", "0100000", "Tue 00:00:10", "Tue 00:05:00", "Tue 00:00:10"},
        {"Monday's window closed", "23:59:30", "0100000", "Tue 00:00:31", "Mon2 23:59:31", "Mon2 23:59:30"},
        {"Saturday's window", "23:59:30", "0000001", "Sat 23:59:00", "Sun2 00:05:00", "Sat 23:59:30"},
        {"Saturday's window on Sunday", "23:59:30", "0000001", "Sun2 00:00:05", "Sun2 00:05:00", "Sun2 00:00:05"},
        {"begins on a disabled day", "23:59:30", "0010000", "Mon 23:59:00", "Tue 00:05:00", ""},
        {"last second is midnight", "23:59:00", "0100000", "Tue 00:00:00", "Tue 00:05:00", "Tue 00:00:00"},
        {"second after midnight", "23:59:00", "0100000", "Tue 00:00:01", "Tue 00:05:00", ""},
        {"clock set back after a launch", "12:00:00", "1111111", "Mon 11:59:58", "Mon 12:00:30",
         "Mon 12:00:00, Mon 12:00:00", "Mon 12:00:10", "Mon 11:00:10"},
        {"jump over the window", "12:00:00", "1111111", "Mon 11:59:50", "Mon 12:10:00", "", "Mon 11:59:59",
         "Mon 12:01:01"},
        {"jump into the window", "12:00:00", "1111111", "Mon 11:00:00", "Mon 12:05:00", "Mon 12:00:45", "Mon 11:00:02",
         "Mon 12:00:45"},
    };
    for (const Row& row : rows) {
        ScheduleRequest request{};
        fill_request(request, row.target, row.mask);
        FakePlatform platform(request, at(row.start), at(row.until));
        if (row.jump_from != nullptr) {
            platform.jump_from = at(row.jump_from);
            platform.jump_to = at(row.jump_to);
        }
        EXPECT_EQ(run_worker(request, platform), 0u) << row.name;
        EXPECT_EQ(platform.launches, row.launches) << row.name;
        EXPECT_EQ(platform.notified, 1) << row.name;
    }
}

TEST(RunWorker, StopIsReadBeforeTheFirstPollAndAfterEverySleep) {
    const struct {
        const char* name;
        bool stop_before, stop_on_launch;
        int polls;
        const char* launches;
    } rows[] = {
        {"stop before the first poll", true, false, 0, ""},
        {"stop after one poll", false, false, 1, ""},
        {"stop after seven polls", false, false, 7, "Mon 12:00:00"},
        // A stop that arrives during a launch ends the run after that poll's sleep.
        {"stop during the launch", false, true, 6, "Mon 12:00:00"},
    };
    for (const auto& row : rows) {
        ScheduleRequest request{};
        fill_request(request, "12:00:00", "1111111");
        request.stop = row.stop_before;
        const int64_t start = at("Mon 11:59:59");
        FakePlatform platform(request, start, row.stop_on_launch ? start + MS_PER_DAY : start + row.polls * 200);
        platform.stop_on_launch = row.stop_on_launch;
        EXPECT_EQ(run_worker(request, platform), 0u) << row.name;
        EXPECT_EQ(platform.reads, row.polls) << row.name;
        EXPECT_EQ(platform.sleeps, row.polls) << row.name;
        EXPECT_EQ(platform.launches, row.launches) << row.name;
        EXPECT_EQ(platform.notified, 1) << row.name;
    }
}

TEST(DecideLaunch, ArmedFlagGivesOneLaunchPerWindow) {
    const struct {
        bool armed, inside, enabled, launch, armed_after;
    } rows[] = {
        {true, false, true, false, true}, {false, false, false, false, true}, {true, true, true, true, false},
        {true, true, false, false, true}, {false, true, true, false, false},  {false, true, false, false, false},
    };
    for (const auto& row : rows) {
        WorkerState state = start_worker_state(second_of_day("12:00:00"));
        state.armed = row.armed;
        const ClockReading clock = reading_at(at(row.inside ? "Mon 12:00:10" : "Mon 13:00:00"));
        EXPECT_EQ(decide_launch(state, row.enabled ? "0100000" : "1011111", clock), row.launch);
        EXPECT_EQ(state.armed, row.armed_after);
    }
}

TEST(DecideLaunch, OddWeekdayOrMaskNeverLaunches) {
    const struct {
        uint16_t day_of_week;
        const char* mask;
    } rows[] = {{7, "1111111"}, {5, "01"}, {1, nullptr}};
    for (const auto& row : rows) {
        WorkerState state = start_worker_state(second_of_day("12:00:00"));
        const ClockReading clock{2026, 1, row.day_of_week, 4, 12, 0, 0};
        EXPECT_FALSE(decide_launch(state, row.mask, clock)) << row.day_of_week;
    }
}

TEST(PollSleep, EndsJustPastTheNextBoundaryOfTheClock) {
    const struct {
        uint16_t millisecond;
        uint32_t sleep;
    } rows[] = {{0, 200}, {1, 200}, {199, 2}, {200, 200}, {999, 2}};
    for (const auto& row : rows) {
        ClockReading clock = reading_at(at("Mon 12:00:00"));
        clock.millisecond = row.millisecond;
        EXPECT_EQ(poll_sleep_ms(clock), row.sleep) << row.millisecond;
    }
}

TEST(RunWorker, PollsFallJustAfterEachBoundaryAndRealignAfterASlowLaunch) {
    const struct {
        const char* name;
        const char* start;
        int64_t launch_ms;
        const char* until;
        const char* polls;
    } rows[] = {
        {"started between boundaries", "Mon 11:59:59.537", 0, "Mon 12:00:00.300",
         "11:59:59.537, 11:59:59.601, 11:59:59.801, 12:00:00.001, 12:00:00.201"},
        {"started at the end of a second", "Mon 11:59:59.999", 0, "Mon 12:00:00.300",
         "11:59:59.999, 12:00:00.001, 12:00:00.201"},
        {"slow launch", "Mon 11:59:59.801", 37, "Mon 12:00:00.500",
         "11:59:59.801, 12:00:00.001, 12:00:00.238, 12:00:00.401"},
        {"launch longer than a poll", "Mon 11:59:59.801", 450, "Mon 12:00:00.900",
         "11:59:59.801, 12:00:00.001, 12:00:00.651, 12:00:00.801"},
    };
    for (const auto& row : rows) {
        ScheduleRequest request{};
        fill_request(request, "12:00:00", "1111111");
        FakePlatform platform(request, at(row.start), at(row.until));
        platform.launch_ms = row.launch_ms;
        EXPECT_EQ(run_worker(request, platform), 0u) << row.name;
        EXPECT_EQ(platform.polls, row.polls) << row.name;
        EXPECT_EQ(platform.launches, "Mon 12:00:00") << row.name;
        EXPECT_EQ(platform.sleeps, platform.reads) << row.name;
        EXPECT_EQ(platform.notified, 1) << row.name;
    }
}
