#include "support/test_support.h"

#include <vector>

std::string path_beside_test(const char* file_name) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir(path, n < sizeof path ? n : 0);
    size_t slash = dir.find_last_of("\\/");
    dir = slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
    return dir + file_name;
}

std::string fresh_temp_dir(const char* name) {
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp, n < sizeof temp ? n : 0) + "kelvast-" + name;
    std::string pattern = dir + "\\*";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileA((dir + "\\" + found.cFileName).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::string window_text(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
        return std::string();
    }
    std::vector<wchar_t> wide(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG, 2000,
                        &copied);
    if (copied > length) {
        copied = length;
    }
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(copied), nullptr, 0, nullptr, nullptr);
    std::string text(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0) {
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(copied), &text[0], bytes, nullptr, nullptr);
    }
    return text;
}

bool pump_until(bool (*done)(void*), void* context, DWORD timeout_ms) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done(context)) {
            return true;
        }
        if (GetTickCount() - start >= timeout_ms) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
