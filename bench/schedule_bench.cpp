#include <benchmark/benchmark.h>

#include <string>

#include "schedule/command.h"
#include "schedule/schedule_entry.h"
#include "schedule/worker.h"

namespace {

const ClockReading CLOCK = {2026, 12, 6, 5, 7, 4, 9};

void BM_ExpandDenseCommandLine(benchmark::State& state) {
    std::string input;
    while (input.size() + 18 <= 255) {
        input += "&&yyyymodd&&hhmiss";
    }
    input.append(255 - input.size(), 'x');
    char out[COMMAND_LINE_SIZE];
    for (auto _ : state) {
        expand_command(input.c_str(), CLOCK, out);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_ExpandDenseCommandLine);

void BM_ExpandPlainCommandLine(benchmark::State& state) {
    std::string input = "C:\\Tools\\backup.cmd /full /target D:\\Backups\\" + std::string(200, 'p');
    char out[COMMAND_LINE_SIZE];
    for (auto _ : state) {
        expand_command(input.c_str(), CLOCK, out);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_ExpandPlainCommandLine);

void BM_ParseTimeText(benchmark::State& state) {
    const char* texts[] = {"14:53:27", "7.5,3", "12: 30", "abc", "4294967308:00:00"};
    size_t i = 0;
    for (auto _ : state) {
        TimeParse time = parse_time_text(texts[i++ % 5]);
        benchmark::DoNotOptimize(time);
    }
}
BENCHMARK(BM_ParseTimeText);

// One worker poll over a day of readings, five per second.
void BM_DecideLaunch(benchmark::State& state) {
    WorkerState worker = start_worker_state(86370, {});
    uint32_t tick = 0;
    for (auto _ : state) {
        uint32_t second = (tick++ / 5) % 86400;
        ClockReading clock = {2026,
                              1,
                              static_cast<uint16_t>(tick / 432000 % 7),
                              4,
                              static_cast<uint16_t>(second / 3600),
                              static_cast<uint16_t>(second / 60 % 60),
                              static_cast<uint16_t>(second % 60)};
        clock.utc_seconds = tick / 5;
        benchmark::DoNotOptimize(decide_poll(worker, "0100001", clock));
    }
}
BENCHMARK(BM_DecideLaunch);

}  // namespace
