// kelvast.exe as a user meets it, in a process of its own: its dialog driven by control identifiers
// from here, its effects read from the registry, files, started programs and the screen.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

const char* const PROGRAM_KEY = "Software\\Tansky Freeware\\Kelvast";  // below HKEY_CURRENT_USER

std::string path_beside_test(const char* file_name) {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return (std::filesystem::path(std::string(path, n < sizeof path ? n : 0)).parent_path() / file_name).string();
}

// A folder of its own for one test, inside the prefix's temporary folder, created empty.
std::string fresh_temp_dir(const char* name) {
    const auto dir = std::filesystem::temp_directory_path() / (std::string("kelvast-") + name);
    std::error_code ignored;  // what cannot be removed stays: each test writes its files afresh
    std::filesystem::remove_all(dir, ignored);
    std::filesystem::create_directory(dir, ignored);
    return dir.string();
}

// A window's text, or an item of a combo box's list: through the W messages, cut at their length.
std::string window_text(HWND window, int index = -1) {
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
bool wait_until(Condition condition, DWORD timeout_ms = 5000) {
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
bool delete_program_key() {
    return RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY) == ERROR_SUCCESS;
}

// Everything Exit saves, as "PosX,PosY,Width,Height,Version|History", from the ini file or the registry.
std::string stored(const std::string& ini = "") {
    auto value = [&](const char* section, const char* name) {
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
    };
    return value("Window", "PosX") + "," + value("Window", "PosY") + "," + value("Window", "Width") + "," +
           value("Window", "Height") + "," + value("Program", "Version") + "|" + value("Settings", "History");
}

// The registry form of a history: every text with its zero byte, and a closing zero.
std::string multi_string(const std::vector<std::string>& texts) {
    std::string bytes;
    for (const std::string& text : texts) {
        bytes += text + '\0';
    }
    return bytes + '\0';
}

std::string read_file(const std::string& path) {
    return std::string(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
}

// Today's date as the user writes it.
std::string today() {
    char date[64] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, sizeof date);
    return date;
}

// A second of the day as "HH:MM:SS", and back; the local time `seconds` from now.
std::string clock_text(unsigned second) {
    char text[16];
    snprintf(text, sizeof text, "%02u:%02u:%02u", second / 3600 % 24, second / 60 % 60, second % 60);
    return text;
}
std::string clock_ahead(unsigned seconds) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return clock_text(now.wHour * 3600u + now.wMinute * 60u + now.wSecond + seconds);
}
unsigned second_of_day(const std::string& time) {
    return std::stoul(time) * 3600 + std::stoul(time.substr(3)) * 60 + std::stoul(time.substr(6));
}

// The system's text for an error, on one line.
std::string system_message(DWORD code) {
    char text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text,
                   nullptr);
    return std::regex_replace(text, std::regex("[\r\n]+$"), "");
}

// A window as the stores keep it: "left,top,width,height", a negative edge as 0.
std::string str(const RECT& r) {
    return std::to_string(r.left < 0 ? 0 : r.left) + "," + std::to_string(r.top < 0 ? 0 : r.top) + "," +
           std::to_string(r.right - r.left) + "," + std::to_string(r.bottom - r.top);
}

// Schedule and window are saved on Exit where the switches say, and -as runs that schedule minimised.
// Only the real end of the session saves, the size the user gave the window and not the icon's.
TEST(Program, KeepsScheduleAndWindowInTheChosenStores) {
    const std::string ini = fresh_temp_dir("program") + "\\kelvast test.ini";
    const std::string longest(255, 'y');  // typing stops where the command line's buffer does
    const struct {
        std::string switches, ini, typed;  // ini: the file the switches name; none: the registry
        const char *time, *mask;
        std::string normalised, history;  // history as stored; none: nothing may be stored anywhere
    } rows[] = {
        {"", "", longest + "yyy", "4:5:6", "0010010", "04:05:06", multi_string({longest, "04:05:06", "0010010"})},
        {"-rd -if=\"" + ini + "\"", ini, "calc.exe &&hhmi", "11", "1000001", "11:00:00",
         "calc.exe &&hhmi%_11:00:00%_1000001"},
        {"-rd -id", "", "notepad.exe", "10", "0100000", "10:00:00", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.switches);
        delete_program_key();
        const bool kept = !row.history.empty();
        const std::string program = row.typed.substr(0, 255), waiting = "Waiting to start program at " + row.normalised,
                          shown = program + "\n|" + program + "|" + row.normalised + "|" + row.mask;
        RECT moved{};
        {
            Kelvast k(row.switches);
            ASSERT_TRUE(k.up());
            for (char c : row.typed) {
                SendMessageA(FindWindowExA(k.item(IDC_PROGRAM), nullptr, "Edit", nullptr), WM_CHAR, c, 0);
            }
            EXPECT_EQ(k.text(IDC_PROGRAM), program);
            k.start(program.c_str(), row.time, row.mask);
            EXPECT_EQ(k.shown(), shown);
            const RECT initial = k.rect();
            // Larger than the template, away from the screen edges the dialog snaps to.
            MoveWindow(k.dialog, 130, 100, initial.right - initial.left + 80, initial.bottom - initial.top + 40, TRUE);
            moved = k.rect();
            EXPECT_TRUE(k.ends_on(IDC_EXIT));
        }
        Kelvast k(row.switches + " -as");
        ASSERT_TRUE(k.up());
        EXPECT_TRUE(wait_until([&] { return IsIconic(k.dialog) != FALSE; }));
        EXPECT_EQ(IsWindowEnabled(k.item(IDC_START)) != FALSE, !kept);
        EXPECT_EQ(k.shown(), kept ? shown : "|||0000000");

        delete_program_key();
        DeleteFileA(row.ini.c_str());
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(k.dialog, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer);
        EXPECT_NE(answer, 0u) << "log-off refused";
        // Another program cancels the log-off: the schedule goes on, nothing is saved yet.
        SendMessageTimeoutW(k.dialog, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer);
        EXPECT_TRUE(k.up());
        EXPECT_EQ(k.text(IDC_STATUS), kept ? waiting : "Invalid time specified");  // as -as left it
        EXPECT_FALSE(delete_program_key() || std::filesystem::exists(row.ini));
        // The real end saves; an Exit after it, should the system let one come, writes nothing more.
        SendMessageTimeoutW(k.dialog, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer);
        ShowWindow(k.dialog, SW_RESTORE);
        MoveWindow(k.dialog, 60, 70, moved.right - moved.left + 10, moved.bottom - moved.top, TRUE);
        EXPECT_TRUE(k.ends_on(IDC_EXIT));
        EXPECT_EQ(kept ? stored(row.ini) : "", kept ? str(moved) + ",30|" + row.history : "");
        EXPECT_EQ(delete_program_key(), kept && row.ini.empty());
        EXPECT_FALSE(std::filesystem::exists(path_beside_test("Kelvast.ini")));
    }
}

// Bad switches shown; a repeated Start undoes an unseen Cancel; the last run shown on the right; the
// longest command line started with its placeholders, from here, with the environment, minimised.
TEST(Program, RunsCancelsAndLaunches) {
    const std::string folder = fresh_temp_dir("launch"), record = folder + "\\record.txt";
    SetEnvironmentVariableA("KELVAST_PROBE_ENV", "inherited");
    Kelvast k("-rd -id -pp=x /bad=\"a b\" -pp=2", folder.c_str());
    ASSERT_TRUE(k.up());
    EXPECT_EQ(k.text(IDC_STATUS), "Invalid command line parameter(s) \"-pp=x (invalid value)/bad=a b\"");
    EXPECT_EQ(GetPriorityClass(k.process.hProcess), DWORD(HIGH_PRIORITY_CLASS));

    auto idle = [&] { return IsWindowEnabled(k.item(IDC_START)) && IsWindowEnabled(k.item(IDC_DAY_SA)); };
    auto cancelled = [&] {  // every run ends on Cancel
        k.command(IDC_CANCEL);
        return wait_until([&] { return k.text(IDC_STATUS) == "Thread ended normally" && idle(); });
    };
    k.start("never-a.exe", "11", "1000001");
    // Cancel and Enter between two of the worker's polls, which follow each fifth of a second.
    SYSTEMTIME now;
    wait_until([&] { return GetLocalTime(&now), (now.wMilliseconds + 180) % 200 < 80; });
    SetDlgItemTextA(k.dialog, IDC_STATUS, "");
    k.post(IDC_CANCEL);
    k.post(IDOK);
    EXPECT_TRUE(wait_until([&] { return k.text(IDC_STATUS) == "Waiting to start program at 11:00:00"; }));
    EXPECT_FALSE(wait_until(idle, 600)) << "the worker ended";
    EXPECT_TRUE(cancelled());

    // A program that cannot start is reported on the right of the status line; Cancel keeps that.
    const std::string soon = clock_ahead(2);
    k.start("never-c.exe", soon.c_str(), "1111111");
    const std::string failed =
        "Could not start at " + today() + " " + soon + ": " + system_message(ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(wait_until([&] { return k.part(1) == failed; }, 8000)) << k.part(1);
    EXPECT_TRUE(cancelled());
    EXPECT_EQ(k.part(1), failed);
    // Picking an earlier entry from the list brings back its time and days, once.
    const std::pair<int, std::string> picks[] = {{1, "11:00:00|1000001"}, {0, soon + "|1111111"}, {0, "|1111111"}};
    for (const auto& [position, shown] : picks) {
        SendMessageA(k.item(IDC_PROGRAM), CB_SETCURSEL, position, 0);
        SetDlgItemTextA(k.dialog, IDC_TIME, "");
        SendMessageA(k.dialog, WM_COMMAND, MAKEWPARAM(IDC_PROGRAM, CBN_SELCHANGE), LPARAM(k.item(IDC_PROGRAM)));
        EXPECT_EQ(k.text(IDC_TIME) + "|" + k.days(), shown) << position;
    }

    const std::string head = "\"" + path_beside_test("probe.exe") + "\" \"" + record + "\" 7 ",
                      tail = " a&&yyyymoddhhmiss b&&ss&&& c&&mo&&&&dd&&",
                      fixed = head + std::string(255 - head.size() - tail.size(), 'x');
    const std::string time = clock_ahead(3);
    k.start((fixed + tail).c_str(), time.c_str(), "1111111");
    EXPECT_EQ(k.part(1), "") << "a valid Start clears the last run's report";
    EXPECT_EQ(k.list(), fixed + tail + "\nnever-c.exe\nnever-a.exe\n");
    k.post(IDC_INFO);
    HWND info = nullptr;
    ASSERT_TRUE(
        wait_until([&] { return (info = FindWindowA(nullptr, "Kelvast - Version 0.30 - Program Information")); }));
    EXPECT_NE(window_text(GetDlgItem(info, IDC_INFO_TEXT)).find("-pt=n: set priority"), std::string::npos) << "listed";
    PostMessageA(info, WM_COMMAND, IDCANCEL, 0);

    std::string line;
    ASSERT_TRUE(wait_until([&] { return (line = read_file(record)).find('\n') != std::string::npos; }, 20000));
    ASSERT_EQ(line.substr(0, fixed.size()), fixed);
    std::smatch f;  // date; hours, minutes, seconds; seconds again; month and day; folder
    ASSERT_TRUE(std::regex_match(line.cbegin() + fixed.size(), line.cend(), f,
                                 std::regex(" a(\\d{8})(\\d\\d)(\\d\\d)(\\d\\d) b(\\d\\d)& c(\\d\\d)(\\d\\d)\\|1\\|6\\|"
                                            "([^|]*)\\|inherited\r?\n")))
        << line;
    EXPECT_EQ(f[4], f[5]) << "one clock reading for every placeholder";
    EXPECT_EQ(f[1].str().substr(4, 4), f[6].str() + f[7].str());
    const std::string launched = f[2].str() + ":" + f[3].str() + ":" + f[4].str();
    EXPECT_LE((second_of_day(launched) + 86400 - second_of_day(time)) % 86400, 5u);
    EXPECT_TRUE(wait_until([&] { return k.part(1) == "Started " + today() + " " + launched + ", exit code 7"; }))
        << k.part(1);
    EXPECT_EQ(lstrcmpiA(f[8].str().c_str(), folder.c_str()), 0) << f[8];
    EXPECT_TRUE(k.ends_on(IDCANCEL));
}

// An ini file of overlong values and the largest history: what fits is used, Exit writes over them.
TEST(Program, OverlongIniValues) {
    const std::string ini = fresh_temp_dir("stores") + "\\overlong.ini";
    std::string ten_listed, ten_encoded;  // ten entries of 257 bytes
    for (char c = 'a'; c < 'k'; ++c) {
        const std::string command = std::string(235, c) + ".exe";
        ten_encoded += (c > 'a' ? "%_" : "") + command + "%_10:00:00%_1111111";
        ten_listed += command + "\n";
    }
    std::ofstream(ini, std::ios::binary)
        << "[Other]\r\nKeep=this line stays\r\n[Window]\r\nPosX=150\r\nPosY=120\r\nWidth=" << std::string(70000, '7')
        << "\r\n"
        << std::string(70000, '#') << "\r\nHeight=1\r\n[Settings]\r\nHistory=" << ten_encoded;
    Kelvast k("-rd -if=\"" + ini + "\"");
    ASSERT_TRUE(k.up());
    EXPECT_EQ(k.shown(), ten_listed + "|" + ten_listed.substr(0, 239) + "|10:00:00|1111111");
    const RECT r = k.rect();
    EXPECT_EQ(str(r).substr(0, 8), "150,120,");
    EXPECT_TRUE(k.ends_on(IDC_EXIT));
    EXPECT_EQ(stored(ini), str(r) + ",30|" + ten_encoded);
    EXPECT_NE(read_file(ini).find("[Other]\r\nKeep=this line stays\r\n"), std::string::npos);
}

// A window kept a pixel beyond any edge of the desktop opens in the work area, at its size.
TEST(Program, AWindowKeptOffTheScreenOpensOnIt) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN),
              right = left + GetSystemMetrics(SM_CXVIRTUALSCREEN), bottom = top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int w = 600, h = 300,
              kept[][2] = {{left - w - 1, 100}, {right + 1, 100}, {100, top - h - 1}, {100, bottom + 1}};
    RECT work{}, r{}, inside{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    for (const auto& at : kept) {
        const char* const names[] = {"PosX", "PosY", "Width", "Height"};
        const int values[] = {at[0], at[1], w, h};
        for (int i = 0; i < 4; ++i) {
            RegSetKeyValueA(HKEY_CURRENT_USER, (std::string(PROGRAM_KEY) + "\\Window").c_str(), names[i], REG_DWORD,
                            &values[i], sizeof values[i]);
        }
        Kelvast k("-rr");
        r = k.rect();
        // Snapping to the screen's lines may then take it up to their pull beyond the work area.
        EXPECT_TRUE(IntersectRect(&inside, &r, &work) && inside.right - inside.left > w - 20 &&
                    inside.bottom - inside.top > h - 20 && r.right - r.left == w && r.bottom - r.top == h)
            << str(r);
    }
}

// Where each control sits in the dialog's client area, which none may leave.
std::string controls(HWND dialog) {
    RECT client{}, r{}, both{};
    GetClientRect(dialog, &client);
    std::string all;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_TRUE(IntersectRect(&both, &r, &client) && EqualRect(&both, &r)) << GetDlgCtrlID(child) << " " << str(r);
        all += str(r) + " ";
    }
    return all;
}

TEST(Program, FrameAtAHigherScale) {
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr) {
        GTEST_SKIP() << "the display scale is the user's own, read at log-on";
    }
    // The prefix's LogPixels counts for programs started after it is set: the desktop comes first.
    GetDesktopWindow();
    const int dpi = 144;
    const std::string ini = path_beside_test("Kelvast.ini");
    DeleteFileA(ini.c_str());
    RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi);
    Kelvast k("-rd -pp=-1");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels");
    ASSERT_TRUE(k.up());
    EXPECT_EQ(GetPriorityClass(k.process.hProcess), DWORD(IDLE_PRIORITY_CLASS)) << "the lowest there is";
    // The status line's two parts share it, the right one running to its end, whatever its size.
    auto shared = [&] {
        int edges[3];
        memcpy(edges, k.status_reply(SB_GETPARTS, 3).data(), sizeof edges);
        RECT line{};
        GetClientRect(k.item(IDC_STATUS), &line);
        return edges[0] > line.right / 3 && edges[0] < line.right * 2 / 3 && edges[1] == -1 && edges[2] == 0;
    };
    EXPECT_TRUE(shared());
    const RECT start = k.rect();
    const int w = start.right - start.left, h = start.bottom - start.top;
    const std::string before = controls(k.dialog);
    ShowWindow(k.dialog, SW_MAXIMIZE);
    const RECT now = k.rect();
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(work.left - now.left, now.right - work.right) << "maximised, yet snapped";
    EXPECT_TRUE(shared());
    ShowWindow(k.dialog, SW_RESTORE);
    // Moved to a monitor at 96 DPI and back, the message's rectangle in the program's own memory.
    RECT* remote = static_cast<RECT*>(VirtualAllocEx(k.process.hProcess, nullptr, 16, MEM_COMMIT, PAGE_READWRITE));
    for (const int to : {96, dpi}) {
        const RECT r = to == dpi ? start : RECT{150, 130, 150 + MulDiv(w, 96, dpi), 130 + MulDiv(h, 96, dpi)};
        WriteProcessMemory(k.process.hProcess, remote, &r, sizeof r, nullptr);
        SendMessageA(k.dialog, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(remote));
        EXPECT_EQ(str(k.rect()), str(r)) << to;
        EXPECT_NEAR(SendMessageA(k.item(IDC_PROGRAM), CB_GETITEMHEIGHT, 0, 0), MulDiv(15, to, 96), 1) << to;
        EXPECT_TRUE(shared()) << to;
        controls(k.dialog);
    }
    EXPECT_EQ(controls(k.dialog), before) << "back at the first scale";
    EXPECT_TRUE(k.ends_on(IDABORT));
    EXPECT_TRUE(std::filesystem::exists(ini)) << "beside the program";
    DeleteFileA(ini.c_str());
}

// The ini file is replaced whole or not at all: while its copy beside it cannot be made, it stays byte
// for byte; then the new history is written, another section kept, no copy left (a relative -if).
TEST(Program, IniFileSavedWholeOrNotAtAll) {
    const std::string dir = fresh_temp_dir("whole"), ini = dir + "\\whole.ini",
                      content = "[Other]\r\nKeep=stays\r\n[Settings]\r\nHistory=old.exe%_01:02:03%_0100000\r\n";
    std::ofstream(ini, std::ios::binary) << content;
    std::filesystem::create_directory(ini + ".tmp");
    for (const bool blocked : {true, false}) {
        SCOPED_TRACE(blocked ? "copy blocked" : "way clear");
        Kelvast k(blocked ? "-rd -if=\"" + ini + "\"" : "-rd -if=.\\whole.ini", dir.c_str());
        ASSERT_TRUE(k.up());
        EXPECT_EQ(k.list(), "old.exe\n");
        k.start("new.exe", "10", "0000010");
        EXPECT_TRUE(k.ends_on(IDC_EXIT));
        if (blocked) {
            EXPECT_EQ(read_file(ini), content);
            EXPECT_TRUE(RemoveDirectoryA((ini + ".tmp").c_str()));
        }
    }
    const std::string saved = stored(ini);
    EXPECT_EQ(saved.substr(saved.find('|')), "|new.exe%_10:00:00%_0000010%_old.exe%_01:02:03%_0100000");
    EXPECT_NE(read_file(ini).find("[Other]\r\nKeep=stays\r\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(ini + ".tmp"));
}

// File quotes a path with a blank; it alone runs, from kelvast's folder; typed bare, it still does.
TEST(Program, APathWithABlankStartsOnlyThatProgram) {
    const std::string dir = fresh_temp_dir("blank"), folder = dir + "\\New folder", probe = folder + "\\probe.exe",
                      record = dir + "\\probe-record.txt";
    std::filesystem::create_directory(folder);
    for (const std::string& copy : {probe, dir + "\\New.exe"}) {
        CopyFileA(path_beside_test("probe.exe").c_str(), copy.c_str(), FALSE);
    }
    Kelvast k("-rd -id", dir.c_str());
    HWND chooser = nullptr;
    // A command line that is no file name: the chooser opens all the same, on programs, with no name.
    SetDlgItemTextA(k.dialog, IDC_PROGRAM, "\"a b\" c");
    SendMessageA(k.dialog, WM_COMMAND, MAKEWPARAM(IDC_PROGRAM, CBN_EDITCHANGE), LPARAM(k.item(IDC_PROGRAM)));
    k.post(IDC_BROWSE);
    ASSERT_TRUE(wait_until([&] { return (chooser = FindWindowA(nullptr, "Sample data output file")) != nullptr; }));
    EXPECT_EQ(window_text(GetDlgItem(chooser, cmb1)) + "|" + window_text(GetDlgItem(chooser, cmb13)),
              "Executable files|");
    // Into the folder first, as a user goes there, then the file.
    for (const std::string& name : {folder, std::string("probe.exe")}) {
        SetDlgItemTextA(chooser, cmb13, name.c_str());
        SendMessageTimeoutA(chooser, WM_COMMAND, IDOK, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    }
    EXPECT_TRUE(wait_until([&] { return !IsWindow(chooser); }));
    const std::string quoted = "\"" + probe + "\"";
    EXPECT_EQ(k.text(IDC_PROGRAM), quoted);
    std::string runs;
    for (const std::string& line : {quoted, probe}) {
        k.start(line.c_str(), clock_ahead(2).c_str(), "1111111");
        runs += quoted + "|1|6|" + dir + "\n";
        EXPECT_TRUE(wait_until([&] { return read_file(record).size() >= runs.size(); }, 8000));
        k.command(IDC_CANCEL);
        EXPECT_TRUE(wait_until([&] { return IsWindowEnabled(k.item(IDC_START)) != FALSE; }));
    }
    const std::string recorded = std::regex_replace(read_file(record), std::regex("\\|[^|\n]*\n"), "\n");
    EXPECT_EQ(lstrcmpiA(recorded.c_str(), runs.c_str()), 0) << recorded;
}

// Daylight time begins at KELVAST_CLOCK_JUMP (UTC seconds; standard time is UTC): a schedule half an
// hour into the skipped hour runs once, within two seconds of the jump, and reports its end.
TEST(ClockChange, AScheduleInTheSkippedHourRunsAtTheJump) {
    const char* jump_text = std::getenv("KELVAST_CLOCK_JUMP");
    if (jump_text == nullptr) {
        GTEST_SKIP() << "run by the command that sets the clock's rule";
    }
    const long long jump = std::atoll(jump_text);
    const std::string folder = fresh_temp_dir("spring"), record = folder + "\\record.txt";
    Kelvast k("-rd -id", folder.c_str());
    k.start(("\"" + path_beside_test("probe.exe") + "\" \"" + record + "\" 0 &&hh:&&mi:&&ss").c_str(),
            clock_text(unsigned(jump % 86400) + 1800).c_str(), "1111111");
    ASSERT_LT(std::time(nullptr), jump) << "the clock sprang forward before the schedule waited";
    std::string line;
    ASSERT_TRUE(wait_until([&] { return (line = read_file(record)).find('\n') != std::string::npos; },
                           DWORD(jump - std::time(nullptr) + 10) * 1000));
    const std::string launched = line.substr(line.find(" 0 ") + 3, 8);
    EXPECT_LE((second_of_day(launched) + 86400 - (jump + 3600) % 86400) % 86400, 2u) << line;
    EXPECT_TRUE(wait_until([&] { return k.part(1) == "Started " + today() + " " + launched + ", exit code 0"; }))
        << k.part(1);
    EXPECT_EQ(read_file(record), line) << "once";
}

}  // namespace
