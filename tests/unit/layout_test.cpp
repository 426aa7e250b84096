// The dialog layout over a recording fake of the window system.
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>

namespace {

std::string text_of(const LayoutRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// A table of every anchoring, over a fake that behaves like the platform: a dialog move that changes
// the position reports WM_MOVE before it returns, a size change WM_SIZE; moving a control reports
// nothing. Control 16 does not exist.
class Dialog final : public WindowOps {
  public:
    LayoutEntry table[7] = {{0, 0, 0, 0, 0, 0},
                            {11, 0, 0, 0, 0, LF_STRETCH_X | LF_STRETCH_Y | LF_SHIFT_Y},
                            {12, 0, 0, 0, 0, LF_STRETCH_X},
                            {13, 0, 0, 0, 0, LF_SHIFT_X},
                            {14, 0, 0, 0, 0, 0},
                            {15, 0, 0, 0, 0, LF_SHIFT_X | LF_SHIFT_Y},
                            {16, 0, 0, 0, 0, LF_SHIFT_X}};
    Layout layout{table, 7, 0, 0, 0, 0, false};
    LayoutRect dialog{200, 150, 701, 380};  // 501 x 230
    std::map<int32_t, LayoutRect> controls{{11, {0, 178, 495, 200}},   {12, {81, 18, 486, 148}},
                                           {13, {331, 138, 399, 162}}, {14, {16, 138, 84, 162}},
                                           {15, {200, 100, 250, 120}}, {17, {1, 2, 3, 4}}};
    bool maximized = false;
    int32_t drift = 0;  // a window manager that never puts the dialog quite where it is asked
    std::string moves;  // "id:l,t,r,b " per control move
    int dialog_moves = 0;

    explicit Dialog(bool capture = true) {
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
        moves.clear();
        send(LAYOUT_WM_SIZE);
    }

    std::string placement() const {
        std::string text;
        for (const auto& control : controls) {
            text += text_of(control.second) + " ";
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
        rect = it != controls.end() ? it->second : LayoutRect{7, 7, 7, 7};
        return it != controls.end();
    }
    void move_control(int32_t id, int32_t x, int32_t y, int32_t w, int32_t h) override {
        controls[id] = {x, y, x + w, y + h};
        moves += std::to_string(id) + ":" + text_of(controls[id]) + " ";
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

}  // namespace

// Every placement is measured against the captured size: sizes never go negative, positions may.
// The control nearest the growing edge moves first, equal edges in table order; the width pass
// keeps the height laid out last, and an unchanged size moves nothing.
TEST(Layout, PlacementAndMoveOrder) {
    const struct {
        int32_t dw, dh;
        const char* order;
    } cases[] = {
        {0, 20, "11:0,198,495,240 13:331,138,399,162 14:16,138,84,162 15:200,120,250,140 12:81,18,486,148 "},
        {100, 50,
         "13:431,138,499,162 15:300,120,350,140 12:81,18,586,148 14:16,138,84,162 11:0,198,595,240 "
         "11:0,228,595,300 13:431,138,499,162 14:16,138,84,162 15:300,150,350,170 12:81,18,586,148 "},
        {100, 50, ""},
        {0, 0,
         "11:0,228,495,300 14:16,138,84,162 12:81,18,486,148 15:200,150,250,170 13:331,138,399,162 "
         "12:81,18,486,148 15:200,100,250,120 13:331,138,399,162 14:16,138,84,162 11:0,178,495,200 "},
        {-1, 0, "11:0,178,494,200 14:16,138,84,162 12:81,18,485,148 15:199,100,249,120 13:330,138,398,162 "},
        {-600, -100,
         "11:0,178,0,200 14:16,138,84,162 12:81,18,81,148 15:-400,100,-350,120 13:-269,138,-201,162 "
         "12:81,18,81,148 15:-400,0,-350,20 13:-269,138,-201,162 14:16,138,84,162 11:0,78,0,78 "},
    };
    Dialog m;
    for (const auto& c : cases) {
        m.resize_by(c.dw, c.dh);
        EXPECT_EQ(m.moves, c.order) << c.dw << " x " << c.dh;
    }
}

TEST(Layout, MinimumSizeCorrectsTheDraggedEdge) {
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
        {EDGE_BOTTOMRIGHT, {100, 100, 602, 331}, {100, 100, 602, 331}},
        {9, {100, 100, 101, 101}, {100, 100, 101, 101}},
        {EDGE_BOTTOMRIGHT, {kMax - 5, kMax - 5, kMax - 5, kMax - 5}, {kMax - 5, kMax - 5, kMax, kMax}},
        {EDGE_TOPLEFT, {-kMax, 0, INT32_MIN, 0}, {INT32_MIN, -230, INT32_MIN, 0}},
    };
    Dialog m;
    for (const auto& c : cases) {
        LayoutRect r = c.proposed;
        EXPECT_EQ(m.send(LAYOUT_WM_SIZING, c.edge, reinterpret_cast<intptr_t>(&r)), 1);
        EXPECT_EQ(text_of(r), text_of(c.expected)) << "edge " << c.edge << " on " << text_of(c.proposed);
    }
    EXPECT_EQ(m.send(LAYOUT_WM_SIZING, EDGE_LEFT, 0), 1);
}

// Lines at x 0 and 1024, y 0 and 740. Near both lines of an axis the right or bottom one wins;
// snapping to one line can bring the far edge within reach of the other, which takes a second move.
TEST(Layout, SnapsWithinTwentyPixelsOfEachLine) {
    const struct {
        int32_t left, top, width, height, left_after, top_after, moves;
    } cases[] = {
        {19, 300, 300, 200, 0, 300, 1},    {-19, -19, 300, 200, 0, 0, 1},     {20, -20, 300, 200, 20, -20, 0},
        {300, 19, 300, 200, 300, 0, 1},    {705, 300, 300, 200, 724, 300, 1}, {743, 559, 300, 200, 724, 540, 1},
        {704, 520, 300, 200, 704, 520, 0}, {744, 560, 300, 200, 744, 560, 0}, {5, 5, 1014, 730, 10, 10, 1},
        {-15, -15, 1014, 730, 10, 10, 2},
    };
    for (const auto& c : cases) {
        Dialog m;
        m.dialog = {c.left, c.top, c.left + c.width, c.top + c.height};
        EXPECT_EQ(m.send(LAYOUT_WM_MOVE), 1);
        const LayoutRect expected{c.left_after, c.top_after, c.left_after + c.width, c.top_after + c.height};
        EXPECT_EQ(text_of(m.dialog), text_of(expected)) << c.left << "," << c.top;
        EXPECT_EQ(m.dialog_moves, c.moves) << c.left << "," << c.top;
    }
    Dialog m;
    m.drift = 3;
    m.dialog = {10, 300, 310, 500};
    for (int user_move = 0; user_move < 2; ++user_move) {
        m.dialog_moves = 0;
        m.send(LAYOUT_WM_MOVE);
        EXPECT_EQ(m.dialog_moves, 2) << "gives up when the platform keeps moving the dialog";
    }
    m.maximized = true;
    m.dialog_moves = 0;
    m.send(LAYOUT_WM_MOVE);
    EXPECT_EQ(m.dialog_moves, 0);
}

// Captured figures, the minimum size and the snapping distance follow the dialog's DPI; back at
// 96 DPI everything is as captured.
TEST(Layout, GeometryMinimumSizeAndSnappingFollowTheDpi) {
    Dialog m;
    const std::string captured = m.placement();
    set_layout_dpi(m.layout, 144);
    EXPECT_EQ(std::to_string(m.layout.min_width) + "x" + std::to_string(m.layout.min_height), "752x345");
    m.dialog = {200, 150, 200 + 752 + 100, 150 + 345};
    m.moves.clear();
    place_all_controls(m.layout, m);
    EXPECT_EQ(m.moves.substr(0, 3), "11:") << "the control nearest the bottom moves first";
    EXPECT_EQ(m.placement(), "0,267,843,300 122,27,829,222 597,207,699,243 24,207,126,243 400,150,475,180 1,2,3,4 ");
    m.moves.clear();
    m.send(LAYOUT_WM_SIZE);
    EXPECT_EQ(m.moves, "") << "that placement counts as laid out";
    LayoutRect small{100, 100, 400, 200};
    m.send(LAYOUT_WM_SIZING, EDGE_BOTTOMRIGHT, reinterpret_cast<intptr_t>(&small));
    EXPECT_EQ(text_of(small), "100,100,852,445");
    const uint32_t snaps[][3] = {{144, 29, 0}, {144, 30, 30}, {120, 24, 0}, {120, 25, 25}, {96, 19, 0}, {96, 20, 20}};
    for (const auto& c : snaps) {
        set_layout_dpi(m.layout, c[0]);
        m.dialog = {static_cast<int32_t>(c[1]), 300, static_cast<int32_t>(c[1]) + 300, 500};
        m.send(LAYOUT_WM_MOVE);
        EXPECT_EQ(m.dialog.left, static_cast<int32_t>(c[2])) << c[1] << " at " << c[0];
    }
    EXPECT_EQ(std::to_string(m.layout.min_width) + "x" + std::to_string(m.layout.min_height), "501x230");
    m.dialog = {200, 150, 701, 380};
    place_all_controls(m.layout, m);
    EXPECT_EQ(m.placement(), captured);
}

// Before a capture every message is ignored, also after one that failed (a table without rows); a
// new capture starts from the size at that moment; a table longer than the scratch rows is cut.
TEST(Layout, CapturesAndOversizedTables) {
    Dialog m(false);
    m.layout.min_width = 600;
    m.layout.count = 0;
    capture_layout(m.layout, m);
    m.dialog = {5, 5, 105, 105};
    LayoutRect tiny{0, 0, 1, 1};
    EXPECT_EQ(m.send(LAYOUT_WM_SIZE) + m.send(0x0010), 0);
    EXPECT_EQ(m.send(LAYOUT_WM_MOVE), 1);
    EXPECT_EQ(m.send(LAYOUT_WM_SIZING, EDGE_BOTTOMRIGHT, reinterpret_cast<intptr_t>(&tiny)), 1);
    EXPECT_EQ(text_of(tiny) + m.moves + std::to_string(m.dialog_moves), "0,0,1,10");
    EXPECT_EQ(capture_control_rects(nullptr, 3, m), 0u);
    EXPECT_EQ(capture_control_rects(m.table, 7, m), 0x3Eu);
    EXPECT_EQ(text_of({m.table[6].left, m.table[6].top, m.table[6].right, m.table[6].bottom}), "0,0,0,0");

    Dialog again;
    again.resize_by(100, 50);
    again.dialog = {200, 150, 701, 380};
    capture_layout(again.layout, again);
    again.resize_by(0, 0);
    EXPECT_EQ(again.moves, "");

    LayoutEntry table[LAYOUT_MAX_ROWS] = {};
    for (int32_t row = 1; row < static_cast<int32_t>(LAYOUT_MAX_ROWS); ++row) {
        table[row] = {17, 0, 0, 0, 0, LF_STRETCH_X};
    }
    Dialog wide(false);
    wide.layout = Layout{table, 1000, 0, 0, 0, 0, false};
    capture_layout(wide.layout, wide);
    wide.resize_by(5, 0);
    EXPECT_EQ(wide.moves.size(), (LAYOUT_MAX_ROWS - 1) * 11);
}
