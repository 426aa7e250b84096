// Cost of one load and one save of the program's table, and of the ini form of a full history.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "config/setting_text.h"
#include "tests/support/memory_backend.h"
#include "ui/main_settings.h"

namespace {

// A full history of whole entries, with '%' to escape, closed inside its buffer.
void fill_history(char* buffer, size_t size) {
    memset(buffer, 0, size);
    const char entry[] = "C:\\Tools\\report.exe 50% &&yyyymodd\00007:30:00\0000111110";
    size_t at = 0;
    while (at + sizeof entry + 1 <= size) {
        memcpy(buffer + at, entry, sizeof entry);
        at += sizeof entry;
    }
}

void BM_SaveProgramTable(benchmark::State& state) {
    MainSettings settings;
    History& history = settings.history;
    SettingsStore& settings_store = settings.store;
    MemorySettingsBackend backend;
    fill_history(history.buffer, sizeof history.buffer);
    settings_store.mode = static_cast<uint32_t>(state.range(0));
    for (auto _ : state) {
        save_settings(settings_store, backend);
    }
}
BENCHMARK(BM_SaveProgramTable)->Arg(MODE_WRITE_REGISTRY)->Arg(MODE_WRITE_INI);

void BM_LoadProgramTable(benchmark::State& state) {
    MainSettings settings;
    History& history = settings.history;
    SettingsStore& settings_store = settings.store;
    MemorySettingsBackend backend;
    fill_history(history.buffer, sizeof history.buffer);
    settings_store.mode = MODE_WRITE_REGISTRY | MODE_WRITE_INI;
    save_settings(settings_store, backend);
    settings_store.mode = static_cast<uint32_t>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(load_settings(settings_store, backend));
    }
}
BENCHMARK(BM_LoadProgramTable)->Arg(MODE_READ_REGISTRY)->Arg(MODE_READ_INI);

void BM_EncodeFullHistory(benchmark::State& state) {
    std::vector<char> multi(HISTORY_BUFFER_SIZE);
    std::vector<char> text(2 * HISTORY_BUFFER_SIZE);
    fill_history(multi.data(), multi.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(encode_multi_string(multi.data(), multi.size(), text.data(), text.size()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(multi.size()));
}
BENCHMARK(BM_EncodeFullHistory);

void BM_DecodeFullHistory(benchmark::State& state) {
    std::vector<char> multi(HISTORY_BUFFER_SIZE);
    std::vector<char> text(2 * HISTORY_BUFFER_SIZE);
    fill_history(multi.data(), multi.size());
    encode_multi_string(multi.data(), multi.size(), text.data(), text.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(decode_multi_string(text.data(), multi.data(), multi.size()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(multi.size()));
}
BENCHMARK(BM_DecodeFullHistory);

}  // namespace
