// The worker's polls over a fake clock that moves only when it sleeps.
#include "schedule/worker.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/fake_worker.h"

// One launch per local day a window T .. T + 60 begins on, on a ticked day, whatever the clock does;
// each row launches again on its next ticked day. Every started process is let go.
TEST(RunWorker, LaunchesOncePerDayAcrossClockChanges) {
    const std::string path = std::string(253, 'p') + " a", spaced = "C:\\New folder\\p.exe",
                      quoted = "\"" + spaced + "\"";
    const std::string ended = "S0 12:00:00 E0 12:00:00:7 S1 12:00:00 E1 12:00:00:7 ",
                      path_started = "|\"" + path + "\"", quoted_started = "S0 12:00:00 S1 12:00:00 |" + quoted;
    const WorkerStart plain{}, catch_up{{}, false, 0, 3600};
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
        {"0 2:30", "1111111", "0 1:59", 0, {{"0 2:00", 60, 5}}, "1 1:31", "M0 2:30:00 S1 2:30:00 "},
        // Back an hour just after the launch, then forward again across it; back an hour by hand.
        {"0 2:30", "1111111", "0 1:29", 60, {{"0 1:31", 0, 0}, {"0 1:32", 60, 0}}, "1 1:31", "S0 2:30:00 S1 2:30:00 "},
        {"0 12:00", "1111111", "0 11:59", 0, {{"0 12:30", 0, -3600}}, "1 12:01", "S0 12:00:00 S1 12:00:00 "},
        // Back two days and more after three launches: none of those days runs again, none is missed.
        {"0 9:30", "1111111", "0 9:29", 0, {{"2 9:40", 0, -203999}}, "2 9:35", "S0 9:30:00 S1 9:30:00 S2 9:30:00 "},
        // Asleep, or set on: the newest window passed over is reported, or made up when recent enough;
        // waking inside a later window launches that one as well.
        {"0 12:00", "1111111", "0 11:58", 0, {{"0 11:59", 0, 262800}}, "3 13:00", "M3 12:00:00 "},
        {"0 12:00", "1111111", "0 11:58", 0, {{"0 11:59", 0, 86460}}, "1 12:02", "M0 12:00:00 S1 12:00:00 "},
        {"0 12:00", "1111111", "0 11:58", 0, {{"0 11:59", 0, 3600}}, "0 13:00", "S0 12:59:00+ ", catch_up},
        {"0 12:00", "1111111", "0 11:58", 0, {{"0 11:59", 0, 3661}}, "0 13:02", "M0 12:00:00 ", catch_up},
        // Monday's window launched on Tuesday, then the clock back into Monday.
        {"0 23:59:30", "0110000", "2 0:00:05", 0, {{"2 0:00:10", 0, -60}}, "3 0:00", "S2 0:00:05 S2 23:59:30 "},
        // What is started, and how each start ends.
        {"0 12:00", "1111111", "0 11:59:59", 0, {}, "1 12:00:05", ended + path_started, plain, path, path, false},
        {"0 12:00", "1111111", "0 11:59:59", 0, {}, "1 12:00:05", quoted_started, plain, spaced, spaced},
        {"0 12:00", "1111111", "0 11:59:59", 0, {}, "1 12:00:05", ended, plain, spaced, "C:\\New", false},
        {"0 12:00", "1111111", "0 11:59:59", 0, {}, "1 12:00:05", ended, plain, quoted, quoted, false},
        {"0 12:00", "1111111", "0 11:59:59", 0, {}, "1 12:00:05", "F0 12:00:00:2 F1 12:00:00:2 ", plain, "missing"},
    };
    for (const auto& row : rows) {
        FakePlatform platform(row);
        EXPECT_EQ(run_worker(platform.request, row.from, platform), 0u);
        EXPECT_EQ(platform.log + std::to_string(platform.held) + std::to_string(platform.done), row.log + "01")
            << row.start << " " << row.command;
    }
    // The calendar across centuries and at its ends. A weekday out of range, also just after midnight,
    // or a mask cut short enables nothing. The instant from the platform's ticks, east or west; the
    // second share let go is the last.
    int64_t first_day = -1, last = -1, march = -1, february = -1, leap = 0;
    EXPECT_TRUE(days_from_date(1601, 1, 1, first_day) && days_from_date(9999, 12, 31, last) &&
                days_from_date(1900, 3, 1, march) && days_from_date(2100, 2, 28, february) &&
                days_from_date(2000, 2, 29, leap) && !days_from_date(1900, 2, 29, leap) &&
                !days_from_date(10000, 1, 1, leap) && !days_from_date(2024, 0, 1, leap));
    const ClockReading end = local_reading(INT64_MAX, 0), start = local_reading(-5, 0);
    WorkerState state = start_worker_state(86370, {});
    const PollDecision out_of_range = decide_poll(state, "1111111", {0, 0, 7, 0, 0, 0, 10});
    const PollDecision cut_short = decide_poll(state, "", {0, 0, 1, 0, 23, 59, 40});
    EXPECT_FALSE(out_of_range.launch || out_of_range.missed || cut_short.launch || cut_short.missed);
    EXPECT_EQ(poll_sleep_ms({0, 0, 1, 0, 12, 0, 0, 0}) + poll_sleep_ms({0, 0, 1, 0, 12, 0, 0, 537}), 264u);
    ClockReading east{}, west{};
    set_clock_instant(east, 864001234567, 864001234567 + 60 * 600000000LL);
    set_clock_instant(west, 864001234567, 864001234567 - 300 * 600000000LL);
    Shares shares;
    const bool first = shares.release();
    EXPECT_EQ(std::to_string(first_day) + " " + std::to_string(last) + " " + std::to_string(february - march) + " " +
                  std::to_string(end.year * 10000 + end.month * 100 + end.day) + std::to_string(end.day_of_week) +
                  std::to_string(end.hour) + " " + std::to_string(start.year + start.month + start.day_of_week) + " " +
                  std::to_string(east.utc_seconds) + " " + std::to_string(east.utc_offset_minutes) + " " +
                  std::to_string(west.utc_offset_minutes) + " " + std::to_string(first) +
                  std::to_string(shares.release()),
              "0 3067670 73048 99991231523 1603 86400 60 -300 01");
}
