// Records how it was started, one line per run, so tests can check what a launch passed on:
//   probe.exe <record-file> [more args...]
//   appends "command line|dwFlags|wShowWindow|current directory|KELVAST_PROBE_ENV\n"
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        return 0;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);

    char directory[MAX_PATH * 2] = "";
    DWORD length = GetCurrentDirectoryA(sizeof directory, directory);
    if (length >= sizeof directory) {
        directory[0] = '\0';
    }
    char env[1024] = "";
    length = GetEnvironmentVariableA("KELVAST_PROBE_ENV", env, sizeof env);
    if (length >= sizeof env) {
        env[0] = '\0';
    }

    std::string line = GetCommandLineA();
    line += '|' + std::to_string(startup.dwFlags) + '|' + std::to_string(startup.wShowWindow) + '|' + directory + '|' +
            env + '\n';

    // One append write, so lines of runs that overlap never interleave.
    HANDLE file = CreateFileA(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(file);
    }
    return 0;
}
