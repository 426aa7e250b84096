// kelvast.exe as a user meets it, in a process of its own: its dialog driven by control identifiers
// from here, its effects read from the registry, files, started programs and the screen.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/win32/kelvast_driver.h"

namespace {

// Schedule and window are saved on Exit where the switches say, and -as runs that schedule minimised.
// Only the real end of the session saves, the size the user gave the window and not the icon's, and it
// leaves the schedule armed for the next log-on.
TEST(Program, KeepsScheduleAndWindowInTheChosenStores) {
    const std::string ini = fresh_temp_dir("program") + "\\kelvast test.ini";
    const std::string longest(255, 'y');  // typing stops where the command line's buffer does
    const struct {
        std::string switches, ini, typed;  // ini: the file the switches name; none: the registry
        const char *time, *mask;
        std::string normalised, history;  // history as stored; none: nothing may be stored anywhere
        DWORD priority;
    } rows[] = {
        {"-pp=1", "", longest + "yyy", "4:5:6", "0010010", "04:05:06",
         longest + '\0' + "04:05:06" + '\0' + "0010010" + '\0' + '\0', NORMAL_PRIORITY_CLASS},
        {"-rd -if=\"" + ini + "\" -pp=3", ini, "calc.exe &&hhmi", "11", "1000001", "11:00:00",
         "calc.exe &&hhmi%_11:00:00%_1000001", REALTIME_PRIORITY_CLASS},
        {"-rd -id", "", "notepad.exe", "10", "0100000", "10:00:00", "", NORMAL_PRIORITY_CLASS},
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
            EXPECT_EQ(GetPriorityClass(k.process.hProcess), row.priority);
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
        EXPECT_EQ(stored_value(row.ini, "Settings", "Run").find("; state=armed") != std::string::npos, kept);
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

    // A program that cannot start is reported on the right of the status line, Windows' reason naming
    // it; Cancel keeps that.
    const std::string soon = clock_ahead(2), text = folder + "\\not a program.exe";
    std::ofstream(text) << "text";
    k.start(("\"" + text + "\"").c_str(), soon.c_str(), "1111111");
    const std::string failed = "Could not start at " + today() + " " + soon + ": " +
                               std::regex_replace(system_message(ERROR_BAD_EXE_FORMAT), std::regex("%1"), text);
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
    EXPECT_EQ(k.list(), fixed + tail + "\n\"" + text + "\"\nnever-a.exe\n");
    k.post(IDC_INFO);
    HWND info = nullptr;
    ASSERT_TRUE(
        wait_until([&] { return (info = FindWindowA(nullptr, "Kelvast - Version 0.30 - Program Information")); }));
    const std::string listing = window_text(GetDlgItem(info, IDC_INFO_TEXT));
    EXPECT_NE(listing.find("-cu=n: catch up"), std::string::npos) << "listed";
    EXPECT_TRUE(std::regex_search(
        listing, std::regex("compiled on [A-Z][a-z]{2} [ 123][0-9] 2[0-9]{3}, [0-2][0-9]:[0-5][0-9]:[0-5][0-9]\r")))
        << listing;
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

// A window kept a pixel beyond any edge of the desktop opens in the work area, at its size. -rc then
// removes the program's key, with the sections below it.
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
    EXPECT_TRUE(Kelvast("-rc -rd -id").up());
    EXPECT_FALSE(delete_program_key()) << "-rc left the key";
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
    // The left part of the status line holds its text at the scale; the right one runs to the end.
    auto left_part = [&] {
        int edges[3];
        memcpy(edges, k.status_reply(SB_GETPARTS, 3).data(), sizeof edges);
        return edges[1] == -1 && edges[2] == 0 ? edges[0] : -1;
    };
    const int left = left_part();
    EXPECT_GT(left, 0);
    const RECT start = k.rect();
    const int w = start.right - start.left, h = start.bottom - start.top;
    const std::string before = controls(k.dialog);
    ShowWindow(k.dialog, SW_MAXIMIZE);
    const RECT now = k.rect();
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(work.left - now.left, now.right - work.right) << "maximised, yet snapped";
    EXPECT_EQ(left_part(), left) << "the right part takes all the width gained";
    ShowWindow(k.dialog, SW_RESTORE);
    // Moved to a monitor at 96 DPI and back, the message's rectangle in the program's own memory.
    RECT* remote = static_cast<RECT*>(VirtualAllocEx(k.process.hProcess, nullptr, 16, MEM_COMMIT, PAGE_READWRITE));
    for (const int to : {96, dpi}) {
        const RECT r = to == dpi ? start : RECT{150, 130, 150 + MulDiv(w, 96, dpi), 130 + MulDiv(h, 96, dpi)};
        WriteProcessMemory(k.process.hProcess, remote, &r, sizeof r, nullptr);
        SendMessageA(k.dialog, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(remote));
        EXPECT_EQ(str(k.rect()), str(r)) << to;
        EXPECT_NEAR(SendMessageA(k.item(IDC_PROGRAM), CB_GETITEMHEIGHT, 0, 0), MulDiv(15, to, 96), 1) << to;
        EXPECT_TRUE(to == dpi ? left_part() == left : left_part() > 0 && left_part() < left) << to;
        controls(k.dialog);
    }
    EXPECT_EQ(controls(k.dialog), before) << "back at the first scale";
    EXPECT_TRUE(k.ends_on(IDABORT));
    EXPECT_TRUE(std::filesystem::exists(ini)) << "beside the program";
    DeleteFileA(ini.c_str());
}

// The ini file is replaced whole or not at all, through a copy of the process's own beside it. Read-only,
// or with that copy held open by another program, it stays byte for byte and no copy is left; otherwise
// the largest history is kept, overlong values are written over, and another section and the copies of
// others (a stale one, another process's) stay as they are. A relative -if counts from here.
TEST(Program, IniFileSavedWholeOrNotAtAll) {
    const std::string dir = fresh_temp_dir("whole"), ini = dir + "\\whole.ini";
    std::string ten_listed, ten_encoded;  // ten entries of 257 bytes
    for (char c = 'a'; c < 'k'; ++c) {
        const std::string command = std::string(235, c) + ".exe";
        ten_encoded += (c > 'a' ? "%_" : "") + command + "%_10:00:00%_1111111";
        ten_listed += command + "\n";
    }
    const std::string content =
        "[Other]\r\nKeep=this line stays\r\n[Window]\r\nPosX=150\r\nPosY=120\r\nWidth=" + std::string(70000, '7') +
        "\r\n" + std::string(70000, '#') + "\r\nHeight=1\r\n[Settings]\r\nHistory=" + ten_encoded;
    std::ofstream(ini, std::ios::binary) << content;
    for (const char* other : {".tmp", ".1.tmp"}) {
        std::ofstream(ini + other) << "[Other]\r\nCopy=not ours\r\n";
    }
    for (const std::string how : {"read-only", "copy held open", "way clear"}) {
        SCOPED_TRACE(how);
        SetFileAttributesA(ini.c_str(), how == "read-only" ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        Kelvast k(how == "way clear" ? "-rd -if=.\\whole.ini" : "-rd -if=\"" + ini + "\"", dir.c_str());
        ASSERT_TRUE(k.up());
        const std::string copy = ini + "." + std::to_string(k.process.dwProcessId) + ".tmp";
        HANDLE held = CreateFileA(how == "copy held open" ? copy.c_str() : "", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        EXPECT_EQ(k.shown(), ten_listed + "|" + ten_listed.substr(0, 239) + "|10:00:00|1111111");
        const RECT r = k.rect();
        EXPECT_EQ(str(r).substr(0, 8), "150,120,");
        EXPECT_TRUE(k.ends_on(IDC_EXIT));
        CloseHandle(held);
        SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (how != "way clear") {
            EXPECT_EQ(read_file(ini), content);
        } else {
            EXPECT_EQ(stored(ini), str(r) + ",30|" + ten_encoded);
            EXPECT_NE(read_file(ini).find("[Other]\r\nKeep=this line stays\r\n"), std::string::npos);
        }
        EXPECT_TRUE(!std::filesystem::exists(copy) && std::filesystem::exists(ini + ".tmp") &&
                    std::filesystem::exists(ini + ".1.tmp"));
    }
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
    // A path that its quotes would make too long for the command line is refused, the field kept.
    const std::string longest = folder + "\\" + std::string(254 - folder.size(), 'l');
    std::ofstream(longest) << "";
    SetDlgItemTextA(chooser, cmb13, longest.c_str());
    SendMessageTimeoutA(chooser, WM_COMMAND, IDOK, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    EXPECT_TRUE(wait_until([&] { return k.text(IDC_STATUS) == "The chosen path is too long"; }));
    EXPECT_EQ(k.text(IDC_PROGRAM), "\"a b\" c");
    k.post(IDC_BROWSE);
    ASSERT_TRUE(wait_until([&] { return (chooser = FindWindowA(nullptr, "Sample data output file")) != nullptr; }));
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
