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
        history.buffer[0] = history.buffer[1] = '\0';
        reset_history_slots(history);
        dialog = CreateDialogParamA(app_instance, "DLG_KELVAST", nullptr, main_dialog_proc, 0);
        ASSERT_NE(dialog, nullptr);
    }

    void TearDown() override {
        if (worker_thread != nullptr) {
            schedule_request.stop = true;
            pump_until(worker_gone, nullptr, 5000);
        }
        DestroyWindow(dialog);
    }

    std::string text(int id) { return window_text(GetDlgItem(dialog, id)); }
    void command(int id, int code = 0) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    LRESULT combo(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
        return SendDlgItemMessageA(dialog, IDC_PROGRAM, message, wparam, lparam);
    }
    bool inputs_enabled(bool expected) {
        for (int id : INPUT_IDS) {
            EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE, expected) << id;
        }
        return IsWindowEnabled(GetDlgItem(dialog, IDC_CANCEL)) && IsWindowEnabled(GetDlgItem(dialog, IDC_INFO));
    }
    std::string days() {
        std::string mask;
        for (int i = 0; i < 7; ++i) {
            mask += IsDlgButtonChecked(dialog, IDC_DAY_SU + i) == BST_CHECKED ? '1' : '0';
        }
        return mask;
    }
    void start(const char* program, const char* time, const char* mask = "0000000") {
        SetDlgItemTextA(dialog, IDC_PROGRAM, program);
        SetDlgItemTextA(dialog, IDC_TIME, time);
        for (int i = 0; i < 7; ++i) {
            CheckDlgButton(dialog, IDC_DAY_SU + i, mask[i] == '1' ? BST_CHECKED : BST_UNCHECKED);
        }
        command(IDC_START);
    }
    // Cancel and wait for the worker's notification.
    void cancel() {
        ASSERT_NE(worker_thread, nullptr) << text(IDC_STATUS);
        command(IDC_CANCEL);
        ASSERT_TRUE(pump_until(worker_gone, nullptr, 5000));
    }

    HWND dialog = nullptr;
};

TEST_F(MainDialog, StartNormalisesTheTimeWaitsAndCancelEndsTheWorker) {
    EXPECT_EQ(window_text(dialog), "Kelvast - Version 0.30");
    EXPECT_EQ(text(IDC_STATUS), "");
    start("never.exe", "7.5,3");
    EXPECT_EQ(text(IDC_TIME), "07:05:03");
    EXPECT_EQ(text(IDC_STATUS), "Waiting to start program at 07:05:03");
    EXPECT_STREQ(schedule_request.command_line, "never.exe");
    EXPECT_EQ(schedule_request.target_second, 7u * 3600 + 5 * 60 + 3);
    EXPECT_TRUE(inputs_enabled(false));

    cancel();
    EXPECT_EQ(text(IDC_STATUS), "Thread ended normally");
    EXPECT_TRUE(inputs_enabled(true));
    // The handle was forgotten, so the next Start gets a worker of its own.
    command(IDC_START);
    EXPECT_NE(worker_thread, nullptr);
}

TEST_F(MainDialog, InvalidTimesLeaveTheDialogIdle) {
    for (const char* time : {"25:00:00", "12:60", "abc", ""}) {
        start("never.exe", time);
        EXPECT_EQ(text(IDC_STATUS), "Invalid time specified") << time;
        EXPECT_EQ(text(IDC_TIME), time) << "the typed text stays";
        EXPECT_EQ(worker_thread, nullptr) << time;
        EXPECT_TRUE(inputs_enabled(true)) << time;
        EXPECT_EQ(combo(CB_GETCOUNT), 0) << time;
    }
}

TEST_F(MainDialog, StartWhileWaitingKeepsTheWorkerAndClearsTheStopFlag) {
    start("never.exe", "23:30");
    HANDLE first = worker_thread;
    ASSERT_NE(first, nullptr);
    command(IDC_CANCEL);
    SetDlgItemTextA(dialog, IDC_STATUS, "");
    command(IDOK);  // the Enter key
    EXPECT_EQ(worker_thread, first);
    EXPECT_FALSE(schedule_request.stop);
    EXPECT_EQ(text(IDC_STATUS), "Waiting to start program at 23:30:00");
    EXPECT_EQ(combo(CB_GETCOUNT), 1);
}

TEST_F(MainDialog, HistoryListsNewestFirstAndRestoresASelection) {
    const struct {
        const char *program, *time, *mask;
    } runs[] = {{"notepad.exe", "10:00:00", "0100000"},
                {"calc.exe", "11:00:00", "1000001"},
                {"notepad.exe", "12:00:00", "0000010"},
                {"", "06:00:00", "0000001"}};  // runs, but is not remembered
    for (const auto& run : runs) {
        start(run.program, run.time, run.mask);
        cancel();
    }
    ASSERT_EQ(combo(CB_GETCOUNT), 2);
    char item[256];
    combo(CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "notepad.exe");
    combo(CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "calc.exe");
    EXPECT_EQ(text(IDC_TIME), "06:00:00") << "the inputs keep the entry that ran";

    // Only a changed selection loads an entry; other notifications keep what the user typed.
    SetDlgItemTextA(dialog, IDC_TIME, "09:09");
    command(IDC_PROGRAM, CBN_SETFOCUS);
    EXPECT_EQ(text(IDC_TIME), "09:09");
    combo(CB_SETCURSEL, 1);
    command(IDC_PROGRAM, CBN_SELCHANGE);
    EXPECT_EQ(text(IDC_TIME), "11:00:00");
    EXPECT_EQ(days(), "1000001");
    SetDlgItemTextA(dialog, IDC_TIME, "08:00");
    command(IDC_PROGRAM, CBN_SELCHANGE);
    EXPECT_EQ(text(IDC_TIME), "08:00");
}

TEST_F(MainDialog, ExitStoresTheWindowRectangleWithoutNegativeCoordinates) {
    for (int id : {IDCANCEL, IDABORT, IDC_EXIT}) {
        ShowWindow(dialog, SW_SHOWNORMAL);
        MoveWindow(dialog, -200, -150, 600, 300, TRUE);
        RECT before;
        GetWindowRect(dialog, &before);
        ASSERT_TRUE(before.left < 0 && before.top < 0);
        version_value = 0;
        window_values = {};
        command(id);
        EXPECT_FALSE(IsWindowVisible(dialog)) << id;
        EXPECT_EQ(window_values.pos_x, 0u) << id;
        EXPECT_EQ(window_values.pos_y, 0u) << id;
        EXPECT_EQ(window_values.width, static_cast<uint32_t>(before.right - before.left)) << id;
        EXPECT_EQ(window_values.height, static_cast<uint32_t>(before.bottom - before.top)) << id;
        EXPECT_EQ(version_value, 30u) << id;
    }
}

TEST_F(MainDialog, ForeignMessagesChangeNothing) {
    EXPECT_EQ(main_dialog_proc(dialog, WM_COMMAND, 4242, 0), FALSE);
    EXPECT_EQ(main_dialog_proc(dialog, WM_USER, 77, 0), TRUE);
    EXPECT_EQ(text(IDC_STATUS), "") << "only WORKER_DONE ends a run";
}

}  // namespace
