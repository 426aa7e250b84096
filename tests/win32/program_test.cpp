// kelvast.exe as a user meets it: started with switches in a process of its own, its dialog driven
// by control identifiers from here, its effects read from the registry, files, started programs,
// and what it leaves when Windows ends the session.
#include <cstdio>
#include <regex>
#include <string>

#include "res/resource.h"
#include "support/kelvast_driver.h"

namespace {

// A schedule typed in, run and cancelled, and the window moved, are saved on Exit where the
// switches say; the next start with -as runs that schedule minimised. When the session ends, only
// the real end saves, and it saves the size the user gave the window, not the icon's.
TEST(Program, KeepsScheduleAndWindowInTheChosenStores) {
    char windows[MAX_PATH];
    const std::string ini = fresh_temp_dir("program") + "\\kelvast test.ini",
                      default_ini = std::string(windows, GetWindowsDirectoryA(windows, MAX_PATH)) + "\\Kelvast.ini";
    DeleteFileA(default_ini.c_str());
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
        RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY);
        const bool kept = !row.history.empty();
        const std::string program = row.typed.substr(0, 255), waiting = "Waiting to start program at " + row.normalised,
                          shown = program + "\n|" + program + "|" + row.normalised + "|" + row.mask;
        RECT moved{};
        {
            Kelvast kelvast(row.switches);
            ASSERT_TRUE(kelvast.up());
            for (char c : row.typed) {
                SendMessageA(FindWindowExA(kelvast.item(IDC_PROGRAM), nullptr, "Edit", nullptr), WM_CHAR, c, 0);
            }
            EXPECT_EQ(kelvast.text(IDC_PROGRAM), program);
            kelvast.start(program.c_str(), row.time, row.mask);
            EXPECT_EQ(kelvast.text(IDC_STATUS), waiting);
            EXPECT_EQ(kelvast.shown(), shown);
            kelvast.command(IDC_CANCEL);
            EXPECT_TRUE(kelvast.status_becomes("Thread ended normally")) << kelvast.text(IDC_STATUS);
            RECT initial = kelvast.rect();
            // Larger than the template, away from the screen edges the dialog snaps to.
            MoveWindow(kelvast.dialog, 130, 100, initial.right - initial.left + 80, initial.bottom - initial.top + 40,
                       TRUE);
            moved = kelvast.rect();
            EXPECT_TRUE(kelvast.exit());
        }
        Kelvast kelvast(row.switches + " -as");
        ASSERT_TRUE(kelvast.up());
        EXPECT_TRUE(wait_until([&] { return IsIconic(kelvast.dialog) != FALSE; }));
        EXPECT_EQ(IsWindowEnabled(kelvast.item(IDC_START)) != FALSE, !kept);
        EXPECT_EQ(kelvast.shown(), kept ? shown : "|||0000000");

        RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY);
        DeleteFileA(row.ini.c_str());
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(kelvast.dialog, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer);
        EXPECT_NE(answer, 0u) << "log-off refused";
        // Another program cancels the log-off: the schedule goes on, nothing is saved yet.
        SendMessageTimeoutW(kelvast.dialog, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer);
        EXPECT_TRUE(kelvast.running());
        EXPECT_EQ(kelvast.text(IDC_STATUS), kept ? waiting : "Invalid time specified");  // as -as left it
        EXPECT_FALSE(program_key_exists() || file_exists(row.ini));
        // The system ends the process as soon as the real end has been answered.
        SendMessageTimeoutW(kelvast.dialog, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer);
        TerminateProcess(kelvast.process.hProcess, 1);
        WaitForSingleObject(kelvast.process.hProcess, 5000);
        EXPECT_EQ(program_key_exists(), kept && row.ini.empty());
        if (kept) {
            EXPECT_EQ(stored(row.ini), stored_form(moved, row.history));
        }
        EXPECT_FALSE(file_exists(default_ini) || file_exists(path_beside_test("Kelvast.ini")));
    }
}

// The longest command line the program takes, with placeholders, starts as given, from the
// program's folder, with its environment, asked to show minimised, within seconds of its time.
TEST(Program, LaunchesTheLongestCommandLineExpanded) {
    const std::string folder = fresh_temp_dir("launch"), record = folder + "\\record.txt";
    SetEnvironmentVariableA("KELVAST_PROBE_ENV", "inherited");
    Kelvast kelvast("-rd -id", folder.c_str());
    ASSERT_TRUE(kelvast.up());
    const std::string head = "\"" + path_beside_test("probe.exe") + "\" \"" + record + "\" ",
                      tail = " a&&yyyymoddhhmiss b&&ss&&& c&&mo&&&&dd&&",
                      fixed = head + std::string(255 - head.size() - tail.size(), 'x'), time = time_text_ahead(3);
    kelvast.start((fixed + tail).c_str(), time.c_str(), "1111111");

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
    unsigned h = 0, m = 0, s = 0;
    ASSERT_EQ(sscanf(time.c_str(), "%u:%u:%u", &h, &m, &s), 3);
    const unsigned launched = std::stoul(f[2]) * 3600 + std::stoul(f[3]) * 60 + std::stoul(f[4]);
    EXPECT_LE((launched + 86400 - (h * 3600 + m * 60 + s)) % 86400, 5u);
    EXPECT_EQ(lstrcmpiA(f[8].str().c_str(), folder.c_str()), 0) << f[8];
    EXPECT_TRUE(kelvast.exit());
}

TEST(Program, InformationDialogListsTheProgramAndItsSwitchesOnce) {
    Kelvast kelvast("-rd -id");
    ASSERT_TRUE(kelvast.up());
    std::string first;
    for (int close_id : {IDOK, IDCANCEL, IDABORT}) {
        kelvast.post(IDC_INFO);
        HWND info = wait_for_window(kelvast.process.dwProcessId, "Kelvast - Version 0.30 - Program Information", 10000);
        ASSERT_NE(info, nullptr) << close_id;
        const std::string text = std::regex_replace(window_text(GetDlgItem(info, IDC_INFO_TEXT)), std::regex("\r"), "");
        EXPECT_EQ(text, first.empty() ? (first = text) : first) << "every opening shows the same text, once";
        PostMessageA(info, WM_COMMAND, close_id, 0);
        EXPECT_TRUE(wait_until([&] { return !IsWindow(info); })) << close_id;
    }
    EXPECT_TRUE(std::regex_search(
        first, std::regex("^Kelvast - Version 0\\.30\nWritten by: Tansky, compiled on [A-Z][a-z]{2} [ 1-3]\\d \\d{4}, "
                          "\\d\\d:\\d\\d:\\d\\d\nfor updates check: \\S+\nor email to: \\S+@\\S+\n\n[^]*"
                          "\nThe following command line parameters are supported:\n-rc: clear registry[^]*"
                          "\n-if=\"string\": specify ini filename\n[^]*\n-pt=n: set priority for processing thread\n")))
        << first;
    EXPECT_EQ(first.find("This program"), first.rfind("This program"));
    EXPECT_TRUE(kelvast.exit());
}

}  // namespace
