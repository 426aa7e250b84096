// kelvast.exe driven from a test: started with switches in a process of its own, its dialog
// worked by control identifiers, its stores read back from the registry and from files.
#ifndef KELVAST_DRIVER_H
#define KELVAST_DRIVER_H

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"

extern const char* const PROGRAM_KEY;  // below HKEY_CURRENT_USER

// Full path of a file in the folder of the running test program (kelvast.exe, probes).
std::string path_beside_test(const char* file_name);
// A folder of its own for one test, inside the Wine prefix's temporary folder, created empty.
std::string fresh_temp_dir(const char* name);
// Text of a window, also across processes; cut at the returned length (see WINE-NOTES).
std::string window_text(HWND window);

// Polls: another process's windows come and go on its own schedule, there is no clock to fake.
template <typename Condition>
bool wait_until(Condition condition, DWORD timeout_ms = 5000) {
    for (DWORD start = GetTickCount(); !condition(); Sleep(20)) {
        if (GetTickCount() - start >= timeout_ms) {
            return false;
        }
    }
    return true;
}

// A visible top-level window of the process with exactly this caption, or null after the wait.
HWND wait_for_window(DWORD process_id, const char* caption, DWORD timeout_ms);

// One kelvast.exe process; whatever happens in a test, it does not outlive the test.
struct Kelvast {
    PROCESS_INFORMATION process{};
    HWND dialog = nullptr;

    explicit Kelvast(const std::string& switches, const char* directory = nullptr);
    ~Kelvast();
    Kelvast(const Kelvast&) = delete;
    Kelvast& operator=(const Kelvast&) = delete;

    // Exit as the user does; false when the process does not end or ends with another status.
    bool exit() const;
    bool running() const { return process.hProcess && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }
    // The process runs and its dialog is visible, minimised or within reach on the screen.
    testing::AssertionResult up() const;

    HWND item(int id) const { return GetDlgItem(dialog, id); }
    std::string text(int id) const { return window_text(item(id)); }
    void set_text(int id, const char* value) const { SendMessageA(item(id), WM_SETTEXT, 0, LPARAM(value)); }
    // Sent: returns once the dialog has handled it.
    void command(int id) const { SendMessageTimeoutW(dialog, WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, 10000, nullptr); }
    void post(int id) const { PostMessageA(dialog, WM_COMMAND, id, 0); }
    // The day boxes as a mask, Sunday first; `set` ticks them first.
    std::string days(const char* set = nullptr) const;
    // Every item of the drop-down list, one per line.
    std::string list() const;
    // What the inputs show: "list|program|time|days", the list as list() gives it.
    std::string shown() const;
    bool status_becomes(const std::string& expected) const {
        return wait_until([&] { return text(IDC_STATUS) == expected; });
    }
    RECT rect() const;
    void start(const char* program, const char* time, const char* mask) const;
};

bool program_key_exists();
// Writes exactly `bytes`, with no zero byte added behind a text.
void store_value(const char* section, const char* name, DWORD type, const std::string& bytes);

// A value of an ini file as the profile functions read it; "<missing>" when absent.
std::string ini_value(const std::string& ini, const char* section, const char* name);
// Everything Exit saves, as "PosX,PosY,Width,Height,Version|History": from the ini file when one
// is named, else from the registry, with "<type N>" before History unless it is REG_MULTI_SZ.
std::string stored(const std::string& ini = "");
// The same form for a window with this rectangle: a negative edge is stored as 0.
std::string stored_form(const RECT& window, const std::string& history);
// The registry form of a history: every text with its zero byte, and a closing zero.
std::string multi_string(const std::vector<std::string>& texts);

// The local time of day `seconds` from now, as "HH:MM:SS", for a schedule that fires soon.
std::string time_text_ahead(unsigned seconds);

bool file_exists(const std::string& path);
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& content);

#endif
