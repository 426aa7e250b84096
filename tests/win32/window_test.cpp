// kelvast.exe's window from outside: its frame at a higher display scale, Start and Cancel
// repeated, the resources built into it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "support/kelvast_driver.h"

namespace {

std::string str(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// A control's place in the dialog's client area, which it must not leave.
RECT place(HWND dialog, HWND control) {
    RECT r{}, client{}, both{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    GetClientRect(dialog, &client);
    EXPECT_TRUE(IntersectRect(&both, &r, &client) && EqualRect(&both, &r)) << GetDlgCtrlID(control) << " " << str(r);
    return r;
}

std::string controls(HWND dialog) {
    std::string all;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        all += str(place(dialog, child)) + " ";
    }
    return all;
}

TEST(Window, FrameAtAHigherScale) {
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr) {
        GTEST_SKIP() << "the display scale is the user's own, read at log-on";
    }
    // The prefix's LogPixels counts for programs started after it is set: the desktop comes first.
    GetDesktopWindow();
    const int dpi = 144;
    const std::string ini = path_beside_test("Kelvast.ini");
    DeleteFileA(ini.c_str());
    RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi);
    Kelvast k("-rd");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels");
    ASSERT_NE(k.dialog, nullptr);
    // The list's font, the minimum size, the snapping distance and the layout at this scale.
    EXPECT_NEAR(SendMessageA(k.item(IDC_PROGRAM), CB_GETITEMHEIGHT, 0, 0), MulDiv(15, dpi, 96), 1);
    const RECT start = k.rect();
    const int w = start.right - start.left, h = start.bottom - start.top, d = MulDiv(20, dpi, 96);
    RECT tiny{300, 200, 310, 210};
    SendMessageA(k.dialog, WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&tiny));
    EXPECT_EQ(str(tiny), str({310 - w, 210 - h, 310, 210})) << "the template's size is the smallest";
    const int right = GetSystemMetrics(SM_CXFULLSCREEN) - w;
    // Moved to x, y, the frame ends at the next two.
    const int moves[] = {d,     150, d,          150,       d - 1,      150,      0, 150,           1 - d,
                         150,   0,   150,        150,       d - 1,      150,      0, right + d - 1, 150,
                         right, 150, start.left, start.top, start.left, start.top};
    for (const int* m = moves; m < moves + 24; m += 4) {
        MoveWindow(k.dialog, m[0], m[1], w, h, TRUE);
        EXPECT_EQ(str(k.rect()), str({m[2], m[3], m[2] + w, m[3] + h})) << m[0] << "," << m[1];
    }

    const std::string before = controls(k.dialog);
    // How far the left and right edges move with the frame's width; none moves with its height.
    const int rows[][3] = {{IDC_PROGRAM, 0, 1}, {IDC_EXIT, 1, 1}, {IDC_INFO, 0, 0}, {IDC_DAY_SA, 0, 0}};
    RECT at[4], client{}, work{};
    for (int i = 0; i < 4; ++i) {
        at[i] = place(k.dialog, k.item(rows[i][0]));
    }
    ShowWindow(k.dialog, SW_MAXIMIZE);
    const RECT now = k.rect();
    for (int i = 0, dw = now.right - now.left - w; i < 4; ++i) {
        const RECT e{at[i].left + rows[i][1] * dw, at[i].top, at[i].right + rows[i][2] * dw, at[i].bottom};
        EXPECT_EQ(str(place(k.dialog, k.item(rows[i][0]))), str(e)) << rows[i][0] << " in " << str(now);
    }
    GetClientRect(k.dialog, &client);
    const RECT status = place(k.dialog, k.item(IDC_STATUS));
    EXPECT_TRUE(status.left == 0 && status.right == client.right && status.bottom == client.bottom) << str(status);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(work.left - now.left, now.right - work.right) << "maximised, yet snapped";
    ShowWindow(k.dialog, SW_RESTORE);
    EXPECT_EQ(controls(k.dialog), before);
    // Moved to a monitor at 96 DPI and back, as the system tells it. The message's rectangle is
    // passed on as it is, so it must lie in the program's own memory.
    RECT* remote = static_cast<RECT*>(VirtualAllocEx(k.process.hProcess, nullptr, 16, MEM_COMMIT, PAGE_READWRITE));
    for (const int to : {96, dpi}) {
        const RECT r = to == dpi ? start : RECT{150, 130, 150 + MulDiv(w, 96, dpi), 130 + MulDiv(h, 96, dpi)};
        WriteProcessMemory(k.process.hProcess, remote, &r, sizeof r, nullptr);
        SendMessageA(k.dialog, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(remote));
        EXPECT_EQ(str(k.rect()), str(r)) << to;
        EXPECT_NEAR(SendMessageA(k.item(IDC_PROGRAM), CB_GETITEMHEIGHT, 0, 0), MulDiv(15, to, 96), 1) << to;
        controls(k.dialog);
    }
    EXPECT_EQ(controls(k.dialog), before) << "back at the first scale";
    k.post(IDABORT);  // Exit, as Escape is
    EXPECT_EQ(WaitForSingleObject(k.process.hProcess, 15000), WAIT_OBJECT_0);
    EXPECT_TRUE(file_exists(ini)) << "beside the program";
    DeleteFileA(ini.c_str());
}

TEST(Window, ARepeatedStartUndoesACancelAndEveryRunEndsOnCancel) {
    Kelvast k("-rd -id");
    ASSERT_NE(k.dialog, nullptr);
    auto idle = [&] { return IsWindowEnabled(k.item(IDC_START)) && IsWindowEnabled(k.item(IDC_DAY_SA)); };
    k.start("never-a.exe", "11", "1000001");
    EXPECT_FALSE(IsWindowEnabled(k.item(IDC_PROGRAM)) || !IsWindowEnabled(k.item(IDC_CANCEL)));
    // Cancel and Enter both between two of the worker's polls, which fall just after each fifth of
    // a second: the worker never sees the stop.
    SYSTEMTIME now;
    wait_until([&] { return GetLocalTime(&now), (now.wMilliseconds + 180) % 200 < 80; });
    k.set_text(IDC_STATUS, "");
    k.post(IDC_CANCEL);
    k.post(IDOK);
    EXPECT_TRUE(k.status_becomes("Waiting to start program at 11:00:00"));
    EXPECT_FALSE(wait_until(idle, 600)) << "the worker ended";
    // Each Start after an ended run has a worker of its own to cancel.
    for (const char* program : {"never-b.exe", ""}) {
        k.command(IDC_CANCEL);
        EXPECT_TRUE(k.status_becomes("Thread ended normally") && idle()) << program;
        k.start(program, "12", "0000010");
        EXPECT_EQ(k.text(IDC_STATUS), "Waiting to start program at 12:00:00");
    }
    EXPECT_EQ(k.list(), "never-b.exe\nnever-a.exe\n") << "an empty command line is not listed";
    k.post(IDCANCEL);
    EXPECT_EQ(WaitForSingleObject(k.process.hProcess, 15000), WAIT_OBJECT_0);
}

TEST(Window, ResourcesOfTheProgram) {
    HMODULE exe = LoadLibraryExA(path_beside_test("kelvast.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    auto resource = [&](const char* name, int type) {
        HRSRC found = FindResourceA(exe, name, MAKEINTRESOURCEA(type));
        const char* bytes = found != nullptr ? static_cast<const char*>(LockResource(LoadResource(exe, found))) : "";
        return std::string(bytes, found != nullptr ? SizeofResource(exe, found) : 0);
    };
    for (const char* group : {"MyWinIcon", "MYWINICON1", "MYWINICON2", "MYWINICON3", "MYWINICON4"}) {
        EXPECT_FALSE(resource(group, 14).empty()) << group;
    }
    const std::string version = resource(MAKEINTRESOURCEA(1), 16);
    // Behind the fixed part's signature and layout version: file and product version, 0.30.0.0.
    const size_t fixed = version.find("\xBD\x04\xEF\xFE");
    ASSERT_NE(fixed, std::string::npos);
    EXPECT_EQ(version.substr(fixed + 8, 16), std::string("\x1E\0\0\0\0\0\0\0\x1E\0\0\0\0\0\0\0", 16));
    FreeLibrary(exe);
}

}  // namespace
