#include "support/kelvast_driver.h"

#include <vector>

#include "base/bounded_text.h"
#include "res/resource.h"
#include "support/test_support.h"

const char* const PROGRAM_KEY = "Software\\Tansky Freeware\\Kelvast";
const char* const DIALOG_CAPTION = "Kelvast - Version 0.30";

namespace {

struct WindowSearch {
    DWORD process_id;
    const char* caption;
    HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM context) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process_id && IsWindowVisible(window) && window_text(window) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

std::string section_path(const char* section) {
    return std::string(PROGRAM_KEY) + "\\" + section;
}

}  // namespace

HWND wait_for_window(DWORD process_id, const char* caption, DWORD timeout_ms) {
    WindowSearch search{process_id, caption, nullptr};
    wait_until([&] { return !EnumWindows(match_window, reinterpret_cast<LPARAM>(&search)) && search.found; },
               timeout_ms);
    return search.found;
}

Kelvast::Kelvast(const std::string& switches, const char* directory) {
    std::string line = "\"" + path_beside_test("kelvast.exe") + "\" " + switches;
    std::vector<char> buffer(line.c_str(), line.c_str() + line.size() + 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, directory, &startup, &process)) {
        dialog = wait_for_window(process.dwProcessId, DIALOG_CAPTION, 30000);
    }
}

Kelvast::~Kelvast() {
    if (process.hProcess != nullptr) {
        TerminateProcess(process.hProcess, 1);  // fails harmlessly once the process has ended
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
}

bool Kelvast::exit() const {
    post(IDC_EXIT);
    DWORD status = 1;
    return WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(process.hProcess, &status) && status == 0;
}

bool Kelvast::running() const {
    return process.hProcess != nullptr && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
}

std::string Kelvast::text(int id) const {
    return window_text(item(id));
}

void Kelvast::set_text(int id, const char* value) const {
    SendMessageA(item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value));
}

void Kelvast::command(int id) const {
    DWORD_PTR result;
    SendMessageTimeoutW(dialog, WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, 10000, &result);
}

void Kelvast::post(int id) const {
    PostMessageA(dialog, WM_COMMAND, id, 0);
}

std::string Kelvast::days(const char* set) const {
    std::string mask;
    for (int i = 0; i < 7; ++i) {
        if (set != nullptr) {
            SendMessageA(item(IDC_DAY_SU + i), BM_SETCHECK, set[i] == '1' ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        mask += SendMessageA(item(IDC_DAY_SU + i), BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0';
    }
    return mask;
}

int Kelvast::list_count() const {
    return static_cast<int>(SendMessageA(item(IDC_PROGRAM), CB_GETCOUNT, 0, 0));
}

// The A message comes back as UTF-16 across processes (see WINE-NOTES).
std::string Kelvast::list_item(int index) const {
    LRESULT length = SendMessageW(item(IDC_PROGRAM), CB_GETLBTEXTLEN, index, 0);
    std::vector<wchar_t> wide(length < 0 ? 1 : length + 1, L'\0');
    SendMessageW(item(IDC_PROGRAM), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(wide.data()));
    if (length < 0) {
        return "<none>";
    }
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string text(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0) {
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(length), &text[0], bytes, nullptr, nullptr);
    }
    return text;
}

std::string Kelvast::list() const {
    std::string all;
    for (int i = 0, n = list_count(); i < n; ++i) {
        all += list_item(i) + "\n";
    }
    return all;
}

bool Kelvast::status_becomes(const std::string& expected) const {
    return wait_until([&] { return text(IDC_STATUS) == expected; });
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
    bool exists = RegOpenKeyExA(HKEY_CURRENT_USER, PROGRAM_KEY, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (exists) {
        RegCloseKey(key);
    }
    return exists;
}

DWORD stored_number(const char* section, const char* name) {
    DWORD value = 0xFFFFFFFF, size = sizeof value;
    RegGetValueA(HKEY_CURRENT_USER, section_path(section).c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

bool stored_value(const char* section, const char* name, DWORD& type, std::string& bytes) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, section_path(section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    std::vector<BYTE> data(65536);
    DWORD size = static_cast<DWORD>(data.size());
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, data.data(), &size);
    RegCloseKey(key);
    bytes.assign(reinterpret_cast<const char*>(data.data()), rc == ERROR_SUCCESS ? size : 0);
    return rc == ERROR_SUCCESS;
}

void store_value(const char* section, const char* name, DWORD type, const std::string& bytes) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, section_path(section).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    // The platform counts a zero byte just past a text as forgotten and adds it; a byte other
    // than zero there keeps the stored bytes exactly as given.
    std::vector<BYTE> data(bytes.begin(), bytes.end());
    data.push_back('x');
    RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

bool file_exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string read_file(const std::string& path) {
    std::string content;
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    char chunk[4096];
    DWORD got = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        content.append(chunk, got);
    }
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    return content;
}

void write_file(const std::string& path, const std::string& content) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
    }
}

std::string time_text_ahead(unsigned seconds) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    unsigned target = (now.wHour * 3600u + now.wMinute * 60u + now.wSecond + seconds) % 86400;
    char text[16];
    format_text(text, sizeof text, "%02u:%02u:%02u", target / 3600, target / 60 % 60, target % 60);
    return text;
}
