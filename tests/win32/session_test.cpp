// kelvast.exe when Windows ends the session: a cancelled log-off changes nothing, a real one saves
// what Exit saves before the process is ended from outside, as the system does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "support/kelvast_driver.h"
#include "support/test_support.h"

namespace {

const char* const WAITING = "Waiting to start program at 02:00:00";

LRESULT send(const Kelvast& kelvast, UINT message, WPARAM wparam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(kelvast.dialog, message, wparam, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &result);
    return static_cast<LRESULT>(result);
}

// Asks, is told no by another program, then ends for real and is terminated; returns the rectangle
// the dialog had.
RECT end_session(Kelvast& kelvast) {
    EXPECT_NE(send(kelvast, WM_QUERYENDSESSION, 0), 0) << "log-off refused";
    send(kelvast, WM_ENDSESSION, FALSE);
    EXPECT_TRUE(kelvast.running());
    EXPECT_EQ(kelvast.text(IDC_STATUS), WAITING);
    EXPECT_FALSE(IsWindowEnabled(kelvast.item(IDC_START)));
    EXPECT_FALSE(program_key_exists()) << "a cancelled log-off saved";
    RECT rect = kelvast.rect();
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (IsIconic(kelvast.dialog) && GetWindowPlacement(kelvast.dialog, &placement)) {
        rect = placement.rcNormalPosition;  // no taskbar under Xvfb: work area and screen agree
    }
    send(kelvast, WM_ENDSESSION, TRUE);
    TerminateProcess(kelvast.process.hProcess, 1);
    WaitForSingleObject(kelvast.process.hProcess, 5000);
    return rect;
}

std::string ini_value(const std::string& path, const char* section, const char* name) {
    char text[4096];
    DWORD n = GetPrivateProfileStringA(section, name, "<missing>", text, sizeof text, path.c_str());
    return std::string(text, n);
}

TEST(Session, EndSavesWhatExitSavesInTheChosenStores) {
    const std::string history = std::string("backup.bat") + '\0' + "02:00:00" + '\0' + "0100010" + '\0' + '\0';
    const std::string ini = fresh_temp_dir("session") + "\\end session.ini";
    const struct {
        const char* name;
        std::string switches;
        bool registry;
        bool ini;
    } rows[] = {
        {"registry", "", true, false},
        {"ini file", "-rd -if=\"" + ini + "\"", false, true},
        {"no store", "-rd -id", false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY);
        DeleteFileA(ini.c_str());
        Kelvast kelvast(row.switches);
        ASSERT_NE(kelvast.dialog, nullptr);
        kelvast.start("backup.bat", "2", "0100010");
        ASSERT_EQ(kelvast.text(IDC_STATUS), WAITING);
        const RECT r = end_session(kelvast);

        EXPECT_EQ(program_key_exists(), row.registry);
        if (row.registry) {
            DWORD type = 0;
            std::string bytes;
            EXPECT_TRUE(stored_value("Settings", "History", type, bytes));
            EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
            EXPECT_EQ(bytes, history);
            const DWORD expected[] = {static_cast<DWORD>(r.left), static_cast<DWORD>(r.top),
                                      static_cast<DWORD>(r.right - r.left), static_cast<DWORD>(r.bottom - r.top), 30};
            const char* names[][2] = {{"Window", "PosX"},
                                      {"Window", "PosY"},
                                      {"Window", "Width"},
                                      {"Window", "Height"},
                                      {"Program", "Version"}};
            for (int i = 0; i < 5; ++i) {
                EXPECT_EQ(stored_number(names[i][0], names[i][1]), expected[i]) << names[i][1];
            }
        }
        EXPECT_EQ(file_exists(ini), row.ini);
        if (row.ini) {
            EXPECT_EQ(ini_value(ini, "Settings", "History"), "backup.bat%_02:00:00%_0100010");
            EXPECT_EQ(ini_value(ini, "Window", "Width"), std::to_string(r.right - r.left));
            EXPECT_EQ(ini_value(ini, "Program", "Version"), "30");
        }
    }
    EXPECT_FALSE(file_exists(path_beside_test("Kelvast.ini")));
}

// Waiting minimised from -as: the size the user gave the window is stored, not the icon's.
TEST(Session, EndWhileMinimisedStoresTheRestoredRectangle) {
    RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY);
    const RECT given{140, 90, 140 + 700, 90 + 260};
    {
        Kelvast kelvast("");
        ASSERT_NE(kelvast.dialog, nullptr);
        kelvast.start("backup.bat", "02:00:00", "0100010");
        kelvast.command(IDC_CANCEL);
        ASSERT_TRUE(kelvast.status_becomes("Thread ended normally"));
        MoveWindow(kelvast.dialog, given.left, given.top, given.right - given.left, given.bottom - given.top, TRUE);
        ASSERT_TRUE(kelvast.exit());
    }
    Kelvast kelvast("-as");
    ASSERT_NE(kelvast.dialog, nullptr);
    ASSERT_TRUE(wait_until([&] { return IsIconic(kelvast.dialog) != FALSE; }));
    ASSERT_TRUE(kelvast.status_becomes(WAITING));
    RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY);
    end_session(kelvast);
    EXPECT_EQ(stored_number("Window", "PosX"), static_cast<DWORD>(given.left));
    EXPECT_EQ(stored_number("Window", "PosY"), static_cast<DWORD>(given.top));
    EXPECT_EQ(stored_number("Window", "Width"), static_cast<DWORD>(given.right - given.left));
    EXPECT_EQ(stored_number("Window", "Height"), static_cast<DWORD>(given.bottom - given.top));
}

}  // namespace
