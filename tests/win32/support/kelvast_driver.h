// kelvast.exe driven from a test: started with switches in a process of its own, its dialog
// worked by control identifiers, its stores read back from the registry and from files.
#ifndef KELVAST_DRIVER_H
#define KELVAST_DRIVER_H

#include <windows.h>

#include <string>

extern const char* const PROGRAM_KEY;  // below HKEY_CURRENT_USER
extern const char* const DIALOG_CAPTION;

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
    bool running() const;

    HWND item(int id) const { return GetDlgItem(dialog, id); }
    std::string text(int id) const;
    void set_text(int id, const char* value) const;
    void command(int id) const;  // sent: returns once the dialog has handled it
    void post(int id) const;
    // The day boxes as a mask, Sunday first; `set` ticks them first.
    std::string days(const char* set = nullptr) const;
    int list_count() const;
    std::string list_item(int index) const;
    // Every item of the drop-down list, one per line.
    std::string list() const;
    bool status_becomes(const std::string& expected) const;
    RECT rect() const;
    void start(const char* program, const char* time, const char* mask) const;
};

bool program_key_exists();
// A value of the program's key: REG_DWORD as a number (0xFFFFFFFF when missing or of another type).
DWORD stored_number(const char* section, const char* name);
// Raw bytes and type of a value below the program's key; false when missing.
bool stored_value(const char* section, const char* name, DWORD& type, std::string& bytes);
// Writes exactly `bytes`, with no zero byte added behind a text.
void store_value(const char* section, const char* name, DWORD type, const std::string& bytes);

// The local time of day `seconds` from now, as "HH:MM:SS", for a schedule that fires soon.
std::string time_text_ahead(unsigned seconds);

bool file_exists(const std::string& path);
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& content);

#endif
