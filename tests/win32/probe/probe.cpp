// Records how it was started, so tests can check what a launch passed on:
//   probe.exe [record-file [exit-code]]
// appends "command line|dwFlags|wShowWindow|current directory|KELVAST_PROBE_ENV\n" to the record file
// (probe-record.txt in the current directory when none is named) and ends with the exit code.
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv) {
    STARTUPINFOA startup{};
    GetStartupInfoA(&startup);
    const char* env = std::getenv("KELVAST_PROBE_ENV");
    std::error_code ignored;
    std::ofstream(argc > 1 ? argv[1] : "probe-record.txt", std::ios::app | std::ios::binary)
        << GetCommandLineA() << '|' << startup.dwFlags << '|' << startup.wShowWindow << '|'
        << std::filesystem::current_path(ignored).string() << '|' << (env ? env : "") << '\n';
    return argc > 2 ? std::atoi(argv[2]) : 0;
}
