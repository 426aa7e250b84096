#include "config/settings_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/memory_backend.h"
#include "tests/shared/settings_cases.h"

namespace {

class MemoryWorld : public SettingsWorld {
  public:
    SettingsBackend& backend() override { return memory; }
    void reset() override {
        expect_tidy();
        memory = MemorySettingsBackend();
    }
    const char* ini_path() override { return "C:\\temp\\settings.ini"; }
    bool reg_value(const std::string& path, const char* name, uint32_t& type, std::string& bytes) override {
        return memory.value(ROOT_CURRENT_USER, path, name, &type, &bytes);
    }
    void put_reg_value(const std::string& path, const char* name, uint32_t type, const std::string& bytes) override {
        memory.put_value(ROOT_CURRENT_USER, path, name, type, bytes);
    }
    bool reg_key_exists(const std::string& path) override { return memory.key_exists(ROOT_CURRENT_USER, path); }
    bool ini_value(const char* section, const char* name, std::string& text) override {
        return memory.profile_value(ini_path(), section, name, &text);
    }
    void put_ini_value(const char* section, const char* name, const std::string& text) override {
        memory.write_profile(section, name, text.c_str(), ini_path());
    }
    // Every key handed out is closed, and nothing was written through a read-only one.
    void expect_tidy() {
        EXPECT_EQ(memory.open_key_count(), 0u);
        EXPECT_EQ(memory.refused_count(), 0u);
    }

    MemorySettingsBackend memory;
};

class SettingsStoreTest : public ::testing::Test {
  protected:
    void TearDown() override { world.expect_tidy(); }
    MemoryWorld world;
};

}  // namespace

TEST_F(SettingsStoreTest, StorageModes) {
    case_storage_modes(world);
}
TEST_F(SettingsStoreTest, NumberLists) {
    case_number_lists(world);
}
TEST_F(SettingsStoreTest, RowWithoutOverwriteKeepsStoredValue) {
    case_row_without_overwrite_keeps_stored_value(world);
}
TEST_F(SettingsStoreTest, ValuesStayInsideTheirVariable) {
    case_values_stay_inside_their_variable(world);
}
TEST_F(SettingsStoreTest, MultiStrings) {
    case_multi_strings(world);
}
TEST_F(SettingsStoreTest, ClearRegistry) {
    case_clear_registry(world);
}
TEST_F(SettingsStoreTest, PathsThatDoNotFitFailCleanly) {
    case_paths_that_do_not_fit(world);
}

TEST_F(SettingsStoreTest, BadRowsAndStoresFailWithoutTouchingMemory) {
    uint32_t number = 1;
    char text[4] = "abc";
    SettingEntry rows[] = {
        {"S", "NoData", REG_DWORD, SF_OVERWRITE, nullptr, 1},   {"S", nullptr, REG_DWORD, SF_OVERWRITE, &number, 1},
        {"S", "Empty", REG_SZ, SF_OVERWRITE, text, 0},          {"S", "Short", REG_MULTI_SZ, SF_OVERWRITE, text, 1},
        {"", "NoSection", REG_DWORD, SF_OVERWRITE, &number, 1},  // the key itself; no ini section
    };
    for (SettingEntry& row : rows) {
        SettingsStore store = row_store(world, row, IW);
        save_settings(store, world.memory);
        store.mode = IR;
        EXPECT_FALSE(load_settings(store, world.memory)) << row.name;
    }
    EXPECT_EQ(number, 1u);
    EXPECT_STREQ(text, "abc");

    // An empty key path would name the root key itself: nothing is read, written or deleted.
    world.put_reg_value("Other", "Keep", REG_DWORD, dword_bytes(1));
    SettingsStore rootless = {ROOT_CURRENT_USER, "", world.ini_path(), &rows[4], RW, 1};
    save_settings(rootless, world.memory);
    clear_registry(rootless, world.memory);
    rootless.key_path = nullptr;
    clear_registry(rootless, world.memory);
    rootless.mode = RR;
    EXPECT_FALSE(load_settings(rootless, world.memory));
    uint32_t type = 0;
    std::string bytes;
    EXPECT_TRUE(world.reg_value("Other", "Keep", type, bytes));
    EXPECT_FALSE(world.reg_value("", "NoSection", type, bytes));

    // A row of another type is passed over by the ini phase.
    SettingEntry binary = {"S", "Bin", 3, SF_OVERWRITE, &number, 4};
    SettingsStore store = row_store(world, binary, IR | IW);
    save_settings(store, world.memory);
    EXPECT_TRUE(load_settings(store, world.memory));
}

TEST(NumberList, StaysInsideItsBuffers) {
    uint32_t numbers[] = {1, 255, 4096};
    SettingEntry row = {"S", "N", REG_DWORD, SF_NUMBER_LIST, numbers, 3};
    struct Row {
        size_t size;
        bool fits;
        const char* expect;
    };
    const Row rows[] = {{11, true, "1,255,4096"}, {10, false, "1,255"}, {6, false, "1,255"}, {2, true, "1"}};
    for (const Row& r : rows) {
        char out[16];
        memset(out, 'x', sizeof out);
        row.flags = r.size == 2 ? 0u : static_cast<uint32_t>(SF_NUMBER_LIST);  // without the flag: one number
        EXPECT_EQ(format_number_list(row, out, r.size), r.fits) << r.size;
        EXPECT_STREQ(out, r.expect) << r.size;
        EXPECT_EQ(out[r.size], 'x') << r.size;
    }
    uint32_t untouched = 5;
    char text[] = "1";
    parse_number_list(text, 0, &untouched);
    parse_number_list(nullptr, 1, &untouched);
    EXPECT_EQ(untouched, 5u);
}

TEST(MultiString, EncodeNeverSplitsAPairOrReadsPastTheVariable) {
    char out[8];
    memset(out, 'x', sizeof out);
    EXPECT_FALSE(encode_multi_string("ab%\0\0", 5, out, 4));
    EXPECT_STREQ(out, "ab");
    EXPECT_EQ(out[4], 'x');
    // Without a closing pair inside its size the walk ends at the size.
    EXPECT_TRUE(encode_multi_string("abcdef", 3, out, sizeof out));
    EXPECT_STREQ(out, "abc");
    EXPECT_TRUE(encode_multi_string("a\0", 2, out, sizeof out));
    EXPECT_STREQ(out, "a");
}
