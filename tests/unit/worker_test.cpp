// The worker's polls over a fake clock (UTC and the local offset) that moves only when it sleeps.
#include "schedule/worker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/bounded_text.h"

namespace {

// "1 12:00:00": day 1 of the fake calendar (day 0 is a Sunday) and the time, in ms.
int64_t at(const char* text) {
    int day = 0, h = 0, m = 0, s = 0;
    sscanf(text, "%d %d:%d:%d", &day, &h, &m, &s);
    return (((day * 24LL + h) * 60 + m) * 60 + s) * 1000;
}

// At UTC `when`, the offset becomes `offset` minutes and UTC moves by `utc_step` seconds.
struct Change {
    const char* when;
    int32_t offset;
    int64_t utc_step;
};

// A run from `start` to `stop` (UTC); `file` exists; what starts ends a second later unless it `lives`.
struct Case {
    const char *target, *mask, *start;
    int32_t offset;
    std::vector<Change> changes;
    const char* stop;
    std::string log, command = std::string(255, 'c'), file{};
    bool lives = true;
};

// Logs "S day h:mm:ss " (started), "E..:code" (ended), "F..:error" (not started), "M..." (missed) at
// the local time of their reading, then "|" and the first line started if not the command line.
class FakePlatform : public WorkerPlatform {
  public:
    explicit FakePlatform(const Case& run) : run(run), utc(at(run.start)), offset(run.offset) {
        copy_text(request.command_line, COMMAND_LINE_SIZE, run.command.c_str());
        request.target_second = static_cast<uint32_t>(at(run.target) / 1000);
        memcpy(request.day_mask, run.mask, DAY_MASK_SIZE);
        request.stop = utc >= at(run.stop);
    }
    ClockReading read_clock() override {
        auto u = [](int64_t value) { return static_cast<uint16_t>(value); };
        const int64_t local = utc + offset * 60000LL, s = local / 1000;
        ClockReading c{
            0, 0, u(s / 86400 % 7), u(s / 86400), u(s / 3600 % 24), u(s / 60 % 60), u(s % 60), u(local % 1000)};
        c.utc_seconds = utc / 1000;
        c.utc_offset_minutes = offset;
        return c;
    }
    void sleep_ms(uint32_t milliseconds) override {
        utc += milliseconds;
        ended_after -= milliseconds;
        for (; next < run.changes.size() && utc >= at(run.changes[next].when); ++next) {
            offset = run.changes[next].offset;
            utc += run.changes[next].utc_step * 1000;
        }
        request.stop = utc >= at(run.stop);
    }
    bool is_file(const char* path) override { return path == run.file; }
    LaunchResult start_process(char* line) override {
        started = started.empty() ? line : started;
        const bool found = line[0] != 'm';
        held += found;
        EXPECT_LE(held, 1) << "one process held at most";
        ended_after = run.lives ? INT64_MAX / 2 : 1000;
        return {found, found ? 0u : 2u};
    }
    WatchedProcess watched_process() override { return {ended_after <= 0, 7}; }
    void release_process() override { --held; }
    void report(const RunOutcome& o) override {
        char text[40];
        snprintf(text, sizeof text, "%c%u %u:%02u:%02u%s ", "SEFM"[static_cast<int>(o.kind)], o.clock.day, o.clock.hour,
                 o.clock.minute, o.clock.second, o.code != 0 ? (":" + std::to_string(o.code)).c_str() : "");
        log += text;
    }
    void notify_done() override {
        log += started.empty() || started == run.command ? "" : "|" + started;
        ++done;
    }

    const Case& run;
    ScheduleRequest request{};
    int64_t utc;
    int32_t offset;
    size_t next = 0;
    std::string started, log;
    int64_t ended_after = 0;
    int held = 0, done = 0;
};

}  // namespace

// One launch per local day a window T .. T + 60 begins on, on a ticked day, whatever the clock does;
// each row launches again on its next ticked day. One started process is held at a time.
TEST(RunWorker, LaunchesOncePerDayAcrossClockChanges) {
    const std::string path = std::string(253, 'p') + " a", spaced = "C:\\New folder\\p.exe",
                      quoted = "\"" + spaced + "\"";
    const std::string ended = "S0 12:00:00 E0 12:00:00:7 S1 12:00:00 E1 12:00:00:7 ";
    const Case rows[] = {
        {"0 12:00", "1111111", "6 11:59:59", 0, {}, "7 12:01:30", "S6 12:00:00 S7 12:00:00 "},
        {"0 12:00", "1111111", "1 12:00", 0, {}, "1 12:00", ""},
        {"0 12:00", "0000000", "1 11:00", 0, {}, "1 13:00", ""},
        {"0 23:59:30", "0000001", "7 0:00:05", 0, {}, "7 0:05", "S7 0:00:05 "},
        {"0 23:59", "0100000", "2 0:00", 0, {}, "2 0:05", "S2 0:00:00 "},
        // Autumn: 02:00 daylight time falls back to 01:00 standard time.
        {"0 1:30", "1111111", "0 0:00", 60, {{"0 1:00", 0, 0}}, "1 1:31", "S0 1:30:00 S1 1:30:00 "},
        // Spring: 02:00 standard time jumps to 03:00 daylight time; a poll late by four seconds still
        // sees the clock's own change, one late by five a sleep.
        {"0 2:30", "1111111", "0 1:59", 0, {{"0 2:00", 60, 4}}, "1 1:31", "S0 3:00:04 S1 2:30:00 "},
        {"0 2:30", "1111111", "0 1:59", 0, {{"0 2:00", 60, 5}}, "1 1:31", "M0 3:00:05 S1 2:30:00 "},
        // Back an hour just after the launch, then forward again across it; back an hour by hand.
        {"0 2:30", "1111111", "0 1:29", 60, {{"0 1:31", 0, 0}, {"0 1:32", 60, 0}}, "1 1:31", "S0 2:30:00 S1 2:30:00 "},
        {"0 12:00", "1111111", "0 11:59", 0, {{"0 12:30", 0, -3600}}, "1 12:01", "S0 12:00:00 S1 12:00:00 "},
        {"0 12:00", "1111111", "0 11:58", 0, {{"0 11:59", 0, 600}}, "1 12:01", "M0 12:09:00 S1 12:00:00 "},
        // Monday's window launched on Tuesday, then the clock back into Monday.
        {"0 23:59:30", "0110000", "2 0:00:05", 0, {{"2 0:00:10", 0, -60}}, "3 0:00", "S2 0:00:05 S2 23:59:30 "},
        // What is started, and how each start ends.
        {"0 12:00", "1111111", "0 11:59:59", 0, {}, "1 12:00:05", ended + "|\"" + path + "\"", path, path, false},
        {"0 12:00", "1111111", "0 11:59:59", 0, {}, "1 12:00:05", "S0 12:00:00 S1 12:00:00 |" + quoted, spaced, spaced},
        {"0 12:00", "1111111", "0 11:59:59", 0, {}, "1 12:00:05", ended, spaced, "C:\\New", false},
        {"0 12:00", "1111111", "0 11:59:59", 0, {}, "1 12:00:05", ended, quoted, quoted, false},
        {"0 12:00", "1111111", "0 11:59:59", 0, {}, "1 12:00:05", "F0 12:00:00:2 F1 12:00:00:2 ", "missing"},
    };
    for (const auto& row : rows) {
        FakePlatform platform(row);
        EXPECT_EQ(run_worker(platform.request, platform), 0u);
        EXPECT_EQ(platform.log + std::to_string(platform.held) + std::to_string(platform.done), row.log + "01")
            << row.start << " " << row.command;
    }
    // A weekday out of range, also just after midnight, or a mask cut short enables nothing. The
    // instant from the platform's ticks, east or west; the second share let go is the last.
    WorkerState state = start_worker_state(86370);
    EXPECT_EQ(static_cast<int>(decide_poll(state, "1111111", {0, 0, 7, 0, 0, 0, 10})) +
                  static_cast<int>(decide_poll(state, "", {0, 0, 1, 0, 23, 59, 40})),
              0);
    EXPECT_EQ(poll_sleep_ms({0, 0, 1, 0, 12, 0, 0, 0}) + poll_sleep_ms({0, 0, 1, 0, 12, 0, 0, 537}), 264u);
    ClockReading east{}, west{};
    set_clock_instant(east, 864001234567, 864001234567 + 60 * 600000000LL);
    set_clock_instant(west, 864001234567, 864001234567 - 300 * 600000000LL);
    Shares shares;
    const bool first = shares.release();
    EXPECT_EQ(std::to_string(east.utc_seconds) + " " + std::to_string(east.utc_offset_minutes) + " " +
                  std::to_string(west.utc_offset_minutes) + " " + std::to_string(first) +
                  std::to_string(shares.release()),
              "86400 60 -300 01");
}
