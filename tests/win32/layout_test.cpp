// The layout on the real "DLG_KELVAST" template: controls follow the frame, the minimum size holds
// while sizing, and the dialog snaps to the screen's edges.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "res/resource.h"
#include "ui/main_dialog_win32.h"

static bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}
static std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace {

// Every control of the dialog (not the combo box's own edit) in the dialog's client coordinates.
BOOL CALLBACK collect_child(HWND child, LPARAM context) {
    HWND dialog = GetAncestor(child, GA_ROOT);
    if (GetParent(child) == dialog) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        (*reinterpret_cast<std::map<HWND, RECT>*>(context))[child] = r;
    }
    return TRUE;
}

// How the left and right edges of each anchored control follow the frame's width delta.
const struct {
    int id, left_dw, right_dw;
} kAnchors[] = {
    {IDC_PROGRAM, 0, 1}, {IDC_TIME, 0, 1}, {IDC_INFO, 0, 0}, {IDC_START, 1, 1}, {IDC_CANCEL, 1, 1}, {IDC_EXIT, 1, 1},
};

class LayoutDialog : public testing::Test {
  protected:
    std::unique_ptr<MainDialogContext> context{new MainDialogContext};
    HWND dialog = nullptr;
    RECT start{};
    int width = 0;
    int height = 0;
    std::map<HWND, RECT> captured;

    void SetUp() override {
        InitCommonControls();
        // The real dialog procedure; with no store selected it restores nothing.
        context->instance = GetModuleHandleA(nullptr);
        dialog = CreateDialogParamA(context->instance, "DLG_KELVAST", nullptr, main_dialog_proc,
                                    reinterpret_cast<LPARAM>(context.get()));
        ASSERT_NE(dialog, nullptr);
        // Left hidden, as while the saved rectangle is restored at start; Wine also takes two
        // seconds to take a shown window down when no window manager runs.
        GetWindowRect(dialog, &start);
        width = start.right - start.left;
        height = start.bottom - start.top;
        captured = children();
    }
    void TearDown() override {
        if (dialog != nullptr) {
            DestroyWindow(dialog);
        }
    }
    std::map<HWND, RECT> children() {
        std::map<HWND, RECT> rects;
        EnumChildWindows(dialog, collect_child, reinterpret_cast<LPARAM>(&rects));
        return rects;
    }
    HWND item(int id) { return GetDlgItem(dialog, id); }
    RECT window_rect() {
        RECT r{};
        GetWindowRect(dialog, &r);
        return r;
    }

    // Every control where the anchors put it for a frame dw wider than at start; the status bar
    // keeps its own height along the client area's bottom; everything else stays put.
    void expect_placed_for(int dw) {
        std::map<HWND, RECT> expected = captured;
        for (const auto& a : kAnchors) {
            expected[item(a.id)].left += a.left_dw * dw;
            expected[item(a.id)].right += a.right_dw * dw;
        }
        RECT client{};
        GetClientRect(dialog, &client);
        const RECT status = captured.at(item(IDC_STATUS));
        expected[item(IDC_STATUS)] = RECT{0, client.bottom - (status.bottom - status.top), client.right, client.bottom};
        EXPECT_EQ(children(), expected) << "dw " << dw;
    }
};

TEST_F(LayoutDialog, ControlsFollowTheFrameAndComeBack) {
    // A restored rectangle may be smaller than the template: only interactive sizing is held back.
    const struct {
        int x, y, dw, dh;
    } sizes[] = {{start.left, start.top, 100, 50}, {start.left, start.top, 0, 120}, {100, 120, -60, 0}};
    for (const auto& r : sizes) {
        MoveWindow(dialog, r.x, r.y, width + r.dw, height + r.dh, TRUE);
        EXPECT_EQ(window_rect(), (RECT{r.x, r.y, r.x + width + r.dw, r.y + height + r.dh}));
        expect_placed_for(r.dw);
    }
    MoveWindow(dialog, start.left, start.top, width, height, TRUE);
    EXPECT_EQ(children(), captured);
}

TEST_F(LayoutDialog, SnapsToTheScreenEdges) {
    const int cx = GetSystemMetrics(SM_CXFULLSCREEN);
    const int cy = GetSystemMetrics(SM_CYFULLSCREEN);
    const struct {
        int x, y, x_after, y_after;
    } moves[] = {
        {15, 200, 0, 200},
        {-15, 200, 0, 200},
        {25, 200, 25, 200},
        {200, 12, 200, 0},
        {cx - width + 10, 200, cx - width, 200},
        {200, cy - height - 19, 200, cy - height},
    };
    for (const auto& m : moves) {
        MoveWindow(dialog, m.x, m.y, width, height, TRUE);
        EXPECT_EQ(window_rect(), (RECT{m.x_after, m.y_after, m.x_after + width, m.y_after + height}))
            << "moved to " << m.x << "," << m.y;
    }
    EXPECT_EQ(children(), captured);
}

TEST_F(LayoutDialog, SizingKeepsTheMinimumSize) {
    const LONG l = 300, t = 200, r = l + width - 50, b = t + height - 40;
    const struct {
        WPARAM edge;
        RECT proposed, expected;
    } cases[] = {
        {WMSZ_LEFT, {l, t, r, b}, {r - width, t, r, b}},
        {WMSZ_BOTTOMRIGHT, {l, t, r, b}, {l, t, l + width, t + height}},
        {WMSZ_TOPLEFT, {l, t, r, b}, {r - width, b - height, r, b}},
        {WMSZ_BOTTOMRIGHT, {l, t, l + width, t + height}, {l, t, l + width, t + height}},
    };
    for (const auto& c : cases) {
        RECT rect = c.proposed;
        SendMessageA(dialog, WM_SIZING, c.edge, reinterpret_cast<LPARAM>(&rect));
        EXPECT_EQ(rect, c.expected) << "edge " << c.edge;
    }
}

TEST_F(LayoutDialog, MaximizedDialogIsLaidOutWhereTheSystemPutIt) {
    // The same template without the layout shows where the system puts a maximised dialog.
    auto plain_proc = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    HWND plain = CreateDialogParamA(GetModuleHandleA(nullptr), "DLG_KELVAST", nullptr, plain_proc, 0);
    ASSERT_NE(plain, nullptr);
    ShowWindow(plain, SW_MAXIMIZE);
    RECT expected{};
    GetWindowRect(plain, &expected);
    DestroyWindow(plain);

    ShowWindow(dialog, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(dialog));
    EXPECT_EQ(window_rect(), expected);
    expect_placed_for((expected.right - expected.left) - width);
    ShowWindow(dialog, SW_RESTORE);
    EXPECT_EQ(window_rect(), start);
    EXPECT_EQ(children(), captured);
}

}  // namespace
