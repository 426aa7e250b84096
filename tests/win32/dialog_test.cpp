// The main dialog in this process: created from the linked template with the real procedure and
// driven with the messages its controls and the worker send.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/program_state.h"
#include "app/program_state_win32.h"
#include "res/resource.h"
#include "schedule/worker_win32.h"
#include "support/test_support.h"
#include "ui/main_dialog_win32.h"

namespace {

const int INPUT_IDS[] = {IDC_BROWSE, IDC_START,  IDC_TIME_HELP, IDC_PROGRAM, IDC_TIME,   IDC_DAY_SU,
                         IDC_DAY_MO, IDC_DAY_TU, IDC_DAY_WE,    IDC_DAY_TH,  IDC_DAY_FR, IDC_DAY_SA};
const int ALWAYS_ENABLED_IDS[] = {IDC_INFO, IDC_CANCEL, IDC_EXIT};

bool worker_gone(void*) {
    return worker_thread == nullptr;
}

class MainDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        app_instance = GetModuleHandleA(nullptr);
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        settings_store.mode = 0;  // no store: these tests never read or write settings
        option_error_text[0] = '\0';
        history.buffer[0] = '\0';
        history.buffer[1] = '\0';
        reset_history_slots(history);
    }

    void TearDown() override {
        if (worker_thread != nullptr) {
            schedule_request.stop = true;
            pump_until(worker_gone, nullptr, 5000);
        }
        if (dialog != nullptr) {
            DestroyWindow(dialog);
        }
    }

    void create() {
        dialog = CreateDialogParamA(app_instance, "DLG_KELVAST", nullptr, main_dialog_proc, 0);
        ASSERT_NE(dialog, nullptr);
    }

    std::string text(int id) { return window_text(GetDlgItem(dialog, id)); }
    void set_text(int id, const char* value) { SetDlgItemTextA(dialog, id, value); }
    void command(int id) { SendMessageA(dialog, WM_COMMAND, id, 0); }
    bool enabled(int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

    void set_days(const char* mask) {
        for (int i = 0; i < 7; ++i) {
            CheckDlgButton(dialog, IDC_DAY_SU + i, mask[i] == '1' ? BST_CHECKED : BST_UNCHECKED);
        }
    }
    std::string days() {
        std::string mask;
        for (int i = 0; i < 7; ++i) {
            mask += IsDlgButtonChecked(dialog, IDC_DAY_SU + i) == BST_CHECKED ? '1' : '0';
        }
        return mask;
    }

    // Start, then Cancel and wait for the worker's notification.
    void run_and_cancel(const char* program, const char* time, const char* mask) {
        set_text(IDC_PROGRAM, program);
        set_text(IDC_TIME, time);
        set_days(mask);
        command(IDC_START);
        ASSERT_NE(worker_thread, nullptr) << text(IDC_STATUS);
        command(IDC_CANCEL);
        ASSERT_TRUE(pump_until(worker_gone, nullptr, 5000));
    }

    HWND dialog = nullptr;
};

TEST_F(MainDialog, StartsWithCaptionIconAndNoStatus) {
    create();
    EXPECT_EQ(window_text(dialog), "Kelvast - Version 0.30");
    EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(text(IDC_STATUS), "");
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PROGRAM, CB_GETCOUNT, 0, 0), 0);
    EXPECT_NE(SendDlgItemMessageA(dialog, IDC_PROGRAM, WM_GETFONT, 0, 0), 0);
}

TEST_F(MainDialog, StartNormalisesTheTimeAndWaits) {
    create();
    set_text(IDC_PROGRAM, "never.exe");
    set_text(IDC_TIME, "7.5,3");
    set_days("0000000");
    command(IDC_START);

    EXPECT_EQ(text(IDC_TIME), "07:05:03");
    EXPECT_EQ(text(IDC_STATUS), "Waiting to start program at 07:05:03");
    EXPECT_STREQ(schedule_request.command_line, "never.exe");
    EXPECT_EQ(schedule_request.target_second, 7u * 3600 + 5 * 60 + 3);
    EXPECT_NE(worker_thread, nullptr);
    for (int id : INPUT_IDS) {
        EXPECT_FALSE(enabled(id)) << id;
    }
    for (int id : ALWAYS_ENABLED_IDS) {
        EXPECT_TRUE(enabled(id)) << id;
    }
}

TEST_F(MainDialog, InvalidTimesLeaveTheDialogIdle) {
    const char* times[] = {"25:00:00", "12:60", "abc", ""};
    create();
    for (const char* time : times) {
        set_text(IDC_PROGRAM, "never.exe");
        set_text(IDC_TIME, time);
        command(IDC_START);
        EXPECT_EQ(text(IDC_STATUS), "Invalid time specified") << time;
        EXPECT_EQ(text(IDC_TIME), time) << "the typed text stays";
        EXPECT_EQ(worker_thread, nullptr) << time;
        EXPECT_TRUE(enabled(IDC_START)) << time;
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PROGRAM, CB_GETCOUNT, 0, 0), 0) << time;
    }
}

TEST_F(MainDialog, StartWhileWaitingKeepsTheWorkerAndClearsTheStopFlag) {
    create();
    set_text(IDC_PROGRAM, "never.exe");
    set_text(IDC_TIME, "23:30");
    set_days("0000000");
    command(IDC_START);
    HANDLE first = worker_thread;
    ASSERT_NE(first, nullptr);

    command(IDC_CANCEL);
    EXPECT_TRUE(schedule_request.stop);
    set_text(IDC_STATUS, "");
    command(IDOK);  // the Enter key

    EXPECT_EQ(worker_thread, first);
    EXPECT_FALSE(schedule_request.stop);
    EXPECT_EQ(text(IDC_STATUS), "Waiting to start program at 23:30:00");
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PROGRAM, CB_GETCOUNT, 0, 0), 1);
}

TEST_F(MainDialog, CancelEndsTheWorkerAndEnablesTheInputs) {
    create();
    run_and_cancel("never.exe", "01:00:00", "1111111");
    EXPECT_EQ(text(IDC_STATUS), "Thread ended normally");
    for (int id : INPUT_IDS) {
        EXPECT_TRUE(enabled(id)) << id;
    }
    // The handle was forgotten, so the next Start gets a worker of its own.
    command(IDC_START);
    EXPECT_NE(worker_thread, nullptr);
    EXPECT_EQ(text(IDC_STATUS), "Waiting to start program at 01:00:00");
}

TEST_F(MainDialog, HistoryListsNewestFirstAndRestoresASelection) {
    create();
    run_and_cancel("notepad.exe", "10:00:00", "0100000");
    run_and_cancel("calc.exe", "11:00:00", "1000001");
    run_and_cancel("notepad.exe", "12:00:00", "0000010");

    HWND combo = GetDlgItem(dialog, IDC_PROGRAM);
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 2);
    char item[256];
    SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "notepad.exe");
    SendMessageA(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "calc.exe");
    EXPECT_EQ(text(IDC_TIME), "12:00:00");
    EXPECT_EQ(days(), "0000010");

    // A notification for the item already shown must not undo what the user typed since.
    set_text(IDC_TIME, "09:09");
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PROGRAM, CBN_SETFOCUS), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(text(IDC_TIME), "09:09");

    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PROGRAM, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(text(IDC_TIME), "11:00:00");
    EXPECT_EQ(days(), "1000001");

    set_text(IDC_TIME, "08:00");
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PROGRAM, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(text(IDC_TIME), "08:00") << "selecting the same item again loads nothing";
}

TEST_F(MainDialog, EmptyCommandLineRunsButIsNotRemembered) {
    create();
    run_and_cancel("calc.exe", "11:00:00", "1000001");
    run_and_cancel("", "06:00:00", "0000001");
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PROGRAM, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(text(IDC_TIME), "06:00:00") << "the inputs keep the entry that ran";
    EXPECT_EQ(days(), "0000001");
}

TEST_F(MainDialog, ExitStoresTheWindowRectangleWithoutNegativeCoordinates) {
    const int exit_ids[] = {IDCANCEL, IDABORT, IDC_EXIT};
    for (int id : exit_ids) {
        create();
        ShowWindow(dialog, SW_SHOWNORMAL);
        MoveWindow(dialog, -200, -150, 600, 300, TRUE);
        RECT before;
        GetWindowRect(dialog, &before);
        ASSERT_LT(before.left, 0);
        ASSERT_LT(before.top, 0);
        version_value = 0;
        command(id);
        EXPECT_FALSE(IsWindowVisible(dialog)) << id;
        EXPECT_EQ(window_values.pos_x, 0u) << id;
        EXPECT_EQ(window_values.pos_y, 0u) << id;
        EXPECT_EQ(window_values.width, static_cast<uint32_t>(before.right - before.left)) << id;
        EXPECT_EQ(window_values.height, static_cast<uint32_t>(before.bottom - before.top)) << id;
        EXPECT_EQ(version_value, 30u) << id;
        DestroyWindow(dialog);
        dialog = nullptr;
    }
}

TEST_F(MainDialog, ExitWhileMinimisedStoresTheNormalRectangle) {
    create();
    ShowWindow(dialog, SW_SHOWNORMAL);
    MoveWindow(dialog, 140, 110, 620, 310, TRUE);
    ShowWindow(dialog, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(dialog));
    command(IDC_EXIT);
    EXPECT_EQ(window_values.pos_x, 140u);
    EXPECT_EQ(window_values.pos_y, 110u);
    EXPECT_EQ(window_values.width, 620u);
    EXPECT_EQ(window_values.height, 310u);
}

TEST_F(MainDialog, CommandResults) {
    create();
    struct Row {
        UINT message;
        WPARAM wparam;
        INT_PTR result;
    } rows[] = {
        {WM_COMMAND, 4242, FALSE},
        {WM_COMMAND, IDC_DAY_MO, FALSE},
        {WM_COMMAND, MAKEWPARAM(IDC_PROGRAM, CBN_EDITCHANGE), TRUE},
        {WM_USER, 0, TRUE},
        {WM_USER, 77, TRUE},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(main_dialog_proc(dialog, row.message, row.wparam, 0), row.result) << row.message << " " << row.wparam;
    }
    EXPECT_EQ(text(IDC_STATUS), "") << "a foreign WM_USER changes nothing";
}

}  // namespace
