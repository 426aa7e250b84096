// Records how it was started, so tests can check what a launch passed on: probe.exe <record-file>
// appends "command line|dwFlags|wShowWindow|current directory|KELVAST_PROBE_ENV\n".
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv) {
    STARTUPINFOA startup{};
    GetStartupInfoA(&startup);
    const char* env = std::getenv("KELVAST_PROBE_ENV");
    std::error_code ignored;
    if (argc > 1) {
        std::ofstream(argv[1], std::ios::app | std::ios::binary)
            << GetCommandLineA() << '|' << startup.dwFlags << '|' << startup.wShowWindow << '|'
            << std::filesystem::current_path(ignored).string() << '|' << (env ? env : "") << '\n';
    }
    return 0;
}
