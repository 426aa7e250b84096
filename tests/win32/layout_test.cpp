// The layout on the real "DLG_KELVAST" template: controls follow the frame, the minimum size holds
// while sizing, and the dialog snaps to the screen's edges.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>

#include "app/program_state.h"
#include "app/program_state_win32.h"
#include "res/resource.h"
#include "ui/main_dialog_win32.h"

static bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}
static std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace {

RECT client_rect_of(HWND dialog, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    POINT top_left{r.left, r.top};
    POINT bottom_right{r.right, r.bottom};
    ScreenToClient(dialog, &top_left);
    ScreenToClient(dialog, &bottom_right);
    return RECT{top_left.x, top_left.y, bottom_right.x, bottom_right.y};
}

struct ChildRects {
    HWND dialog;
    std::map<HWND, RECT> rects;
};

BOOL CALLBACK collect_child(HWND child, LPARAM context) {
    auto* children = reinterpret_cast<ChildRects*>(context);
    if (GetParent(child) == children->dialog) {
        children->rects[child] = client_rect_of(children->dialog, child);
    }
    return TRUE;
}

// How the edges of each anchored control follow the frame, as multiples of the size deltas.
struct Anchor {
    int id;
    int left_dw, right_dw;
};
const Anchor kAnchors[] = {
    {IDC_PROGRAM, 0, 1}, {IDC_TIME, 0, 1}, {IDC_INFO, 0, 0}, {IDC_START, 1, 1}, {IDC_CANCEL, 1, 1}, {IDC_EXIT, 1, 1},
};

bool is_anchored(int id) {
    for (const Anchor& a : kAnchors) {
        if (a.id == id) {
            return true;
        }
    }
    return id == IDC_STATUS;
}

class LayoutDialog : public testing::Test {
  protected:
    HWND dialog = nullptr;
    RECT start{};
    int width = 0;
    int height = 0;
    std::map<HWND, RECT> captured;

    void SetUp() override {
        InitCommonControls();
        // The real dialog procedure; with no store selected it restores nothing.
        app_instance = GetModuleHandleA(nullptr);
        settings_store.mode = 0;
        dialog = CreateDialogParamA(app_instance, "DLG_KELVAST", nullptr, main_dialog_proc, 0);
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
        ChildRects found{dialog, {}};
        EnumChildWindows(dialog, collect_child, reinterpret_cast<LPARAM>(&found));
        return found.rects;
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
        const std::map<HWND, RECT> now = children();
        RECT client{};
        GetClientRect(dialog, &client);
        for (const Anchor& a : kAnchors) {
            RECT expected = captured.at(item(a.id));
            expected.left += a.left_dw * dw;
            expected.right += a.right_dw * dw;
            EXPECT_EQ(now.at(item(a.id)), expected) << "control " << a.id << " at dw " << dw;
        }
        const RECT status_at_start = captured.at(item(IDC_STATUS));
        const LONG status_height = status_at_start.bottom - status_at_start.top;
        EXPECT_EQ(now.at(item(IDC_STATUS)), (RECT{0, client.bottom - status_height, client.right, client.bottom}));
        for (const auto& child : captured) {
            const int id = GetDlgCtrlID(child.first);
            if (!is_anchored(id)) {
                EXPECT_EQ(now.at(child.first), child.second) << "control " << id;
            }
        }
    }
};

TEST_F(LayoutDialog, ControlsFollowTheFrameAndComeBack) {
    MoveWindow(dialog, start.left, start.top, width + 100, height + 50, TRUE);
    EXPECT_EQ(window_rect(), (RECT{start.left, start.top, start.right + 100, start.bottom + 50}));
    expect_placed_for(100);

    MoveWindow(dialog, start.left, start.top, width, height + 120, TRUE);
    expect_placed_for(0);

    MoveWindow(dialog, start.left, start.top, width, height, TRUE);
    EXPECT_EQ(children(), captured);
}

TEST_F(LayoutDialog, RestoredRectangleIsKeptAndLaidOut) {
    // A saved rectangle may be smaller than the template: only interactive sizing is held back.
    const struct { int x, y, dw, dh; } restores[] = {{40, 60, 70, 30}, {100, 120, -60, 0}, {300, 200, 250, 90}};
    for (const auto& r : restores) {
        MoveWindow(dialog, r.x, r.y, width + r.dw, height + r.dh, TRUE);
        EXPECT_EQ(window_rect(), (RECT{r.x, r.y, r.x + width + r.dw, r.y + height + r.dh}));
        expect_placed_for(r.dw);
    }
}

TEST_F(LayoutDialog, SnapsToTheScreenEdges) {
    const int cx = GetSystemMetrics(SM_CXFULLSCREEN);
    const int cy = GetSystemMetrics(SM_CYFULLSCREEN);
    const struct {
        int x, y;
        int x_after, y_after;
    } moves[] = {
        {15, 200, 0, 200},
        {25, 200, 25, 200},
        {-15, 200, 0, 200},
        {200, 12, 200, 0},
        {cx - width + 10, 200, cx - width, 200},
        {cx - width - 25, 200, cx - width - 25, 200},
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
    const LONG l = 300, t = 200;
    const LONG r = l + width - 50, b = t + height - 40;
    const struct {
        WPARAM edge;
        RECT expected;
    } cases[] = {
        {WMSZ_LEFT, {r - width, t, r, b}},
        {WMSZ_RIGHT, {l, t, l + width, b}},
        {WMSZ_TOP, {l, b - height, r, b}},
        {WMSZ_BOTTOM, {l, t, r, t + height}},
        {WMSZ_TOPLEFT, {r - width, b - height, r, b}},
        {WMSZ_TOPRIGHT, {l, b - height, l + width, b}},
        {WMSZ_BOTTOMLEFT, {r - width, t, r, t + height}},
        {WMSZ_BOTTOMRIGHT, {l, t, l + width, t + height}},
    };
    for (const auto& c : cases) {
        RECT proposed{l, t, r, b};
        SendMessageA(dialog, WM_SIZING, c.edge, reinterpret_cast<LPARAM>(&proposed));
        EXPECT_EQ(proposed, c.expected) << "edge " << c.edge;
    }
    RECT exact{l, t, l + width, t + height};
    SendMessageA(dialog, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&exact));
    EXPECT_EQ(exact, (RECT{l, t, l + width, t + height}));
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
