// The cost of one write of the run record, as the dialog makes it after each outcome: the Run value
// alone, flushed in the registry, or through the whole-file save of the ini file.
//   run_write RUNS OUT    appends "run_write_ms registry|ini value" to OUT\samples.txt
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/bounded_text.h"
#include "config/settings_win32.h"
#include "ui/main_settings.h"

namespace {

double counter_ms() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc == 3 ? std::atoi(argv[1]) : 0;
    if (runs <= 0) {
        std::printf("usage: run_write RUNS OUT\n");
        return 2;
    }
    const std::string out = argv[2], ini = out + "\\run-write.ini";
    FILE* samples = std::fopen((out + "\\samples.txt").c_str(), "a");
    if (samples == nullptr) {
        return 1;
    }
    static MainSettings settings;
    settings.store.ini_path = ini.c_str();
    settings.store.key_path = "Software\\Tansky Freeware\\Kelvast benchmark";
    // A full history beside it, as the ini file holds after a while, so that the copy has its usual size.
    memset(settings.history.buffer, 'h', sizeof settings.history.buffer - 2);
    settings.store.mode = MODE_WRITE_INI;
    save_settings(settings.store, win32_settings_backend());
    const struct {
        const char* store;
        uint32_t mode;
    } stores[] = {{"registry", MODE_WRITE_REGISTRY}, {"ini", MODE_WRITE_INI}};
    for (const auto& store : stores) {
        settings.store.mode = store.mode;
        for (int i = 0; i <= runs; ++i) {
            format_text(settings.run_text, sizeof settings.run_text,
                        "Kelvast run 1; time=03:00:00; days=1111111; armed=2026-12-07 22:15:03; ran=2026-12-08; "
                        "last=2026-12-08 03:00:00 Started 12/8/2026 03:00:00, exit code %d; "
                        "command=C:\\Tools\\backup.cmd &&yyyymodd; state=armed",
                        i);
            const double before = counter_ms();
            save_setting(settings.store, win32_settings_backend(), RUN_ROW);
            const double took = counter_ms() - before;
            if (i > 0) {  // the first warms the caches
                std::fprintf(samples, "run_write_ms %s %.3f\n", store.store, took);
            }
        }
    }
    std::fclose(samples);
    RegDeleteTreeA(HKEY_CURRENT_USER, settings.store.key_path);
    DeleteFileA(ini.c_str());
    return 0;
}
