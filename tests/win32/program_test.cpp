// kelvast.exe as a user meets it: started with switches in a process of its own, its dialog driven
// by control identifiers from here, its effects read from the registry, files and started programs.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "res/resource.h"
#include "support/kelvast_driver.h"
#include "support/test_support.h"

namespace {

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
    EXPECT_EQ(kelvast.list_count(), 1);
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

    const std::string time_text = time_text_ahead(3);
    std::string command = "\"" + path_beside_test("probe.exe") + "\" \"" + record + "\" at&&yyyymoddhhmiss";
    kelvast.start(command.c_str(), time_text.c_str(), "1111111");
    ASSERT_EQ(kelvast.text(IDC_STATUS), std::string("Waiting to start program at ") + time_text);

    std::string line;
    auto read_record = [&] {
        line = read_file(record);
        return line.find('\n') != std::string::npos;
    };
    ASSERT_TRUE(wait_until(read_record, 20000)) << "probe.exe did not run";
    std::smatch fields;
    ASSERT_TRUE(std::regex_search(
        line, fields, std::regex("at(\\d{8})(\\d\\d)(\\d\\d)(\\d\\d)\\|(\\d+)\\|(\\d+)\\|([^|]*)\\|([^\\r\\n]*)")))
        << line;
    unsigned launched = std::stoul(fields[2]) * 3600 + std::stoul(fields[3]) * 60 + std::stoul(fields[4]);
    unsigned target = std::stoul(time_text.substr(0, 2)) * 3600 + std::stoul(time_text.substr(3, 2)) * 60 +
                      std::stoul(time_text.substr(6, 2));
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
