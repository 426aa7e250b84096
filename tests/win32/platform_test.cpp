// The test harness itself: Wine runs our programs with a real registry and real processes.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/test_support.h"

TEST(Platform, RegistryRoundTripInTheTestPrefix) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\KelvastHarness", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    DWORD value = 640, read = 0, size = sizeof read;
    RegSetValueExA(key, "Probe", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    EXPECT_EQ(RegQueryValueExA(key, "Probe", nullptr, nullptr, reinterpret_cast<BYTE*>(&read), &size), ERROR_SUCCESS);
    EXPECT_EQ(read, 640u);
    RegCloseKey(key);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\KelvastHarness");
}

TEST(Platform, TestProgramsSitInOneFolder) {
    std::string self = path_beside_test("win32_platform_test.exe");
    EXPECT_NE(GetFileAttributesA(self.c_str()), INVALID_FILE_ATTRIBUTES) << self;
}
