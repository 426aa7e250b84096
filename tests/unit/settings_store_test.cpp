#include "config/settings_store.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/shared/settings_cases.h"
#include "tests/support/memory_backend.h"
#include "ui/main_settings.h"

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
        return memory.value(0, path, name, &type, &bytes);
    }
    void put_reg_value(const std::string& path, const char* name, uint32_t type, const std::string& bytes) override {
        memory.put_value(0, path, name, type, bytes);
    }
    bool reg_key_exists(const std::string& path) override { return memory.key_exists(0, path); }
    bool ini_value(const char* section, const char* name, std::string& text) override {
        return memory.profile_value(ini_path(), section, name, &text);
    }
    void put_ini_value(const char* section, const char* name, const std::string& text) override {
        memory.write_profile(section, name, text.c_str(), ini_path());
    }
    void expect_tidy() { EXPECT_EQ(memory.open_key_count() + memory.refused_count(), 0u) << "keys left open"; }
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

// Rows that would make the store touch memory it does not own, and key paths that would name the
// root key, fail without reading, writing or deleting anything; rows of another type are passed over.
TEST_F(SettingsStoreTest, BadRowsAndStoresFail) {
    alignas(uint32_t) char text[4] = "abc";
    SettingEntry rows[] = {
        {"S", "A", REG_DWORD, SF_OVERWRITE, nullptr, 1},  {"S", nullptr, REG_DWORD, SF_OVERWRITE, text, 1},
        {"S", "C", REG_SZ, SF_OVERWRITE, text, 0},        {"S", "D", REG_MULTI_SZ, SF_OVERWRITE, text, 1},
        {"S", "E", REG_DWORD, SF_OVERWRITE, text, 0},     {"S", "", REG_DWORD, SF_OVERWRITE, text, 1},
        {nullptr, "G", REG_DWORD, SF_OVERWRITE, text, 1},
    };
    for (SettingEntry& row : rows) {
        const bool registry_too = row.name != nullptr && row.name[0] != '\0' && row.section != nullptr;
        for (uint32_t modes : {IW | IR * 16, registry_too ? RW | RR * 16 : 0}) {
            SettingsStore store = {0, CASE_KEY, world.ini_path(), &row, modes & 15, 1};
            save_settings(store, world.memory);
            store.mode = modes >> 4;
            EXPECT_FALSE(load_settings(store, world.memory)) << row.name << modes;
        }
    }
    EXPECT_STREQ(text, "abc");
    EXPECT_FALSE(world.memory.key_exists(0, section_path("S")));
    EXPECT_FALSE(world.memory.profile_value(world.ini_path(), "S", "C", nullptr));

    // Without a key path or an ini path nothing is read, written or deleted.
    world.memory.put_value(0, "Other", "Keep", REG_DWORD, "\1\0\0\0"s);
    SettingEntry good = {"S", "G", REG_DWORD, SF_OVERWRITE, text, 1};
    for (const char* path : {"", static_cast<const char*>(nullptr)}) {
        SettingsStore store = {0, path, path, &good, RW | IW, 1};
        save_settings(store, world.memory);
        clear_registry(store, world.memory);
        for (uint32_t mode : {RR, IR}) {
            store.mode = mode;
            EXPECT_FALSE(load_settings(store, world.memory));
        }
    }
    EXPECT_EQ(world.memory.key_count(), 1u);
    EXPECT_FALSE(world.memory.profile_value("", "S", "G", nullptr));

    SettingsStore empty = {0, CASE_KEY, world.ini_path(), nullptr, RW | IW, 3};
    save_settings(empty, world.memory);
    empty.mode = RR | IR;
    EXPECT_TRUE(load_settings(empty, world.memory)) << "no rows, none missing";
    EXPECT_FALSE(section_loaded(empty, nullptr));
    char list[] = "1,2";
    uint32_t numbers[2] = {};
    parse_number_list(nullptr, 2, numbers);
    parse_number_list(list, 2, numbers);
    EXPECT_EQ(std::string(list, 3) + std::to_string(numbers[1]), std::string("1\0"
                                                                             "2",
                                                                             3) +
                                                                     "2")
        << "cut in place";

    // A load forgets what the one before it read.
    CaseRow again(REG_DWORD, SF_OVERWRITE, 1);
    world.memory.put_value(0, section_path("Test"), "Value", REG_DWORD, "\1\0\0\0"s);
    SettingsStore twice = again.store(world, RR);
    EXPECT_TRUE(load_settings(twice, world.memory) && again.row.loaded);
    twice.mode = 0;
    EXPECT_FALSE(load_settings(twice, world.memory) || again.row.loaded);

    SettingEntry binary = {"S", "Bin", 3, SF_OVERWRITE, text, 4};
    SettingsStore store = {0, CASE_KEY, world.ini_path(), &binary, RW | IW, 1};
    world.memory.add_key(section_path("S"));
    save_settings(store, world.memory);
    for (uint32_t mode : {RR, IR}) {
        store.mode = mode;
        EXPECT_TRUE(load_settings(store, world.memory)) << mode;
    }
    std::string bytes;
    EXPECT_FALSE(world.memory.value(0, section_path("S"), "Bin", nullptr, &bytes) ||
                 world.memory.profile_value(world.ini_path(), "S", "Bin", nullptr));
}

// The number-list and multi-string texts stop before their buffer's end, never splitting a number
// or a "%%".
TEST(SettingsText, ListsAndMultiStringsStayInsideTheirBuffers) {
    uint32_t numbers[] = {1, 255, 4096};
    const SettingEntry row = {"S", "N", REG_DWORD, SF_NUMBER_LIST, numbers, 3};
    const std::pair<size_t, const char*> lists[] = {{11, "1,255,4096"}, {10, "1,255"}, {2, "1"}, {1, ""}};
    for (const auto& [size, expect] : lists) {
        char out[16];
        memset(out, 'x', sizeof out);
        EXPECT_EQ(format_number_list(row, out, size), size == 11) << size;
        EXPECT_STREQ(out, expect) << size;
        EXPECT_EQ(out[size], 'x') << size;
    }
    char out[8];
    memset(out, 'x', sizeof out);
    EXPECT_FALSE(encode_multi_string("ab%\0\0", 5, out, 4));
    EXPECT_EQ(std::string(out, 5), std::string("ab\0xx", 5));
    EXPECT_TRUE(encode_multi_string("abcdef", 3, out, sizeof out));
    EXPECT_STREQ(out, "abc");
    EXPECT_TRUE(encode_multi_string("a\0b", 3, out, sizeof out));
    EXPECT_STREQ(out, "a%_b");
    EXPECT_TRUE(encode_multi_string("\0\0", 2, out, 1));
    // Nothing to read or no room at all: false, and nothing written where there is no room.
    memset(out, 'x', sizeof out);
    EXPECT_FALSE(format_number_list(row, out, 0) || encode_multi_string("a", 2, out, 0) ||
                 decode_multi_string("a", out, 0));
    EXPECT_EQ(out[0], 'x');
    const SettingEntry no_data = {"S", "N", REG_DWORD, 0, nullptr, 1};
    EXPECT_FALSE(format_number_list(no_data, out, sizeof out) || encode_multi_string(nullptr, 2, out + 1, 4) ||
                 decode_multi_string("a", out + 2, 1));
    EXPECT_EQ(std::string(out, 4), std::string(3, '\0') + "x");
}

// The dialog's settings rows point at its own values, in table order, and nothing is read or
// written before start-up chooses the stores.
TEST(MainSettings, RowsPointAtTheirOwnValues) {
    std::unique_ptr<MainSettings> settings(new MainSettings);
    EXPECT_EQ(settings->store.mode, 0u);
    settings->window = {1, 2, 3, 4};
    memcpy(settings->history.buffer, "a\0b\0\0", 5);
    settings->store.mode = MODE_WRITE_INI;
    MemorySettingsBackend backend;
    save_settings(settings->store, backend);
    std::string line;
    for (const SettingEntry& row : settings->rows) {
        std::string text = "-";
        backend.profile_value(settings->store.ini_path, row.section, row.name, &text);
        line += text + " ";
    }
    EXPECT_EQ(line, "1 2 3 4 30 a%_b ");
}
