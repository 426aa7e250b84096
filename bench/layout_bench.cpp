// Cost of one relayout and one snap, without the window system's own work.
#include <benchmark/benchmark.h>

#include "ui/layout.h"
#include "ui/main_layout.h"

namespace {

class NoOpWindows final : public WindowOps {
  public:
    LayoutRect dialog{200, 150, 701, 380};
    int64_t moves = 0;

    bool dialog_rect(LayoutRect& rect) override {
        rect = dialog;
        return true;
    }
    bool dialog_minimized_or_maximized() override { return false; }
    bool control_client_rect(int32_t id, LayoutRect& rect) override {
        rect = {id, id * 2, id + 60, id * 2 + 20};
        return true;
    }
    void move_control(int32_t, int32_t, int32_t, int32_t, int32_t) override { ++moves; }
    void move_dialog(int32_t, int32_t, int32_t, int32_t) override { ++moves; }
    int32_t full_screen_width() override { return 1280; }
    int32_t full_screen_height() override { return 1024; }
    void repaint() override {}
    LayoutRect desktop_rect() override { return {0, 0, 1280, 1024}; }
    bool on_a_monitor(const LayoutRect&) override { return true; }
    LayoutRect nearest_work_area(const LayoutRect&) override { return {0, 0, 1280, 1024}; }
    bool dialog_minimized() override { return false; }
    LayoutRect normal_dialog_rect() override { return dialog; }
};

// The program's layout table, captured over the fake windows.
struct CapturedMainLayout {
    CapturedMainLayout() {
        load_main_layout(table);
        capture_layout(layout, windows);
    }
    LayoutEntry table[MAIN_LAYOUT_ROW_COUNT];
    Layout layout{table, MAIN_LAYOUT_ROW_COUNT};
    NoOpWindows windows;
};

// Each iteration changes both dimensions, so both passes run: 14 placements and two sorts.
void BM_RelayoutControls(benchmark::State& state) {
    CapturedMainLayout main;
    Layout& layout = main.layout;
    NoOpWindows& windows = main.windows;
    int32_t step = 0;
    for (auto _ : state) {
        step = (step + 1) & 1;
        windows.dialog.right = 701 + step * 40;
        windows.dialog.bottom = 380 + step * 25;
        relayout_controls(layout, windows);
    }
    benchmark::DoNotOptimize(windows.moves);
}
BENCHMARK(BM_RelayoutControls);

// A move near the left and bottom lines: both axes are tested and one move is requested.
void BM_SnapOnMove(benchmark::State& state) {
    CapturedMainLayout main;
    Layout& layout = main.layout;
    NoOpWindows& windows = main.windows;
    windows.dialog = {7, 800, 508, 1010};
    for (auto _ : state) {
        benchmark::DoNotOptimize(handle_layout_message(layout, windows, LAYOUT_WM_MOVE, 0, 0));
    }
    benchmark::DoNotOptimize(windows.moves);
}
BENCHMARK(BM_SnapOnMove);

}  // namespace
