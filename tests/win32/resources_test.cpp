// The resources linked into the program that no dialog shows: icon groups, manifest, version. The
// strings are checked where a user sees them, in the end-to-end tests.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"

TEST(Resources, IconGroupsManifestAndVersion) {
    const char* groups[] = {"MyWinIcon", "MYWINICON1", "MYWINICON2", "MYWINICON3", "MYWINICON4"};
    for (const char* group : groups) {
        EXPECT_NE(FindResourceA(nullptr, group, MAKEINTRESOURCEA(14)), nullptr) << group;
    }
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), "MyWinIcon"), nullptr);

    HRSRC manifest = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(manifest, nullptr);
    std::string text(static_cast<const char*>(LockResource(LoadResource(nullptr, manifest))),
                     SizeofResource(nullptr, manifest));
    EXPECT_NE(text.find("level=\"asInvoker\" uiAccess=\"false\""), std::string::npos);
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);

    HRSRC version = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
    ASSERT_NE(version, nullptr);
    const BYTE* block = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, version)));
    DWORD size = SizeofResource(nullptr, version);
    const VS_FIXEDFILEINFO* fixed = nullptr;
    for (DWORD at = 0; fixed == nullptr && at + sizeof *fixed <= size; at += 4) {
        fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(block + at);
        fixed = fixed->dwSignature == 0xFEEF04BD ? fixed : nullptr;
    }
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwFileVersionMS, 30u);  // 0.30
    EXPECT_EQ(fixed->dwProductVersionMS, 30u);
}
