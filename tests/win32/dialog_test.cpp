// The main dialog in this process: created from the linked template with the real procedure and a
// context of its own per case, driven with the messages its controls and the worker send.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "res/resource.h"
#include "support/test_support.h"
#include "ui/main_dialog_win32.h"

namespace {

const int INPUT_IDS[] = {IDC_BROWSE, IDC_START,  IDC_TIME_HELP, IDC_PROGRAM, IDC_TIME,   IDC_DAY_SU,
                         IDC_DAY_MO, IDC_DAY_TU, IDC_DAY_WE,    IDC_DAY_TH,  IDC_DAY_FR, IDC_DAY_SA};

bool worker_gone(void* context) {
    return !static_cast<MainDialogContext*>(context)->scheduler.worker_running();
}

class MainDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        // The store's mode stays 0: these cases never read or write settings.
        context->instance = GetModuleHandleA(nullptr);
        dialog = CreateDialogParamA(context->instance, "DLG_KELVAST", nullptr, main_dialog_proc,
                                    reinterpret_cast<LPARAM>(context.get()));
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override {
        if (context->scheduler.worker_running()) {
            command(IDC_CANCEL);
            pump_until(worker_gone, context.get(), 5000);
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
    // Every input in the expected state, with Info and Cancel always enabled.
    void expect_inputs(bool enabled) {
        for (int id : INPUT_IDS) {
            EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE, enabled) << id;
        }
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_CANCEL)) && IsWindowEnabled(GetDlgItem(dialog, IDC_INFO)));
    }
    std::string days() {
        std::string mask;
        for (int i = 0; i < 7; ++i) {
            mask += IsDlgButtonChecked(dialog, IDC_DAY_SU + i) == BST_CHECKED ? '1' : '0';
        }
        return mask;
    }
    // No day ticked: the worker never launches anything.
    void start(const char* program, const char* time, const char* mask = "0000000") {
        SetDlgItemTextA(dialog, IDC_PROGRAM, program);
        SetDlgItemTextA(dialog, IDC_TIME, time);
        for (int i = 0; i < 7; ++i) {
            CheckDlgButton(dialog, IDC_DAY_SU + i, mask[i] == '1' ? BST_CHECKED : BST_UNCHECKED);
        }
        command(IDC_START);
    }

    std::unique_ptr<MainDialogContext> context{new MainDialogContext};
    HWND dialog = nullptr;
};

TEST_F(MainDialog, StartWaitsARepeatedStartUndoesCancelAndTheWorkerEndsOnce) {
    EXPECT_EQ(window_text(dialog), "Kelvast - Version 0.30");
    start("never.exe", "7.5,3");
    EXPECT_EQ(text(IDC_TIME), "07:05:03");
    EXPECT_EQ(text(IDC_STATUS), "Waiting to start program at 07:05:03");
    EXPECT_STREQ(context->scheduler.request().command_line, "never.exe");
    EXPECT_EQ(context->scheduler.request().target_second, 7u * 3600 + 5 * 60 + 3);
    EXPECT_TRUE(context->scheduler.worker_running());
    expect_inputs(false);

    // Enter while waiting, before the worker saw the Cancel: it runs on and nothing is added. The
    // worker polls just after each fifth of a second of the clock, so both go in well between two
    // polls.
    SYSTEMTIME now;
    do {
        Sleep(1);
        GetLocalTime(&now);
    } while (now.wMilliseconds % 200 < 10 || now.wMilliseconds % 200 > 100);
    command(IDC_CANCEL);
    EXPECT_TRUE(context->scheduler.stop_requested());
    SetDlgItemTextA(dialog, IDC_STATUS, "");
    command(IDOK);
    EXPECT_FALSE(context->scheduler.stop_requested());
    EXPECT_EQ(text(IDC_STATUS), "Waiting to start program at 07:05:03");
    EXPECT_EQ(combo(CB_GETCOUNT), 1);
    pump_until([](void*) { return false; }, nullptr, 400);
    EXPECT_TRUE(context->scheduler.worker_running());

    command(IDC_CANCEL);
    ASSERT_TRUE(pump_until(worker_gone, context.get(), 5000));
    EXPECT_EQ(text(IDC_STATUS), "Thread ended normally");
    expect_inputs(true);
    // The handle was forgotten, so the next Start gets a worker of its own.
    command(IDC_START);
    EXPECT_TRUE(context->scheduler.worker_running());
}

TEST_F(MainDialog, InvalidTimesLeaveTheDialogIdle) {
    for (const char* time : {"25:00:00", "12:60", "abc"}) {
        start("never.exe", time);
        EXPECT_EQ(text(IDC_STATUS), "Invalid time specified") << time;
        EXPECT_EQ(text(IDC_TIME), time) << "the typed text stays";
        EXPECT_FALSE(context->scheduler.worker_running()) << time;
        expect_inputs(true);
        EXPECT_EQ(combo(CB_GETCOUNT), 0) << time;
    }
}

TEST_F(MainDialog, HistoryListsNewestFirstAndOnlyAChangedSelectionLoadsAnEntry) {
    const struct {
        const char *program, *time, *mask;
    } runs[] = {{"notepad.exe", "10:00:00", "0100000"},
                {"calc.exe", "11:00:00", "1000001"},
                {"notepad.exe", "12:00:00", "0000010"},
                {"", "06:00:00", "0000001"}};  // runs, but is not remembered
    for (const auto& run : runs) {
        start(run.program, run.time, run.mask);
    }
    ASSERT_EQ(combo(CB_GETCOUNT), 2);
    char item[256];
    combo(CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "notepad.exe");
    combo(CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "calc.exe");
    EXPECT_EQ(text(IDC_TIME), "06:00:00") << "the inputs keep the entry that ran";

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

TEST_F(MainDialog, EveryExitStoresTheRectangleWithoutNegativeCoordinates) {
    MoveWindow(dialog, -200, -150, 600, 300, TRUE);
    RECT before;
    GetWindowRect(dialog, &before);
    ASSERT_TRUE(before.left < 0 && before.top < 0);
    for (int id : {IDCANCEL, IDABORT, IDC_EXIT}) {
        context->settings_saved = false;  // as in a dialog of its own: the first leaving saves
        context->settings.version = 0;
        context->settings.window = {1, 1, 1, 1};
        command(id);
        const WindowValues& stored = context->settings.window;
        EXPECT_EQ(stored.pos_x, 0u) << id;
        EXPECT_EQ(stored.pos_y, 0u) << id;
        EXPECT_EQ(stored.width, static_cast<uint32_t>(before.right - before.left)) << id;
        EXPECT_EQ(stored.height, static_cast<uint32_t>(before.bottom - before.top)) << id;
        EXPECT_EQ(context->settings.version, 30u) << id;
    }
}

TEST_F(MainDialog, ForeignMessagesChangeNothing) {
    EXPECT_EQ(main_dialog_proc(dialog, WM_COMMAND, 4242, 0), FALSE);
    EXPECT_EQ(main_dialog_proc(dialog, WM_USER, 77, 0), TRUE);
    EXPECT_EQ(text(IDC_STATUS), "") << "only WORKER_DONE ends a run";
}

}  // namespace
