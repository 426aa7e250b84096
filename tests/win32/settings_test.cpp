// The settings store on the real registry and real ini files, with the same cases as the
// in-memory suite, plus the ini path rule.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/settings_win32.h"
#include "support/test_support.h"
#include "tests/shared/settings_cases.h"

namespace {

const char* const VENDOR_KEY = "Software\\Tansky Freeware";

class RegistryWorld : public SettingsWorld {
  public:
    RegistryWorld() : dir_(fresh_temp_dir(::testing::UnitTest::GetInstance()->current_test_info()->name())) { reset(); }
    ~RegistryWorld() override { RegDeleteTreeA(HKEY_CURRENT_USER, VENDOR_KEY); }

    SettingsBackend& backend() override { return win32_settings_backend(); }
    // A new file each time: the profile functions may keep a file they read in memory.
    void reset() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, VENDOR_KEY);
        ini_ = dir_ + "\\settings" + std::to_string(++generation_) + ".ini";
    }
    const char* ini_path() override { return ini_.c_str(); }

    bool reg_value(const std::string& path, const char* name, uint32_t& type, std::string& bytes) override {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        std::vector<BYTE> data(65536);
        DWORD raw_type = 0, size = static_cast<DWORD>(data.size());
        LONG rc = RegQueryValueExA(key, name, nullptr, &raw_type, data.data(), &size);
        RegCloseKey(key);
        type = raw_type;
        bytes.assign(reinterpret_cast<const char*>(data.data()), size);
        return rc == ERROR_SUCCESS;
    }
    void put_reg_value(const std::string& path, const char* name, uint32_t type, const std::string& bytes) override {
        HKEY key;
        ASSERT_EQ(
            RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
        // The platform counts a zero byte just past a text as forgotten and adds it; a byte other
        // than zero there keeps the stored bytes exactly as given.
        std::vector<BYTE> data(bytes.begin(), bytes.end());
        data.push_back('x');
        RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    }
    bool reg_key_exists(const std::string& path) override {
        HKEY key;
        bool found = RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (found) {
            RegCloseKey(key);
        }
        return found;
    }
    // Read with a default no test writes, not with the store's own presence rule.
    bool ini_value(const char* section, const char* name, std::string& text) override {
        std::vector<char> line(65536);
        GetPrivateProfileStringA(section, name, "\x7f", line.data(), static_cast<DWORD>(line.size()), ini_.c_str());
        text = line.data();
        return text != "\x7f";
    }
    void put_ini_value(const char* section, const char* name, const std::string& text) override {
        WritePrivateProfileStringA(section, name, text.c_str(), ini_.c_str());
    }

  private:
    std::string dir_, ini_;
    int generation_ = 0;
};

class SettingsWin32Test : public ::testing::Test {
  protected:
    RegistryWorld world;
};

}  // namespace

TEST_F(SettingsWin32Test, StorageModes) {
    case_storage_modes(world);
}
TEST_F(SettingsWin32Test, NumberLists) {
    case_number_lists(world);
}
TEST_F(SettingsWin32Test, RowWithoutOverwriteKeepsStoredValue) {
    case_row_without_overwrite_keeps_stored_value(world);
}
TEST_F(SettingsWin32Test, ValuesStayInsideTheirVariable) {
    case_values_stay_inside_their_variable(world);
}
TEST_F(SettingsWin32Test, MultiStrings) {
    case_multi_strings(world);
}
TEST_F(SettingsWin32Test, ClearRegistry) {
    case_clear_registry(world);
}
TEST_F(SettingsWin32Test, PathsThatDoNotFitFailCleanly) {
    case_paths_that_do_not_fit(world);
}

TEST(SettingsWin32, ResolveIniPath) {
    std::string dir = fresh_temp_dir("resolve");
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    struct Row {
        std::string given;
        size_t size;
        bool fits;
        std::string expect;
    };
    const Row rows[] = {
        {"Kelvast.ini", 520, true, path_beside_test("Kelvast.ini")},
        {"sub\\k.ini", 520, true, dir + "\\sub\\k.ini"},
        {"sub/../k.ini", 520, true, dir + "\\k.ini"},
        {"C:\\data\\k.ini", 520, true, "C:\\data\\k.ini"},
        {"\\\\server\\share\\k.ini", 520, true, "\\\\server\\share\\k.ini"},
        {"Kelvast.ini", 8, false, ""},
        {"sub\\k.ini", 8, false, ""},
        {"C:\\" + std::string(600, 'n'), 520, false, ""},
        {"", 520, false, ""},
    };
    for (const Row& row : rows) {
        std::vector<char> out(row.size + 1, 'x');
        EXPECT_EQ(resolve_ini_path(row.given.c_str(), out.data(), row.size), row.fits) << row.given;
        EXPECT_EQ(std::string(out.data()), row.expect) << row.given;
        EXPECT_EQ(out[row.size], 'x') << row.given;
    }
}
