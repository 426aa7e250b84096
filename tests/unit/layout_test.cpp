// The main dialog's layout over a recording fake of the window system, and the DPI scaling under it.
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

#include "ui/main_layout.h"
#include "ui/main_settings.h"

namespace {

std::string text_of(const LayoutRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

struct Dialog final : WindowOps {
    Layout layout{rows, MAIN_LAYOUT_ROW_COUNT};
    LayoutRect dialog{200, 150, 701, 380};  // 501 x 230
    std::map<int32_t, LayoutRect> controls{
        {101, {81, 18, 486, 40}},    {103, {81, 60, 200, 80}},    {105, {0, 178, 495, 200}},  {106, {16, 138, 84, 162}},
        {107, {180, 138, 248, 162}}, {108, {256, 138, 324, 162}}, {109, {331, 138, 399, 162}}};
    bool maximized = false, minimized = false;
    int32_t drift = 0;  // a window manager that puts the dialog ever further from where it is asked
    std::string moves;  // control ids in the order they were moved, D for the dialog
    LayoutEntry rows[MAIN_LAYOUT_ROW_COUNT];  // last, so that a read past it leaves the object

    Dialog() {
        load_main_layout(rows);
        capture_layout(layout, *this);
    }
    int send(uint32_t message, uintptr_t wparam = 0, intptr_t lparam = 0) {
        return handle_layout_message(layout, *this, message, wparam, lparam);
    }
    // The moves, then where every control is (101, 103, 105 ... 109).
    std::string resize_to(int32_t width, int32_t height) {
        dialog.right = dialog.left + width;
        dialog.bottom = dialog.top + height;
        moves.clear();
        send(LAYOUT_WM_SIZE);
        std::string text = moves + "|";
        for (const auto& control : controls) {
            text += " " + text_of(control.second);
        }
        return text;
    }
    std::string sizing(uint32_t edge, LayoutRect r) {
        send(LAYOUT_WM_SIZING, edge, reinterpret_cast<intptr_t>(&r));
        return text_of(r);
    }

    bool dialog_rect(LayoutRect& rect) override {
        rect = dialog;
        return true;
    }
    bool dialog_minimized_or_maximized() override { return maximized; }
    bool control_client_rect(int32_t id, LayoutRect& rect) override {
        rect = controls.count(id) ? controls[id] : rect;
        return controls.count(id) != 0;
    }
    void move_control(int32_t id, int32_t x, int32_t y, int32_t w, int32_t h) override {
        controls[id] = {x, y, x + w, y + h};
        moves += std::to_string(id) + " ";
    }
    void move_dialog(int32_t x, int32_t y, int32_t w, int32_t h) override {
        moves += "D";
        dialog = {x + drift, y, x + drift + w, y + h};
        drift *= 2;
        send(LAYOUT_WM_MOVE);  // the platform reports the move before it returns
    }
    int32_t full_screen_width() override { return 1024; }
    int32_t full_screen_height() override { return 740; }
    void repaint() override { moves += "R"; }
    // One monitor of 1024 x 768 at 0,0 with a work area 740 high.
    LayoutRect desktop_rect() override { return {0, 0, 1024, 768}; }
    bool on_a_monitor(const LayoutRect& r) override {
        return r.left < 1024 && r.right > 0 && r.top < 768 && r.bottom > 0;
    }
    LayoutRect nearest_work_area(const LayoutRect&) override { return {0, 0, 1024, 740}; }
    bool dialog_minimized() override { return minimized; }
    LayoutRect normal_dialog_rect() override { return {7, 8, 9, 10}; }
};

}  // namespace

// Placements come from the captured size (scaled at another DPI), sizes stop at 0; the control nearest
// the growing edge moves first, equal edges in table order; a width change keeps the height laid out.
TEST(Layout, PlacementAndMoveOrder) {
    Dialog m;
    EXPECT_EQ(m.resize_to(501, 250),
              "105 106 107 108 109 103 101 R| 81,18,486,40 81,60,200,80 0,198,495,240 16,138,84,162 180,138,248,162 "
              "256,138,324,162 331,138,399,162");
    EXPECT_EQ(m.resize_to(601, 250),
              "109 108 107 101 103 106 105 R| 81,18,586,40 81,60,300,80 0,198,595,240 16,138,84,162 280,138,348,162 "
              "356,138,424,162 431,138,499,162");
    EXPECT_EQ(m.resize_to(-99, 130),
              "105 106 101 103 107 108 109 101 103 106 107 108 109 105 R| 81,18,81,40 81,60,81,80 0,78,0,78 "
              "16,138,84,162 -420,138,-352,162 -344,138,-276,162 -269,138,-201,162");
    set_layout_dpi(m.layout, 144);
    m.dialog = {200, 150, 200 + 752 + 100, 150 + 345};
    m.moves.clear();
    place_all_controls(m.layout, m);
    EXPECT_EQ(m.moves, "105 106 107 108 109 103 101 ");
    EXPECT_EQ(m.resize_to(852, 345),
              "| 122,27,829,60 122,90,400,120 0,267,843,300 24,207,126,243 370,207,472,243 484,207,586,243 "
              "597,207,699,243");
}

// The dragged edge gives way to the captured size (scaled to the DPI), the opposite edge stays.
TEST(Layout, MinimumSizeCorrectsTheDraggedEdge) {
    Dialog m;
    // By edge code: left, right, top, top left, top right, bottom, bottom left, bottom right, none.
    const char* const expected[] = {"-101,100,400,200", "100,100,601,200", "100,-30,400,200",
                                    "-101,-30,400,200", "100,-30,601,200", "100,100,400,330",
                                    "-101,100,400,330", "100,100,601,330", "100,100,400,200"};
    for (uint32_t edge = EDGE_LEFT; edge <= 9; ++edge) {
        EXPECT_EQ(m.sizing(edge, {100, 100, 400, 200}), expected[edge - 1]) << "edge " << edge;
    }
    EXPECT_EQ(m.sizing(EDGE_TOPLEFT, {-INT32_MAX, 0, INT32_MIN, 0}), "-2147483648,-230,-2147483648,0");
    EXPECT_EQ(m.send(LAYOUT_WM_SIZING, EDGE_LEFT, 0), 1);
    set_layout_dpi(m.layout, 144);
    EXPECT_EQ(m.sizing(EDGE_BOTTOMRIGHT, {100, 100, 400, 200}), "100,100,852,445");
}

// Lines at x 0 and 1024, y 0 and 740 pull within 20 pixels, right and bottom first; a snap that brings
// the far edge near the other line moves again. Drift: a platform that never honours the position.
TEST(Layout, SnapsToTheScreenLines) {
    const struct {
        int32_t left, top, width, height, drift, left_after, top_after, moves;
    } rows[] = {{19, 300, 300, 200, 0, 0, 300, 1},    {20, -20, 300, 200, 0, 20, -20, 0},
                {-19, -19, 300, 200, 0, 0, 0, 1},     {300, 19, 300, 200, 0, 300, 0, 1},
                {705, 300, 300, 200, 0, 724, 300, 1}, {743, 559, 300, 200, 0, 724, 540, 1},
                {704, 520, 300, 200, 0, 704, 520, 0}, {5, 5, 1014, 730, 0, 10, 10, 1},
                {-15, -15, 1014, 730, 0, 10, 10, 2},  {10, 300, 300, 200, 3, 6, 300, 2},
                {10, 10, 300, 200, -1, 10, 10, 0}};
    for (const auto& r : rows) {
        Dialog m;
        m.dialog = {r.left, r.top, r.left + r.width, r.top + r.height};
        m.drift = r.drift;
        m.maximized = r.drift < 0;
        m.send(LAYOUT_WM_MOVE);
        EXPECT_EQ(std::make_tuple(m.dialog.left, m.dialog.top, m.moves),
                  std::make_tuple(r.left_after, r.top_after, std::string(r.moves, 'D')));
    }
}

// Figures at 96 DPI round half away from zero; an unknown DPI (0) counts as 96.
TEST(Dpi, RescalesRoundingHalfAwayFromZero) {
    const int32_t rows[][4] = {{2, 96, 120, 3}, {-2, 96, 120, -3}, {2, 144, 96, 1}, {20, 0, 144, 30}, {30, 144, 0, 20}};
    for (const auto& r : rows) {
        const auto from = static_cast<uint32_t>(r[1]), to = static_cast<uint32_t>(r[2]);
        EXPECT_EQ(rescale_for_dpi(r[0], from, to), r[3]) << r[0] << " " << from << "->" << to;
    }
}

// Whether a change of DPI asks for anything, which DPI the dialog takes and which font its controls
// take; where the dialog goes: the system's rectangle, or without one its own with the size scaled.
TEST(Dpi, ChangesOfTheDialogsDpi) {
    const LayoutRect given{1, 2, 3, 4};
    EXPECT_EQ(std::to_string(dpi_changes(96, 0)) + std::to_string(dpi_changes(96, 96)) +
                  std::to_string(dpi_changes(96, 144)) + " " + std::to_string(choose_dpi(120, 144)) + " " +
                  std::to_string(choose_dpi(0, 144)) + " " + std::to_string(choose_dpi(0, 0)) + " " +
                  std::to_string(static_cast<int>(dialog_font_at(144, 144, 0))) +
                  std::to_string(static_cast<int>(dialog_font_at(96, 144, -11))) +
                  std::to_string(static_cast<int>(dialog_font_at(96, 144, 0))) + " " +
                  text_of(rescale_rect({10, 20, 30, 41}, 96, 144)) + " " +
                  text_of(dpi_change_target(&given, {}, 96, 144)) + " " +
                  text_of(dpi_change_target(nullptr, {100, 50, 196, 147}, 96, 144)),
              "001 120 144 96 012 15,30,45,62 1,2,3,4 100,50,244,196");
}

// After a capture that failed every message is ignored; a new capture starts from the size at that
// moment; a missing control is never moved.
TEST(Layout, CapturesAndMissingControls) {
    Dialog m;
    m.layout.count = 0;
    capture_layout(m.layout, m);
    m.dialog = {5, 5, 105, 105};
    EXPECT_EQ(m.send(LAYOUT_WM_SIZE) + m.send(0x0010) + m.send(LAYOUT_WM_MOVE), 1);
    EXPECT_EQ(m.sizing(EDGE_BOTTOMRIGHT, {0, 0, 1, 1}) + m.moves, "0,0,1,1");
    EXPECT_EQ(capture_control_rects(nullptr, 3, m), 0u);

    m.controls.erase(109);
    m.layout.count = MAIN_LAYOUT_ROW_COUNT;
    capture_layout(m.layout, m);
    m.resize_to(600, 200);
    EXPECT_EQ(m.moves, "108 107 101 103 106 105 105 106 107 108 103 101 R");
}

// A stored window opens where it was, sized within desktop and minimum; on no monitor, even by a
// pixel, in the work area (1024 x 740). A minimised one is kept as it will be shown again.
TEST(Layout, RestoresAStoredWindowOnScreen) {
    const struct {
        int32_t x, y;
        uint32_t width, height;
        const char* placed;
    } rows[] = {
        {100, 50, 600, 300, "100,50,700,350"},     {-599, -299, 600, 300, "-599,-299,1,1"},
        {0, 0, 5000, 5000, "0,0,1024,768"},        {100, 50, 10, 10, "100,50,601,280"},
        {-601, 50, 600, 300, "0,50,600,350"},      {1024, 50, 600, 300, "424,50,1024,350"},
        {100, -301, 600, 300, "100,0,700,300"},    {100, 768, 600, 300, "100,440,700,740"},
        {INT32_MIN, 50, 600, 300, "0,50,600,350"}, {100, INT32_MAX, 600, UINT32_MAX, "100,0,700,768"},
    };
    for (const auto& r : rows) {
        Dialog m;
        restore_dialog(m.layout, m, r.x, r.y, r.width, r.height);
        EXPECT_EQ(text_of(m.dialog), r.placed) << r.x << "," << r.y << " " << r.width << "x" << r.height;
    }
    Dialog m;
    const std::string normal = text_of(dialog_rect_to_keep(m));
    m.minimized = true;
    EXPECT_EQ(normal + " " + text_of(dialog_rect_to_keep(m)), "200,150,701,380 7,8,9,10");
    EXPECT_EQ(text_of(placement_on_screen({10, 20, 110, 220}, {-1280, 40, 0, 1064}, {-1300, -20, 0, 1080})),
              "30,80,130,280");
    // As the stores keep it: an edge beyond the screen's left or top as 0, the size as it is.
    WindowValues kept{};
    remember_window_rect(kept, {-5, -1, 95, 57});
    EXPECT_EQ(text_of({int32_t(kept.pos_x), int32_t(kept.pos_y), int32_t(kept.width), int32_t(kept.height)}),
              "0,0,100,58");
}
