// Drives the real kelvast.exe from another process under Wine and records raw samples for bench/run:
//   bench_driver latency RUNS OUT    scheduled launches of the latency probe, and bare launches of it
//   bench_driver startup RUNS OUT    process creation to the visible, initialised dialog
//   bench_driver idle kelvast|dialog SECONDS OUT
//                                    one program idling (kelvast waiting on a schedule far ahead);
//                                    OUT\idle-NAME.ready marks the start of the window, the driver
//                                    then waits for OUT\idle-NAME.stop before it ends the program
// Every sample is appended to OUT\samples.txt as "figure program value". The programs are found
// beside this driver. Exit status 0 when every run produced its sample, 1 otherwise.
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char KELVAST_CAPTION[] = "Kelvast - Version 0.30";
const char DIALOG_CAPTION[] = "Empty dialog - ready";
const int IDC_PROGRAM = 101;
const int IDC_TIME = 103;
const int IDC_STATUS = 105;
const int IDC_START = 107;
const int IDC_CANCEL = 108;
const int IDC_DAY_SU = 201;
// Kelvast keeps at most 255 characters of the command line.
const size_t COMMAND_LIMIT = 255;
const unsigned long long TICKS_PER_SECOND = 10000000ULL;  // FILETIME units

std::string out_dir;

std::string beside_driver(const char* file_name) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir(path, n < sizeof path ? n : 0);
    size_t slash = dir.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : dir.substr(0, slash + 1)) + file_name;
}

std::string in_out_dir(const std::string& file_name) {
    return out_dir + "\\" + file_name;
}

unsigned long long precise_now() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

double counter_ms() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void record_sample(const char* figure, const char* program, double value) {
    std::string path = in_out_dir("samples.txt");
    FILE* file = std::fopen(path.c_str(), "a");
    if (file == nullptr) {
        std::printf("cannot append to %s\n", path.c_str());
        return;
    }
    std::fprintf(file, "%s %s %.3f\n", figure, program, value);
    std::fclose(file);
}

bool file_exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void write_marker(const std::string& path, DWORD value) {
    FILE* file = std::fopen(path.c_str(), "w");
    if (file != nullptr) {
        std::fprintf(file, "%lu\n", static_cast<unsigned long>(value));
        std::fclose(file);
    }
}

// Another process's windows change on their own schedule: poll, there is no event to wait for.
template <typename Condition>
bool wait_until(Condition condition, DWORD timeout_ms, DWORD interval_ms) {
    for (DWORD start = GetTickCount(); !condition(); Sleep(interval_ms)) {
        if (GetTickCount() - start >= timeout_ms) {
            return false;
        }
    }
    return true;
}

// The probe's record: its entry time in FILETIME units, once the whole line is written.
bool read_record(const std::string& path, unsigned long long& value) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    char text[32] = "";
    DWORD got = 0;
    ReadFile(file, text, sizeof text - 1, &got, nullptr);
    CloseHandle(file);
    text[got < sizeof text ? got : sizeof text - 1] = '\0';
    if (std::strchr(text, '\n') == nullptr) {
        return false;
    }
    value = std::strtoull(text, nullptr, 10);
    return value != 0;
}

// A visible top-level window of the process with exactly this caption; the caption is read from
// Wine's server, so a busy or starting process is never waited for.
HWND find_window(DWORD process_id, const char* caption) {
    for (HWND window = FindWindowExA(nullptr, nullptr, nullptr, caption); window != nullptr;
         window = FindWindowExA(nullptr, window, nullptr, caption)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process_id && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

// Text of a control of another process; the W message honours its timeout under Wine.
std::string window_text(HWND window) {
    wchar_t wide[512];
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, sizeof wide / sizeof wide[0], reinterpret_cast<LPARAM>(wide),
                             SMTO_ABORTIFHUNG, 5000, &copied)) {
        return std::string();
    }
    if (copied >= sizeof wide / sizeof wide[0]) {
        copied = sizeof wide / sizeof wide[0] - 1;
    }
    char text[1024];
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(copied), text, sizeof text - 1, nullptr, nullptr);
    return std::string(text, bytes > 0 ? bytes : 0);
}

// One started program; it never outlives the driver's use of it.
struct Program {
    PROCESS_INFORMATION process{};
    HWND dialog = nullptr;
    double started_ms = 0;  // counter time just before CreateProcess
    double visible_ms = 0;  // counter time when the initialised dialog was first seen

    bool start(const std::string& command_line, const char* caption) {
        std::vector<char> buffer(command_line.begin(), command_line.end());
        buffer.push_back('\0');
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started_ms = counter_ms();
        if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            std::printf("cannot start %s (error %lu)\n", command_line.c_str(), GetLastError());
            return false;
        }
        // A caption set by WM_INITDIALOG on a visible window: the dialog is up and initialised.
        wait_until([&] { return (dialog = find_window(process.dwProcessId, caption)) != nullptr; }, 30000, 1);
        visible_ms = counter_ms();
        if (dialog == nullptr) {
            std::printf("no dialog \"%s\" within 30 s\n", caption);
        }
        return dialog != nullptr;
    }

    void stop() {
        if (process.hProcess == nullptr) {
            return;
        }
        if (dialog != nullptr) {
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 5000);
        }
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        process = PROCESS_INFORMATION{};
        dialog = nullptr;
    }

    ~Program() { stop(); }

    HWND item(int id) const { return GetDlgItem(dialog, id); }

    void command(int id) const {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(dialog, WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, 10000, &result);
    }

    bool status_is(const std::string& expected, DWORD timeout_ms) const {
        return wait_until([&] { return window_text(item(IDC_STATUS)) == expected; }, timeout_ms, 10);
    }

    // Kelvast's Start with this command line, local time text and every weekday ticked.
    bool schedule(const std::string& command_line, const char* time_text) const {
        SendMessageA(item(IDC_PROGRAM), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(command_line.c_str()));
        SendMessageA(item(IDC_TIME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(time_text));
        for (int day = 0; day < 7; ++day) {
            SendMessageA(item(IDC_DAY_SU + day), BM_SETCHECK, BST_CHECKED, 0);
        }
        command(IDC_START);
        std::string waiting = std::string("Waiting to start program at ") + time_text;
        if (!status_is(waiting, 5000)) {
            std::printf("kelvast did not accept the schedule: \"%s\"\n", window_text(item(IDC_STATUS)).c_str());
            return false;
        }
        return true;
    }

    bool cancel() const {
        command(IDC_CANCEL);
        return status_is("Thread ended normally", 5000);
    }
};

// No settings store, or an ini file of its own, which the run record is written to after every
// outcome: the launch is timed with those writes going on.
std::string kelvast_command(bool with_store = false) {
    return "\"" + beside_driver("kelvast.exe") + "\" -rd " +
           (with_store ? "-if=\"" + in_out_dir("latency.ini") + "\"" : std::string("-id"));
}

std::string dialog_command() {
    return "\"" + beside_driver("empty_dialog.exe") + "\"";
}

// The probe's command line; empty when kelvast could not hold it or would expand part of it.
std::string probe_command(const std::string& record) {
    std::string line = "\"" + beside_driver("latency_probe.exe") + "\" \"" + record + "\"";
    if (line.size() > COMMAND_LIMIT || line.find("&&") != std::string::npos) {
        std::printf("the probe's command line does not fit kelvast (over %u characters or with \"&&\"): %s\n",
                    static_cast<unsigned>(COMMAND_LIMIT), line.c_str());
        return std::string();
    }
    return line;
}

// "HH:MM:SS" of a UTC FILETIME in local time; the zone's offset is whole minutes, so a whole UTC
// second is a whole local second.
void local_time_text(unsigned long long utc, char (&text)[16]) {
    FILETIME universal{static_cast<DWORD>(utc), static_cast<DWORD>(utc >> 32)};
    FILETIME local;
    SYSTEMTIME fields{};
    FileTimeToLocalFileTime(&universal, &local);
    FileTimeToSystemTime(&local, &fields);
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", fields.wHour, fields.wMinute, fields.wSecond);
}

// Started exactly as kelvast starts a scheduled program: same flags, same inherited handles.
bool bare_launch(const std::string& command_line, unsigned long long& before) {
    std::vector<char> buffer(command_line.begin(), command_line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_MINIMIZE;
    PROCESS_INFORMATION process{};
    before = precise_now();
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                        &startup, &process)) {
        std::printf("cannot start the probe (error %lu)\n", GetLastError());
        return false;
    }
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

int run_latency(int runs) {
    Program kelvast;
    if (!kelvast.start(kelvast_command(true), KELVAST_CAPTION)) {
        return 1;
    }
    int failures = 0;
    // Run -1 warms the file cache for both paths and is not recorded.
    for (int run = -1; run < runs; ++run) {
        std::string bare_record = in_out_dir("bare-" + std::to_string(run + 1) + ".txt");
        std::string scheduled_record = in_out_dir("scheduled-" + std::to_string(run + 1) + ".txt");
        std::string bare_line = probe_command(bare_record);
        std::string scheduled_line = probe_command(scheduled_record);
        if (bare_line.empty() || scheduled_line.empty()) {
            return 1;
        }
        DeleteFileA(bare_record.c_str());
        DeleteFileA(scheduled_record.c_str());

        unsigned long long before = 0, entered = 0;
        if (bare_launch(bare_line, before) && wait_until([&] { return read_record(bare_record, entered); }, 10000, 5)) {
            if (run >= 0) {
                record_sample("latency_ms", "bare", static_cast<double>(entered - before) / 1e4);
            }
        } else {
            std::printf("bare run %d: no record\n", run + 1);
            ++failures;
        }

        // Two to three seconds ahead, on a whole second.
        unsigned long long target = (precise_now() / TICKS_PER_SECOND + 3) * TICKS_PER_SECOND;
        char time_text[16];
        local_time_text(target, time_text);
        if (!kelvast.schedule(scheduled_line, time_text)) {
            return 1;
        }
        // The launch window is 61 s long: a launch can come no later than that.
        if (wait_until([&] { return read_record(scheduled_record, entered); }, 65000, 5)) {
            if (run >= 0) {
                record_sample("latency_ms", "kelvast",
                              (static_cast<double>(entered) - static_cast<double>(target)) / 1e4);
            }
        } else {
            std::printf("scheduled run %d at %s: the probe did not run\n", run + 1, time_text);
            ++failures;
        }
        if (!kelvast.cancel()) {
            std::printf("scheduled run %d: cancel not confirmed\n", run + 1);
            return 1;
        }
    }
    std::printf("latency: %d runs, %d failures\n", runs, failures);
    return failures == 0 ? 0 : 1;
}

// Committed private memory, summed region by region: Wine reports no PrivateUsage for another
// process, and the walk gives the same quantity on Windows.
unsigned long long private_committed(HANDLE process) {
    unsigned long long total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* address = nullptr;
         VirtualQueryEx(process, address, &region, sizeof region) == sizeof region && region.RegionSize != 0;
         address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            total += region.RegionSize;
        }
    }
    return total;
}

void record_memory(const Program& program, const char* state, const char* name) {
    record_sample((std::string("private_kib_") + state).c_str(), name,
                  static_cast<double>(private_committed(program.process.hProcess)) / 1024.0);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(program.process.hProcess, &counters, sizeof counters)) {
        record_sample((std::string("peak_ws_kib_") + state).c_str(), name,
                      static_cast<double>(counters.PeakWorkingSetSize) / 1024.0);
    }
}

int run_startup(int runs) {
    const struct {
        const char* name;
        std::string command;
        const char* caption;
    } programs[] = {{"kelvast", kelvast_command(), KELVAST_CAPTION},
                    {"dialog", dialog_command(), DIALOG_CAPTION},
                    {"template", "\"" + beside_driver("template_dialog.exe") + "\"", DIALOG_CAPTION}};
    const int count = sizeof programs / sizeof programs[0];
    int failures = 0;
    // Interleaved, each run starting with the next program, so drift on a busy machine hits all
    // alike; run -1 warms up.
    for (int run = -1; run < runs; ++run) {
        for (int turn = 0; turn < count; ++turn) {
            const auto& chosen = programs[(run + 1 + turn) % count];
            Program program;
            if (!program.start(chosen.command, chosen.caption)) {
                ++failures;
            } else if (run >= 0) {
                record_sample("startup_ms", chosen.name, program.visible_ms - program.started_ms);
                record_memory(program, "started", chosen.name);
            }
            program.stop();
        }
    }
    std::printf("start-up: %d runs of each, %d failures\n", runs, failures);
    return failures == 0 ? 0 : 1;
}

unsigned long long process_cpu(HANDLE process) {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) {
        return 0;
    }
    auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return ticks(kernel) + ticks(user);
}

int run_idle(const std::string& name, int seconds) {
    Program program;
    bool kelvast = name == "kelvast";
    if (!(kelvast ? program.start(kelvast_command(), KELVAST_CAPTION)
                  : program.start(dialog_command(), DIALOG_CAPTION))) {
        return 1;
    }
    if (kelvast) {
        std::string line = probe_command(in_out_dir("idle-never.txt"));
        // Six hours ahead: the worker polls all through the window and never fires.
        char time_text[16];
        local_time_text(precise_now() + 6ULL * 3600 * TICKS_PER_SECOND, time_text);
        if (line.empty() || !program.schedule(line, time_text)) {
            return 1;
        }
    }
    Sleep(2000);  // let the start settle before the window opens

    unsigned long long cpu_before = process_cpu(program.process.hProcess);
    unsigned long long wall_before = precise_now();
    write_marker(in_out_dir("idle-" + name + ".ready"), program.process.dwProcessId);
    // The script's slices start a little later and run a little longer than the nominal window; the
    // driver stays asleep through them. Nothing here touches the program before the script's last
    // sample: the memory walk below wakes it (Wine answers a query of another process inside it).
    Sleep(static_cast<DWORD>(seconds) * 1000 + 2000);
    bool released = wait_until([&] { return file_exists(in_out_dir("idle-" + name + ".stop")); }, 120000, 50);
    unsigned long long cpu = process_cpu(program.process.hProcess) - cpu_before;
    unsigned long long wall = precise_now() - wall_before;
    record_sample("idle_cpu_pct_windows", name.c_str(), 100.0 * static_cast<double>(cpu) / static_cast<double>(wall));
    record_memory(program, "waiting", name.c_str());
    if (kelvast) {
        program.cancel();
    }
    return released ? 0 : 1;
}

int usage() {
    std::printf(
        "usage: bench_driver latency RUNS OUT | startup RUNS OUT | idle kelvast|dialog SECONDS OUT\n"
        "       (OUT: an existing folder for the samples)\n");
    return 2;
}

int positive(const char* text) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value > 0 && value <= 100000 ? static_cast<int>(value) : 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string phase = argc > 1 ? argv[1] : "";
    int value_index = phase == "idle" ? 3 : 2;
    if (argc != value_index + 2 || positive(argv[value_index]) == 0) {
        return usage();
    }
    out_dir = argv[value_index + 1];
    DWORD attributes = GetFileAttributesA(out_dir.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        std::printf("no such folder: %s\n", out_dir.c_str());
        return 2;
    }
    int count = positive(argv[value_index]);
    int status = 2;
    if (phase == "latency") {
        status = run_latency(count);
    } else if (phase == "startup") {
        status = run_startup(count);
    } else if (phase == "idle" && (std::string(argv[2]) == "kelvast" || std::string(argv[2]) == "dialog")) {
        status = run_idle(argv[2], count);
    } else {
        status = usage();
    }
    std::fflush(stdout);
    return status;
}
