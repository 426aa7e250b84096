// The main dialog's layout over a recording fake of the window system.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <ostream>
#include <vector>

#include "app/program_state.h"
#include "res/resource.h"
#include "ui/layout.h"

// Beside LayoutRect so that lookup finds them from GoogleTest and the standard library.
static bool operator==(const LayoutRect& a, const LayoutRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
static std::ostream& operator<<(std::ostream& os, const LayoutRect& r) {
    return os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace {

struct Move {
    int32_t id;
    LayoutRect rect;
};

// Behaves like the platform: a dialog move that changes the position reports WM_MOVE before it
// returns, a size change WM_SIZE; moving a control reports nothing.
class FakeWindows final : public WindowOps {
  public:
    Layout* layout = nullptr;
    LayoutRect dialog{200, 150, 701, 380};
    std::map<int32_t, LayoutRect> controls{
        {IDC_STATUS, {0, 178, 495, 200}}, {IDC_PROGRAM, {81, 18, 486, 148}}, {IDC_TIME, {81, 58, 486, 78}},
        {IDC_INFO, {16, 138, 84, 162}},   {IDC_START, {249, 138, 317, 162}}, {IDC_CANCEL, {331, 138, 399, 162}},
        {IDC_EXIT, {414, 138, 482, 162}}, {IDC_BROWSE, {16, 16, 72, 40}},
    };
    int32_t screen_width = 1024;
    int32_t screen_height = 740;
    bool maximized = false;
    int32_t drift = 0;  // a window manager that never puts the dialog quite where it is asked
    std::vector<Move> control_moves;
    std::vector<LayoutRect> dialog_moves;

    bool dialog_rect(LayoutRect& rect) override {
        rect = dialog;
        return true;
    }
    bool dialog_minimized_or_maximized() override { return maximized; }
    bool control_client_rect(int32_t id, LayoutRect& rect) override {
        auto it = controls.find(id);
        if (it == controls.end()) {
            return false;
        }
        rect = it->second;
        return true;
    }
    void move_control(int32_t id, int32_t x, int32_t y, int32_t w, int32_t h) override {
        const LayoutRect r{x, y, x + w, y + h};
        control_moves.push_back({id, r});
        controls[id] = r;
    }
    void move_dialog(int32_t x, int32_t y, int32_t w, int32_t h) override {
        dialog_moves.push_back({x, y, x + w, y + h});
        const LayoutRect old = dialog;
        x += drift;
        drift += drift > 0 ? 3 : 0;
        dialog = {x, y, x + w, y + h};
        if (old.left != dialog.left || old.top != dialog.top) {
            handle_layout_message(*layout, *this, LAYOUT_WM_MOVE, 0, 0);
        }
        if (old.right - old.left != w || old.bottom - old.top != h) {
            handle_layout_message(*layout, *this, LAYOUT_WM_SIZE, 0, 0);
        }
    }
    int32_t full_screen_width() override { return screen_width; }
    int32_t full_screen_height() override { return screen_height; }

    // The user drags the frame: the platform reports the new size with WM_SIZE.
    void resize_by(int32_t dw, int32_t dh) {
        dialog.right = dialog.left + 501 + dw;
        dialog.bottom = dialog.top + 230 + dh;
        control_moves.clear();
        handle_layout_message(*layout, *this, LAYOUT_WM_SIZE, 0, 0);
    }
    std::vector<int32_t> moved_ids() const {
        std::vector<int32_t> ids;
        for (const Move& m : control_moves) {
            ids.push_back(m.id);
        }
        return ids;
    }
};

// The program's own table, copied so every test starts from zeroed rectangles.
struct MainLayout {
    LayoutEntry table[MAIN_LAYOUT_ROW_COUNT];
    Layout layout{table, MAIN_LAYOUT_ROW_COUNT, 0, 0, 0, 0, false};
    FakeWindows windows;

    explicit MainLayout(bool capture = true) {
        std::copy(main_layout_table, main_layout_table + MAIN_LAYOUT_ROW_COUNT, table);
        windows.layout = &layout;
        if (capture) {
            capture_layout(layout, windows);
        }
    }
    int send(uint32_t message, uintptr_t wparam = 0, intptr_t lparam = 0) {
        return handle_layout_message(layout, windows, message, wparam, lparam);
    }
};

TEST(Layout, PlacementForGrowAndShrink) {
    const LayoutRect info{16, 138, 84, 162};
    struct Case {
        int32_t dw, dh;
        LayoutRect status, program, time, start, cancel, exit;
    } cases[] = {
        {100,
         0,
         {0, 178, 595, 200},
         {81, 18, 586, 148},
         {81, 58, 586, 78},
         {349, 138, 417, 162},
         {431, 138, 499, 162},
         {514, 138, 582, 162}},
        {0,
         50,
         {0, 228, 495, 300},
         {81, 18, 486, 148},
         {81, 58, 486, 78},
         {249, 138, 317, 162},
         {331, 138, 399, 162},
         {414, 138, 482, 162}},
        {100,
         50,
         {0, 228, 595, 300},
         {81, 18, 586, 148},
         {81, 58, 586, 78},
         {349, 138, 417, 162},
         {431, 138, 499, 162},
         {514, 138, 582, 162}},
        // The status bar's height would go negative: it is handed over as zero.
        {-40,
         -30,
         {0, 148, 455, 148},
         {81, 18, 446, 148},
         {81, 58, 446, 78},
         {209, 138, 277, 162},
         {291, 138, 359, 162},
         {374, 138, 442, 162}},
        // Far below the minimum (a restored or minimised rectangle): widths clamp, positions do not.
        {-600,
         -100,
         {0, 78, 0, 78},
         {81, 18, 81, 148},
         {81, 58, 81, 78},
         {-351, 138, -283, 162},
         {-269, 138, -201, 162},
         {-186, 138, -118, 162}},
    };
    for (const Case& c : cases) {
        MainLayout m;
        m.windows.resize_by(c.dw, c.dh);
        auto& at = m.windows.controls;
        SCOPED_TRACE(testing::Message() << c.dw << " x " << c.dh);
        EXPECT_EQ(at[IDC_STATUS], c.status);
        EXPECT_EQ(at[IDC_PROGRAM], c.program);
        EXPECT_EQ(at[IDC_TIME], c.time);
        EXPECT_EQ(at[IDC_INFO], info);
        EXPECT_EQ(at[IDC_START], c.start);
        EXPECT_EQ(at[IDC_CANCEL], c.cancel);
        EXPECT_EQ(at[IDC_EXIT], c.exit);
        EXPECT_EQ(at[IDC_BROWSE], (LayoutRect{16, 16, 72, 40}));
        for (const Move& move : m.windows.control_moves) {
            EXPECT_GE(move.rect.right, move.rect.left);
            EXPECT_GE(move.rect.bottom, move.rect.top);
        }
    }
}

TEST(Layout, MoveOrderFollowsTheGrowingOrShrinkingEdge) {
    const std::vector<int32_t> wider = {IDC_EXIT, IDC_CANCEL, IDC_START, IDC_PROGRAM, IDC_TIME, IDC_INFO, IDC_STATUS};
    const std::vector<int32_t> narrower = {IDC_STATUS, IDC_INFO,   IDC_PROGRAM, IDC_TIME,
                                           IDC_START,  IDC_CANCEL, IDC_EXIT};
    const std::vector<int32_t> taller = {IDC_STATUS, IDC_INFO, IDC_START, IDC_CANCEL, IDC_EXIT, IDC_TIME, IDC_PROGRAM};
    const std::vector<int32_t> shorter = {IDC_PROGRAM, IDC_TIME, IDC_INFO, IDC_START, IDC_CANCEL, IDC_EXIT, IDC_STATUS};
    std::vector<int32_t> both = wider;
    both.insert(both.end(), taller.begin(), taller.end());
    struct Case {
        int32_t dw, dh;
        std::vector<int32_t> order;
    } cases[] = {
        {100, 0, wider}, {-100, 0, narrower}, {0, 50, taller}, {0, -50, shorter}, {100, 50, both}, {0, 0, {}},
    };
    for (const Case& c : cases) {
        MainLayout m;
        m.windows.resize_by(c.dw, c.dh);
        EXPECT_EQ(m.windows.moved_ids(), c.order) << c.dw << " x " << c.dh;
    }
}

TEST(Layout, WidthChangeKeepsTheLastVerticalPlacement) {
    MainLayout m;
    m.windows.resize_by(0, 50);
    m.windows.resize_by(100, 50);
    ASSERT_EQ(m.windows.control_moves.size(), 7u);
    EXPECT_EQ(m.windows.controls[IDC_STATUS], (LayoutRect{0, 228, 595, 300}));
    m.windows.resize_by(100, 50);
    EXPECT_TRUE(m.windows.control_moves.empty());
}

TEST(Layout, BothDimensionsPlaceFirstForTheNewWidthAtTheOldHeight) {
    MainLayout m;
    m.windows.resize_by(0, 20);
    m.windows.resize_by(100, 50);
    std::vector<LayoutRect> status, program;
    for (const Move& move : m.windows.control_moves) {
        if (move.id == IDC_STATUS) {
            status.push_back(move.rect);
        } else if (move.id == IDC_PROGRAM) {
            program.push_back(move.rect);
        }
    }
    EXPECT_EQ(status, (std::vector<LayoutRect>{{0, 198, 595, 240}, {0, 228, 595, 300}}));
    EXPECT_EQ(program, (std::vector<LayoutRect>{{81, 18, 586, 148}, {81, 18, 586, 148}}));
}

TEST(Layout, EveryPlacementIsComputedFromTheCapturedRects) {
    MainLayout m;
    const std::map<int32_t, LayoutRect> captured = m.windows.controls;
    const int32_t sizes[][2] = {{37, 11}, {-23, 80}, {300, -5}, {13, 13}, {-501, -230}};
    for (const auto& s : sizes) {
        m.windows.resize_by(s[0], s[1]);
        MainLayout direct;
        direct.windows.resize_by(s[0], s[1]);
        EXPECT_EQ(m.windows.controls, direct.windows.controls) << s[0] << " x " << s[1];
    }
    m.windows.resize_by(0, 0);
    EXPECT_EQ(m.windows.controls, captured);
}

TEST(Layout, MinimumSizeCorrectsTheDraggedEdge) {
    const int32_t kMin = INT32_MIN;
    const int32_t kMax = INT32_MAX;
    struct Case {
        uintptr_t edge;
        LayoutRect proposed, expected;
    } cases[] = {
        {EDGE_RIGHT, {100, 100, 400, 200}, {100, 100, 601, 200}},
        {EDGE_LEFT, {100, 100, 400, 200}, {-101, 100, 400, 200}},
        {EDGE_BOTTOM, {100, 100, 400, 200}, {100, 100, 400, 330}},
        {EDGE_TOP, {100, 100, 400, 200}, {100, -30, 400, 200}},
        {EDGE_TOPLEFT, {100, 100, 400, 200}, {-101, -30, 400, 200}},
        {EDGE_TOPRIGHT, {100, 100, 400, 200}, {100, -30, 601, 200}},
        {EDGE_BOTTOMLEFT, {100, 100, 400, 200}, {-101, 100, 400, 330}},
        {EDGE_BOTTOMRIGHT, {100, 100, 400, 200}, {100, 100, 601, 330}},
        {EDGE_BOTTOMRIGHT, {100, 100, 600, 329}, {100, 100, 601, 330}},
        {EDGE_BOTTOMRIGHT, {100, 100, 601, 329}, {100, 100, 601, 330}},
        {EDGE_BOTTOMRIGHT, {100, 100, 601, 330}, {100, 100, 601, 330}},
        {EDGE_TOPLEFT, {100, 100, 601, 330}, {100, 100, 601, 330}},
        {EDGE_LEFT, {100, 100, 700, 400}, {100, 100, 700, 400}},
        {0, {100, 100, 101, 101}, {100, 100, 101, 101}},
        {9, {100, 100, 101, 101}, {100, 100, 101, 101}},
        {EDGE_LEFT, {kMin, 0, kMin, 0}, {kMin, 0, kMin, 0}},
        {EDGE_BOTTOMRIGHT, {kMax - 5, kMax - 5, kMax - 5, kMax - 5}, {kMax - 5, kMax - 5, kMax, kMax}},
        {EDGE_RIGHT, {kMax, 0, kMin, 0}, {kMax, 0, kMax, 0}},
    };
    for (const Case& c : cases) {
        MainLayout m;
        LayoutRect r = c.proposed;
        EXPECT_EQ(m.send(LAYOUT_WM_SIZING, c.edge, reinterpret_cast<intptr_t>(&r)), 1);
        EXPECT_EQ(r, c.expected) << "edge " << c.edge << " on " << c.proposed;
    }
    MainLayout m;
    EXPECT_EQ(m.send(LAYOUT_WM_SIZING, EDGE_LEFT, 0), 1);
}

TEST(Layout, SnapsWithinTwentyPixelsOfEachLine) {
    // Screen lines at x 0 and 1024, y 0 and 740; the dialog is 300 x 200 unless given.
    struct Case {
        int32_t left, top, width, height;
        int32_t left_after, top_after;
    } cases[] = {
        {19, 300, 300, 200, 0, 300},    {-19, 300, 300, 200, 0, 300},   {20, 300, 300, 200, 20, 300},
        {-20, 300, 300, 200, -20, 300}, {300, 19, 300, 200, 300, 0},    {300, -19, 300, 200, 300, 0},
        {300, 20, 300, 200, 300, 20},   {300, -20, 300, 200, 300, -20}, {705, 300, 300, 200, 724, 300},
        {743, 300, 300, 200, 724, 300}, {704, 300, 300, 200, 704, 300}, {744, 300, 300, 200, 744, 300},
        {715, 300, 300, 200, 724, 300}, {300, 521, 300, 200, 300, 540}, {300, 559, 300, 200, 300, 540},
        {300, 520, 300, 200, 300, 520}, {300, 560, 300, 200, 300, 560}, {10, 530, 300, 200, 0, 540},
        {300, 300, 300, 200, 300, 300}, {5, 300, 1014, 200, 10, 300},   {300, 5, 300, 730, 300, 10},
        {724, 540, 300, 200, 724, 540}, {0, 0, 300, 200, 0, 0},
    };
    for (const Case& c : cases) {
        MainLayout m;
        m.windows.dialog = {c.left, c.top, c.left + c.width, c.top + c.height};
        EXPECT_EQ(m.send(LAYOUT_WM_MOVE), 1);
        const LayoutRect expected{c.left_after, c.top_after, c.left_after + c.width, c.top_after + c.height};
        EXPECT_EQ(m.windows.dialog, expected) << c.left << "," << c.top;
        const bool moved = c.left_after != c.left || c.top_after != c.top;
        EXPECT_EQ(m.windows.dialog_moves.size(), moved ? 1u : 0u) << c.left << "," << c.top;
        EXPECT_TRUE(m.windows.control_moves.empty());
    }
}

TEST(Layout, NestedSnapEndsAfterAtMostTwoMoves) {
    struct Case {
        LayoutRect start;
        std::vector<LayoutRect> moves;
    } cases[] = {
        // Pulled to the left line, which brings the right edge within reach of the right line.
        {{-15, 300, 999, 500}, {{0, 300, 1014, 500}, {10, 300, 1024, 500}}},
        {{300, -15, 600, 715}, {{300, 0, 600, 730}, {300, 10, 600, 740}}},
        {{-15, -15, 999, 715}, {{0, 0, 1014, 730}, {10, 10, 1024, 740}}},
    };
    for (const Case& c : cases) {
        MainLayout m;
        m.windows.dialog = c.start;
        EXPECT_EQ(m.send(LAYOUT_WM_MOVE), 1);
        ASSERT_EQ(m.windows.dialog_moves.size(), c.moves.size());
        for (size_t i = 0; i < c.moves.size(); ++i) {
            EXPECT_EQ(m.windows.dialog_moves[i], c.moves[i]) << i;
        }
        EXPECT_TRUE(m.windows.control_moves.empty());
    }
}

TEST(Layout, SnapGivesUpWhenThePlatformKeepsMovingTheDialog) {
    MainLayout m;
    m.windows.drift = 3;
    m.windows.dialog = {10, 300, 310, 500};
    EXPECT_EQ(m.send(LAYOUT_WM_MOVE), 1);
    EXPECT_EQ(m.windows.dialog_moves.size(), SNAP_MAX_DEPTH);
    EXPECT_EQ(m.layout.snap_depth, 0u);
    // A later move by the user snaps again.
    m.windows.dialog_moves.clear();
    EXPECT_EQ(m.send(LAYOUT_WM_MOVE), 1);
    EXPECT_EQ(m.windows.dialog_moves.size(), SNAP_MAX_DEPTH);
}

TEST(Layout, MaximizedDialogIsNotSnappedButLaidOut) {
    MainLayout m;
    m.windows.maximized = true;
    m.windows.dialog = {-8, -8, 1032, 748};
    EXPECT_EQ(m.send(LAYOUT_WM_MOVE), 1);
    EXPECT_TRUE(m.windows.dialog_moves.empty());
    EXPECT_EQ(m.send(LAYOUT_WM_SIZE), 0);
    EXPECT_EQ(m.windows.control_moves.size(), 14u);
}

TEST(Layout, MessagesBeforeCaptureAreIgnored) {
    MainLayout m(false);
    m.windows.dialog = {5, 5, 200, 200};
    LayoutRect tiny{0, 0, 1, 1};
    EXPECT_EQ(m.send(LAYOUT_WM_SIZE), 0);
    EXPECT_EQ(m.send(LAYOUT_WM_MOVE), 1);
    EXPECT_EQ(m.send(LAYOUT_WM_SIZING, EDGE_BOTTOMRIGHT, reinterpret_cast<intptr_t>(&tiny)), 1);
    EXPECT_EQ(m.send(0x0010), 0);
    EXPECT_EQ(tiny, (LayoutRect{0, 0, 1, 1}));
    EXPECT_TRUE(m.windows.control_moves.empty());
    EXPECT_TRUE(m.windows.dialog_moves.empty());
}

TEST(Layout, MissingControlIsNeverMoved) {
    MainLayout m(false);
    m.windows.controls.erase(IDC_TIME);
    capture_layout(m.layout, m.windows);
    m.windows.resize_by(100, 50);
    EXPECT_EQ(m.windows.control_moves.size(), 12u);
    for (int32_t id : m.windows.moved_ids()) {
        EXPECT_NE(id, IDC_TIME);
    }
}

TEST(Layout, RowsBeyondTheScratchSizeTakeNoPart) {
    LayoutEntry table[LAYOUT_MAX_ROWS] = {};
    FakeWindows windows;
    windows.controls.clear();
    for (uint32_t row = 1; row < LAYOUT_MAX_ROWS; ++row) {
        table[row] = {static_cast<int32_t>(row), 0, 0, 0, 0, LF_STRETCH_X};
        windows.controls[static_cast<int32_t>(row)] = {0, 0, 10, 10};
    }
    Layout layout{table, 1000, 0, 0, 0, 0, false};
    windows.layout = &layout;
    capture_layout(layout, windows);
    windows.resize_by(5, 0);
    EXPECT_EQ(windows.control_moves.size(), LAYOUT_MAX_ROWS - 1);
}

}  // namespace
