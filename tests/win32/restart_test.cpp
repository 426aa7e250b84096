// A schedule outlives its process: kelvast.exe ended by the system (TerminateProcess, as a crash or a
// power cut would) and started again with -as, as the Startup shortcut does at log-on.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

#include "res/resource.h"
#include "tests/win32/kelvast_driver.h"

// Ended inside the window after its launch and started again with -as, as at log-on: one launch, and the
// last run shown again. Ended before the window and started after it: the miss is shown, or with -cu=1
// made up at once.
TEST(Restart, EachWindowRunsOnceAndAMissIsToldOrMadeUp) {
    if (clock_ahead(180) < clock_ahead(0)) {
        GTEST_SKIP() << "the windows would fall on another day than the one they are checked against";
    }
    const std::string dir = fresh_temp_dir("restart"), probe = "\"" + path_beside_test("probe.exe") + "\" ";
    auto switches = [&](const char* name) { return "-rd -if=\"" + dir + "\\" + name + ".ini\""; };
    auto program = [&](const char* name) { return probe + "\"" + dir + "\\" + name + ".txt\" 7"; };
    // Ended by the system, not by the user: no Cancel, no Exit, no save.
    auto kill = [](Kelvast& k) {
        TerminateProcess(k.process.hProcess, 1) && WaitForSingleObject(k.process.hProcess, 5000);
    };
    auto runs = [&](const char* name) {
        const std::string record = read_file(dir + "\\" + name + ".txt");
        return std::count(record.begin(), record.end(), '\n');
    };

    // Armed, then gone before the window.
    Kelvast missed_first(switches("missed")), made_up_first(switches("made-up"));
    ASSERT_TRUE(missed_first.up() && made_up_first.up());
    const std::string missed_at = clock_ahead(8);
    const DWORD armed = GetTickCount();
    for (auto [k, name] : {std::pair(&missed_first, "missed"), std::pair(&made_up_first, "made-up")}) {
        k->start(program(name).c_str(), missed_at.c_str(), "1111111");
        kill(*k);
    }
    ASSERT_LT(GetTickCount() - armed, 7000u) << "too slow to end before the window";

    {
        // The Startup shortcut's schedule: started once by hand and left with Exit.
        Kelvast by_hand(switches("inside"));
        ASSERT_TRUE(by_hand.up());
        const std::string at = clock_ahead(5);
        by_hand.start(program("inside").c_str(), at.c_str(), "1111111");
        EXPECT_TRUE(by_hand.ends_on(IDC_EXIT));
        Kelvast k(switches("inside") + " -as");
        ASSERT_TRUE(k.up());
        const std::string shown = "Started " + today() + " " + at + ", exit code 7";
        ASSERT_TRUE(wait_until([&] { return k.part(1) == shown; }, 60000)) << k.part(1);
        kill(k);
        Kelvast again(switches("inside") + " -as");
        ASSERT_TRUE(again.up());
        EXPECT_EQ(again.part(1), shown);
        EXPECT_TRUE(wait_until([&] { return again.text(IDC_STATUS) == "Waiting to start program at " + at; }));
        EXPECT_FALSE(wait_until([&] { return runs("inside") != 1; }, 2000)) << "the window ran once";
        EXPECT_TRUE(again.ends_on(IDC_EXIT));
    }

    // Past the window's last second, the same schedules started again.
    ASSERT_TRUE(wait_until([&] { return GetTickCount() - armed > (8 + 62) * 1000; }, 90000));
    Kelvast missed(switches("missed"));
    ASSERT_TRUE(missed.up());
    missed.start(program("missed").c_str(), missed_at.c_str(), "1111111");
    const std::string told =
        "Missed " + today() + " " + missed_at + ": Kelvast was not running or the computer was off";
    EXPECT_TRUE(wait_until([&] { return missed.part(1) == told; })) << missed.part(1);
    EXPECT_EQ(runs("missed"), 0);

    Kelvast made_up(switches("made-up") + " -cu=1");
    ASSERT_TRUE(made_up.up());
    made_up.start(program("made-up").c_str(), missed_at.c_str(), "1111111");
    const std::regex started("Started " + today() + " \\d\\d:\\d\\d:\\d\\d \\(due " + missed_at + "\\), exit code 7");
    EXPECT_TRUE(wait_until([&] { return std::regex_match(made_up.part(1), started); }, 8000)) << made_up.part(1);
    EXPECT_EQ(runs("made-up"), 1);
}
