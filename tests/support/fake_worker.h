// A worker's platform over a fake clock (UTC and the local offset) that moves only when it sleeps.
// Times are written "d h:mm:ss": day d of the fake calendar, whose day 0 is a Sunday.
#ifndef KELVAST_FAKE_WORKER_H
#define KELVAST_FAKE_WORKER_H

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/bounded_text.h"
#include "schedule/worker.h"

// Day 0 of the fake calendar: 1601-01-07, the clock's first Sunday.
constexpr int64_t FAKE_FIRST_DAY = 6;

// Local seconds of "d h:mm:ss".
inline int64_t fake_time(const char* text) {
    int day = 0, h = 0, m = 0, s = 0;
    sscanf(text, "%d %d:%d:%d", &day, &h, &m, &s);
    return ((day + FAKE_FIRST_DAY) * 24LL + h) * 3600 + m * 60 + s;
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
    std::string log;
    WorkerStart from{};
    std::string command = std::string(255, 'c'), file{};
    bool lives = true;
};

// Logs "S d h:mm:ss " (started), "E..:code" (ended), "F..:error" (not started), "M..." (missed while
// running), "A..." (missed while absent) at the local time of their moment, "+" for a run made up late,
// then "|" and the first line started if not the command line.
class FakePlatform : public WorkerPlatform {
  public:
    explicit FakePlatform(const Case& run) : run(run), utc(fake_time(run.start) * 1000), offset(run.offset) {
        copy_text(request.command_line, COMMAND_LINE_SIZE, run.command.c_str());
        request.target_second = static_cast<uint32_t>(fake_time(run.target) % 86400);
        memcpy(request.day_mask, run.mask, DAY_MASK_SIZE);
        request.stop = utc >= fake_time(run.stop) * 1000;
    }
    ClockReading read_clock() override {
        ClockReading clock = local_reading((utc + offset * 60000LL) / 1000, offset);
        clock.millisecond = static_cast<uint16_t>((utc + offset * 60000LL) % 1000);
        return clock;
    }
    void sleep_ms(uint32_t milliseconds) override {
        utc += milliseconds;
        ended_after -= milliseconds;
        for (; next < run.changes.size() && utc >= fake_time(run.changes[next].when) * 1000; ++next) {
            offset = run.changes[next].offset;
            utc += run.changes[next].utc_step * 1000;
        }
        request.stop = utc >= fake_time(run.stop) * 1000;
    }
    bool is_file(const char* path) override { return path == run.file; }
    LaunchResult start_process(char* line) override {
        started = started.empty() ? line : started;
        const bool found = line[0] != 'm';
        held += found;
        ended_after = run.lives ? INT64_MAX / 2 : 1000;
        return {found, found ? 0u : 2u};
    }
    WatchedProcess watched_process() override { return {ended_after <= 0, 7}; }
    void release_process() override { --held; }
    void report(const RunOutcome& o) override {
        char text[48];
        snprintf(text, sizeof text, "%c%lld %u:%02u:%02u%s%s ", "SEFMA"[static_cast<int>(o.kind)],
                 static_cast<long long>(local_seconds(o.clock) / 86400 - FAKE_FIRST_DAY), o.clock.hour, o.clock.minute,
                 o.clock.second, o.caught_up ? "+" : "", o.code != 0 ? (":" + std::to_string(o.code)).c_str() : "");
        log += text;
        outcomes.push_back(o);
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
    std::vector<RunOutcome> outcomes;
    int64_t ended_after = 0;
    int held = 0, done = 0;
};

#endif
