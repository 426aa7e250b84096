// Records how it was started, one line per run, so tests can check what a launch passed on:
//   probe.exe <record-file> [more args...]
//   appends "command line|dwFlags|wShowWindow|current directory|KELVAST_PROBE_ENV\n"
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    STARTUPINFOA startup = {};
    GetStartupInfoA(&startup);
    char directory[MAX_PATH * 2] = "", env[1024] = "";
    if (GetCurrentDirectoryA(sizeof directory, directory) >= sizeof directory) {
        directory[0] = '\0';
    }
    if (GetEnvironmentVariableA("KELVAST_PROBE_ENV", env, sizeof env) >= sizeof env) {
        env[0] = '\0';
    }
    std::string line = std::string(GetCommandLineA()) + '|' + std::to_string(startup.dwFlags) + '|' +
                       std::to_string(startup.wShowWindow) + '|' + directory + '|' + env + '\n';
    // One append write, so lines of runs that overlap never interleave.
    HANDLE file = argc < 2
                      ? INVALID_HANDLE_VALUE
                      : CreateFileA(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(file);
    }
    return 0;
}
