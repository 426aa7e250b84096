#include "schedule/worker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int64_t MS_PER_DAY = 86400000;
enum Day { SUN, MON, TUE, WED, THU, FRI, SAT, NEXT_SUN, NEXT_MON };

// Milliseconds since Sunday 2026-01-04 00:00:00.
int64_t at(int day, int h, int m, int s) {
    return day * MS_PER_DAY + ((h * 60 + m) * 60 + s) * 1000LL;
}

uint32_t second_of_day(int h, int m, int s) {
    return static_cast<uint32_t>((h * 60 + m) * 60 + s);
}

ClockReading reading_at(int64_t ms) {
    int64_t day = ms / MS_PER_DAY;
    int64_t second = (ms % MS_PER_DAY) / 1000;
    return ClockReading{2026,
                        1,
                        static_cast<uint16_t>(day % 7),
                        static_cast<uint16_t>(4 + day),
                        static_cast<uint16_t>(second / 3600),
                        static_cast<uint16_t>(second / 60 % 60),
                        static_cast<uint16_t>(second % 60)};
}

struct Jump {
    int after_sleep;  // 1-based
    int64_t to;
};

// Time moves only when the worker sleeps; the stop flag is set after a chosen number of sleeps.
class FakePlatform : public WorkerPlatform {
  public:
    FakePlatform(ScheduleRequest& request, int64_t start, int stop_after, std::vector<Jump> jumps = {})
        : request_(request), now_(start), stop_after_(stop_after), jumps_(std::move(jumps)) {}

    ClockReading read_clock() override {
        // A worker that misses the stop would otherwise poll forever.
        if (request_.stop) {
            throw std::runtime_error("clock read after the stop flag was set");
        }
        ++reads;
        return reading_at(now_);
    }
    void sleep_poll_interval() override {
        ++sleeps;
        now_ += POLL_INTERVAL_MS;
        for (const Jump& jump : jumps_) {
            if (jump.after_sleep == sleeps) {
                now_ = jump.to;
            }
        }
        if (sleeps == stop_after_) {
            request_.stop = true;
        }
    }
    void launch(const char* command_line, const ClockReading& clock) override {
        launches.push_back(clock);
        command_lines.push_back(command_line);
        if (stop_on_launch) {
            request_.stop = true;
        }
    }
    void notify_done() override { ++notified; }

    int reads = 0;
    int sleeps = 0;
    int notified = 0;
    bool stop_on_launch = false;
    std::vector<ClockReading> launches;
    std::vector<std::string> command_lines;

  private:
    ScheduleRequest& request_;
    int64_t now_;
    int stop_after_;
    std::vector<Jump> jumps_;
};

void fill_request(ScheduleRequest& request, uint32_t target, const char* mask) {
    memset(request.command_line, 0, sizeof request.command_line);
    strcpy(request.command_line, "backup.cmd &&hhmiss");
    request.target_second = target;
    memcpy(request.day_mask, mask, DAY_MASK_SIZE);
    request.stop = false;
}

std::string describe(const ClockReading& c) {
    return "dow " + std::to_string(c.day_of_week) + " day " + std::to_string(c.day) + " " + std::to_string(c.hour) +
           ":" + std::to_string(c.minute) + ":" + std::to_string(c.second);
}

}  // namespace

TEST(DecideLaunch, WindowAndWeekdayOfOneReading) {
    struct Row {
        uint32_t target;
        const char* mask;
        int day, h, m, s;
        bool launch;
    };
    const uint32_t late = second_of_day(23, 59, 30);
    const uint32_t minute_before = second_of_day(23, 59, 0);
    const uint32_t noon = second_of_day(12, 0, 0);
    const Row rows[] = {
        {late, "0100000", MON, 23, 59, 29, false},
        {late, "0100000", MON, 23, 59, 30, true},
        {late, "0100000", MON, 23, 59, 59, true},
        {late, "0100000", TUE, 0, 0, 0, true},  // still Monday's window
        {late, "0100000", TUE, 0, 0, 30, true},
        {late, "0100000", TUE, 0, 0, 31, false},
        {late, "0010000", TUE, 0, 0, 10, false},  // Tuesday does not own Monday's window
        {late, "0000001", SUN, 0, 0, 10, true},   // the day before Sunday is Saturday
        {late, "1000000", SUN, 0, 0, 10, false},
        {late, "0000001", SAT, 23, 59, 45, true},
        {minute_before, "0100000", TUE, 0, 0, 0, true},
        {minute_before, "0100000", TUE, 0, 0, 1, false},
        {minute_before, "1111111", MON, 23, 58, 59, false},
        {second_of_day(23, 59, 59), "1000000", MON, 0, 0, 59, true},
        {second_of_day(23, 59, 59), "1000000", MON, 0, 1, 0, false},
        {noon, "1111111", MON, 11, 59, 59, false},
        {noon, "1111111", MON, 12, 0, 0, true},
        {noon, "1111111", MON, 12, 1, 0, true},
        {noon, "1111111", MON, 12, 1, 1, false},
        {0, "0100000", MON, 0, 0, 0, true},
        {0, "0100000", MON, 0, 1, 0, true},
        {0, "1111111", SUN, 23, 59, 59, false},
        {noon, "1111111", 7, 12, 0, 0, false},  // no such weekday
        {noon, "01", FRI, 12, 0, 0, false},     // mask cut short
        {noon, nullptr, MON, 12, 0, 0, false},
    };
    for (const Row& row : rows) {
        WorkerState state = start_worker_state(row.target);
        ClockReading clock{2026,
                           1,
                           static_cast<uint16_t>(row.day),
                           4,
                           static_cast<uint16_t>(row.h),
                           static_cast<uint16_t>(row.m),
                           static_cast<uint16_t>(row.s)};
        EXPECT_EQ(decide_launch(state, row.mask, clock), row.launch)
            << "target " << row.target << " mask " << (row.mask ? row.mask : "null") << " " << describe(clock);
    }
}

TEST(DecideLaunch, ArmedFlagGivesOneLaunchPerWindow) {
    struct Row {
        bool armed, inside, enabled, launch, armed_after;
    };
    const Row rows[] = {
        {true, false, true, false, true}, {false, false, false, false, true}, {true, true, true, true, false},
        {true, true, false, false, true}, {false, true, true, false, false},  {false, true, false, false, false},
    };
    for (const Row& row : rows) {
        WorkerState state = start_worker_state(second_of_day(12, 0, 0));
        state.armed = row.armed;
        ClockReading clock = reading_at(row.inside ? at(MON, 12, 0, 10) : at(MON, 13, 0, 0));
        EXPECT_EQ(decide_launch(state, row.enabled ? "0100000" : "1011111", clock), row.launch);
        EXPECT_EQ(state.armed, row.armed_after);
    }
}

TEST(RunWorker, LaunchesFollowTheClock) {
    struct Row {
        const char* name;
        uint32_t target;
        const char* mask;
        int64_t start;
        int64_t until;
        std::vector<int64_t> launches;
        std::vector<Jump> jumps = {};
    };
    const uint32_t noon = second_of_day(12, 0, 0);
    const uint32_t late = second_of_day(23, 59, 30);
    const Row rows[] = {
        {"one per window, again the next day",
         noon,
         "1111111",
         at(MON, 11, 59, 59),
         at(TUE, 12, 1, 30),
         {at(MON, 12, 0, 0), at(TUE, 12, 0, 0)}},
        {"started inside the window", noon, "1111111", at(MON, 12, 0, 30), at(MON, 12, 5, 0), {at(MON, 12, 0, 30)}},
        {"started just after the window", noon, "1111111", at(MON, 12, 1, 1), at(TUE, 12, 0, 1), {at(TUE, 12, 0, 0)}},
        {"Monday's window still open on Tuesday",
         late,
         "0100000",
         at(TUE, 0, 0, 10),
         at(TUE, 0, 5, 0),
         {at(TUE, 0, 0, 10)}},
        {"Monday's window closed: next Monday",
         late,
         "0100000",
         at(TUE, 0, 0, 31),
         at(NEXT_MON, 23, 59, 31),
         {at(NEXT_MON, 23, 59, 30)}},
        {"Saturday's window", late, "0000001", at(SAT, 23, 59, 0), at(NEXT_SUN, 0, 5, 0), {at(SAT, 23, 59, 30)}},
        {"Saturday's window seen on Sunday",
         late,
         "0000001",
         at(NEXT_SUN, 0, 0, 5),
         at(NEXT_SUN, 0, 5, 0),
         {at(NEXT_SUN, 0, 0, 5)}},
        {"disabled day reaching into an enabled one", late, "0010000", at(MON, 23, 59, 0), at(TUE, 0, 5, 0), {}},
        {"last second is midnight",
         second_of_day(23, 59, 0),
         "0100000",
         at(TUE, 0, 0, 0),
         at(TUE, 0, 5, 0),
         {at(TUE, 0, 0, 0)}},
        {"one second after midnight is outside",
         second_of_day(23, 59, 0),
         "0100000",
         at(TUE, 0, 0, 1),
         at(TUE, 0, 5, 0),
         {}},
        {"no day ticked", noon, "0000000", at(MON, 11, 0, 0), at(WED, 13, 0, 0), {}},
        {"clock set back an hour after the launch",
         noon,
         "1111111",
         at(MON, 11, 59, 58),
         at(MON, 12, 0, 30),
         {at(MON, 12, 0, 0), at(MON, 12, 0, 0)},
         {{60, at(MON, 11, 0, 10)}}},
        {"jump over the window",
         noon,
         "1111111",
         at(MON, 11, 59, 50),
         at(MON, 12, 10, 0),
         {},
         {{45, at(MON, 12, 1, 1)}}},
        {"jump into the window",
         noon,
         "1111111",
         at(MON, 11, 0, 0),
         at(MON, 12, 5, 0),
         {at(MON, 12, 0, 45)},
         {{10, at(MON, 12, 0, 45)}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScheduleRequest request{};
        fill_request(request, row.target, row.mask);
        // A backward jump lengthens the run by what it repeats.
        int64_t repeated = 0;
        for (const Jump& jump : row.jumps) {
            int64_t jumped_from = row.start + jump.after_sleep * int64_t{POLL_INTERVAL_MS};
            repeated += jumped_from - jump.to;
        }
        int polls = static_cast<int>((row.until - row.start + repeated) / POLL_INTERVAL_MS);
        FakePlatform platform(request, row.start, polls, row.jumps);

        EXPECT_EQ(run_worker(request, platform), 0u);
        EXPECT_EQ(platform.reads, polls);
        EXPECT_EQ(platform.notified, 1);
        ASSERT_EQ(platform.launches.size(), row.launches.size());
        for (size_t i = 0; i < row.launches.size(); ++i) {
            EXPECT_EQ(describe(platform.launches[i]), describe(reading_at(row.launches[i])));
            EXPECT_EQ(platform.command_lines[i], "backup.cmd &&hhmiss");
        }
    }
}

TEST(RunWorker, StopIsReadBeforeTheFirstPollAndAfterEverySleep) {
    ScheduleRequest request{};
    fill_request(request, second_of_day(12, 0, 0), "1111111");
    request.stop = true;
    FakePlatform stopped(request, at(MON, 12, 0, 0), 0);
    EXPECT_EQ(run_worker(request, stopped), 0u);
    EXPECT_EQ(stopped.reads, 0);
    EXPECT_EQ(stopped.sleeps, 0);
    EXPECT_TRUE(stopped.launches.empty());
    EXPECT_EQ(stopped.notified, 1);

    for (int stop_after : {1, 7}) {
        request.stop = false;
        FakePlatform platform(request, at(MON, 9, 0, 0), stop_after);
        run_worker(request, platform);
        EXPECT_EQ(platform.reads, stop_after);
        EXPECT_EQ(platform.sleeps, stop_after);
        EXPECT_EQ(platform.notified, 1);
    }

    // A stop that arrives during a launch ends the run after that poll's sleep.
    request.stop = false;
    FakePlatform launching(request, at(MON, 11, 59, 59), 1000);
    launching.stop_on_launch = true;
    run_worker(request, launching);
    EXPECT_EQ(launching.launches.size(), 1u);
    EXPECT_EQ(launching.reads, 6);
    EXPECT_EQ(launching.sleeps, 6);
    EXPECT_EQ(launching.notified, 1);
}
