// kelvast.exe as a user meets it: started with switches in a process of its own, its dialog driven
// by control identifiers from here, its effects read from the registry, files and started programs.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "res/resource.h"
#include "support/test_support.h"

namespace {

const char* const PROGRAM_KEY = "Software\\Tansky Freeware\\Kelvast";
const char* const MAIN_CAPTION = "Kelvast - Version 0.30";
const char* const INFO_CAPTION = "Kelvast - Version 0.30 - Program Information";

struct WindowSearch {
    DWORD process_id;
    const char* caption;
    HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM context) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process_id && window_text(window) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Polls: another process's windows come and go on its own schedule, there is no clock to fake.
HWND wait_for_window(DWORD process_id, const char* caption, DWORD timeout_ms) {
    DWORD start = GetTickCount();
    for (;;) {
        WindowSearch search{process_id, caption, nullptr};
        EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr && IsWindowVisible(search.found)) {
            return search.found;
        }
        if (GetTickCount() - start >= timeout_ms) {
            return nullptr;
        }
        Sleep(20);
    }
}

template <typename Condition>
bool wait_until(Condition condition, DWORD timeout_ms) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeout_ms) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

// One kelvast.exe process; whatever happens in a test, it does not outlive the test.
class Kelvast {
  public:
    ~Kelvast() { end(); }

    bool start(const std::string& switches, const char* directory = nullptr) {
        end();
        std::string command_line = "\"" + path_beside_test("kelvast.exe") + "\" " + switches;
        std::vector<char> buffer(command_line.begin(), command_line.end());
        buffer.push_back('\0');
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, directory, &startup,
                            &process)) {
            return false;
        }
        dialog = wait_for_window(process.dwProcessId, MAIN_CAPTION, 30000);
        return dialog != nullptr;
    }

    // Exit as the user does; false when the process does not end.
    bool exit() {
        post(IDC_EXIT);
        bool ended = WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0;
        end();
        return ended;
    }

    void end() {
        if (process.hProcess != nullptr) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process.hProcess, 1);
                WaitForSingleObject(process.hProcess, 5000);
            }
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        process = PROCESS_INFORMATION{};
        dialog = nullptr;
    }

    HWND item(int id) const { return GetDlgItem(dialog, id); }
    std::string text(int id) const { return window_text(item(id)); }
    void set_text(int id, const char* value) const {
        SendMessageA(item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value));
    }
    void command(int id) const {
        DWORD_PTR result;
        SendMessageTimeoutW(dialog, WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, 10000, &result);
    }
    void post(int id) const { PostMessageA(dialog, WM_COMMAND, id, 0); }
    void set_days(const char* mask) const {
        for (int i = 0; i < 7; ++i) {
            SendMessageA(item(IDC_DAY_SU + i), BM_SETCHECK, mask[i] == '1' ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
    std::string days() const {
        std::string mask;
        for (int i = 0; i < 7; ++i) {
            mask += SendMessageA(item(IDC_DAY_SU + i), BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0';
        }
        return mask;
    }
    int list_count() const { return static_cast<int>(SendMessageA(item(IDC_PROGRAM), CB_GETCOUNT, 0, 0)); }
    std::string list_item(int index) const {
        LRESULT length = SendMessageW(item(IDC_PROGRAM), CB_GETLBTEXTLEN, index, 0);
        if (length < 0) {
            return "<none>";
        }
        std::vector<wchar_t> wide(length + 1, L'\0');
        SendMessageW(item(IDC_PROGRAM), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(wide.data()));
        return std::string(wide.begin(), wide.begin() + length);
    }
    bool wait_for_status(const std::string& expected, DWORD timeout_ms = 5000) const {
        return wait_until([&] { return text(IDC_STATUS) == expected; }, timeout_ms);
    }
    RECT rect() const {
        RECT r{};
        GetWindowRect(dialog, &r);
        return r;
    }

    // Start, then Cancel and wait until the worker has reported its end.
    void run_and_cancel(const char* program, const char* time, const char* mask) const {
        set_text(IDC_PROGRAM, program);
        set_text(IDC_TIME, time);
        set_days(mask);
        command(IDC_START);
        EXPECT_EQ(text(IDC_STATUS).rfind("Waiting to start program at ", 0), 0u) << text(IDC_STATUS);
        command(IDC_CANCEL);
        EXPECT_TRUE(wait_for_status("Thread ended normally")) << text(IDC_STATUS);
    }

    PROCESS_INFORMATION process{};
    HWND dialog = nullptr;
};

void delete_program_key() {
    RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY);
}

bool program_key_exists() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PROGRAM_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

DWORD stored_number(const char* section, const char* name) {
    std::string path = std::string(PROGRAM_KEY) + "\\" + section;
    DWORD value = 0xFFFFFFFF, size = sizeof value;
    RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

bool file_exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string read_file(const std::string& path) {
    std::string content;
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return content;
    }
    char chunk[512];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        content.append(chunk, got);
    }
    CloseHandle(file);
    return content;
}

// One run that leaves a schedule and a window rectangle in the stores the switches select;
// returns the rectangle it left.
RECT leave_settings(const std::string& switches, const char* program, const char* time, const char* mask) {
    Kelvast kelvast;
    RECT moved{};
    EXPECT_TRUE(kelvast.start(switches));
    if (kelvast.dialog == nullptr) {
        return moved;
    }
    kelvast.run_and_cancel(program, time, mask);
    RECT initial = kelvast.rect();
    // Larger than the template, away from the screen edges the dialog snaps to.
    MoveWindow(kelvast.dialog, 130, 100, initial.right - initial.left + 80, initial.bottom - initial.top + 40, TRUE);
    moved = kelvast.rect();
    EXPECT_TRUE(kelvast.exit());
    return moved;
}

void expect_restored(const std::string& switches,
                     const RECT& rect,
                     const char* program,
                     const char* time,
                     const char* mask) {
    Kelvast kelvast;
    ASSERT_TRUE(kelvast.start(switches));
    RECT now = kelvast.rect();
    EXPECT_EQ(now.left, rect.left);
    EXPECT_EQ(now.top, rect.top);
    EXPECT_EQ(now.right, rect.right);
    EXPECT_EQ(now.bottom, rect.bottom);
    EXPECT_EQ(kelvast.list_count(), 1);
    EXPECT_EQ(kelvast.list_item(0), program);
    EXPECT_EQ(kelvast.text(IDC_PROGRAM), program);
    EXPECT_EQ(kelvast.text(IDC_TIME), time);
    EXPECT_EQ(kelvast.days(), mask);
    EXPECT_TRUE(kelvast.exit());
}

TEST(Program, SettingsRoundTripThroughTheRegistry) {
    delete_program_key();
    RECT rect = leave_settings("", "notepad.exe", "10:00:00", "0100000");
    ASSERT_TRUE(program_key_exists());
    EXPECT_EQ(stored_number("Window", "PosX"), 130u);
    EXPECT_EQ(stored_number("Window", "PosY"), 100u);
    EXPECT_EQ(stored_number("Window", "Width"), static_cast<DWORD>(rect.right - rect.left));
    EXPECT_EQ(stored_number("Window", "Height"), static_cast<DWORD>(rect.bottom - rect.top));
    EXPECT_EQ(stored_number("Program", "Version"), 30u);
    expect_restored("", rect, "notepad.exe", "10:00:00", "0100000");
}

TEST(Program, SettingsRoundTripThroughAnIniFile) {
    delete_program_key();
    std::string ini = fresh_temp_dir("ini") + "\\kelvast test.ini";
    std::string switches = "-rd -if=\"" + ini + "\"";
    RECT rect = leave_settings(switches, "calc.exe &&hhmi", "11:00:00", "1000001");
    EXPECT_TRUE(file_exists(ini)) << ini;
    EXPECT_FALSE(program_key_exists()) << "-rd keeps the registry untouched";
    expect_restored(switches, rect, "calc.exe &&hhmi", "11:00:00", "1000001");
}

TEST(Program, NoStoreSelectedWritesNothing) {
    delete_program_key();
    std::string beside = path_beside_test("Kelvast.ini");
    DeleteFileA(beside.c_str());
    leave_settings("-rd -id", "notepad.exe", "10:00:00", "0100000");
    EXPECT_FALSE(program_key_exists());
    EXPECT_FALSE(file_exists(beside));
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    EXPECT_FALSE(file_exists(std::string(windows) + "\\Kelvast.ini"));
}

TEST(Program, AutoStartRunsTheLatestScheduleMinimised) {
    delete_program_key();
    RECT rect = leave_settings("", "no-such-program.exe", "04:05:06", "0010000");

    Kelvast kelvast;
    ASSERT_TRUE(kelvast.start("-as"));
    EXPECT_TRUE(wait_until([&] { return IsIconic(kelvast.dialog) != FALSE; }, 5000));
    EXPECT_EQ(kelvast.text(IDC_STATUS), "Waiting to start program at 04:05:06");
    EXPECT_EQ(kelvast.text(IDC_PROGRAM), "no-such-program.exe");
    EXPECT_FALSE(IsWindowEnabled(kelvast.item(IDC_START)));
    EXPECT_TRUE(kelvast.exit());
    // Leaving while minimised keeps the size the user gave the window, not the icon's.
    EXPECT_EQ(stored_number("Window", "Width"), static_cast<DWORD>(rect.right - rect.left));
    EXPECT_EQ(stored_number("Window", "Height"), static_cast<DWORD>(rect.bottom - rect.top));
}

TEST(Program, AutoStartWithoutHistoryIsMinimisedAndReportsTheMissingTime) {
    delete_program_key();
    Kelvast kelvast;
    ASSERT_TRUE(kelvast.start("-as -rd -id"));
    EXPECT_TRUE(wait_until([&] { return IsIconic(kelvast.dialog) != FALSE; }, 5000));
    EXPECT_EQ(kelvast.text(IDC_STATUS), "Invalid time specified");
    EXPECT_TRUE(IsWindowEnabled(kelvast.item(IDC_START)));
    EXPECT_TRUE(kelvast.exit());
}

TEST(Program, RejectedSwitchesAppearInTheStatusLine) {
    Kelvast kelvast;
    ASSERT_TRUE(kelvast.start("-zz -rd -id"));
    EXPECT_EQ(kelvast.text(IDC_STATUS), "Invalid command line parameter(s) \"-zz\"");
    EXPECT_TRUE(kelvast.exit());
}

TEST(Program, ProcessPriorityFollowsTheClampedSwitch) {
    struct Row {
        const char* value;
        DWORD priority_class;
    } rows[] = {
        {"2", HIGH_PRIORITY_CLASS},   {"0", IDLE_PRIORITY_CLASS},     {"-1", IDLE_PRIORITY_CLASS},
        {"1", NORMAL_PRIORITY_CLASS}, {"7", REALTIME_PRIORITY_CLASS},
    };
    for (const Row& row : rows) {
        Kelvast kelvast;
        ASSERT_TRUE(kelvast.start(std::string("-rd -id -pp=") + row.value));
        EXPECT_EQ(GetPriorityClass(kelvast.process.hProcess), row.priority_class) << "-pp=" << row.value;
        EXPECT_TRUE(kelvast.exit());
    }
}

TEST(Program, LaunchesTheScheduledProgramWithExpandedPlaceholders) {
    std::string folder = fresh_temp_dir("launch");
    std::string record = folder + "\\record.txt";
    SetEnvironmentVariableA("KELVAST_PROBE_ENV", "inherited");

    Kelvast kelvast;
    ASSERT_TRUE(kelvast.start("-rd -id", folder.c_str()));

    SYSTEMTIME now;
    GetLocalTime(&now);
    unsigned target = (now.wHour * 3600u + now.wMinute * 60u + now.wSecond + 3) % 86400;
    char time_text[16];
    wsprintfA(time_text, "%02u:%02u:%02u", target / 3600, target / 60 % 60, target % 60);
    std::string command = "\"" + path_beside_test("probe.exe") + "\" \"" + record + "\" at&&yyyymoddhhmiss";
    kelvast.set_text(IDC_PROGRAM, command.c_str());
    kelvast.set_text(IDC_TIME, time_text);
    kelvast.set_days("1111111");
    kelvast.command(IDC_START);
    ASSERT_EQ(kelvast.text(IDC_STATUS), std::string("Waiting to start program at ") + time_text);

    ASSERT_TRUE(wait_until([&] { return read_file(record).find('\n') != std::string::npos; }, 20000))
        << "probe.exe did not run";
    std::string line = read_file(record);
    std::smatch fields;
    ASSERT_TRUE(std::regex_search(
        line, fields, std::regex("at(\\d{8})(\\d\\d)(\\d\\d)(\\d\\d)\\|(\\d+)\\|(\\d+)\\|([^|]*)\\|([^\\r\\n]*)")))
        << line;
    unsigned launched = std::stoul(fields[2]) * 3600 + std::stoul(fields[3]) * 60 + std::stoul(fields[4]);
    EXPECT_LE((launched + 86400 - target) % 86400, 5u) << line;
    EXPECT_EQ(fields[5], "1") << "STARTF_USESHOWWINDOW";
    EXPECT_EQ(fields[6], "6") << "shown minimised";
    EXPECT_EQ(lstrcmpiA(fields[7].str().c_str(), folder.c_str()), 0) << fields[7];
    EXPECT_EQ(fields[8], "inherited");

    kelvast.command(IDC_CANCEL);
    EXPECT_TRUE(kelvast.wait_for_status("Thread ended normally"));
    EXPECT_TRUE(kelvast.exit());
}

std::string lines_of(std::string text) {
    // The listing separates lines with "\r\r\n"; compare it as plain lines.
    std::string plain;
    for (char c : text) {
        if (c != '\r') {
            plain += c;
        }
    }
    return plain;
}

TEST(Program, InformationDialogListsTheProgramAndItsSwitchesOnce) {
    Kelvast kelvast;
    ASSERT_TRUE(kelvast.start("-rd -id"));
    const int close_ids[] = {IDOK, IDCANCEL, 3};
    std::string first;
    for (int close_id : close_ids) {
        kelvast.post(IDC_INFO);
        HWND info = wait_for_window(kelvast.process.dwProcessId, INFO_CAPTION, 10000);
        ASSERT_NE(info, nullptr) << "close id " << close_id;
        std::string text = lines_of(window_text(GetDlgItem(info, IDC_INFO_TEXT)));
        if (first.empty()) {
            first = text;
        }
        EXPECT_EQ(text, first) << "every opening shows the same text, once";
        PostMessageA(info, WM_COMMAND, close_id, 0);
        EXPECT_TRUE(wait_until([&] { return !IsWindow(info); }, 5000)) << "close id " << close_id;
    }

    EXPECT_TRUE(std::regex_search(
        first, std::regex("^Kelvast - Version 0\\.30\nWritten by: Tansky, compiled on [A-Z][a-z]{2} [ 1-3]\\d \\d{4}, "
                          "\\d\\d:\\d\\d:\\d\\d\nfor updates check: \\S+\nor email to: \\S+@\\S+\n\n")))
        << first;
    const char* expected_lines[] = {
        "\nThis program executes another program at a specified time and day.\n\n"
        "The following command line parameters are supported:\n-rc: clear registry entries for this program\n",
        "\n-if=\"string\": specify ini filename\n",
        "\n-pp=n: set process priority for dialog\n       (0:idle, 1:normal, 2:high, 3:realtime)\n",
        "\n-pt=n: set priority for processing thread\n",
    };
    for (const char* expected : expected_lines) {
        EXPECT_NE(first.find(expected), std::string::npos) << expected;
    }
    EXPECT_EQ(first.find("This program"), first.rfind("This program"));
    EXPECT_TRUE(kelvast.exit());
}

}  // namespace
