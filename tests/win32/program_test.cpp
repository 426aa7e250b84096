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
#include <tuple>
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

// A window's text, or with `index` an item of a combo box's list: through the W messages, as the
// A ones lose text across processes, and cut at the returned length (see WINE-NOTES).
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
    // Memory in the program's process, for messages whose pointers are not carried between
    // processes (those from WM_USER up).
    template <typename T>
    T* remote() const {
        return static_cast<T*>(VirtualAllocEx(process.hProcess, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    }
    // The right edges of the status line's parts.
    std::vector<int> parts() const {
        int* buffer = remote<int>();
        int edges[4] = {};
        const auto count = SendMessageA(item(IDC_STATUS), SB_GETPARTS, 4, LPARAM(buffer));
        ReadProcessMemory(process.hProcess, buffer, edges, sizeof edges, nullptr);
        VirtualFreeEx(process.hProcess, buffer, 0, MEM_RELEASE);
        return std::vector<int>(edges, edges + (count > 0 && count < 4 ? count : 0));
    }
    // The text of a part of the status line.
    std::string part(int index) const {
        char* buffer = remote<char>();
        char text[512] = "";
        SendMessageTimeoutA(item(IDC_STATUS), SB_GETTEXTA, index, LPARAM(buffer), SMTO_ABORTIFHUNG, 5000, nullptr);
        ReadProcessMemory(process.hProcess, buffer, text, sizeof text - 1, nullptr);
        VirtualFreeEx(process.hProcess, buffer, 0, MEM_RELEASE);
        return text;
    }
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

// Everything Exit saves, as "PosX,PosY,Width,Height,Version|History": from the ini file when one is
// named, else from the registry, a value that is neither a number nor a multi-string marked with its type.
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

// The local time `seconds` from now as "HH:MM:SS".
std::string clock_ahead(unsigned seconds) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const unsigned due = (now.wHour * 3600u + now.wMinute * 60u + now.wSecond + seconds) % 86400;
    char text[16];
    snprintf(text, sizeof text, "%02u:%02u:%02u", due / 3600, due / 60 % 60, due % 60);
    return text;
}

std::string lower(std::string text) {
    CharLowerBuffA(&text[0], DWORD(text.size()));
    return text;
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

// A schedule typed in and started, and the window moved, are saved on Exit where the
// switches say; the next start with -as runs that schedule minimised. When the session ends, only
// the real end saves, and it saves the size the user gave the window, not the icon's.
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

// Switches that do not parse are reported, cut at the status line's end, and the rest still work.
// A repeated Start undoes a Cancel the worker has not seen yet; every run ends on Cancel. Then the
// longest command line, with placeholders, starts as given, from the program's folder, with its
// environment, asked to show minimised, within seconds of its time, while the information dialog,
// closed each way there is, shows the program and every switch once.
TEST(Program, RunsCancelsAndLaunches) {
    const std::string folder = fresh_temp_dir("launch"), record = folder + "\\record.txt";
    SetEnvironmentVariableA("KELVAST_PROBE_ENV", "inherited");
    Kelvast k(
        "-rd -id -pp=99999999999 -pp=x /bad=\"a b\" - -abcdefghij -abcdefghij -abcdefghij -abcdefghij "
        "-abcdefghij -abcdefghij -pp=2",
        folder.c_str());
    ASSERT_TRUE(k.up());
    EXPECT_EQ(k.text(IDC_STATUS),
              "Invalid command line parameter(s) \"-pp=99999999999 (invalid value)-pp=x (invalid "
              "value)/bad=a b - -abcdefghij -abcdefghij -abcdefghij -abcdefghij -abcdefghij -abc\"");
    EXPECT_EQ(GetPriorityClass(k.process.hProcess), DWORD(HIGH_PRIORITY_CLASS));

    auto idle = [&] { return IsWindowEnabled(k.item(IDC_START)) && IsWindowEnabled(k.item(IDC_DAY_SA)); };
    k.start("never-a.exe", "11", "1000001");
    // Cancel and Enter between two of the worker's polls, which follow each fifth of a second.
    SYSTEMTIME now;
    wait_until([&] { return GetLocalTime(&now), (now.wMilliseconds + 180) % 200 < 80; });
    SetDlgItemTextA(k.dialog, IDC_STATUS, "");
    k.post(IDC_CANCEL);
    k.post(IDOK);
    EXPECT_TRUE(wait_until([&] { return k.text(IDC_STATUS) == "Waiting to start program at 11:00:00"; }));
    EXPECT_FALSE(wait_until(idle, 600)) << "the worker ended";
    k.command(IDC_CANCEL);
    EXPECT_TRUE(wait_until([&] { return k.text(IDC_STATUS) == "Thread ended normally" && idle(); }));
    k.start("never-b.exe", "12", "0000010");
    EXPECT_EQ(k.text(IDC_STATUS), "Waiting to start program at 12:00:00");
    k.command(IDC_CANCEL);
    EXPECT_TRUE(wait_until([&] { return k.text(IDC_STATUS) == "Thread ended normally" && idle(); }));

    // A program that cannot start is reported on the right of the status line; Cancel keeps that.
    const std::string soon = clock_ahead(2);
    k.start("never-c.exe", soon.c_str(), "1111111");
    const std::string failed =
        "Could not start at " + today() + " " + soon + ": " + system_message(ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(wait_until([&] { return k.part(1) == failed; }, 8000)) << k.part(1);
    k.command(IDC_CANCEL);
    EXPECT_TRUE(wait_until([&] { return k.text(IDC_STATUS) == "Thread ended normally" && idle(); }));
    EXPECT_EQ(k.part(1), failed);
    // Picking an earlier entry from the list brings back its time and days, once.
    const std::pair<int, std::string> picks[] = {{2, "11:00:00|1000001"}, {0, soon + "|1111111"}, {0, "|1111111"}};
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
    EXPECT_EQ(k.list(), fixed + tail + "\nnever-c.exe\nnever-b.exe\nnever-a.exe\n");
    std::string first;
    for (int close_id : {IDOK, IDCANCEL, IDABORT}) {
        k.post(IDC_INFO);
        HWND info = nullptr;
        ASSERT_TRUE(
            wait_until([&] { return (info = FindWindowA(nullptr, "Kelvast - Version 0.30 - Program Information")); }));
        const std::string text = std::regex_replace(window_text(GetDlgItem(info, IDC_INFO_TEXT)), std::regex("\r"), "");
        EXPECT_EQ(text, first.empty() ? (first = text) : first) << "every opening shows the same text";
        PostMessageA(info, WM_COMMAND, close_id, 0);
        EXPECT_TRUE(wait_until([&] { return !IsWindow(info); })) << close_id;
    }
    std::string heads = first.substr(0, first.find('\n')) + ":";  // the program, then each switch listed
    for (size_t at = first.find("\n-"); at != std::string::npos; at = first.find("\n-", at + 1)) {
        heads += " " + first.substr(at + 2, 2);
    }
    EXPECT_EQ(heads, "Kelvast - Version 0.30: rc rd rr rw if id ir iw as pp pt");

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

// Each row starts from a registry that holds a valid window (150, 120, 720 by 300), version and
// history, and stores its own values over them.
TEST(Program, DamagedOrUnusableStores) {
    const std::string dir = fresh_temp_dir("stores"), ini = dir + "\\damaged.ini";
    std::string ten_listed, ten_encoded;  // the largest history taken: ten entries of 257 bytes
    for (char c = 'a'; c < 'k'; ++c) {
        const std::string command = std::string(235, c) + ".exe";
        ten_encoded += (c > 'a' ? "%_" : "") + command + "%_10:00:00%_1111111";
        ten_listed += command + "\n";
    }
    std::string unterminated = multi_string({"a.exe", "01:02:03", "1000001", "b.exe", "02:03:04"});
    unterminated.resize(unterminated.size() - 2);  // no zero after the last text, no closing one
    const std::string seed = multi_string({"seed.exe", "01:02:03", "0100000"});
    auto dword = [](DWORD value) { return std::string(reinterpret_cast<const char*>(&value), sizeof value); };
    using Values = std::vector<std::tuple<const char*, const char*, DWORD, std::string>>;  // section, name, type, bytes
    const Values seeds = {{"Window", "PosX", REG_DWORD, dword(150)},    {"Window", "PosY", REG_DWORD, dword(120)},
                          {"Window", "Width", REG_DWORD, dword(720)},   {"Window", "Height", REG_DWORD, dword(300)},
                          {"Program", "Version", REG_DWORD, dword(30)}, {"Settings", "History", REG_MULTI_SZ, seed}};
    const struct {
        std::string switches, content;  // content: of the ini file, which then holds the values after Exit
        Values values;
        std::string window;                     // the start of the window's stored form
        std::string list, time, days, history;  // history as saved on Exit
    } rows[] = {
        // Values longer than their variables and than the profile read; a section of others stays.
        {"-rd -if=\"" + ini + "\"",
         "[Other]\r\nKeep=this line stays\r\n[Window]\r\nPosX=150\r\nPosY=120\r\nWidth=" + std::string(70000, '7') +
             "\r\n" + std::string(70000, '#') +
             "\r\nHeight=1\r\n[Program]\r\nVersion=30\r\n[Settings]\r\nHistory=" + ten_encoded,
         Values(), "150,120,", ten_listed, "10:00:00", "1111111", ten_encoded},
        // Four bytes of text read as a number would put the window far beyond the screen's edge; two
        // bytes are no number: the template's height.
        {"", "",
         Values{{"Settings", "History", REG_BINARY, unterminated},
                {"Window", "PosX", REG_SZ, {"100\0", 4}},
                {"Window", "PosY", REG_DWORD, dword(-100)},
                {"Window", "Height", REG_BINARY, "\x10\x02"}},
         std::to_string(GetSystemMetrics(SM_CXSCREEN) - 720) + ",0,720,", "a.exe\nb.exe\n", "01:02:03", "1000001",
         unterminated + std::string(2, '\0')},
        // An ini file that cannot be read or written: the registry beside it gives and takes every value.
        {"-rr -rw -ir -iw -if=\"" + dir + "\\missing\\deeper\\k.ini\"", "", Values(), "150,120,720,", "seed.exe\n",
         "01:02:03", "0100000", seed},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        delete_program_key();
        for (const auto& values : {seeds, row.values}) {
            for (const auto& [section, name, type, bytes] : values) {
                const std::string data = bytes + 'x';  // not a zero: the platform adds none to a text then
                RegSetKeyValueA(HKEY_CURRENT_USER, (std::string(PROGRAM_KEY) + "\\" + section).c_str(), name, type,
                                data.data(), DWORD(bytes.size()));
            }
        }
        if (!row.content.empty()) {
            std::ofstream(ini, std::ios::binary) << row.content;
        }
        Kelvast k(row.switches);
        ASSERT_TRUE(k.up());
        EXPECT_EQ(k.shown(),
                  row.list + "|" + row.list.substr(0, row.list.find('\n')) + "|" + row.time + "|" + row.days);
        const RECT r = k.rect();
        EXPECT_EQ(str(r).substr(0, row.window.size()), row.window);
        EXPECT_TRUE(k.ends_on(IDC_EXIT));
        EXPECT_EQ(stored(row.content.empty() ? "" : ini), str(r) + ",30|" + row.history);
    }
    EXPECT_NE(read_file(ini).find("[Other]\r\nKeep=this line stays\r\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir + "\\missing"));
}

// A window kept a pixel beyond any edge of the desktop opens in the work area, at its size.
TEST(Program, AWindowKeptOffTheScreenOpensOnIt) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN),
              right = left + GetSystemMetrics(SM_CXVIRTUALSCREEN), bottom = top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int w = 600, h = 300,
              kept[][2] = {{left - w - 1, 100}, {right + 1, 100}, {100, top - h - 1}, {100, bottom + 1}};
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    for (const auto& at : kept) {
        delete_program_key();
        for (const auto& [name, value] :
             {std::make_pair("PosX", at[0]), {"PosY", at[1]}, {"Width", w}, {"Height", h}}) {
            RegSetKeyValueA(HKEY_CURRENT_USER, (std::string(PROGRAM_KEY) + "\\Window").c_str(), name, REG_DWORD, &value,
                            sizeof value);
        }
        Kelvast k("-rr");
        ASSERT_TRUE(k.up());
        const RECT r = k.rect();
        RECT inside{};
        IntersectRect(&inside, &r, &work);
        // Snapping to the screen's lines may then take it up to their pull beyond the work area.
        EXPECT_TRUE(inside.right - inside.left > w - 20 && inside.bottom - inside.top > h - 20 &&
                    r.right - r.left == w && r.bottom - r.top == h)
            << at[0] << "," << at[1] << ": " << str(r);
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
        const std::vector<int> edges = k.parts();
        RECT line{};
        GetClientRect(k.item(IDC_STATUS), &line);
        return edges.size() == 2 && edges[0] > line.right / 3 && edges[0] < line.right * 2 / 3 && edges[1] == -1;
    };
    EXPECT_TRUE(shared());
    const RECT start = k.rect();
    const int w = start.right - start.left, h = start.bottom - start.top, d = MulDiv(20, dpi, 96);
    RECT tiny{1000, 800, 1010, 810};
    SendMessageA(k.dialog, WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&tiny));
    EXPECT_EQ(str(tiny), str({1010 - w, 810 - h, 1010, 810})) << "the template's size is the smallest";
    const int right = GetSystemMetrics(SM_CXFULLSCREEN) - w;
    // Moved to x, y: where the frame ends up.
    const int moves[] = {d, 150, d, 150, d - 1, 150, 0, 150, 150, d - 1, 150, 0, right + d - 1, 150, right, 150};
    for (const int* m = moves; m < moves + 16; m += 4) {
        MoveWindow(k.dialog, m[0], m[1], w, h, TRUE);
        EXPECT_EQ(str(k.rect()), str({m[2], m[3], m[2] + w, m[3] + h})) << m[0] << "," << m[1];
    }

    const std::string before = controls(k.dialog);
    ShowWindow(k.dialog, SW_MAXIMIZE);
    const RECT now = k.rect();
    const std::string maximised = controls(k.dialog);
    EXPECT_TRUE(shared());
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(work.left - now.left, now.right - work.right) << "maximised, yet snapped";
    ShowWindow(k.dialog, SW_RESTORE);
    EXPECT_EQ(controls(k.dialog), before);
    MoveWindow(k.dialog, 0, 0, now.right - now.left, now.bottom - now.top, TRUE);
    EXPECT_EQ(controls(k.dialog), maximised) << "maximised as in a frame of that size";
    // Moved to a monitor at 96 DPI and back, as the system tells it. The message's rectangle is
    // passed on as it is, so it must lie in the program's own memory.
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

// The ini file is replaced whole or not at all: while the copy beside it cannot be made, Exit leaves
// it byte for byte as it was. Once it can, Exit writes the new history, keeps another program's
// section and leaves no copy; that time the file is named relative to the current folder.
TEST(Program, IniFileSavedWholeOrNotAtAll) {
    const std::string dir = fresh_temp_dir("whole"), ini = dir + "\\whole.ini";
    const std::string content = "[Other]\r\nKeep=stays\r\n[Settings]\r\nHistory=old.exe%_01:02:03%_0100000\r\n";
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

}  // namespace

namespace {

// File: a program in a folder whose name has a blank goes into the field quoted, and only it runs,
// with nothing else on its command line, from the folder kelvast was started in rather than the one
// the chooser moved to. Typed without quotes, it is still the only program that runs.
TEST(Program, APathWithABlankStartsOnlyThatProgram) {
    const std::string dir = fresh_temp_dir("blank"), folder = dir + "\\New folder", probe = folder + "\\probe.exe",
                      record = dir + "\\probe-record.txt";
    std::filesystem::create_directory(folder);
    for (const std::string& copy : {probe, dir + "\\New.exe"}) {
        CopyFileA(path_beside_test("probe.exe").c_str(), copy.c_str(), FALSE);
    }
    Kelvast k("-rd -id", dir.c_str());
    ASSERT_TRUE(k.up());
    HWND chooser = nullptr;
    auto open_chooser = [&] {
        k.post(IDC_BROWSE);
        return wait_until([&] { return (chooser = FindWindowA(nullptr, "Sample data output file")) != nullptr; });
    };
    // A command line that is no file name: the chooser opens all the same, on programs and with no
    // name; cancelled, it leaves the field alone.
    const std::string typed = "\"a b\" c";
    SetDlgItemTextA(k.dialog, IDC_PROGRAM, typed.c_str());
    SendMessageA(k.dialog, WM_COMMAND, MAKEWPARAM(IDC_PROGRAM, CBN_EDITCHANGE), LPARAM(k.item(IDC_PROGRAM)));
    ASSERT_TRUE(open_chooser());
    EXPECT_EQ(window_text(GetDlgItem(chooser, cmb1)) + "|" + window_text(GetDlgItem(chooser, cmb13)),
              "Executable files|");
    SendMessageTimeoutA(chooser, WM_COMMAND, IDCANCEL, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(chooser); }));
    EXPECT_EQ(k.text(IDC_PROGRAM), typed);
    ASSERT_TRUE(open_chooser());
    // Into the folder first, as a user goes there, then the file.
    for (const std::string& name : {folder, std::string("probe.exe")}) {
        HWND field = GetDlgItem(chooser, cmb13);
        SetWindowTextA(field != nullptr ? field : GetDlgItem(chooser, edt1), name.c_str());
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
    EXPECT_EQ(lower(std::regex_replace(read_file(record), std::regex("\\|[^|\n]*\n"), "\n")), lower(runs));
}

}  // namespace

namespace {

// Daylight time begins at KELVAST_CLOCK_JUMP (UTC seconds; standard time is UTC) and skips an hour:
// a schedule half an hour into it runs once, within two seconds after the jump, and reports its end.
TEST(ClockChange, AScheduleInTheSkippedHourRunsAtTheJump) {
    const char* jump_text = std::getenv("KELVAST_CLOCK_JUMP");
    if (jump_text == nullptr) {
        GTEST_SKIP() << "run by the command that sets the clock's rule";
    }
    const long long jump = std::atoll(jump_text);
    const unsigned jump_second = unsigned(jump % 86400);
    auto clock_text = [](unsigned second) {
        char text[16];
        snprintf(text, sizeof text, "%02u:%02u:%02u", second / 3600 % 24, second / 60 % 60, second % 60);
        return std::string(text);
    };
    const std::string folder = fresh_temp_dir("spring"), record = folder + "\\record.txt";
    Kelvast k("-rd -id", folder.c_str());
    ASSERT_TRUE(k.up());
    k.start(("\"" + path_beside_test("probe.exe") + "\" \"" + record + "\" 0 &&hh:&&mi:&&ss").c_str(),
            clock_text(jump_second + 1800).c_str(), "1111111");
    ASSERT_LT(std::time(nullptr), jump) << "the clock sprang forward before the schedule waited";
    std::string line;
    ASSERT_TRUE(wait_until([&] { return (line = read_file(record)).find('\n') != std::string::npos; },
                           DWORD(jump - std::time(nullptr) + 10) * 1000));
    const std::string launched = line.substr(line.find(" 0 ") + 3, 8);
    EXPECT_LE((second_of_day(launched) + 86400 - (jump_second + 3600) % 86400) % 86400, 2u) << line;
    const std::string status = "Started " + today() + " " + launched + ", exit code 0";
    EXPECT_TRUE(wait_until([&] { return k.part(1) == status; })) << k.part(1);
    line = read_file(record);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << "once";
}

}  // namespace
