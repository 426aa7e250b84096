#include "support/test_support.h"

#include <filesystem>
#include <vector>

std::string path_beside_test(const char* file_name) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string test(path, n < sizeof path ? n : 0);
    return test.substr(0, test.find_last_of("\\/") + 1) + file_name;  // npos + 1: no folder
}

std::string fresh_temp_dir(const char* name) {
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp, n < sizeof temp ? n : 0) + "kelvast-" + name;
    std::error_code ignored;  // what cannot be removed stays: each test writes its files afresh
    std::filesystem::remove_all(dir, ignored);
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::string narrow(const wchar_t* text, int length) {
    std::string out(length > 0 ? WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr) : 0, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], static_cast<int>(out.size()), nullptr, nullptr);
    return out;
}

std::string window_text(HWND window) {
    DWORD_PTR length = 0, copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
        return std::string();
    }
    std::vector<wchar_t> wide(length + 1, L'\0');
    SendMessageTimeoutW(window, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG, 2000,
                        &copied);
    return narrow(wide.data(), static_cast<int>(copied < length ? copied : length));
}

bool pump_until(bool (*done)(void*), void* context, DWORD timeout_ms) {
    for (DWORD start = GetTickCount(); !done(context); MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT)) {
        if (GetTickCount() - start >= timeout_ms) {
            return false;
        }
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); DispatchMessageA(&msg)) {
            TranslateMessage(&msg);
        }
    }
    return true;
}
