// The settings store on the real registry and real ini files, with the same cases as the
// in-memory suite, plus the program's own table and the ini path rule.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/program_state.h"
#include "config/settings_win32.h"
#include "support/test_support.h"
#include "tests/shared/settings_cases.h"

namespace {

const char* const TEST_PARENT = "Software\\Kelvast Tests";

class RegistryWorld : public SettingsWorld {
  public:
    explicit RegistryWorld(const char* name) {
        RegDeleteTreeA(HKEY_CURRENT_USER, TEST_PARENT);
        ini_ = fresh_temp_dir(name) + "\\settings.ini";
    }
    ~RegistryWorld() override { RegDeleteTreeA(HKEY_CURRENT_USER, TEST_PARENT); }

    SettingsBackend& backend() override { return win32_settings_backend(); }
    uintptr_t root() override { return reinterpret_cast<uintptr_t>(HKEY_CURRENT_USER); }
    std::string key_path() override { return std::string(TEST_PARENT) + "\\Store"; }
    std::string parent_path() override { return TEST_PARENT; }
    std::string ini_path() override { return ini_; }

    bool reg_value(const std::string& path, const char* name, uint32_t& type, std::string& bytes) override {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        DWORD raw_type = 0, size = 0;
        LONG rc = RegQueryValueExA(key, name, nullptr, &raw_type, nullptr, &size);
        std::vector<BYTE> data(size + 1);
        if (rc == ERROR_SUCCESS) {
            rc = RegQueryValueExA(key, name, nullptr, &raw_type, data.data(), &size);
        }
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
    void delete_reg_value(const std::string& path, const char* name) override {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, name);
            RegCloseKey(key);
        }
    }
    bool reg_key_exists(const std::string& path) override {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }
    // Read as the file's lines, not with the store's own presence rule.
    bool ini_value(const char* section, const char* name, std::string& text) override {
        std::vector<char> lines(65536);
        DWORD n = GetPrivateProfileSectionA(section, lines.data(), static_cast<DWORD>(lines.size()), ini_.c_str());
        std::string wanted = std::string(name) + "=";
        for (DWORD at = 0; at < n && lines[at] != '\0';) {
            std::string line(&lines[at]);
            if (line.size() >= wanted.size() && lstrcmpiA(line.substr(0, wanted.size()).c_str(), wanted.c_str()) == 0) {
                text = line.substr(wanted.size());
                return true;
            }
            at += static_cast<DWORD>(line.size()) + 1;
        }
        return false;
    }
    void put_ini_value(const char* section, const char* name, const std::string& text) override {
        WritePrivateProfileStringA(section, name, text.c_str(), ini_.c_str());
    }
    void delete_ini_value(const char* section, const char* name) override {
        WritePrivateProfileStringA(section, name, nullptr, ini_.c_str());
    }
    bool ini_exists() override { return GetFileAttributesA(ini_.c_str()) != INVALID_FILE_ATTRIBUTES; }

  private:
    std::string ini_;
};

std::string current_test_name() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

class SettingsWin32Test : public ::testing::Test {
  protected:
    SettingsWin32Test() : world(current_test_name().c_str()) {}
    RegistryWorld world;
};

}  // namespace

TEST_F(SettingsWin32Test, FirstRunCreatesEveryValue) {
    case_first_run_creates_every_value(world);
}
TEST_F(SettingsWin32Test, ModeZeroTouchesNothing) {
    case_mode_zero_touches_nothing(world);
}
TEST_F(SettingsWin32Test, RegistryExportsToIni) {
    case_registry_exports_to_ini(world);
}
TEST_F(SettingsWin32Test, IniExportsToRegistry) {
    case_ini_exports_to_registry(world);
}
TEST_F(SettingsWin32Test, BothReadBitsPreferIni) {
    case_both_read_bits_prefer_ini(world);
}
TEST_F(SettingsWin32Test, EmptyHistoryLineIsPresent) {
    case_empty_history_line_is_present(world);
}
TEST_F(SettingsWin32Test, NumberListTexts) {
    case_number_list_texts(world);
}
TEST_F(SettingsWin32Test, NumbersAreWrittenInTheirForms) {
    case_numbers_are_written_in_their_forms(world);
}
TEST_F(SettingsWin32Test, RowWithoutOverwriteKeepsStoredValue) {
    case_row_without_overwrite_keeps_stored_value(world);
}
TEST_F(SettingsWin32Test, LongTextsEndInsideTheVariable) {
    case_long_texts_end_inside_the_variable(world);
}
TEST_F(SettingsWin32Test, NumberOfAnotherSizeFails) {
    case_number_of_another_size_fails(world);
}
TEST_F(SettingsWin32Test, HistoryOverItsSizeFails) {
    case_history_over_its_size_fails(world);
}
TEST_F(SettingsWin32Test, MultiStringExamplesRoundTrip) {
    case_multi_string_examples_round_trip(world);
}
TEST_F(SettingsWin32Test, OddIniHistoryStaysInsideTheVariable) {
    case_odd_ini_history_stays_inside_the_variable(world);
}
TEST_F(SettingsWin32Test, ClearRegistryRemovesKeyWithSubkeys) {
    case_clear_registry(world);
}
TEST_F(SettingsWin32Test, PathsThatDoNotFitFailCleanly) {
    case_paths_that_do_not_fit(world);
}

// The program's own table and key, as start-up and the dialog use them.
TEST(SettingsWin32, ProgramTableRoundTripsAndClears) {
    const char* const vendor = "Software\\Tansky Freeware";
    RegDeleteTreeA(HKEY_CURRENT_USER, vendor);
    EXPECT_EQ(settings_store.root_key, reinterpret_cast<uintptr_t>(HKEY_CURRENT_USER));
    settings_store.mode = MODE_READ_REGISTRY | MODE_WRITE_REGISTRY;
    EXPECT_FALSE(load_settings(settings_store, win32_settings_backend()));

    window_values = {40, 50, 600, 400};
    version_value = 30;
    const std::string entries = multi_of({"notepad.exe", "07:30:00", "0111110"});
    memcpy(history.buffer, entries.data(), entries.size());
    save_settings(settings_store, win32_settings_backend());

    struct Expect {
        const char* key;
        const char* name;
        DWORD type;
        DWORD size;
    };
    const Expect expected[] = {
        {"Software\\Tansky Freeware\\Kelvast\\Window", "PosX", REG_DWORD, 4},
        {"Software\\Tansky Freeware\\Kelvast\\Window", "PosY", REG_DWORD, 4},
        {"Software\\Tansky Freeware\\Kelvast\\Window", "Width", REG_DWORD, 4},
        {"Software\\Tansky Freeware\\Kelvast\\Window", "Height", REG_DWORD, 4},
        {"Software\\Tansky Freeware\\Kelvast\\Program", "Version", REG_DWORD, 4},
        {"Software\\Tansky Freeware\\Kelvast\\Settings", "History", REG_MULTI_SZ, static_cast<DWORD>(entries.size())},
    };
    for (const Expect& e : expected) {
        HKEY key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, e.key, 0, KEY_READ, &key), ERROR_SUCCESS) << e.key;
        DWORD type = 0, size = 0;
        EXPECT_EQ(RegQueryValueExA(key, e.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS) << e.name;
        EXPECT_EQ(type, e.type) << e.name;
        EXPECT_EQ(size, e.size) << e.name;
        RegCloseKey(key);
    }

    window_values = {};
    memset(history.buffer, 0, sizeof history.buffer);
    EXPECT_TRUE(load_settings(settings_store, win32_settings_backend()));
    EXPECT_EQ(window_values.width, 600u);
    EXPECT_EQ(std::string(history.buffer, entries.size()), entries);

    clear_registry(settings_store, win32_settings_backend());
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, REGISTRY_KEY_PATH, 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_FALSE(load_settings(settings_store, win32_settings_backend()));
    RegDeleteTreeA(HKEY_CURRENT_USER, vendor);
}

TEST(SettingsWin32, ResolveIniPath) {
    std::string dir = fresh_temp_dir("resolve");
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    const std::string long_name(600, 'n');
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
        {"C:\\" + long_name, 520, false, ""},
        {"", 520, false, ""},
    };
    for (const Row& row : rows) {
        std::vector<char> out(row.size + 1, 'x');
        EXPECT_EQ(resolve_ini_path(row.given.c_str(), out.data(), row.size), row.fits) << row.given;
        EXPECT_EQ(std::string(out.data()), row.expect) << row.given;
        EXPECT_EQ(out[row.size], 'x') << row.given;
    }

    // The store can use what comes out, and a bare name lands beside the program.
    char resolved[PROFILE_PATH_SIZE];
    ASSERT_TRUE(resolve_ini_path("settings-probe.ini", resolved, sizeof resolved));
    uint32_t value = 640;
    SettingEntry row = {"Window", "Width", REG_DWORD, SF_OVERWRITE, &value, 1};
    SettingsStore store = {
        reinterpret_cast<uintptr_t>(HKEY_CURRENT_USER), "Software\\Kelvast Tests", resolved, &row, MODE_WRITE_INI, 1};
    save_settings(store, win32_settings_backend());
    std::string beside = path_beside_test("settings-probe.ini");
    char text[16] = "";
    GetPrivateProfileStringA("Window", "Width", "", text, sizeof text, beside.c_str());
    EXPECT_STREQ(text, "640");
    DeleteFileA(beside.c_str());
}
