#include "config/settings_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/memory_backend.h"
#include "ui/main_settings.h"

using namespace std::string_literals;

namespace {

const char* const KEY = "Software\\Tansky Freeware\\Kelvast";
const char* const INI = "C:\\temp\\settings.ini";
const uint32_t RR = MODE_READ_REGISTRY, RW = MODE_WRITE_REGISTRY, IR = MODE_READ_INI, IW = MODE_WRITE_INI;
const uint32_t OW = SF_OVERWRITE, LIST = OW | SF_NUMBER_LIST, SZ = REG_SZ, DW = REG_DWORD, MS = REG_MULTI_SZ;
const uint32_t U = 99;  // a number that no text gave

std::string key_of(const char* section) {
    return std::string(KEY) + "\\" + section;
}

std::string shown(std::string bytes) {
    std::replace(bytes.begin(), bytes.end(), '\0', '|');
    return bytes;
}

// A stored value as text, "-" when missing; from the registry a 4-byte REG_DWORD as its number, a
// REG_SZ in quotes and a REG_MULTI_SZ bare.
std::string stored(const MemorySettingsBackend& m, bool registry, const char* section, const char* name = "Value") {
    uint32_t type = 0, n = 0;
    std::string b;
    if (!(registry ? m.value(0, key_of(section), name, &type, &b) : m.profile_value(INI, section, name, &b))) {
        return "-";
    }
    if (type == DW && b.size() == 4) {
        memcpy(&n, b.data(), 4);
        return std::to_string(n);
    }
    return type == SZ ? '"' + shown(b) + '"' : shown(b);
}

// One row over its own variable, numbers starting as U and bytes as 'k', with a guard number or two
// guard bytes past its size.
struct Single {
    std::vector<uint32_t> numbers;
    std::string bytes;
    SettingEntry row;
    Single(uint32_t type, uint32_t flags, uint32_t size)
        : numbers(size + 1, U), bytes(size + 2, 'k'), row{"Test", "Value", type, flags, nullptr, size} {
        row.data = type == DW ? static_cast<void*>(numbers.data()) : &bytes[0];
    }
    std::string value() const {
        std::string text;
        for (uint32_t n : numbers) {
            text += (text.empty() ? "" : ",") + std::to_string(n);
        }
        return row.type == DW ? text : shown(bytes);
    }
};

class SettingsStoreTest : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_EQ(m.open_key_count() + m.refused_count(), 0u) << "keys left open"; }
    MemorySettingsBackend m;
};

}  // namespace

// A value read from one store (mode IR or RR; 0: the variable starts with `stored`), the variable
// after it, guard included, and the value saved from there to both stores: "registry ini".
TEST(SettingsStore, ValuesReadAndWrittenBack) {
    const struct {
        uint32_t type, flags, size, mode, stored_type;  // stored_type 0: the key exists, the value not
        std::string stored;
        bool loaded;
        std::string value, saved;  // saved empty: not tried
    } rows[] = {
        {DW, LIST, 4, IR, 0, "7,8.9;10 11", true, "7,8,9,10,99", "\"7,8,9,10|\" 7,8,9,10"},
        {DW, LIST, 6, RR, SZ, "7,8.9;10 11\0"s, true, "7,8,9,10,11,99,99", ""},
        {DW, LIST | SF_HEX, 5, IR, 0, "0x1F,0X1f,1f,0x", true, "31,31,1,99,99,99",
         "\"0x1f,0x1f,0x1,0x63,0x63|\" 0x1f,0x1f,0x1,0x63,0x63"},
        {DW, LIST, 4, IR, 0, ",, 4;;0x10,abc,1x5", true, "4,16,99,1,99", ""},
        {DW, LIST, 5, IR, 0, "\t5,+6,0xffffffff,-1,0x-2", true, "5,6,4294967295,4294967295,4294967294,99", ""},
        {DW, LIST, 4, RR, SZ, "4294967296,0x100000000,42949672950,7", true, "99,99,99,7,99", ""},
        {DW, LIST, 2, RR, SZ, "5" + std::string(65533, ' ') + "78", true, "5,7,99", ""},
        {DW, LIST, 2, RR, 0, "", false, "99,99,99", ""},
        {DW, OW, 1, IR, 0, "abc", true, "99,99", "99 99"},
        {DW, OW, 1, RR, DW, "\x80\2\0\0"s, true, "640,99", "640 640"},
        {DW, OW, 1, RR, 3, "\x80\2\0"s, false, "99,99", ""},
        {DW, OW, 1, RR, 3, "12345678", false, "99,99", ""},
        {DW, OW, 0, RR, DW, "\1\0\0\0"s, false, "99", "- -"},
        {SZ, OW, 6, IR, 0, "abcdefghijkl", true, "abcde|kk", "\"abcde|\" abcde"},
        {SZ, OW, 6, RR, SZ, "abcdefghij\0"s, false, "kkkkkkkk", ""},
        {SZ, OW, 6, RR, SZ, "abcdef", true, "abcde|kk", ""},
        {SZ, OW, 6, RR, SZ, "ab\0"s, true, "ab|kkkkk", "\"ab|\" ab"},
        {SZ, OW, 1, IR, 0, "x", true, "|kk", "\"|\" "},
        {SZ, OW, 0, IR, 0, "x", false, "kk", "- -"},
        {SZ, OW, 6, 0, 0, "", false, "kkkkkkkk", "\"kkkkk|\" kkkkk"},
        {MS, OW, 6, RR, MS, "ab\0cd"s, true, "ab|c||kk", "ab|c|| ab%_c"},
        {MS, OW, 10, RR, MS, "a\0b\0\0"s, true, "a|b||kkkkkkk", ""},
        {MS, OW, 10, RR, MS, "ab\0c\0"s, true, "ab|c||kkkkkk", ""},
        {MS, OW, 6, RR, MS, "", true, "||kkkkkk", ""},
        {MS, OW, 6, RR, MS, "\0"s, true, "||kkkkkk", ""},
        {MS, OW, 1, RR, MS, "\0"s, false, "kkk", "- -"},
        {MS, OW, 10, 0, 0, "", false, "kkkkkkkkkkkk", "kkkkkkkk|| kkkkkkkkkk"},
        {MS, OW, 10, 0, 0, "abcdefghi\0\0\0"s, false, "abcdefghi|||", "abcdefgh|| abcdefghi"},
        {MS, OW, 10, 0, 0, "abcdefghi\0"s, false, "abcdefghi|kk", "abcdefgh|| abcdefghi"},
        {MS, OW, 2, 0, 0, "", false, "kkkk", "|| kk"},
        {MS, OW, 10, IR, 0, "a%_b", true, "a|b||kkkkkkk", "a|b|| a%_b"},
        {MS, OW, 10, IR, 0, "50%%", true, "50%||kkkkkkk", "50%|| 50%%"},
        {MS, OW, 10, IR, 0, "", true, "||kkkkkkkkkk", "|| "},
        {MS, OW, 10, IR, 0, "%_b", true, "|b||kkkkkkkk", "|b|| %_b"},
        {MS, OW, 10, IR, 0, "5%a%", true, "5%a%||kkkkkk", ""},
        {MS, OW, 10, IR, 0, "a%_", true, "a|||kkkkkkkk", ""},
        {MS, OW, 10, IR, 0, "abcdef%_hi", true, "abcdef|||kkk", ""},
        {MS, OW, 10, IR, 0, "abcdefgh%_", true, "abcdefgh||kk", "abcdefgh|| abcdefgh"},
        {MS, OW, 2, IR, 0, "abc", true, "||kk", "|| "},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(shown(r.stored) + " mode " + std::to_string(r.mode));
        MemorySettingsBackend m, saved;
        if (r.mode == IR) {
            m.write_profile("Test", "Value", r.stored.c_str(), INI);
        } else if (r.mode == RR) {
            m.put_value(0, key_of("Test"), r.stored_type != 0 ? "Value" : "Other", r.stored_type, r.stored);
        }
        Single v(r.type, r.flags, r.size);
        if (r.mode == 0) {
            v.bytes.replace(0, r.stored.size(), r.stored);  // same length: row.data stays valid
        }
        SettingsStore store = {ROOT_CURRENT_USER, KEY, INI, &v.row, r.mode, 1};
        EXPECT_EQ(load_settings(store, m), r.loaded);
        EXPECT_EQ(v.value(), r.value);
        if (!r.saved.empty()) {
            store.mode = RW | IW;
            save_settings(store, saved);
            EXPECT_EQ(stored(saved, true, "Test") + " " + stored(saved, false, "Test"), r.saved);
        }
    }
}

// A whole run per row over three rows: set up both stores, load, change the first number to 800,
// save, then look at the variables after the load and at both stores after the save.
TEST_F(SettingsStoreTest, StorageModes) {
    const std::string reg = "50%\0x\0\0"s;
    const struct {
        std::string registry;  // History beside the numbers 1 and 2; empty: nothing in the registry
        int ini_rows;          // how many rows the ini file holds: 11, 12, the History "b"
        uint32_t mode, flags;  // flags of the first row
        bool loaded;
        std::string marks, after_load, registry_after, ini_after;
    } rows[] = {
        {"", 0, RR | RW, OW, false, "000", "99,99,init||", "800,99,init||", "-,-,-"},
        {reg, 3, 0, OW, false, "000", "99,99,init||", "1,2,50%|x||", "11,12,b"},
        {reg, 0, RR | IW, OW, true, "111", "1,2,50%|x||", "1,2,50%|x||", "800,2,50%%%_x"},
        {"", 3, IR | RW, OW, true, "111", "11,12,b||", "800,12,b||", "11,12,b"},
        {reg, 1, RR | IR, OW, false, "111", "11,2,50%|x||", "1,2,50%|x||", "11,-,-"},
        {"", 2, IR, OW, false, "110", "11,12,init||", "-,-,-", "11,12,-"},
        {"012345678\0\0"s, 0, RR, OW, false, "110", "1,2,init||", "1,2,012345678||", "-,-,-"},
        {reg, 3, RW | IW, 0, false, "000", "99,99,init||", "1,99,init||", "11,99,init"},
        {"", 0, RW | IW, 0, false, "000", "99,99,init||", "800,99,init||", "800,99,init"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        m = MemorySettingsBackend();
        uint32_t numbers[2] = {U, U};
        char history[10] = "init";
        SettingEntry table[3] = {{"Window", "PosX", DW, row.flags, &numbers[0], 1},
                                 {"Program", "Version", DW, OW, &numbers[1], 1},
                                 {"Settings", "History", MS, OW, history, 10}};
        const std::string ini[3] = {"11", "12", "b"}, reg_values[3] = {"\1\0\0\0"s, "\2\0\0\0"s, row.registry};
        for (int i = 0; i < 3; ++i) {
            if (!row.registry.empty()) {
                m.put_value(0, key_of(table[i].section), table[i].name, table[i].type, reg_values[i]);
            }
            if (i < row.ini_rows) {
                m.write_profile(table[i].section, table[i].name, ini[i].c_str(), INI);
            }
        }
        SettingsStore store = {ROOT_CURRENT_USER, KEY, INI, table, row.mode, 3};
        EXPECT_EQ(load_settings(store, m), row.loaded);
        std::string marks, reg_after, ini_after;
        for (const SettingEntry& entry : table) {
            marks += section_loaded(store, entry.section) ? '1' : '0';
        }
        EXPECT_EQ(marks, row.marks);
        const std::string h(history, sizeof history);
        EXPECT_EQ(std::to_string(numbers[0]) + "," + std::to_string(numbers[1]) + "," +
                      shown(h.substr(0, h.find("\0\0"s) + 2)),
                  row.after_load);
        numbers[0] = 800;
        save_settings(store, m);
        for (const SettingEntry& entry : table) {
            reg_after += (reg_after.empty() ? "" : ",") + stored(m, true, entry.section, entry.name);
            ini_after += (ini_after.empty() ? "" : ",") + stored(m, false, entry.section, entry.name);
        }
        EXPECT_EQ(reg_after, row.registry_after);
        EXPECT_EQ(ini_after, row.ini_after);
    }
}

TEST_F(SettingsStoreTest, ClearRegistryRemovesOnlyTheProgramsKey) {
    m.put_value(0, "Software\\Tansky Freeware\\Sibling", "Keep", DW, "\1\0\0\0"s);
    Single v(DW, OW, 1);
    SettingsStore store = {ROOT_CURRENT_USER, KEY, INI, &v.row, RW, 1};
    for (bool saved : {false, true}) {
        if (saved) {
            save_settings(store, m);
        }
        EXPECT_EQ(m.key_exists(0, key_of("Test")), saved);
        clear_registry(store, m);
        EXPECT_FALSE(m.key_exists(0, KEY));
        EXPECT_TRUE(m.key_exists(0, "Software\\Tansky Freeware\\Sibling"));
    }
}

// Rows and paths that the store cannot use as given fail instead of touching memory it does not
// own or naming another key or file; an empty section is the key itself in the registry and has no
// place in the ini file; rows of another type are passed over.
TEST_F(SettingsStoreTest, RowsAndPathsThatCannotBeUsed) {
    const std::string key = key_of(std::string(KEY_PATH_SIZE - 7 - strlen(KEY), 'k').c_str());
    alignas(uint32_t) char text[4] = "abc";
    uint32_t a = 3, b = 4;
    SettingEntry rows[] = {{"Fits", "A", DW, OW, &a, 1},   {"", "C", DW, OW, &b, 1},
                           {nullptr, "D", DW, OW, &b, 1},  {"Fitsx", "B", DW, OW, &b, 1},
                           {"S", "E", DW, OW, nullptr, 1}, {"S", nullptr, DW, OW, text, 1},
                           {"S", "", DW, OW, text, 1},     {"S", "Bin", 3, OW, text, 4}};
    SettingsStore store = {ROOT_CURRENT_USER, key.c_str(), INI, rows, RW | IW, 8};
    save_settings(store, m);
    uint32_t type = 0;
    std::string bytes;
    EXPECT_TRUE(m.value(0, key + "\\Fits", "A", &type, &bytes) && m.value(0, key, "C", &type, &bytes) &&
                m.value(0, key, "D", &type, &bytes));
    EXPECT_FALSE(m.key_exists(0, key + "\\Fitsx") || m.value(0, key + "\\S", "Bin", &type, &bytes));
    EXPECT_EQ(stored(m, false, "Fits", "A") + stored(m, false, "", "C") + stored(m, false, "Fitsx", "B") +
                  stored(m, false, "S", "Bin") + stored(m, false, "S", ""),
              "3-4--");
    EXPECT_STREQ(text, "abc");
    // Each row alone, from the registry and from the ini file.
    std::string loaded;
    for (uint32_t mode : {RR, IR}) {
        for (SettingEntry& row : rows) {
            store = {ROOT_CURRENT_USER, key.c_str(), INI, &row, mode, 1};
            loaded += load_settings(store, m) ? '1' : '0';
        }
    }
    EXPECT_EQ(loaded, "1110001110010001");
    EXPECT_STREQ(text, "abc");
    store = {ROOT_CURRENT_USER, key.c_str(), INI, rows, RR, 1};
    EXPECT_TRUE(load_settings(store, m) && rows[0].loaded && !section_loaded(store, nullptr));
    store.mode = 0;
    EXPECT_FALSE(load_settings(store, m) || rows[0].loaded) << "a load forgets what the one before it read";

    // Without a key path or an ini path, or with an ini path too long, nothing is read or written
    // there, and clearing deletes nothing.
    m.put_value(0, "", "Keep", DW, "\1\0\0\0"s);
    const std::string long_ini = INI + std::string(PROFILE_PATH_SIZE, 'i');
    for (const char* path : {"", static_cast<const char*>(nullptr), long_ini.c_str()}) {
        store = {ROOT_CURRENT_USER, path == long_ini.c_str() ? KEY : path, path, rows, RW | IW, 1};
        save_settings(store, m);
        clear_registry(store, m);
        for (uint32_t mode : {RR, IR}) {
            store.mode = mode;
            a = 8;
            EXPECT_FALSE(load_settings(store, m) || a != 8);
        }
    }
    EXPECT_TRUE(m.key_exists(0, "") && !m.key_exists(0, "\\Fits"));
    SettingsStore empty = {0, KEY, INI, nullptr, RW | IW, 3};
    save_settings(empty, m);
    empty.mode = RR | IR;
    EXPECT_TRUE(load_settings(empty, m)) << "no rows, none missing";
}

// The texts stop before their buffer's end, never splitting a number or a "%%".
TEST(SettingsText, ListsAndMultiStringsStayInsideTheirBuffers) {
    uint32_t numbers[] = {1, 255, 4096};
    const SettingEntry row = {"S", "N", DW, SF_NUMBER_LIST, numbers, 3};
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
    EXPECT_EQ(std::string(out, 5), "ab\0xx"s);
    EXPECT_TRUE(encode_multi_string("abcdef", 3, out, sizeof out) && encode_multi_string("\0\0", 2, out + 4, 1));
    EXPECT_STREQ(out, "abc");
    memset(out, 'x', sizeof out);
    const SettingEntry no_data = {"S", "N", DW, 0, nullptr, 1};
    EXPECT_FALSE(format_number_list(row, out + 3, 0) || encode_multi_string("a", 2, out + 3, 0) ||
                 decode_multi_string("a", out + 3, 0) || format_number_list(no_data, out, sizeof out) ||
                 encode_multi_string(nullptr, 2, out + 1, 4) || decode_multi_string("a", out + 2, 1));
    EXPECT_EQ(std::string(out, 4), "\0\0\0x"s);
    char list[] = "1,2";
    parse_number_list(nullptr, 2, numbers);
    parse_number_list(list, 2, numbers);
    EXPECT_EQ(std::string(list, 3) + std::to_string(numbers[1]), "1\0002"s + "2") << "cut in place";
}

// The dialog's settings rows point at its own values, in table order, and nothing is read or
// written before start-up chooses the stores.
TEST(MainSettings, RowsPointAtTheirOwnValues) {
    std::unique_ptr<MainSettings> settings(new MainSettings);
    EXPECT_EQ(settings->store.mode, 0u);
    settings->window = {1, 2, 3, 4};
    memset(settings->history.buffer, 'h', 700);
    settings->store.mode = MODE_WRITE_INI;
    MemorySettingsBackend backend;
    save_settings(settings->store, backend);
    std::string line;
    for (const SettingEntry& row : settings->rows) {
        std::string text = "-";
        backend.profile_value(settings->store.ini_path, row.section, row.name, &text);
        line += text + " ";
    }
    EXPECT_EQ(line, "1 2 3 4 30 " + std::string(700, 'h') + " ");
}
