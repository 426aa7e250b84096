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

struct WindowSearch {
    DWORD process_id;
    const char* caption;
    HWND found;
};

HWND wait_for_window(DWORD process_id, const char* caption, DWORD timeout_ms) {
    WindowSearch search{process_id, caption, nullptr};
    auto match = [](HWND window, LPARAM context) -> BOOL {
        WindowSearch* search = reinterpret_cast<WindowSearch*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == search->process_id && IsWindowVisible(window) && window_text(window) == search->caption) {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    };
    wait_until([&] { return !EnumWindows(match, reinterpret_cast<LPARAM>(&search)) && search.found; }, timeout_ms);
    return search.found;
}

// One kelvast.exe process; whatever happens in a test, it does not outlive the test.
struct Kelvast {
    PROCESS_INFORMATION process{};
    HWND dialog = nullptr;

    explicit Kelvast(const std::string& switches, const char* directory = nullptr) {
        std::string line = "\"" + path_beside_test("kelvast.exe") + "\" " + switches;
        std::vector<char> buffer(line.c_str(), line.c_str() + line.size() + 1);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, directory, &startup,
                           &process)) {
            dialog = wait_for_window(process.dwProcessId, "Kelvast - Version 0.30", 30000);
        }
    }
    ~Kelvast() {
        if (process.hProcess != nullptr) {
            TerminateProcess(process.hProcess, 1);  // fails harmlessly once the process has ended
            WaitForSingleObject(process.hProcess, 5000);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
    }
    // Exit as the user does; false when the process does not end.
    bool exit() const {
        post(IDC_EXIT);
        return WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0;
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
    std::string days(const char* set = nullptr) const {
        std::string mask;
        for (int i = 0; i < 7; ++i) {
            if (set != nullptr) {
                SendMessageA(item(IDC_DAY_SU + i), BM_SETCHECK, set[i] == '1' ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            mask += SendMessageA(item(IDC_DAY_SU + i), BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0';
        }
        return mask;
    }
    // The A message comes back as UTF-16 across processes (see WINE-NOTES).
    std::string list_item(int index) const {
        LRESULT length = SendMessageW(item(IDC_PROGRAM), CB_GETLBTEXTLEN, index, 0);
        std::vector<wchar_t> wide(length < 0 ? 1 : length + 1, L'\0');
        SendMessageW(item(IDC_PROGRAM), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(wide.data()));
        return length < 0 ? "<none>" : std::string(wide.begin(), wide.begin() + length);
    }
    bool status_becomes(const std::string& expected) const {
        return wait_until([&] { return text(IDC_STATUS) == expected; });
    }
    RECT rect() const {
        RECT r{};
        GetWindowRect(dialog, &r);
        return r;
    }
    void start(const char* program, const char* time, const char* mask) const {
        set_text(IDC_PROGRAM, program);
        set_text(IDC_TIME, time);
        days(mask);
        command(IDC_START);
    }
};

bool program_key_exists() {
    HKEY key;
    bool exists = RegOpenKeyExA(HKEY_CURRENT_USER, PROGRAM_KEY, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (exists) {
        RegCloseKey(key);
    }
    return exists;
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

// Leaves a schedule and a moved window in the stores the switches select, then restarts with the
// same switches and expects both back; returns the rectangle.
RECT round_trip(const std::string& switches, const char* program, const char* time, const char* mask) {
    RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY);
    RECT moved{};
    {
        Kelvast kelvast(switches);
        EXPECT_NE(kelvast.dialog, nullptr);
        kelvast.start(program, time, mask);
        EXPECT_EQ(kelvast.text(IDC_STATUS), std::string("Waiting to start program at ") + time);
        kelvast.command(IDC_CANCEL);
        EXPECT_TRUE(kelvast.status_becomes("Thread ended normally")) << kelvast.text(IDC_STATUS);
        RECT initial = kelvast.rect();
        // Larger than the template, away from the screen edges the dialog snaps to.
        MoveWindow(kelvast.dialog, 130, 100, initial.right - initial.left + 80, initial.bottom - initial.top + 40,
                   TRUE);
        moved = kelvast.rect();
        EXPECT_TRUE(kelvast.exit());
    }
    Kelvast kelvast(switches);
    RECT now = kelvast.rect();
    EXPECT_TRUE(EqualRect(&now, &moved)) << now.left << "," << now.top << " " << now.right << "," << now.bottom;
    EXPECT_EQ(SendMessageA(kelvast.item(IDC_PROGRAM), CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(kelvast.list_item(0), program);
    EXPECT_EQ(kelvast.text(IDC_PROGRAM), program);
    EXPECT_EQ(kelvast.text(IDC_TIME), time);
    EXPECT_EQ(kelvast.days(), mask);
    EXPECT_TRUE(kelvast.exit());
    return moved;
}

bool minimised(const Kelvast& kelvast) {
    return wait_until([&] { return IsIconic(kelvast.dialog) != FALSE; });
}

TEST(Program, RegistryRoundTripAndAutoStartMinimised) {
    RECT rect = round_trip("", "no-such-program.exe", "04:05:06", "0010000");
    EXPECT_EQ(stored_number("Window", "PosX"), 130u);
    EXPECT_EQ(stored_number("Window", "PosY"), 100u);
    EXPECT_EQ(stored_number("Program", "Version"), 30u);

    Kelvast kelvast("-as");
    ASSERT_NE(kelvast.dialog, nullptr);
    EXPECT_TRUE(minimised(kelvast));
    EXPECT_EQ(kelvast.text(IDC_STATUS), "Waiting to start program at 04:05:06");
    EXPECT_EQ(kelvast.text(IDC_PROGRAM), "no-such-program.exe");
    EXPECT_FALSE(IsWindowEnabled(kelvast.item(IDC_START)));
    EXPECT_TRUE(kelvast.exit());
    // Leaving while minimised keeps the size the user gave the window, not the icon's.
    EXPECT_EQ(stored_number("Window", "Width"), static_cast<DWORD>(rect.right - rect.left));
    EXPECT_EQ(stored_number("Window", "Height"), static_cast<DWORD>(rect.bottom - rect.top));
}

TEST(Program, IniFileRoundTripLeavesTheRegistryAlone) {
    std::string ini = fresh_temp_dir("ini") + "\\kelvast test.ini";
    round_trip("-rd -if=\"" + ini + "\"", "calc.exe &&hhmi", "11:00:00", "1000001");
    EXPECT_TRUE(file_exists(ini)) << ini;
    EXPECT_FALSE(program_key_exists());
}

TEST(Program, NoStoreSelectedWritesNothingAndAutoStartFindsNoTime) {
    RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY);
    char windows[MAX_PATH];
    std::string ini = std::string(windows, GetWindowsDirectoryA(windows, sizeof windows)) + "\\Kelvast.ini";
    DeleteFileA(ini.c_str());
    Kelvast kelvast("-as -rd -id");
    ASSERT_NE(kelvast.dialog, nullptr);
    EXPECT_TRUE(minimised(kelvast));
    EXPECT_EQ(kelvast.text(IDC_STATUS), "Invalid time specified");
    EXPECT_TRUE(IsWindowEnabled(kelvast.item(IDC_START)));
    kelvast.start("notepad.exe", "10:00:00", "0100000");
    EXPECT_TRUE(kelvast.exit());
    EXPECT_FALSE(program_key_exists());
    EXPECT_FALSE(file_exists(ini));
    EXPECT_FALSE(file_exists(path_beside_test("Kelvast.ini")));
}

TEST(Program, RejectedSwitchesAndTheClampedProcessPriority) {
    const struct {
        const char* value;
        DWORD priority_class;
    } rows[] = {{"-1", IDLE_PRIORITY_CLASS},
                {"2", HIGH_PRIORITY_CLASS},
                {"7", REALTIME_PRIORITY_CLASS},
                {"x", NORMAL_PRIORITY_CLASS}};
    for (const auto& row : rows) {
        Kelvast kelvast(std::string("-rd -id -zz -pp=") + row.value);
        ASSERT_NE(kelvast.dialog, nullptr) << row.value;
        EXPECT_EQ(GetPriorityClass(kelvast.process.hProcess), row.priority_class) << row.value;
        std::string rejected = row.value[0] == 'x' ? "-zz -pp=x (invalid value)" : "-zz";
        EXPECT_EQ(kelvast.text(IDC_STATUS), "Invalid command line parameter(s) \"" + rejected + "\"");
        EXPECT_TRUE(kelvast.exit());
    }
}

TEST(Program, LaunchesTheScheduledProgramWithExpandedPlaceholders) {
    std::string folder = fresh_temp_dir("launch");
    std::string record = folder + "\\record.txt";
    SetEnvironmentVariableA("KELVAST_PROBE_ENV", "inherited");
    Kelvast kelvast("-rd -id", folder.c_str());
    ASSERT_NE(kelvast.dialog, nullptr);

    SYSTEMTIME now;
    GetLocalTime(&now);
    unsigned target = (now.wHour * 3600u + now.wMinute * 60u + now.wSecond + 3) % 86400;
    char time_text[16];
    wsprintfA(time_text, "%02u:%02u:%02u", target / 3600, target / 60 % 60, target % 60);
    std::string command = "\"" + path_beside_test("probe.exe") + "\" \"" + record + "\" at&&yyyymoddhhmiss";
    kelvast.start(command.c_str(), time_text, "1111111");
    ASSERT_EQ(kelvast.text(IDC_STATUS), std::string("Waiting to start program at ") + time_text);

    std::string line;
    auto read_record = [&] {
        line.clear();
        HANDLE file = CreateFileA(record.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        char chunk[512];
        DWORD got = 0;
        while (file != INVALID_HANDLE_VALUE && ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
            line.append(chunk, got);
        }
        CloseHandle(file);
        return line.find('\n') != std::string::npos;
    };
    ASSERT_TRUE(wait_until(read_record, 20000)) << "probe.exe did not run";
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
    EXPECT_TRUE(kelvast.exit());
}

TEST(Program, InformationDialogListsTheProgramAndItsSwitchesOnce) {
    Kelvast kelvast("-rd -id");
    ASSERT_NE(kelvast.dialog, nullptr);
    std::string first;
    for (int close_id : {IDOK, IDCANCEL, 3}) {
        kelvast.post(IDC_INFO);
        HWND info = wait_for_window(kelvast.process.dwProcessId, "Kelvast - Version 0.30 - Program Information", 10000);
        ASSERT_NE(info, nullptr) << close_id;
        std::string text = std::regex_replace(window_text(GetDlgItem(info, IDC_INFO_TEXT)), std::regex("\r"), "");
        first = first.empty() ? text : first;
        EXPECT_EQ(text, first) << "every opening shows the same text, once";
        PostMessageA(info, WM_COMMAND, close_id, 0);
        EXPECT_TRUE(wait_until([&] { return !IsWindow(info); })) << close_id;
    }
    EXPECT_TRUE(std::regex_search(
        first, std::regex("^Kelvast - Version 0\\.30\nWritten by: Tansky, compiled on [A-Z][a-z]{2} [ 1-3]\\d \\d{4}, "
                          "\\d\\d:\\d\\d:\\d\\d\nfor updates check: \\S+\nor email to: \\S+@\\S+\n\n")))
        << first;
    for (const char* expected :
         {"\nThe following command line parameters are supported:\n-rc: clear registry",
          "\n-if=\"string\": specify ini filename\n", "\n-pt=n: set priority for processing thread\n"}) {
        EXPECT_NE(first.find(expected), std::string::npos) << expected;
    }
    EXPECT_EQ(first.find("This program"), first.rfind("This program"));
    EXPECT_TRUE(kelvast.exit());
}

}  // namespace
