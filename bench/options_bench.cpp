#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "app/startup.h"
#include "config/options.h"
#include "ui/history.h"

namespace {

// A command line far longer than any real one, mixing every kind of parameter and message.
std::string long_command_line() {
    std::string line;
    while (line.size() < 32 * 1024) {
        line += "-rr -iw -pp=0x3 -pt=off -if=\"C:\\Program Files\\Kelvast\\k.ini\" -zz \"positional text\" -pp=x ";
    }
    return line;
}

void BM_ParseLongCommandLine(benchmark::State& state) {
    const std::string line = long_command_line();
    OptionEntry table[OPTION_COUNT];
    char ini[INI_PATH_SIZE];
    char error[OPTION_ERROR_SIZE];
    for (auto _ : state) {
        memcpy(table, option_table, sizeof table);
        table[OPTION_IF].dest = ini;
        parse_command_line(table, OPTION_COUNT, line.c_str(), error);
        benchmark::DoNotOptimize(table);
        benchmark::DoNotOptimize(error);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(line.size()));
}
BENCHMARK(BM_ParseLongCommandLine);

void BM_AddHistoryEntry(benchmark::State& state) {
    std::unique_ptr<History> history(new History);
    memset(history->buffer, 0, sizeof history->buffer);
    reset_history_slots(*history);
    const size_t length = static_cast<size_t>(state.range(0));
    std::string commands[12];
    for (size_t i = 0; i < 12; i++) {
        commands[i] = std::string(length - 1, 'c') + static_cast<char>('a' + i);
    }
    size_t next = 0;
    for (auto _ : state) {
        add_history_entry(*history, commands[next].c_str(), "12:00:00", "0111110");
        next = (next + 1) % 12;
        benchmark::DoNotOptimize(history->buffer);
    }
}
BENCHMARK(BM_AddHistoryEntry)->Arg(12)->Arg(255);

}  // namespace
