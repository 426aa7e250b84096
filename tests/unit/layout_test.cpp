// The main dialog's layout over a recording fake of the window system.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <string>
#include <vector>

#include "res/resource.h"
#include "ui/layout.h"
#include "ui/main_layout.h"

namespace {

std::string text_of(const LayoutRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// The main dialog's own table over a fake that behaves like the platform: a dialog move that
// changes the position reports WM_MOVE before it returns, a size change WM_SIZE; moving a control
// reports nothing.
class Dialog final : public WindowOps {
  public:
    LayoutEntry table[MAIN_LAYOUT_ROW_COUNT];
    Layout layout{table, MAIN_LAYOUT_ROW_COUNT, 0, 0, 0, 0, false};
    LayoutRect dialog{200, 150, 701, 380};  // 501 x 230
    std::map<int32_t, LayoutRect> controls{
        {IDC_STATUS, {0, 178, 495, 200}}, {IDC_PROGRAM, {81, 18, 486, 148}}, {IDC_TIME, {81, 58, 486, 78}},
        {IDC_INFO, {16, 138, 84, 162}},   {IDC_START, {249, 138, 317, 162}}, {IDC_CANCEL, {331, 138, 399, 162}},
        {IDC_EXIT, {414, 138, 482, 162}}, {IDC_BROWSE, {16, 16, 72, 40}},
    };
    bool maximized = false;
    int32_t drift = 0;  // a window manager that never puts the dialog quite where it is asked
    std::vector<int32_t> moved_ids;
    std::vector<std::string> moves;  // "id:l,t,r,b" per control move
    int32_t dialog_moves = 0;

    explicit Dialog(bool capture = true) {
        std::copy(main_layout_table, main_layout_table + MAIN_LAYOUT_ROW_COUNT, table);
        if (capture) {
            capture_layout(layout, *this);
        }
    }
    int send(uint32_t message, uintptr_t wparam = 0, intptr_t lparam = 0) {
        return handle_layout_message(layout, *this, message, wparam, lparam);
    }
    // The user drags the frame to the captured size plus (dw, dh).
    void resize_by(int32_t dw, int32_t dh) {
        dialog.right = dialog.left + 501 + dw;
        dialog.bottom = dialog.top + 230 + dh;
        moved_ids.clear();
        moves.clear();
        send(LAYOUT_WM_SIZE);
    }
    // The table's controls in table order, then the Browse button, which is not in it.
    std::string placement() const {
        std::string text;
        for (int32_t id : {IDC_STATUS, IDC_PROGRAM, IDC_TIME, IDC_INFO, IDC_START, IDC_CANCEL, IDC_EXIT, IDC_BROWSE}) {
            text += (text.empty() ? "" : " ") + text_of(controls.at(id));
        }
        return text;
    }

    bool dialog_rect(LayoutRect& rect) override {
        rect = dialog;
        return true;
    }
    bool dialog_minimized_or_maximized() override { return maximized; }
    bool control_client_rect(int32_t id, LayoutRect& rect) override {
        auto it = controls.find(id);
        if (it != controls.end()) {
            rect = it->second;
        }
        return it != controls.end();
    }
    void move_control(int32_t id, int32_t x, int32_t y, int32_t w, int32_t h) override {
        controls[id] = {x, y, x + w, y + h};
        moved_ids.push_back(id);
        moves.push_back(std::to_string(id) + ":" + text_of(controls[id]));
    }
    void move_dialog(int32_t x, int32_t y, int32_t w, int32_t h) override {
        ++dialog_moves;
        const LayoutRect old = dialog;
        dialog = {x + drift, y, x + drift + w, y + h};
        drift += drift > 0 ? 3 : 0;
        if (old.left != dialog.left || old.top != dialog.top) {
            send(LAYOUT_WM_MOVE);
        }
        if (old.right - old.left != w || old.bottom - old.top != h) {
            send(LAYOUT_WM_SIZE);
        }
    }
    int32_t full_screen_width() override { return 1024; }
    int32_t full_screen_height() override { return 740; }
};

// One dialog through a sequence of sizes: every placement is measured against the captured size.
TEST(Layout, PlacementFollowsTheAnchorsFromTheCapturedRects) {
    Dialog m;
    const std::string captured = m.placement();
    const struct {
        int32_t dw, dh;
        std::string placement;
    } steps[] = {
        {100, 50,
         "0,228,595,300 81,18,586,148 81,58,586,78 16,138,84,162 349,138,417,162 431,138,499,162 514,138,582,162 "
         "16,16,72,40"},
        // The status bar's height would go negative: it is handed over as zero.
        {-40, -30,
         "0,148,455,148 81,18,446,148 81,58,446,78 16,138,84,162 209,138,277,162 291,138,359,162 374,138,442,162 "
         "16,16,72,40"},
        // Far below the minimum (a restored or minimised rectangle): sizes clamp, positions do not.
        {-600, -100,
         "0,78,0,78 81,18,81,148 81,58,81,78 16,138,84,162 -351,138,-283,162 -269,138,-201,162 -186,138,-118,162 "
         "16,16,72,40"},
        {0, 0, captured},
    };
    for (const auto& step : steps) {
        m.resize_by(step.dw, step.dh);
        EXPECT_EQ(m.placement(), step.placement) << step.dw << " x " << step.dh;
    }
}

TEST(Layout, MoveOrderFollowsTheGrowingOrShrinkingEdge) {
    const std::vector<int32_t> wider = {IDC_EXIT, IDC_CANCEL, IDC_START, IDC_PROGRAM, IDC_TIME, IDC_INFO, IDC_STATUS};
    const std::vector<int32_t> taller = {IDC_STATUS, IDC_INFO, IDC_START, IDC_CANCEL, IDC_EXIT, IDC_TIME, IDC_PROGRAM};
    std::vector<int32_t> both = wider;
    both.insert(both.end(), taller.begin(), taller.end());
    const struct {
        int32_t dw, dh;
        std::vector<int32_t> order;
    } cases[] = {
        {100, 0, wider}, {-100, 0, {IDC_STATUS, IDC_INFO, IDC_PROGRAM, IDC_TIME, IDC_START, IDC_CANCEL, IDC_EXIT}},
        {0, 50, taller}, {0, -50, {IDC_PROGRAM, IDC_TIME, IDC_INFO, IDC_START, IDC_CANCEL, IDC_EXIT, IDC_STATUS}},
        {100, 50, both}, {0, 0, {}},  // the first WM_SIZE at the captured size
    };
    for (const auto& c : cases) {
        Dialog m;
        m.resize_by(c.dw, c.dh);
        EXPECT_EQ(m.moved_ids, c.order) << c.dw << " x " << c.dh;
    }
}

TEST(Layout, WidthPassKeepsTheLastHeightAndAnUnchangedSizeMovesNothing) {
    Dialog m;
    m.resize_by(0, 20);
    m.resize_by(100, 50);
    // The status bar is placed first for the new width at the old height, then for the new height.
    EXPECT_EQ(std::count(m.moves.begin(), m.moves.end(), "105:0,198,595,240"), 1);
    EXPECT_EQ(std::count(m.moves.begin(), m.moves.end(), "105:0,228,595,300"), 1);
    m.resize_by(100, 50);
    EXPECT_TRUE(m.moves.empty());
}

TEST(Layout, MinimumSizeCorrectsTheDraggedEdge) {
    // The minimum is 501 x 230. After one row per edge code: one pixel short is corrected, the
    // minimum itself is left alone (strict), an unknown edge changes nothing, and sums near the
    // ends of the range stay defined.
    const int32_t kMax = INT32_MAX;
    const struct {
        uint32_t edge;
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
        {EDGE_TOPLEFT, {100, 100, 601, 330}, {100, 100, 601, 330}},
        {9, {100, 100, 101, 101}, {100, 100, 101, 101}},
        {EDGE_BOTTOMRIGHT, {kMax - 5, kMax - 5, kMax - 5, kMax - 5}, {kMax - 5, kMax - 5, kMax, kMax}},
        {EDGE_RIGHT, {kMax, 0, INT32_MIN, 0}, {kMax, 0, kMax, 0}},
    };
    Dialog m;
    for (const auto& c : cases) {
        LayoutRect r = c.proposed;
        EXPECT_EQ(m.send(LAYOUT_WM_SIZING, c.edge, reinterpret_cast<intptr_t>(&r)), 1);
        EXPECT_EQ(text_of(r), text_of(c.expected)) << "edge " << c.edge << " on " << text_of(c.proposed);
    }
    EXPECT_EQ(m.send(LAYOUT_WM_SIZING, EDGE_LEFT, 0), 1);
}

TEST(Layout, SnapsWithinTwentyPixelsOfEachLine) {
    // Lines at x 0 and 1024, y 0 and 740. Rows 19 and 20 lie near both lines of an axis, where the
    // right or bottom one wins; in the last two, snapping to the left or top line brings the far
    // edge within reach of the other line, which takes a second move.
    const struct {
        int32_t left, top, width, height, left_after, top_after, moves;
    } cases[] = {
        {19, 300, 300, 200, 0, 300, 1},    {-19, 300, 300, 200, 0, 300, 1},   {20, 300, 300, 200, 20, 300, 0},
        {-20, 300, 300, 200, -20, 300, 0}, {300, 19, 300, 200, 300, 0, 1},    {300, -19, 300, 200, 300, 0, 1},
        {300, 20, 300, 200, 300, 20, 0},   {300, -20, 300, 200, 300, -20, 0}, {705, 300, 300, 200, 724, 300, 1},
        {743, 300, 300, 200, 724, 300, 1}, {704, 300, 300, 200, 704, 300, 0}, {744, 300, 300, 200, 744, 300, 0},
        {300, 521, 300, 200, 300, 540, 1}, {300, 559, 300, 200, 300, 540, 1}, {300, 520, 300, 200, 300, 520, 0},
        {300, 560, 300, 200, 300, 560, 0}, {10, 530, 300, 200, 0, 540, 1},    {724, 540, 300, 200, 724, 540, 0},
        {5, 300, 1014, 200, 10, 300, 1},   {300, 5, 300, 730, 300, 10, 1},    {-15, 300, 1014, 200, 10, 300, 2},
        {-15, -15, 1014, 730, 10, 10, 2},
    };
    for (const auto& c : cases) {
        Dialog m;
        m.dialog = {c.left, c.top, c.left + c.width, c.top + c.height};
        EXPECT_EQ(m.send(LAYOUT_WM_MOVE), 1);
        const LayoutRect expected{c.left_after, c.top_after, c.left_after + c.width, c.top_after + c.height};
        EXPECT_EQ(text_of(m.dialog), text_of(expected)) << c.left << "," << c.top;
        EXPECT_EQ(m.dialog_moves, c.moves) << c.left << "," << c.top;
        EXPECT_TRUE(m.moves.empty());
    }
}

TEST(Layout, SnapGivesUpWhenThePlatformKeepsMovingTheDialog) {
    Dialog m;
    m.drift = 3;
    m.dialog = {10, 300, 310, 500};
    for (int user_move = 0; user_move < 2; ++user_move) {
        m.dialog_moves = 0;
        EXPECT_EQ(m.send(LAYOUT_WM_MOVE), 1);
        EXPECT_EQ(m.dialog_moves, static_cast<int32_t>(SNAP_MAX_DEPTH)) << user_move;
    }
}

TEST(Layout, MaximizedDialogIsNotSnappedButLaidOut) {
    Dialog m;
    m.maximized = true;
    m.dialog = {-8, -8, 1032, 748};
    EXPECT_EQ(m.send(LAYOUT_WM_MOVE), 1);
    EXPECT_EQ(m.dialog_moves, 0);
    EXPECT_EQ(m.send(LAYOUT_WM_SIZE), 0);
    EXPECT_EQ(m.moves.size(), 14u);
}

TEST(Layout, GeometryMinimumSizeAndSnappingFollowTheDpi) {
    Dialog m;
    const std::string captured = m.placement();
    set_layout_dpi(m.layout, 144);
    // 501 x 230 at 96 DPI; every captured edge scales on its own.
    EXPECT_EQ(m.layout.min_width, 752);
    EXPECT_EQ(m.layout.min_height, 345);
    m.dialog = {200, 150, 200 + 752 + 100, 150 + 345};
    place_all_controls(m.layout, m);
    EXPECT_EQ(m.placement(),
              "0,267,843,300 122,27,829,222 122,87,829,117 24,207,126,243 474,207,576,243 597,207,699,243 "
              "721,207,823,243 16,16,72,40");
    // That placement counts as laid out: the size it was made for moves nothing again.
    m.moves.clear();
    m.send(LAYOUT_WM_SIZE);
    EXPECT_TRUE(m.moves.empty());
    LayoutRect small{100, 100, 400, 200};
    m.send(LAYOUT_WM_SIZING, EDGE_BOTTOMRIGHT, reinterpret_cast<intptr_t>(&small));
    EXPECT_EQ(text_of(small), "100,100,852,445");

    // The snapping distance of 20 pixels at 96 DPI, at 144 and at 120.
    const struct {
        uint32_t dpi;
        int32_t left, left_after;
    } snaps[] = {{144, 29, 0}, {144, -29, 0}, {144, 30, 30}, {120, 24, 0}, {120, 25, 25}, {96, 19, 0}, {96, 20, 20}};
    for (const auto& c : snaps) {
        set_layout_dpi(m.layout, c.dpi);
        m.dialog = {c.left, 300, c.left + 300, 500};
        m.send(LAYOUT_WM_MOVE);
        EXPECT_EQ(m.dialog.left, c.left_after) << c.left << " at " << c.dpi;
    }

    // Back at 96 DPI everything is as captured.
    EXPECT_EQ(m.layout.min_width, 501);
    EXPECT_EQ(m.layout.min_height, 230);
    m.dialog = {200, 150, 701, 380};
    place_all_controls(m.layout, m);
    EXPECT_EQ(m.placement(), captured);
}

TEST(Layout, MessagesBeforeCaptureAreIgnored) {
    Dialog m(false);
    m.dialog = {5, 5, 200, 200};
    LayoutRect tiny{0, 0, 1, 1};
    EXPECT_EQ(m.send(LAYOUT_WM_SIZE), 0);
    EXPECT_EQ(m.send(LAYOUT_WM_MOVE), 1);
    EXPECT_EQ(m.send(LAYOUT_WM_SIZING, EDGE_BOTTOMRIGHT, reinterpret_cast<intptr_t>(&tiny)), 1);
    EXPECT_EQ(m.send(0x0010), 0);
    EXPECT_EQ(text_of(tiny), "0,0,1,1");
    EXPECT_TRUE(m.moves.empty());
    EXPECT_EQ(m.dialog_moves, 0);
}

TEST(Layout, MissingControlIsSkippedAndExtraRowsTakeNoPart) {
    Dialog m(false);
    m.controls.erase(IDC_TIME);
    capture_layout(m.layout, m);
    m.resize_by(100, 50);
    EXPECT_EQ(m.moves.size(), 12u);
    EXPECT_EQ(std::count(m.moved_ids.begin(), m.moved_ids.end(), IDC_TIME), 0);

    // A row count beyond the scratch array is cut to it, never written past.
    Dialog wide(false);
    LayoutEntry table[LAYOUT_MAX_ROWS] = {};
    for (int32_t row = 1; row < static_cast<int32_t>(LAYOUT_MAX_ROWS); ++row) {
        table[row] = {1000 + row, 0, 0, 0, 0, LF_STRETCH_X};
        wide.controls[1000 + row] = {0, 0, 10, 10};
    }
    wide.layout = Layout{table, 1000, 0, 0, 0, 0, false};
    capture_layout(wide.layout, wide);
    wide.resize_by(5, 0);
    EXPECT_EQ(wide.moves.size(), LAYOUT_MAX_ROWS - 1);
}

}  // namespace
