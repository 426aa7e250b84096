// The main dialog's layout over a recording fake of the window system.
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <map>
#include <string>

#include "res/resource.h"
#include "ui/main_layout.h"

namespace {

std::string text_of(const LayoutRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// Behaves like the platform: a dialog move that changes the position reports WM_MOVE before it
// returns; moving a control reports nothing. A missing control reads as junk.
class Dialog final : public WindowOps {
  public:
    LayoutEntry rows[MAIN_LAYOUT_ROW_COUNT];
    Layout layout{rows, MAIN_LAYOUT_ROW_COUNT, 0, 0, 0, 0, false};
    LayoutRect dialog{200, 150, 701, 380};  // 501 x 230
    std::map<int32_t, LayoutRect> controls{{IDC_PROGRAM, {81, 18, 486, 40}},  {IDC_TIME, {81, 60, 200, 80}},
                                           {IDC_STATUS, {0, 178, 495, 200}},  {IDC_INFO, {16, 138, 84, 162}},
                                           {IDC_START, {180, 138, 248, 162}}, {IDC_CANCEL, {256, 138, 324, 162}},
                                           {IDC_EXIT, {331, 138, 399, 162}}};
    bool maximized = false;
    int32_t drift = 0;  // a window manager that never puts the dialog quite where it is asked
    std::string moves;  // control ids in the order they were moved
    int dialog_moves = 0;

    Dialog() {
        load_main_layout(rows);
        capture_layout(layout, *this);
    }
    int send(uint32_t message, uintptr_t wparam = 0, intptr_t lparam = 0) {
        return handle_layout_message(layout, *this, message, wparam, lparam);
    }
    void resize_to(int32_t width, int32_t height) {
        dialog.right = dialog.left + width;
        dialog.bottom = dialog.top + height;
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
        moves += std::to_string(id) + " ";
    }
    void move_dialog(int32_t x, int32_t y, int32_t w, int32_t h) override {
        ++dialog_moves;
        const LayoutRect old = dialog;
        dialog = {x + drift, y, x + drift + w, y + h};
        drift += drift > 0 ? 3 : 0;
        if (old.left != dialog.left || old.top != dialog.top) {
            send(LAYOUT_WM_MOVE);
        }
    }
    int32_t full_screen_width() override { return 1024; }
    int32_t full_screen_height() override { return 740; }
};

}  // namespace

// Placements are figured from the captured size, sizes stop at 0. The control nearest the growing
// edge moves first, equal edges in table order; a width change keeps the height laid out last.
TEST(Layout, PlacementAndMoveOrder) {
    const struct {
        int32_t width, height;
        const char *order, *placement;  // placement of 101, 103, 105, 106, 107, 108, 109
    } steps[] = {
        {501, 250, "105 106 107 108 109 103 101 ",
         "81,18,486,40 81,60,200,80 0,198,495,240 16,138,84,162 180,138,248,162 256,138,324,162 331,138,399,162 "},
        {601, 250, "109 108 107 101 103 106 105 ",
         "81,18,586,40 81,60,300,80 0,198,595,240 16,138,84,162 280,138,348,162 356,138,424,162 431,138,499,162 "},
        {601, 250, "",
         "81,18,586,40 81,60,300,80 0,198,595,240 16,138,84,162 280,138,348,162 356,138,424,162 431,138,499,162 "},
        {501, 230, "105 106 101 103 107 108 109 101 103 106 107 108 109 105 ",
         "81,18,486,40 81,60,200,80 0,178,495,200 16,138,84,162 180,138,248,162 256,138,324,162 331,138,399,162 "},
        {-99, 130, "105 106 101 103 107 108 109 101 103 106 107 108 109 105 ",
         "81,18,81,40 81,60,81,80 0,78,0,78 16,138,84,162 -420,138,-352,162 -344,138,-276,162 -269,138,-201,162 "}};
    Dialog m;
    for (const auto& s : steps) {
        m.resize_to(s.width, s.height);
        EXPECT_EQ(m.moves, s.order) << s.width << " x " << s.height;
        EXPECT_EQ(m.placement(), s.placement) << s.width << " x " << s.height;
    }
}

// The dragged edge gives way to the captured size, the opposite edge stays.
TEST(Layout, MinimumSizeCorrectsTheDraggedEdge) {
    Dialog m;
    auto sizing = [&m](uint32_t edge, LayoutRect r) {
        EXPECT_EQ(m.send(LAYOUT_WM_SIZING, edge, reinterpret_cast<intptr_t>(&r)), 1);
        return text_of(r);
    };
    // By edge code: left, right, top, top left, top right, bottom, bottom left, bottom right, none.
    const char* const expected[] = {"-101,100,400,200", "100,100,601,200", "100,-30,400,200",
                                    "-101,-30,400,200", "100,-30,601,200", "100,100,400,330",
                                    "-101,100,400,330", "100,100,601,330", "100,100,400,200"};
    for (uint32_t edge = EDGE_LEFT; edge <= 9; ++edge) {
        EXPECT_EQ(sizing(edge, {100, 100, 400, 200}), expected[edge - 1]) << "edge " << edge;
    }
    const int32_t kMax = INT32_MAX;
    EXPECT_EQ(sizing(EDGE_BOTTOMRIGHT, {100, 100, 602, 331}), "100,100,602,331");
    EXPECT_EQ(sizing(EDGE_BOTTOMRIGHT, {kMax - 5, kMax - 5, kMax - 5, kMax - 5}),
              "2147483642,2147483642,2147483647,2147483647");
    EXPECT_EQ(sizing(EDGE_TOPLEFT, {-kMax, 0, INT32_MIN, 0}), "-2147483648,-230,-2147483648,0");
    EXPECT_EQ(m.send(LAYOUT_WM_SIZING, EDGE_LEFT, 0), 1);
}

// Lines at x 0 and 1024, y 0 and 740, pulling within 20 pixels. Near both lines of an axis the
// right or bottom one wins; a snap that brings the far edge near the other line takes a second move.
// A platform that never quite honours the position (drift) gets two; a maximised dialog none.
TEST(Layout, SnapsToTheScreenLines) {
    const struct {
        int32_t left, top, width, height, drift, left_after, top_after, moves;
        bool maximized;
    } rows[] = {
        {19, 300, 300, 200, 0, 0, 300, 1, false},    {-19, -19, 300, 200, 0, 0, 0, 1, false},
        {20, -20, 300, 200, 0, 20, -20, 0, false},   {300, 19, 300, 200, 0, 300, 0, 1, false},
        {705, 300, 300, 200, 0, 724, 300, 1, false}, {743, 559, 300, 200, 0, 724, 540, 1, false},
        {704, 520, 300, 200, 0, 704, 520, 0, false}, {744, 560, 300, 200, 0, 744, 560, 0, false},
        {5, 5, 1014, 730, 0, 10, 10, 1, false},      {-15, -15, 1014, 730, 0, 10, 10, 2, false},
        {10, 300, 300, 200, 3, 6, 300, 2, false},    {10, 10, 300, 200, 0, 10, 10, 0, true},
    };
    for (const auto& r : rows) {
        Dialog m;
        m.dialog = {r.left, r.top, r.left + r.width, r.top + r.height};
        m.drift = r.drift;
        m.maximized = r.maximized;
        EXPECT_EQ(m.send(LAYOUT_WM_MOVE), 1);
        const LayoutRect expected{r.left_after, r.top_after, r.left_after + r.width, r.top_after + r.height};
        EXPECT_EQ(text_of(m.dialog) + " " + std::to_string(m.dialog_moves),
                  text_of(expected) + " " + std::to_string(r.moves));
    }
}

// Captured figures, the minimum size and the snapping distance follow the dialog's DPI; back at
// 96 DPI everything is as captured.
TEST(Layout, FollowsTheDpi) {
    Dialog m;
    const std::string captured = m.placement();
    set_layout_dpi(m.layout, 144);
    m.dialog = {200, 150, 200 + 752 + 100, 150 + 345};
    place_all_controls(m.layout, m);
    EXPECT_EQ(m.moves, "105 106 107 108 109 103 101 ");
    EXPECT_EQ(m.placement(),
              "122,27,829,60 122,90,400,120 0,267,843,300 24,207,126,243 370,207,472,243 "
              "484,207,586,243 597,207,699,243 ");
    m.resize_to(852, 345);
    EXPECT_EQ(m.moves, "") << "that placement counts as laid out";
    LayoutRect small{100, 100, 400, 200};
    m.send(LAYOUT_WM_SIZING, EDGE_BOTTOMRIGHT, reinterpret_cast<intptr_t>(&small));
    EXPECT_EQ(text_of(small), "100,100,852,445");
    const int32_t snaps[][3] = {{144, 29, 0}, {144, 30, 30}, {0, 19, 0}, {0, 20, 20}};
    for (const auto& s : snaps) {
        set_layout_dpi(m.layout, static_cast<uint32_t>(s[0]));
        m.dialog = {s[1], 300, s[1] + 300, 500};
        m.send(LAYOUT_WM_MOVE);
        EXPECT_EQ(m.dialog.left, s[2]) << s[1] << " at " << s[0];
    }
    m.dialog = {200, 150, 701, 380};
    place_all_controls(m.layout, m);
    EXPECT_EQ(m.placement(), captured);
}

// After a capture that failed every message is ignored; a new capture starts from the size at that
// moment; a missing control is never moved; a table past the scratch rows is cut.
TEST(Layout, CapturesAndOddTables) {
    Dialog m;
    m.layout.count = 0;
    capture_layout(m.layout, m);
    m.dialog = {5, 5, 105, 105};
    LayoutRect tiny{0, 0, 1, 1};
    EXPECT_EQ(m.send(LAYOUT_WM_SIZE) + m.send(0x0010), 0);
    EXPECT_EQ(m.send(LAYOUT_WM_MOVE) + m.send(LAYOUT_WM_SIZING, EDGE_BOTTOMRIGHT, reinterpret_cast<intptr_t>(&tiny)),
              2);
    EXPECT_EQ(text_of(tiny) + m.moves + std::to_string(m.dialog_moves), "0,0,1,10");
    EXPECT_EQ(capture_control_rects(nullptr, 3, m), 0u);

    m.controls.erase(IDC_EXIT);
    EXPECT_EQ(capture_control_rects(m.rows, MAIN_LAYOUT_ROW_COUNT, m), 0x7Eu);
    EXPECT_EQ(text_of({m.rows[7].left, m.rows[7].top, m.rows[7].right, m.rows[7].bottom}), "0,0,0,0");
    m.layout.count = MAIN_LAYOUT_ROW_COUNT;
    capture_layout(m.layout, m);
    m.resize_to(100, 100);
    EXPECT_EQ(m.moves, "");
    m.resize_to(600, 200);
    EXPECT_EQ(m.moves, "108 107 101 103 106 105 105 106 107 108 103 101 ");

    LayoutEntry table[LAYOUT_MAX_ROWS];
    std::fill(std::begin(table), std::end(table), LayoutEntry{IDC_INFO, 0, 0, 0, 0, LF_STRETCH_X});
    m.layout = Layout{table, 1000, 0, 0, 0, 0, false};
    capture_layout(m.layout, m);
    m.resize_to(605, 200);
    EXPECT_EQ(m.moves.size(), (LAYOUT_MAX_ROWS - 1) * 4);
}
