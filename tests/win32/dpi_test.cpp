// The dialog at other display scales: kelvast.exe started at 144 and 192 DPI (the prefix's
// LogPixels, which Wine reads when a program starts), and the real dialog following WM_DPICHANGED
// as the system sends it when the window moves to a monitor with another scale.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "res/resource.h"
#include "support/kelvast_driver.h"
#include "ui/dpi.h"
#include "ui/main_dialog_win32.h"

static std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace {

// LogPixels for the programs started while this lives; the old value comes back afterwards.
class DisplayScale {
  public:
    explicit DisplayScale(DWORD dpi) {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        nullptr);
        DWORD size = sizeof old_;
        had_ = RegQueryValueExA(key_, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_), &size) ==
               ERROR_SUCCESS;
        RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }
    ~DisplayScale() {
        if (had_) {
            RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_), sizeof old_);
        } else {
            RegDeleteValueA(key_, "LogPixels");
        }
        RegCloseKey(key_);
    }
    DisplayScale(const DisplayScale&) = delete;
    DisplayScale& operator=(const DisplayScale&) = delete;

  private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false;
};

bool under_wine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

RECT window_rect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// Every control of the dialog lies inside its client area, and no two overlap, but for the day
// boxes inside the frame that groups them.
void expect_tidy(HWND dialog, unsigned dpi) {
    RECT client{};
    GetClientRect(dialog, &client);
    struct Control {
        int id;
        RECT rect;
        bool group;
    };
    std::vector<Control> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r = window_rect(child);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        char class_name[16] = "";
        GetClassNameA(child, class_name, sizeof class_name);
        const bool group =
            lstrcmpiA(class_name, "Button") == 0 && (GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
        controls.push_back({GetDlgCtrlID(child), r, group});
    }
    ASSERT_EQ(controls.size(), 17u);
    for (size_t i = 0; i < controls.size(); ++i) {
        const RECT& r = controls[i].rect;
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom &&
                    r.left < r.right && r.top < r.bottom)
            << "control " << controls[i].id << " at " << r << " in " << client << " at " << dpi << " DPI";
        for (size_t j = i + 1; j < controls.size(); ++j) {
            // The system rounds the template's dialog units to pixels one by one, so neighbours that
            // meet in the template may share one pixel column or row.
            RECT both{};
            if (!IntersectRect(&both, &r, &controls[j].rect) || both.right - both.left <= 1 ||
                both.bottom - both.top <= 1) {
                continue;
            }
            const Control& outer = controls[i].group ? controls[i] : controls[j];
            const Control& inner = controls[i].group ? controls[j] : controls[i];
            RECT inside{};
            UnionRect(&inside, &outer.rect, &inner.rect);
            EXPECT_TRUE(outer.group && EqualRect(&inside, &outer.rect))
                << "controls " << controls[i].id << " and " << controls[j].id << " overlap at " << dpi << " DPI";
        }
    }
}

// The snapping distance, seen from outside: a window that far from the left edge stays, one pixel
// nearer is pulled onto it.
void expect_snap_distance(HWND dialog, int distance, unsigned dpi) {
    const RECT r = window_rect(dialog);
    for (int x : {distance, distance - 1}) {
        MoveWindow(dialog, x, 200, r.right - r.left, r.bottom - r.top, TRUE);
        EXPECT_EQ(window_rect(dialog).left, x == distance ? x : 0) << "moved to " << x << " at " << dpi << " DPI";
    }
    MoveWindow(dialog, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

// What the minimum-size rule makes of a tiny window, dragged at its bottom-right corner.
SIZE minimum_size(HWND dialog) {
    RECT tiny{300, 200, 310, 210};
    SendMessageA(dialog, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&tiny));
    return SIZE{tiny.right - tiny.left, tiny.bottom - tiny.top};
}

TEST(Dpi, ProgramStartedAtAScaleDrawsForIt) {
    // Under Wine at three scales of the test's own prefix; on Windows, whose LogPixels belongs to
    // the user and takes effect only at the next log-on, at the scale the system has.
    const std::vector<DWORD> dpis = under_wine() ? std::vector<DWORD>{96, 144, 192} : std::vector<DWORD>{0};
    for (DWORD requested : dpis) {
        std::unique_ptr<DisplayScale> scale;
        if (requested != 0) {
            scale = std::make_unique<DisplayScale>(requested);
        }
        Kelvast kelvast("-rd -id");
        ASSERT_NE(kelvast.dialog, nullptr) << requested;
        // From another process Wine's GetDpiForWindow answers with the caller's DPI.
        const DWORD dpi = requested != 0 ? requested : GetDpiForWindow(kelvast.dialog);
        // The command line's font shows in the height of the list's items.
        const LRESULT item_height = SendMessageA(kelvast.item(IDC_PROGRAM), CB_GETITEMHEIGHT, 0, 0);
        EXPECT_NEAR(item_height, scale_for_dpi(15, dpi), 1) << dpi;
        expect_snap_distance(kelvast.dialog, scale_for_dpi(20, dpi), dpi);
        const RECT r = kelvast.rect();
        // The template's size at this DPI is the smallest the user can drag the dialog to.
        const SIZE minimum = minimum_size(kelvast.dialog);
        EXPECT_EQ(minimum.cx, r.right - r.left) << dpi;
        EXPECT_EQ(minimum.cy, r.bottom - r.top) << dpi;
        expect_tidy(kelvast.dialog, dpi);
        EXPECT_TRUE(kelvast.exit());
    }
}

class DpiChange : public testing::Test {
  protected:
    std::unique_ptr<MainDialogContext> context{new MainDialogContext};
    HWND dialog = nullptr;
    UINT start_dpi = 0;
    RECT start{};

    void SetUp() override {
        InitCommonControls();
        context->instance = GetModuleHandleA(nullptr);
        dialog = CreateDialogParamA(context->instance, "DLG_KELVAST", nullptr, main_dialog_proc,
                                    reinterpret_cast<LPARAM>(context.get()));
        ASSERT_NE(dialog, nullptr);
        start_dpi = GetDpiForWindow(dialog);
        start = window_rect(dialog);
        // Away from the screen's edges, so that no move snaps.
        OffsetRect(&start, 100 - start.left, 150 - start.top);
        MoveWindow(dialog, start.left, start.top, start.right - start.left, start.bottom - start.top, TRUE);
    }
    void TearDown() override {
        if (dialog != nullptr) {
            DestroyWindow(dialog);
        }
    }
    // As the system does on a move to a monitor at `dpi`: the same place, the size scaled.
    RECT change_to(UINT dpi) {
        RECT suggested = start;
        suggested.right = start.left + rescale_for_dpi(start.right - start.left, start_dpi, dpi);
        suggested.bottom = start.top + rescale_for_dpi(start.bottom - start.top, start_dpi, dpi);
        SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        return suggested;
    }
    LONG font_height(int id) {
        LOGFONTA font{};
        GetObjectA(reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, id, WM_GETFONT, 0, 0)), sizeof font, &font);
        return font.lfHeight;
    }
    std::vector<RECT> control_rects() {
        std::vector<RECT> rects;
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            rects.push_back(window_rect(child));
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rects.back()), 2);
        }
        return rects;
    }
};

TEST_F(DpiChange, FontsLayoutMinimumSizeAndSnappingFollowAndComeBack) {
    const std::vector<RECT> captured = control_rects();
    const LONG button_font = font_height(IDC_START);
    const SIZE minimum = minimum_size(dialog);
    EXPECT_EQ(font_height(IDC_PROGRAM), scale_for_dpi(15, start_dpi));

    for (UINT dpi : {144u, 192u, 120u, start_dpi}) {
        const RECT suggested = change_to(dpi);
        const RECT now = window_rect(dialog);
        EXPECT_TRUE(EqualRect(&now, &suggested)) << now << " for " << suggested << " at " << dpi;
        EXPECT_EQ(font_height(IDC_PROGRAM), scale_for_dpi(15, dpi)) << dpi;
        EXPECT_EQ(font_height(IDC_START), rescale_for_dpi(button_font, start_dpi, dpi)) << dpi;
        const SIZE min_now = minimum_size(dialog);
        EXPECT_EQ(min_now.cx, rescale_for_dpi(minimum.cx, start_dpi, dpi)) << dpi;
        EXPECT_EQ(min_now.cy, rescale_for_dpi(minimum.cy, start_dpi, dpi)) << dpi;
        expect_snap_distance(dialog, scale_for_dpi(20, dpi), dpi);
        expect_tidy(dialog, dpi);

        // The anchors still hold: 100 pixels wider moves the Exit button with the right edge.
        RECT exit_before = window_rect(GetDlgItem(dialog, IDC_EXIT));
        MoveWindow(dialog, now.left, now.top, now.right - now.left + 100, now.bottom - now.top, TRUE);
        RECT exit_after = window_rect(GetDlgItem(dialog, IDC_EXIT));
        EXPECT_EQ(exit_after.left - exit_before.left, 100) << dpi;
        MoveWindow(dialog, now.left, now.top, now.right - now.left, now.bottom - now.top, TRUE);
    }
    // Back at the first DPI everything is where the template put it.
    const std::vector<RECT> back = control_rects();
    ASSERT_EQ(back.size(), captured.size());
    for (size_t i = 0; i < back.size(); ++i) {
        EXPECT_TRUE(EqualRect(&back[i], &captured[i])) << i << ": " << back[i] << " was " << captured[i];
    }
}

TEST_F(DpiChange, WithoutASuggestedRectangleTheDialogKeepsItsPlace) {
    SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(192, 192), 0);
    const RECT now = window_rect(dialog);
    EXPECT_EQ(now.left, start.left);
    EXPECT_EQ(now.top, start.top);
    EXPECT_EQ(now.right - now.left, rescale_for_dpi(start.right - start.left, start_dpi, 192));
    EXPECT_EQ(font_height(IDC_PROGRAM), 30);
    expect_tidy(dialog, 192);
}

}  // namespace
