// The worker's polls over a fake clock that moves only when the worker sleeps: UTC, the local offset,
// and changes of either that fall at given moments.
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

// Stops once UTC reaches `stop_at`. Outcomes are logged as "S day hh:mm:ss " (started), "F..."
// (could not start), "E..:code" (ended) and "M..." (missed), with the local time of their reading.
class FakePlatform : public WorkerPlatform {
  public:
    FakePlatform(const char* target, const char* mask, const char* start, int32_t offset, const char* stop_at)
        : utc(at(start)), offset(offset), stop_at(at(stop_at)) {
        memset(request.command_line, 'c', sizeof request.command_line);
        request.target_second = static_cast<uint32_t>(at(target) / 1000);
        memcpy(request.day_mask, mask, DAY_MASK_SIZE);
        request.stop = utc >= this->stop_at;
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
        for (; next < changes.size() && utc >= at(changes[next].when); ++next) {
            offset = changes[next].offset;
            utc += changes[next].utc_step * 1000;
        }
        request.stop = utc >= stop_at;
    }
    bool is_file(const char* path) override { return files.find("|" + std::string(path) + "|") != std::string::npos; }
    LaunchResult start_process(char* line) override {
        started += std::string(line) + "\n";
        const bool found = line[0] != 'm';
        held += found;
        EXPECT_LE(held, 1) << "one process held at most";
        ended_after = life_ms;
        return {found, found ? 0u : 2u};
    }
    WatchedProcess watched_process() override { return {ended_after <= 0, 7}; }
    void release_process() override { --held; }
    void report(const RunOutcome& o) override {
        char text[40];
        snprintf(text, sizeof text, "%c%u %02u:%02u:%02u%s ", "SEFM"[static_cast<int>(o.kind)], o.clock.day,
                 o.clock.hour, o.clock.minute, o.clock.second,
                 o.code != 0 ? (":" + std::to_string(o.code)).c_str() : "");
        log += text;
    }
    void notify_done() override { log += "done"; }

    ScheduleRequest request{};
    int64_t utc;
    int32_t offset;
    int64_t stop_at;
    std::vector<Change> changes;
    size_t next = 0;
    std::string files, started, log;
    int64_t life_ms = INT64_MAX / 2, ended_after = 0;
    int held = 0;
};

}  // namespace

// At most one launch per local day a window T .. T + 60 begins on, on a ticked day, whatever the clock
// does: a window begun before midnight keeps its day; an hour repeated in autumn or a clock set back
// brings no second launch; an hour skipped in spring launches at the first poll after the jump; a
// sleep past the whole window is reported as missed. Each row then launches on its next ticked day.
TEST(RunWorker, LaunchesOncePerDayAcrossClockChanges) {
    const struct {
        const char *target, *mask, *start;
        int32_t offset;
        std::vector<Change> changes;
        const char *stop, *log;
    } rows[] = {
        {"0 12:00:00", "1111111", "6 11:59:59", 0, {}, "7 12:01:30", "S6 12:00:00 S7 12:00:00 "},
        {"0 12:00:00", "1111111", "1 12:00:00", 0, {}, "1 12:00:00", ""},
        {"0 12:00:00", "0000000", "1 11:00:00", 0, {}, "1 13:00:00", ""},
        {"0 23:59:30", "0000001", "7 00:00:05", 0, {}, "7 00:05:00", "S7 00:00:05 "},
        {"0 23:59:00", "0100000", "2 00:00:00", 0, {}, "2 00:05:00", "S2 00:00:00 "},
        // Autumn: 02:00 daylight time falls back to 01:00 standard time.
        {"0 01:30:00", "1111111", "0 00:00:00", 60, {{"0 01:00:00", 0, 0}}, "1 01:31:00", "S0 01:30:00 S1 01:30:00 "},
        // Spring: 02:00 standard time jumps to 03:00 daylight time; a poll late by four seconds still
        // sees the clock's own change, one late by five a sleep.
        {"0 02:30:00", "1111111", "0 01:59:00", 0, {{"0 02:00:00", 60, 4}}, "1 01:31:00", "S0 03:00:04 S1 02:30:00 "},
        {"0 02:30:00", "1111111", "0 01:59:00", 0, {{"0 02:00:00", 60, 5}}, "1 01:31:00", "M0 03:00:05 S1 02:30:00 "},
        // Back an hour just after the launch, then forward again across it.
        {"0 02:30:00",
         "1111111",
         "0 01:29:50",
         60,
         {{"0 01:30:20", 0, 0}, {"0 01:30:40", 60, 0}},
         "1 01:31:00",
         "S0 02:30:00 S1 02:30:00 "},
        {"0 12:00:00",
         "1111111",
         "0 11:59:00",
         0,
         {{"0 12:30:00", 0, -3600}},
         "1 12:01:00",
         "S0 12:00:00 S1 12:00:00 "},
        {"0 12:00:00", "1111111", "0 11:58:00", 0, {{"0 11:59:00", 0, 600}}, "1 12:01:00", "M0 12:09:00 S1 12:00:00 "},
        // Monday's window launched on Tuesday, then the clock back into Monday.
        {"0 23:59:30", "0110000", "2 00:00:05", 0, {{"2 00:00:10", 0, -60}}, "3 00:00:00", "S2 00:00:05 S2 23:59:30 "},
    };
    for (const auto& row : rows) {
        FakePlatform platform(row.target, row.mask, row.start, row.offset, row.stop);
        platform.changes = row.changes;
        EXPECT_EQ(run_worker(platform.request, platform), 0u);
        EXPECT_EQ(platform.log, row.log + std::string("done")) << row.start;
    }
    // A weekday out of range, also just after midnight, or a mask cut short enables nothing.
    WorkerState state = start_worker_state(86370);
    EXPECT_EQ(decide_poll(state, "1111111", {0, 0, 7, 0, 0, 0, 10}), PollDecision::NOTHING);
    EXPECT_EQ(decide_poll(state, "", {0, 0, 1, 0, 23, 59, 40}), PollDecision::NOTHING);
    EXPECT_EQ(poll_sleep_ms({0, 0, 1, 0, 12, 0, 0, 0}), 200u);
    EXPECT_EQ(poll_sleep_ms({0, 0, 1, 0, 12, 0, 0, 537}), 64u);
    // The instant from the platform's ticks: UTC seconds and the local offset, east or west.
    ClockReading clock{};
    std::string instants;
    for (const int64_t local_minutes : {60, -300}) {
        const uint64_t utc = 864001234567;
        set_clock_instant(clock, utc, utc + local_minutes * 600000000);
        instants += std::to_string(clock.utc_seconds) + " " + std::to_string(clock.utc_offset_minutes) + " ";
    }
    EXPECT_EQ(instants, "86400 60 86400 -300 ");
    Shares shares;
    const bool first = shares.release();
    EXPECT_EQ(std::to_string(first) + std::to_string(shares.release()), "01") << "the second lets go last";
}

// Every launch is reported, and the end of the one started last; a path with blanks that names a
// file as a whole is started quoted. One process is held at a time and none after the worker ends.
TEST(RunWorker, ReportsLaunchesAndTheirEnd) {
    const std::string path(253, 'p'), spaced = "C:\\New folder\\probe.exe";
    const struct {
        std::string command, files;
        int64_t life_ms;
        const char* log;
        std::string started;
    } rows[] = {
        {path + " a", "|" + path + " a|", 1000, "S0 12:00:00 E0 12:00:00:7 S1 12:00:00 E1 12:00:00:7 ",
         "\"" + path + " a\"\n"},
        {spaced, "|" + spaced + "|", INT64_MAX / 2, "S0 12:00:00 S1 12:00:00 ", "\"C:\\New folder\\probe.exe\"\n"},
        {spaced, "|C:\\New|", 1000, "S0 12:00:00 E0 12:00:00:7 S1 12:00:00 E1 12:00:00:7 ",
         "C:\\New folder\\probe.exe\n"},
        {"\"" + spaced + "\"", "|\"" + spaced + "\"|", 1000, "S0 12:00:00 E0 12:00:00:7 S1 12:00:00 E1 12:00:00:7 ",
         "\"C:\\New folder\\probe.exe\"\n"},
        {"missing &&hh", "", 1000, "F0 12:00:00:2 F1 12:00:00:2 ", "missing 12\n"},
    };
    for (const auto& row : rows) {
        FakePlatform platform("0 12:00:00", "1111111", "0 11:59:59", 0, "1 12:00:05");
        copy_text(platform.request.command_line, COMMAND_LINE_SIZE, row.command.c_str());
        platform.files = row.files;
        platform.life_ms = row.life_ms;
        run_worker(platform.request, platform);
        EXPECT_EQ(platform.log, row.log + std::string("done")) << row.command;
        const std::string first = platform.started.substr(0, platform.started.find('\n') + 1);
        EXPECT_EQ(first, row.started);
        EXPECT_EQ(platform.held, 0) << "released at the end";
    }
}
