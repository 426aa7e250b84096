#include "support/kelvast_driver.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/bounded_text.h"

const char* const PROGRAM_KEY = "Software\\Tansky Freeware\\Kelvast";

static std::string section_path(const char* section) {
    return std::string(PROGRAM_KEY) + "\\" + section;
}

std::string path_beside_test(const char* file_name) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string test(path, n < sizeof path ? n : 0);
    return test.substr(0, test.find_last_of("\\/") + 1) + file_name;  // npos + 1: no folder
}

std::string fresh_temp_dir(const char* name) {
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp, n < sizeof temp ? n : 0) + "kelvast-" + name;
    std::error_code ignored;  // what cannot be removed stays: each test writes its files afresh
    std::filesystem::remove_all(dir, ignored);
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

static std::string narrow(const wchar_t* text, int length) {
    std::string out(length > 0 ? WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr) : 0, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], static_cast<int>(out.size()), nullptr, nullptr);
    return out;
}

std::string window_text(HWND window) {
    DWORD_PTR length = 0, copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
        return std::string();
    }
    std::vector<wchar_t> wide(length + 1, L'\0');
    SendMessageTimeoutW(window, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG, 2000,
                        &copied);
    return narrow(wide.data(), static_cast<int>(copied < length ? copied : length));
}

HWND wait_for_window(DWORD process_id, const char* caption, DWORD timeout_ms) {
    HWND found = nullptr;
    wait_until(
        [&] {
            for (HWND w = nullptr; !found && (w = FindWindowExA(nullptr, w, nullptr, caption)) != nullptr;) {
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                found = owner == process_id && IsWindowVisible(w) && window_text(w) == caption ? w : nullptr;
            }
            return found != nullptr;
        },
        timeout_ms);
    return found;
}

Kelvast::Kelvast(const std::string& switches, const char* directory) {
    std::string line = "\"" + path_beside_test("kelvast.exe") + "\" " + switches;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, directory, &startup, &process)) {
        dialog = wait_for_window(process.dwProcessId, "Kelvast - Version 0.30", 30000);
    }
}

Kelvast::~Kelvast() {
    TerminateProcess(process.hProcess, 1);  // fails harmlessly once the process has ended
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

bool Kelvast::exit() const {
    post(IDC_EXIT);
    DWORD status = 1;
    return WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(process.hProcess, &status) && status == 0;
}

testing::AssertionResult Kelvast::up() const {
    RECT r = rect(), seen{}, screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const bool reachable = IsIconic(dialog) || (IntersectRect(&seen, &r, &screen) &&
                                                r.right - r.left <= GetSystemMetrics(SM_CXVIRTUALSCREEN) &&
                                                r.bottom - r.top <= GetSystemMetrics(SM_CYVIRTUALSCREEN));
    if (dialog && running() && IsWindowVisible(dialog) && reachable) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "dialog " << dialog << " at " << r.left << "," << r.top << " " << r.right
                                       << "," << r.bottom;
}

std::string Kelvast::days(const char* set) const {
    std::string mask;
    for (int i = 0; i < 7; ++i) {
        if (set) {
            SendMessageA(item(IDC_DAY_SU + i), BM_SETCHECK, set[i] == '1' ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        mask += SendMessageA(item(IDC_DAY_SU + i), BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0';
    }
    return mask;
}

// The A message comes back as UTF-16 across processes (see WINE-NOTES).
std::string Kelvast::list() const {
    std::string all;
    for (int i = 0, n = int(SendMessageA(item(IDC_PROGRAM), CB_GETCOUNT, 0, 0)); i < n; ++i) {
        std::wstring wide(SendMessageW(item(IDC_PROGRAM), CB_GETLBTEXTLEN, i, 0) + 1, L'\0');
        SendMessageW(item(IDC_PROGRAM), CB_GETLBTEXT, i, LPARAM(&wide[0]));
        all += narrow(wide.data(), static_cast<int>(wide.size() - 1)) + "\n";
    }
    return all;
}

std::string Kelvast::shown() const {
    return list() + "|" + text(IDC_PROGRAM) + "|" + text(IDC_TIME) + "|" + days();
}

RECT Kelvast::rect() const {
    RECT r{};
    GetWindowRect(dialog, &r);
    return r;
}

void Kelvast::start(const char* program, const char* time, const char* mask) const {
    set_text(IDC_PROGRAM, program);
    set_text(IDC_TIME, time);
    days(mask);
    command(IDC_START);
}

bool program_key_exists() {
    HKEY key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, PROGRAM_KEY, 0, KEY_READ, &key) == ERROR_SUCCESS && !RegCloseKey(key);
}

static DWORD stored_number(const char* section, const char* name) {
    DWORD value = 0xFFFFFFFF, size = sizeof value;
    RegGetValueA(HKEY_CURRENT_USER, section_path(section).c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

static bool stored_value(const char* section, const char* name, DWORD& type, std::string& bytes) {
    HKEY key;
    DWORD size = 65536;
    bytes.assign(size, '\0');
    bool found = RegOpenKeyExA(HKEY_CURRENT_USER, section_path(section).c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (found) {
        found = !RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size);
        RegCloseKey(key);
    }
    bytes.resize(found ? size : 0);
    return found;
}

void store_value(const char* section, const char* name, DWORD type, const std::string& bytes) {
    // The platform counts a zero byte just past a text as forgotten and adds it; a byte other
    // than zero there keeps the stored bytes exactly as given.
    std::string data = bytes + 'x';
    RegSetKeyValueA(HKEY_CURRENT_USER, section_path(section).c_str(), name, type, data.data(), DWORD(bytes.size()));
}

std::string ini_value(const std::string& ini, const char* section, const char* name) {
    std::string text(70000, '\0');
    text.resize(GetPrivateProfileStringA(section, name, "<missing>", &text[0], DWORD(text.size()), ini.c_str()));
    return text;
}

std::string stored(const std::string& ini) {
    auto number = [&](const char* section, const char* name) {
        return (ini.empty() ? std::to_string(stored_number(section, name)) : ini_value(ini, section, name)) + ",";
    };
    DWORD type = 0;
    std::string history;
    if (ini.empty() && !(stored_value("Settings", "History", type, history) && type == REG_MULTI_SZ)) {
        history = "<type " + std::to_string(type) + ">" + history;
    }
    return number("Window", "PosX") + number("Window", "PosY") + number("Window", "Width") +
           number("Window", "Height") + number("Program", "Version") + "|" +
           (ini.empty() ? history : ini_value(ini, "Settings", "History"));
}

std::string stored_form(const RECT& window, const std::string& history) {
    return std::to_string(window.left < 0 ? 0 : window.left) + "," + std::to_string(window.top < 0 ? 0 : window.top) +
           "," + std::to_string(window.right - window.left) + "," + std::to_string(window.bottom - window.top) +
           ",30,|" + history;
}

std::string multi_string(const std::vector<std::string>& texts) {
    std::string bytes;
    for (const std::string& text : texts) {
        bytes += text + '\0';
    }
    return bytes + '\0';
}

bool file_exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string read_file(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::string time_text_ahead(unsigned seconds) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    unsigned target = (now.wHour * 3600u + now.wMinute * 60u + now.wSecond + seconds) % 86400;
    char text[16];
    format_text(text, sizeof text, "%02u:%02u:%02u", target / 3600, target / 60 % 60, target % 60);
    return text;
}
