// The started program of the latency benchmark: reads the precise system time (UTC, 100 ns units)
// as its very first action and writes it in decimal to the file named on its command line:
//   latency_probe.exe <record-file>
// Built without the C runtime (entry probe_entry), so only the loader runs before the reading.
#include <windows.h>

namespace {

// The argument after the program name, quotes removed, into a bounded buffer; empty when absent.
void record_path(const char* line, char* path, int size) {
    bool quoted = false;
    while (*line != '\0' && (quoted || (*line != ' ' && *line != '\t'))) {
        if (*line == '"') {
            quoted = !quoted;
        }
        ++line;
    }
    while (*line == ' ' || *line == '\t') {
        ++line;
    }
    int n = 0;
    for (; *line != '\0' && n < size - 1; ++line) {
        if (*line != '"') {
            path[n++] = *line;
        }
    }
    while (n > 0 && (path[n - 1] == ' ' || path[n - 1] == '\t')) {
        --n;
    }
    path[n] = '\0';
}

// Decimal digits of value and a newline; returns the length. 21 bytes hold any 64-bit value.
int format_decimal(unsigned long long value, char (&text)[24]) {
    char reversed[24];
    int n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0 && n < 21);
    for (int i = 0; i < n; ++i) {
        text[i] = reversed[n - 1 - i];
    }
    text[n] = '\n';
    return n + 1;
}

}  // namespace

extern "C" void probe_entry() {
    FILETIME entered;
    GetSystemTimePreciseAsFileTime(&entered);

    char path[MAX_PATH];
    record_path(GetCommandLineA(), path, sizeof path);
    if (path[0] != '\0') {
        char text[24];
        int length = format_decimal(
            (static_cast<unsigned long long>(entered.dwHighDateTime) << 32) | entered.dwLowDateTime, text);
        HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
            CloseHandle(file);
        }
    }
    ExitProcess(0);
}
