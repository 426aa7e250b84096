// Driving kelvast.exe as a user meets it, from another process: its dialog by control identifiers,
// its effects read from the registry, files and started programs.
#ifndef KELVAST_KELVAST_DRIVER_H
#define KELVAST_KELVAST_DRIVER_H

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "res/resource.h"

constexpr const char* PROGRAM_KEY = "Software\\Tansky Freeware\\Kelvast";  // below HKEY_CURRENT_USER

inline std::string path_beside_test(const char* file_name) {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return (std::filesystem::path(std::string(path, n < sizeof path ? n : 0)).parent_path() / file_name).string();
}

// A folder of its own for one test, inside the prefix's temporary folder, created empty.
inline std::string fresh_temp_dir(const char* name) {
    const auto dir = std::filesystem::temp_directory_path() / (std::string("kelvast-") + name);
    std::error_code ignored;  // what cannot be removed stays: each test writes its files afresh
    std::filesystem::remove_all(dir, ignored);
    std::filesystem::create_directory(dir, ignored);
    return dir.string();
}

// A window's text, or an item of a combo box's list: through the W messages, cut at their length.
inline std::string window_text(HWND window, int index = -1) {
    const bool item = index >= 0;
    DWORD_PTR length = 0, copied = 0;
    if (!SendMessageTimeoutW(window, item ? CB_GETLBTEXTLEN : WM_GETTEXTLENGTH, item ? index : 0, 0, SMTO_ABORTIFHUNG,
                             2000, &length) ||
        length > 100000) {  // CB_ERR read as a length
        return std::string();
    }
    std::wstring wide(length + 1, L'\0');
    SendMessageTimeoutW(window, item ? CB_GETLBTEXT : WM_GETTEXT, item ? index : wide.size(), LPARAM(&wide[0]),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    wide.resize(copied < length ? copied : length);
    return std::string(wide.begin(), wide.end());  // every text here is ASCII
}

// Polls: another process's windows come and go on its own schedule, there is no clock to fake.
template <typename Condition>
inline bool wait_until(Condition condition, DWORD timeout_ms = 5000) {
    const DWORD start = GetTickCount();
    while (!condition() && GetTickCount() - start < timeout_ms) {
        Sleep(20);
    }
    return condition();
}

// One kelvast.exe process; whatever happens in a test, it does not outlive the test.
struct Kelvast {
    PROCESS_INFORMATION process{};
    HWND dialog = nullptr;

    explicit Kelvast(const std::string& switches, const char* directory = nullptr) {
        std::string line = "\"" + path_beside_test("kelvast.exe") + "\" " + switches;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, directory, &startup, &process)) {
            wait_until([&] { return (dialog = own_dialog()) != nullptr && IsWindowVisible(dialog); }, 30000);
        }
    }
    ~Kelvast() {
        TerminateProcess(process.hProcess, 1);  // fails harmlessly once the process has ended
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }

    // The dialog of this process, not of another test's.
    HWND own_dialog() const {
        DWORD owner = 0;
        HWND found = nullptr;
        while ((found = FindWindowExA(nullptr, found, nullptr, "Kelvast - Version 0.30")) != nullptr &&
               (GetWindowThreadProcessId(found, &owner) == 0 || owner != process.dwProcessId)) {
        }
        return found;
    }
    bool up() const { return IsWindowVisible(dialog) && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }
    // Ends the process as the control `id` does; false when it does not end or fails.
    bool ends_on(int id) const {
        post(id);
        DWORD status = 1;
        return WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0 &&
               GetExitCodeProcess(process.hProcess, &status) && status == 0;
    }
    HWND item(int id) const { return GetDlgItem(dialog, id); }
    // A status line's answer, written into the program's own memory: no pointer crosses processes.
    std::string status_reply(UINT message, WPARAM wparam) const {
        void* buffer = VirtualAllocEx(process.hProcess, nullptr, 512, MEM_COMMIT, PAGE_READWRITE);
        std::string bytes(512, '\0');
        SendMessageTimeoutA(item(IDC_STATUS), message, wparam, LPARAM(buffer), SMTO_ABORTIFHUNG, 5000, nullptr);
        ReadProcessMemory(process.hProcess, buffer, &bytes[0], bytes.size(), nullptr);
        VirtualFreeEx(process.hProcess, buffer, 0, MEM_RELEASE);
        return bytes;
    }
    std::string part(int index) const { return status_reply(SB_GETTEXTA, index).c_str(); }
    std::string text(int id) const { return window_text(item(id)); }
    // Sent: returns once the dialog has handled it.
    void command(int id) const { SendMessageTimeoutW(dialog, WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, 10000, nullptr); }
    void post(int id) const { PostMessageA(dialog, WM_COMMAND, id, 0); }
    RECT rect() const {
        RECT r{};
        GetWindowRect(dialog, &r);
        return r;
    }
    // The day boxes as a mask, Sunday first; `set` ticks them first.
    std::string days(const char* set = nullptr) const {
        std::string mask;
        for (int i = 0; i < 7; ++i) {
            if (set) {
                SendMessageA(item(IDC_DAY_SU + i), BM_SETCHECK, set[i] == '1' ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            mask += SendMessageA(item(IDC_DAY_SU + i), BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0';
        }
        return mask;
    }
    std::string list() const {
        std::string all;
        for (int i = 0, n = int(SendMessageA(item(IDC_PROGRAM), CB_GETCOUNT, 0, 0)); i < n; ++i) {
            all += window_text(item(IDC_PROGRAM), i) + "\n";
        }
        return all;
    }
    // What the inputs show: "list|program|time|days".
    std::string shown() const { return list() + "|" + text(IDC_PROGRAM) + "|" + text(IDC_TIME) + "|" + days(); }
    void start(const char* program, const char* time, const char* mask) const {
        SetDlgItemTextA(dialog, IDC_PROGRAM, program);
        SetDlgItemTextA(dialog, IDC_TIME, time);
        days(mask);
        command(IDC_START);
    }
};

// True when there was a key to delete.
inline bool delete_program_key() {
    return RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY) == ERROR_SUCCESS;
}

// A stored value, from the ini file or (without one) the registry.
inline std::string stored_value(const std::string& ini, const char* section, const char* name) {
    HKEY key = nullptr;
    DWORD type = 0, size = 70000;  // more than a profile line holds
    std::string bytes(size, '\0');
    if (!ini.empty()) {
        bytes.resize(GetPrivateProfileStringA(section, name, "<missing>", &bytes[0], size, ini.c_str()));
        return bytes;
    }
    const bool read =
        !RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(PROGRAM_KEY) + "\\" + section).c_str(), 0, KEY_READ, &key) &&
        !RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size);
    RegCloseKey(key);  // fails harmlessly on a key never opened
    bytes.resize(read ? size : 0);
    if (type == REG_DWORD && bytes.size() == sizeof(DWORD)) {
        return std::to_string(*reinterpret_cast<const DWORD*>(bytes.data()));
    }
    return type == REG_MULTI_SZ ? bytes : "<type " + std::to_string(type) + ">" + bytes;
}

// Everything Exit saves, as "PosX,PosY,Width,Height,Version|History".
inline std::string stored(const std::string& ini = "") {
    auto value = [&](const char* section, const char* name) { return stored_value(ini, section, name); };
    return value("Window", "PosX") + "," + value("Window", "PosY") + "," + value("Window", "Width") + "," +
           value("Window", "Height") + "," + value("Program", "Version") + "|" + value("Settings", "History");
}

inline std::string read_file(const std::string& path) {
    return std::string(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
}

// Today's date as the user writes it.
inline std::string today() {
    char date[64] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, sizeof date);
    return date;
}

// A second of the day as "HH:MM:SS", and back; the local time `seconds` from now.
inline std::string clock_text(unsigned second) {
    char text[16];
    snprintf(text, sizeof text, "%02u:%02u:%02u", second / 3600 % 24, second / 60 % 60, second % 60);
    return text;
}
inline std::string clock_ahead(unsigned seconds) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return clock_text(now.wHour * 3600u + now.wMinute * 60u + now.wSecond + seconds);
}
inline unsigned second_of_day(const std::string& time) {
    return std::stoul(time) * 3600 + std::stoul(time.substr(3)) * 60 + std::stoul(time.substr(6));
}

// The system's text for an error, on one line.
inline std::string system_message(DWORD code) {
    char text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text,
                   nullptr);
    return std::regex_replace(text, std::regex("[\r\n]+$"), "");
}

// A window as the stores keep it: "left,top,width,height", a negative edge as 0.
inline std::string str(const RECT& r) {
    return std::to_string(r.left < 0 ? 0 : r.left) + "," + std::to_string(r.top < 0 ? 0 : r.top) + "," +
           std::to_string(r.right - r.left) + "," + std::to_string(r.bottom - r.top);
}

#endif
