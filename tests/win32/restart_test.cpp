// A schedule outlives its process: kelvast.exe ended by the system (TerminateProcess, as a crash or a
// power cut would) and started again with -as, as the Startup shortcut does at log-on.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

#include "res/resource.h"
#include "tests/win32/kelvast_driver.h"

namespace {

// Ended by the system, not by the user: no Cancel, no Exit, no save.
void kill(Kelvast& k) {
    TerminateProcess(k.process.hProcess, 1);
    WaitForSingleObject(k.process.hProcess, 5000);
}

}  // namespace

// The Startup shortcut's schedule: started once by hand and left with Exit, so that -as finds it.
void schedule_by_hand(const std::string& switches, const std::string& program, const std::string& at) {
    Kelvast k(switches);
    ASSERT_TRUE(k.up());
    k.start(program.c_str(), at.c_str(), "1111111");
    EXPECT_TRUE(k.ends_on(IDC_EXIT));
}

// Ended inside the window after its launch: one launch, and the last run shown again. Ended before the
// window and started after it: the miss is shown, or with -cu=1 made up at once.
TEST(Restart, EachWindowRunsOnceAndAMissIsToldOrMadeUp) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wHour == 23 && now.wMinute >= 57) {
        GTEST_SKIP() << "the windows would fall on another day than the one they are checked against";
    }
    const std::string dir = fresh_temp_dir("restart"), probe = "\"" + path_beside_test("probe.exe") + "\" ";
    auto switches = [&](const char* name) { return "-rd -if=\"" + dir + "\\" + name + ".ini\""; };
    auto program = [&](const char* name) { return probe + "\"" + dir + "\\" + name + ".txt\" 7"; };
    auto runs = [&](const char* name) {
        const std::string record = read_file(dir + "\\" + name + ".txt");
        return std::count(record.begin(), record.end(), '\n');
    };

    // Armed at log-on, then gone before the window.
    const std::string missed_at = clock_ahead(15);
    const DWORD armed = GetTickCount();
    for (const char* name : {"missed", "made-up"}) {
        schedule_by_hand(switches(name), program(name), missed_at);
        Kelvast k(switches(name) + " -as");
        ASSERT_TRUE(k.up());
        ASSERT_TRUE(wait_until([&] { return IsWindowEnabled(k.item(IDC_START)) == FALSE; }));
        kill(k);
    }
    ASSERT_LT(GetTickCount() - armed, 14000u) << "too slow to end before the window";

    {
        const std::string at = clock_ahead(8);
        schedule_by_hand(switches("inside"), program("inside"), at);
        Kelvast k(switches("inside") + " -as");
        ASSERT_TRUE(k.up());
        const std::string shown = "Started " + today() + " " + at + ", exit code 7";
        ASSERT_TRUE(wait_until([&] { return k.part(1) == shown; }, 15000)) << k.part(1);
        kill(k);
        Kelvast again(switches("inside") + " -as");
        ASSERT_TRUE(again.up());
        EXPECT_EQ(again.part(1), shown);
        EXPECT_TRUE(wait_until([&] { return again.text(IDC_STATUS) == "Waiting to start program at " + at; }));
        EXPECT_FALSE(wait_until([&] { return runs("inside") != 1; }, 2000)) << "the window ran once";
        EXPECT_TRUE(again.ends_on(IDC_EXIT));
    }

    // Past the window's last second.
    ASSERT_TRUE(wait_until([&] { return GetTickCount() - armed > (15 + 62) * 1000; }, 90000));
    Kelvast missed(switches("missed") + " -as");
    ASSERT_TRUE(missed.up());
    const std::string told =
        "Missed " + today() + " " + missed_at + ": Kelvast was not running or the computer was off";
    EXPECT_TRUE(wait_until([&] { return missed.part(1) == told; })) << missed.part(1);
    EXPECT_EQ(runs("missed"), 0);

    Kelvast made_up(switches("made-up") + " -as -cu=1");
    ASSERT_TRUE(made_up.up());
    const std::regex started("Started " + today() + " \\d\\d:\\d\\d:\\d\\d \\(due " + missed_at + "\\), exit code 7");
    EXPECT_TRUE(wait_until([&] { return std::regex_match(made_up.part(1), started); }, 8000)) << made_up.part(1);
    EXPECT_EQ(runs("made-up"), 1);
}
