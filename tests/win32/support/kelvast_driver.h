// kelvast.exe driven from a test: started with switches in a process of its own, its dialog
// worked by control identifiers, its stores read back from the registry and from files.
#ifndef KELVAST_DRIVER_H
#define KELVAST_DRIVER_H

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "res/resource.h"

inline const char* const PROGRAM_KEY = "Software\\Tansky Freeware\\Kelvast";  // below HKEY_CURRENT_USER

inline std::string path_beside_test(const char* file_name) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string test(path, n < sizeof path ? n : 0);
    return test.substr(0, test.find_last_of("\\/") + 1) + file_name;  // npos + 1: no folder
}

// A folder of its own for one test, inside the prefix's temporary folder, created empty.
inline std::string fresh_temp_dir(const char* name) {
    const auto dir = std::filesystem::temp_directory_path() / (std::string("kelvast-") + name);
    std::error_code ignored;  // what cannot be removed stays: each test writes its files afresh
    std::filesystem::remove_all(dir, ignored);
    std::filesystem::create_directory(dir, ignored);
    return dir.string();
}

// A window's text, or with `index` an item of a combo box's list: through the W messages, as the
// A ones lose text across processes, and cut at the returned length (see WINE-NOTES).
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
    std::string out(wide.size() * 2, '\0');
    out.resize(
        WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), &out[0], int(out.size()), nullptr, nullptr));
    return out;
}

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

// One kelvast.exe process; whatever happens in a test, it does not outlive the test.
struct Kelvast {
    PROCESS_INFORMATION process{};
    HWND dialog = nullptr;

    explicit Kelvast(const std::string& switches, const char* directory = nullptr) {
        std::string line = "\"" + path_beside_test("kelvast.exe") + "\" " + switches;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, directory, &startup, &process)) {
            wait_until(
                [&] { return (dialog = FindWindowA(nullptr, "Kelvast - Version 0.30")) && IsWindowVisible(dialog); },
                30000);
        }
    }
    ~Kelvast() {
        TerminateProcess(process.hProcess, 1);  // fails harmlessly once the process has ended
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    Kelvast(const Kelvast&) = delete;
    Kelvast& operator=(const Kelvast&) = delete;

    bool up() const {
        return dialog && IsWindowVisible(dialog) && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
    }
    // Ends the process as the control `id` does; false when it does not end or fails.
    bool ends_on(int id) const {
        post(id);
        DWORD status = 1;
        return WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0 &&
               GetExitCodeProcess(process.hProcess, &status) && status == 0;
    }
    HWND item(int id) const { return GetDlgItem(dialog, id); }
    std::string text(int id) const { return window_text(item(id)); }
    void set_text(int id, const char* value) const { SendMessageA(item(id), WM_SETTEXT, 0, LPARAM(value)); }
    // Sent: returns once the dialog has handled it.
    void command(int id) const { SendMessageTimeoutW(dialog, WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, 10000, nullptr); }
    void post(int id) const { PostMessageA(dialog, WM_COMMAND, id, 0); }
    bool status_becomes(const std::string& expected) const {
        return wait_until([&] { return text(IDC_STATUS) == expected; });
    }
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
    // Every item of the drop-down list, one per line.
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
        set_text(IDC_PROGRAM, program);
        set_text(IDC_TIME, time);
        days(mask);
        command(IDC_START);
    }
};

inline bool program_key_exists() {
    HKEY key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, PROGRAM_KEY, 0, KEY_READ, &key) == ERROR_SUCCESS && !RegCloseKey(key);
}

// A value of an ini file as the profile functions read it; "<missing>" when absent.
inline std::string ini_value(const std::string& ini, const char* section, const char* name) {
    std::string text(70000, '\0');
    text.resize(GetPrivateProfileStringA(section, name, "<missing>", &text[0], DWORD(text.size()), ini.c_str()));
    return text;
}

// Everything Exit saves, as "PosX,PosY,Width,Height,Version,|History": from the ini file when one
// is named, else from the registry, a value not of its expected type marked with that type.
inline std::string stored(const std::string& ini = "") {
    auto value = [&](const char* section, const char* name, DWORD expected) {
        if (!ini.empty()) {
            return ini_value(ini, section, name);
        }
        HKEY key;
        DWORD type = 0, size = 65536;
        std::string bytes(size, '\0');
        LSTATUS read =
            RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(PROGRAM_KEY) + "\\" + section).c_str(), 0, KEY_READ, &key);
        if (read == ERROR_SUCCESS) {
            read = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size);
            RegCloseKey(key);
        }
        bytes.resize(read == ERROR_SUCCESS ? size : 0);
        if (type == expected && (type == REG_MULTI_SZ || bytes.size() == sizeof(DWORD))) {
            return type == REG_DWORD ? std::to_string(*reinterpret_cast<const DWORD*>(bytes.data())) : bytes;
        }
        return "<type " + std::to_string(type) + ">" + bytes;
    };
    std::string numbers;
    for (const char* name : {"PosX", "PosY", "Width", "Height"}) {
        numbers += value("Window", name, REG_DWORD) + ",";
    }
    return numbers + value("Program", "Version", REG_DWORD) + ",|" + value("Settings", "History", REG_MULTI_SZ);
}

// The same form for a window with this rectangle: a negative edge is stored as 0.
inline std::string stored_form(const RECT& window, const std::string& history) {
    return std::to_string(window.left < 0 ? 0 : window.left) + "," + std::to_string(window.top < 0 ? 0 : window.top) +
           "," + std::to_string(window.right - window.left) + "," + std::to_string(window.bottom - window.top) +
           ",30,|" + history;
}

// The registry form of a history: every text with its zero byte, and a closing zero.
inline std::string multi_string(const std::vector<std::string>& texts) {
    std::string bytes;
    for (const std::string& text : texts) {
        bytes += text + '\0';
    }
    return bytes + '\0';
}

inline bool file_exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string read_file(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

#endif
