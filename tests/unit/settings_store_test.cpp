#include "config/settings_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "config/memory_backend.h"
#include "tests/shared/settings_cases.h"

namespace {

class MemoryWorld : public SettingsWorld {
  public:
    SettingsBackend& backend() override { return memory; }
    uintptr_t root() override { return ROOT_CURRENT_USER; }
    std::string key_path() override { return "Software\\Kelvast Tests\\Store"; }
    std::string parent_path() override { return "Software\\Kelvast Tests"; }
    std::string ini_path() override { return "C:\\temp\\settings.ini"; }
    bool reg_value(const std::string& path, const char* name, uint32_t& type, std::string& bytes) override {
        return memory.value(root(), path, name, &type, &bytes);
    }
    void put_reg_value(const std::string& path, const char* name, uint32_t type, const std::string& bytes) override {
        memory.put_value(root(), path, name, type, bytes);
    }
    void delete_reg_value(const std::string& path, const char* name) override {
        memory.delete_value(root(), path, name);
    }
    bool reg_key_exists(const std::string& path) override { return memory.key_exists(root(), path); }
    bool ini_value(const char* section, const char* name, std::string& text) override {
        return memory.profile_value(ini_path(), section, name, &text);
    }
    void put_ini_value(const char* section, const char* name, const std::string& text) override {
        memory.write_profile(section, name, text.c_str(), ini_path().c_str());
    }
    void delete_ini_value(const char* section, const char* name) override {
        memory.write_profile(section, name, nullptr, ini_path().c_str());
    }
    bool ini_exists() override { return memory.profile_exists(ini_path()); }

    MemorySettingsBackend memory;
};

class SettingsStoreTest : public ::testing::Test {
  protected:
    void TearDown() override {
        // Every key handed out is closed, and nothing was written through a read-only one.
        EXPECT_EQ(world.memory.open_key_count(), 0u);
        EXPECT_EQ(world.memory.refused_count(), 0u);
    }
    MemoryWorld world;
};

}  // namespace

TEST_F(SettingsStoreTest, FirstRunCreatesEveryValue) {
    case_first_run_creates_every_value(world);
}
TEST_F(SettingsStoreTest, ModeZeroTouchesNothing) {
    case_mode_zero_touches_nothing(world);
}
TEST_F(SettingsStoreTest, RegistryExportsToIni) {
    case_registry_exports_to_ini(world);
}
TEST_F(SettingsStoreTest, IniExportsToRegistry) {
    case_ini_exports_to_registry(world);
}
TEST_F(SettingsStoreTest, BothReadBitsPreferIni) {
    case_both_read_bits_prefer_ini(world);
}
TEST_F(SettingsStoreTest, EmptyHistoryLineIsPresent) {
    case_empty_history_line_is_present(world);
}
TEST_F(SettingsStoreTest, NumberListTexts) {
    case_number_list_texts(world);
}
TEST_F(SettingsStoreTest, NumbersAreWrittenInTheirForms) {
    case_numbers_are_written_in_their_forms(world);
}
TEST_F(SettingsStoreTest, RowWithoutOverwriteKeepsStoredValue) {
    case_row_without_overwrite_keeps_stored_value(world);
}
TEST_F(SettingsStoreTest, LongTextsEndInsideTheVariable) {
    case_long_texts_end_inside_the_variable(world);
}
TEST_F(SettingsStoreTest, NumberOfAnotherSizeFails) {
    case_number_of_another_size_fails(world);
}
TEST_F(SettingsStoreTest, HistoryOverItsSizeFails) {
    case_history_over_its_size_fails(world);
}
TEST_F(SettingsStoreTest, MultiStringExamplesRoundTrip) {
    case_multi_string_examples_round_trip(world);
}
TEST_F(SettingsStoreTest, OddIniHistoryStaysInsideTheVariable) {
    case_odd_ini_history_stays_inside_the_variable(world);
}
TEST_F(SettingsStoreTest, ClearRegistryRemovesKeyWithSubkeys) {
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
    std::string key = world.key_path(), ini = world.ini_path();
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SettingsStore store = {world.root(), key.c_str(), ini.c_str(), &rows[i], MODE_WRITE_INI, 1};
        save_settings(store, world.memory);
        store.mode = MODE_READ_INI;
        EXPECT_FALSE(load_settings(store, world.memory)) << "row " << i;
    }
    EXPECT_FALSE(world.ini_exists());
    EXPECT_EQ(number, 1u);
    EXPECT_STREQ(text, "abc");

    // An empty key path would name the root key itself: nothing is read, written or deleted.
    world.put_reg_value("Other", "Keep", REG_DWORD, dword_bytes(1));
    SettingsStore rootless = {world.root(), "", ini.c_str(), &rows[4], MODE_WRITE_REGISTRY, 1};
    save_settings(rootless, world.memory);
    clear_registry(rootless, world.memory);
    rootless.key_path = nullptr;
    clear_registry(rootless, world.memory);
    rootless.mode = MODE_READ_REGISTRY;
    EXPECT_FALSE(load_settings(rootless, world.memory));
    uint32_t type = 0;
    std::string bytes;
    EXPECT_TRUE(world.reg_value("Other", "Keep", type, bytes));
    EXPECT_FALSE(world.reg_value("", "NoSection", type, bytes));

    // A row of another type is passed over by the ini phase.
    SettingEntry binary = {"S", "Bin", 3, SF_OVERWRITE, &number, 4};
    SettingsStore store = {world.root(), key.c_str(), ini.c_str(), &binary, MODE_READ_INI | MODE_WRITE_INI, 1};
    save_settings(store, world.memory);
    EXPECT_TRUE(load_settings(store, world.memory));
    EXPECT_FALSE(world.ini_exists());
}

TEST(NumberList, ParsesLikeScanfPerToken) {
    struct Row {
        const char* text;
        std::vector<uint32_t> expect;  // from three elements that start as 99
    };
    const Row rows[] = {
        {"", {99, 99, 99}},
        {" ,;. ", {99, 99, 99}},
        {"1 2 3 4", {1, 2, 3}},
        {"12abc,0x1g,-1", {12, 1, 4294967295u}},
        {"\t5,+6,0xffffffff", {5, 6, 4294967295u}},
        {"4294967296,0x100000000,7", {99, 99, 7}},  // beyond 32 bits: no number
        {"0x-2,0,x1", {4294967294u, 0, 99}},
    };
    for (const Row& row : rows) {
        std::vector<char> text(row.text, row.text + strlen(row.text) + 1);
        uint32_t numbers[3] = {99, 99, 99};
        parse_number_list(text.data(), 3, numbers);
        EXPECT_EQ(std::vector<uint32_t>(numbers, numbers + 3), row.expect) << row.text;
    }
    uint32_t untouched = 5;
    char text[] = "1";
    parse_number_list(text, 0, &untouched);
    parse_number_list(nullptr, 1, &untouched);
    EXPECT_EQ(untouched, 5u);
}

TEST(NumberList, FormatStaysInsideItsBuffer) {
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

TEST(MultiString, DecodeAlwaysClosesInsideTheVariable) {
    struct Row {
        const char* text;
        size_t size;
        bool fits;
        std::string multi;
    };
    const Row rows[] = {
        {"a%_b", 5, true, std::string("a\0b\0\0", 5)}, {"a%_b", 4, false, std::string("a\0\0", 3)},
        {"a%_", 3, true, std::string("a\0\0", 3)},     {"%", 3, true, std::string("%\0\0", 3)},
        {"%%%", 4, true, std::string("%%\0\0", 4)},    {"abc", 2, false, std::string("\0\0", 2)},
        {"", 2, true, std::string("\0\0", 2)},
    };
    for (const Row& row : rows) {
        char multi[8];
        memset(multi, 'x', sizeof multi);
        EXPECT_EQ(decode_multi_string(row.text, multi, row.size), row.fits) << row.text << " in " << row.size;
        EXPECT_EQ(std::string(multi, row.multi.size()), row.multi) << row.text << " in " << row.size;
        EXPECT_EQ(multi[row.size], 'x') << row.text << " in " << row.size;
    }
}

TEST(MultiString, FullHistoryRoundTripsThroughTheIniForm) {
    std::vector<char> history(2571, '\0');
    for (size_t i = 0; i + 2 < history.size(); ++i) {
        history[i] = (i % 7 == 6) ? '\0' : (i % 5 == 0 ? '%' : static_cast<char>('a' + i % 26));
    }
    history[history.size() - 3] = 'z';  // the last text ends right before the closing pair
    std::vector<char> encoded(2 * history.size());
    ASSERT_TRUE(encode_multi_string(history.data(), history.size(), encoded.data(), encoded.size()));
    std::vector<char> back(history.size(), 'x');
    ASSERT_TRUE(decode_multi_string(encoded.data(), back.data(), back.size()));
    EXPECT_EQ(back, history);
}
