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
const uint32_t RR = MODE_READ_REGISTRY, RW = MODE_WRITE_REGISTRY, IR = MODE_READ_INI, IW = MODE_WRITE_INI, W = RW | IW;
const uint32_t OW = SF_OVERWRITE, LIST = OW | SF_NUMBER_LIST, SZ = REG_SZ, DW = REG_DWORD, MS = REG_MULTI_SZ;

std::string shown(std::string bytes) {
    std::replace(bytes.begin(), bytes.end(), '\0', '|');
    return bytes;
}

// A stored value as text, "-" when missing; from the registry a 4-byte REG_DWORD as its number, a
// REG_SZ in quotes and a REG_MULTI_SZ bare.
std::string stored(const MemorySettingsBackend& m, bool registry, const char* section, const char* name = "Value") {
    uint32_t type = 0, n = 0;
    std::string b;
    if (!(registry ? m.value(0, KEY + "\\"s + section, name, &type, &b) : m.profile_value(INI, section, name, &b))) {
        return "-";
    }
    if (type == DW && b.size() == 4) {
        memcpy(&n, b.data(), 4);
        return std::to_string(n);
    }
    return type == SZ ? '"' + shown(b) + '"' : shown(b);
}

}  // namespace

// One row over its own variable: what the registry (type 0: nothing; `reg` is then what the
// variable holds, else it starts as 99s or 'k's) and the ini file (null: nothing) hold; the load
// and save the mode asks for; the result and the section's loaded mark, the variable with a guard
// number or two guard bytes, then both stores as "registry ini" (not looked at when empty).
TEST(SettingsStore, OneRowThroughBothStores) {
    const struct {
        uint32_t type, flags, size, mode, reg_type;
        std::string reg;
        const char *ini, *result, *value, *saved;
    } rows[] = {
        {DW, LIST, 4, IR | W, 0, "", "7,8.9;10 11", "11", "7,8,9,10,99,", "\"7,8,9,10|\" 7,8,9,10"},
        {DW, LIST, 6, RR, SZ, "7,8.9;10 11\0"s, nullptr, "11", "7,8,9,10,11,99,99,", ""},
        {DW, LIST | SF_HEX, 5, IR | W, 0, "", "0x1F,0X1f,1f,0x", "11", "31,31,1,99,99,99,",
         "\"0x1f,0x1f,0x1,0x63,0x63|\" 0x1f,0x1f,0x1,0x63,0x63"},
        {DW, LIST, 4, IR, 0, "", ",, 4;;0x10,abc,1x5", "11", "4,16,99,1,99,", ""},
        {DW, LIST, 5, IR, 0, "", "\t5,+6,0xffffffff,-1,0x-2", "11", "5,6,4294967295,4294967295,4294967294,99,", ""},
        {DW, LIST, 4, RR, SZ, "4294967296,0x100000000,42949672950,7", nullptr, "11", "99,99,99,7,99,", ""},
        {DW, LIST, 2, RR, SZ, "5" + std::string(65533, ' ') + "78", nullptr, "11", "5,7,99,", ""},
        {DW, LIST, 2, RR, SZ, std::string(SETTINGS_SCRATCH_SIZE + 1, '7'), nullptr, "00", "99,99,99,", ""},
        {DW, OW, 1, IR | W, 0, "", "abc", "11", "99,99,", "99 99"},
        {DW, OW, 1, RR | W, DW, "\x80\2\0\0"s, nullptr, "11", "640,99,", "640 640"},
        {DW, OW, 1, RR, 3, "\x80\2\0"s, nullptr, "00", "99,99,", ""},
        {DW, OW, 1, RR, 3, "12345678", nullptr, "00", "99,99,", ""},
        {DW, OW, 0, RR | IR | W, DW, "\1\0\0\0"s, "5", "00", "99,", "1 5"},
        {SZ, OW, 6, IR | W, 0, "", "abcdefghijkl", "11", "abcde|kk", "\"abcde|\" abcde"},
        {SZ, OW, 6, RR, SZ, "abcdefghij\0"s, nullptr, "00", "kkkkkkkk", ""},
        {SZ, OW, 6, RR, SZ, "abcdef", nullptr, "11", "abcde|kk", ""},
        {SZ, OW, 6, RR | W, SZ, "ab\0"s, nullptr, "11", "ab|kkkkk", "\"ab|\" ab"},
        {SZ, OW, 1, IR | W, 0, "", "x", "11", "|kk", "\"|\" "},
        {SZ, OW, 0, IR | W, 0, "", "x", "00", "kk", "- x"},
        {SZ, OW, 6, W, 0, "", nullptr, "00", "kkkkkkkk", "\"kkkkk|\" kkkkk"},
        {MS, OW, 6, RR | W, MS, "ab\0cd"s, nullptr, "11", "ab|c||kk", "ab|c|| ab%_c"},
        {MS, OW, 10, RR, MS, "a\0b\0\0"s, nullptr, "11", "a|b||kkkkkkk", ""},
        {MS, OW, 10, RR, MS, "ab\0c\0"s, nullptr, "11", "ab|c||kkkkkk", ""},
        {MS, OW, 6, RR, MS, "abcdef\0\0"s, nullptr, "00", "kkkkkkkk", ""},
        {MS, OW, 6, RR, MS, "", nullptr, "11", "||kkkkkk", ""},
        {MS, OW, 6, RR, MS, "\0"s, nullptr, "11", "||kkkkkk", ""},
        {MS, OW, 1, RR | W, MS, "\0"s, nullptr, "00", "kkk", "| -"},
        {MS, OW, 10, W, 0, "", nullptr, "00", "kkkkkkkkkkkk", "kkkkkkkk|| kkkkkkkkkk"},
        {MS, OW, 10, W, 0, "abcdefghi\0\0\0"s, nullptr, "00", "abcdefghi|||", "abcdefgh|| abcdefghi"},
        {MS, OW, 10, W, 0, "abcdefghi\0"s, nullptr, "00", "abcdefghi|kk", "abcdefgh|| abcdefghi"},
        {MS, OW, 2, W, 0, "", nullptr, "00", "kkkk", "|| kk"},
        {MS, OW, 10, IR | W, 0, "", "a%_b", "11", "a|b||kkkkkkk", "a|b|| a%_b"},
        {MS, OW, 10, IR | W, 0, "", "50%%", "11", "50%||kkkkkkk", "50%|| 50%%"},
        {MS, OW, 10, IR | W, 0, "", "", "11", "||kkkkkkkkkk", "|| "},
        {MS, OW, 10, IR | W, 0, "", "%_b", "11", "|b||kkkkkkkk", "|b|| %_b"},
        {MS, OW, 10, IR, 0, "", "5%a%", "11", "5%a%||kkkkkk", ""},
        {MS, OW, 10, IR, 0, "", "a%_", "11", "a|||kkkkkkkk", ""},
        {MS, OW, 10, IR, 0, "", "abcdef%_hi", "11", "abcdef|||kkk", ""},
        {MS, OW, 10, IR | W, 0, "", "abcdefgh%_", "11", "abcdefgh||kk", "abcdefgh|| abcdefgh"},
        {MS, OW, 2, IR | W, 0, "", "abc", "11", "||kk", "|| "},
        // Which store is read and written: the ini file decides the result when it is read.
        {DW, OW, 1, RR | RW, 0, "", nullptr, "00", "99,99,", "99 -"},
        {DW, OW, 1, 0, DW, "\1\0\0\0"s, "11", "00", "99,99,", "1 11"},
        {DW, OW, 1, RR | IW, DW, "\1\0\0\0"s, nullptr, "11", "1,99,", "1 1"},
        {DW, OW, 1, IR | RW, 0, "", "11", "11", "11,99,", "11 11"},
        {DW, OW, 1, RR | IR, DW, "\1\0\0\0"s, nullptr, "01", "1,99,", ""},
        {DW, OW, 1, RR | IR, DW, "\1\0\0\0"s, "11", "11", "11,99,", ""},
        {DW, OW, 1, RR | IR, 0, "", "11", "11", "11,99,", ""},
        // Without SF_OVERWRITE a value already stored stays.
        {DW, 0, 1, W, DW, "\1\0\0\0"s, "11", "00", "99,99,", "1 11"},
        {DW, 0, 1, W, 0, "", nullptr, "00", "99,99,", "99 99"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        MemorySettingsBackend m;
        std::vector<uint32_t> numbers(r.size + 1, 99);
        std::string bytes(r.size + 2, 'k');
        if (r.reg_type != 0) {
            m.put_value(0, KEY + "\\Test"s, "Value", r.reg_type, r.reg);
        } else {
            bytes.replace(0, r.reg.size(), r.reg);
        }
        if (r.ini != nullptr) {
            m.write_profile("Test", "Value", r.ini, INI);
        }
        SettingEntry row = {"Test", "Value", r.type, r.flags, &bytes[0], r.size};
        row.data = r.type == DW ? static_cast<void*>(numbers.data()) : row.data;
        SettingsStore store = {ROOT_CURRENT_USER, KEY, INI, &row, r.mode, 1};
        const bool loaded = load_settings(store, m);
        EXPECT_EQ(std::to_string(loaded) + std::to_string(section_loaded(store, "Test")), r.result);
        std::string value;
        for (uint32_t n : numbers) {
            value += std::to_string(n) + ",";
        }
        EXPECT_EQ(r.type == DW ? value : shown(bytes), r.value);
        save_settings(store, m);
        if (r.saved[0] != '\0') {
            EXPECT_EQ(stored(m, true, "Test") + " " + stored(m, false, "Test"), r.saved);
        }
        EXPECT_EQ(m.open_key_count() + m.refused_count(), 0u) << "keys left open";
    }
}

TEST(SettingsStore, ClearRegistryRemovesOnlyTheProgramsKey) {
    MemorySettingsBackend m;
    m.put_value(0, "Software\\Tansky Freeware\\Sibling", "Keep", DW, "\1\0\0\0"s);
    uint32_t number = 1;
    SettingEntry row = {"Test", "Value", DW, OW, &number, 1};
    SettingsStore store = {ROOT_CURRENT_USER, KEY, INI, &row, RW, 1};
    clear_registry(store, m);
    save_settings(store, m);
    EXPECT_TRUE(m.key_exists(0, KEY + "\\Test"s));
    clear_registry(store, m);
    EXPECT_TRUE(!m.key_exists(0, KEY) && m.key_exists(0, "Software\\Tansky Freeware\\Sibling"));
    EXPECT_EQ(m.open_key_count() + m.refused_count(), 0u);
}

// Rows and paths that the store cannot use as given fail instead of touching memory it does not
// own or naming another key or file; an empty section is the key itself in the registry and has no
// place in the ini file; rows of another type are passed over.
TEST(SettingsStore, RowsAndPathsThatCannotBeUsed) {
    MemorySettingsBackend m;
    const std::string key = KEY + "\\"s + std::string(KEY_PATH_SIZE - 7 - strlen(KEY), 'k');
    alignas(uint32_t) char text[4] = "abc";
    uint32_t a = 3, b = 4;
    SettingEntry rows[] = {{"Fits", "A", DW, OW, &a, 1},   {"", "C", DW, OW, &b, 1},
                           {nullptr, "D", DW, OW, &b, 1},  {"Fitsx", "B", DW, OW, &b, 1},
                           {"S", "E", DW, OW, nullptr, 1}, {"S", nullptr, DW, OW, text, 1},
                           {"S", "", DW, OW, text, 1},     {"S", "Bin", 3, OW, text, 4}};
    // Without a key path or an ini path, or with paths too long, nothing is read or written, and
    // clearing deletes nothing.
    m.put_value(0, "", "Keep", DW, "\1\0\0\0"s);
    const std::string long_path = INI + std::string(PROFILE_PATH_SIZE, 'i');
    for (const char* path : {"", static_cast<const char*>(nullptr), long_path.c_str()}) {
        SettingsStore store = {ROOT_CURRENT_USER, path, path, rows, W, 1};
        save_settings(store, m);
        clear_registry(store, m);
        for (uint32_t mode : {RR, IR}) {
            store.mode = mode;
            EXPECT_FALSE(load_settings(store, m) || a != 3);
        }
    }
    EXPECT_TRUE(m.key_count() == 1 && m.key_exists(0, ""));
    SettingsStore store = {ROOT_CURRENT_USER, key.c_str(), INI, rows, W, 8};
    save_settings(store, m);
    // Each row alone: saved to the registry, to the ini file, then loaded from each.
    std::string seen, bytes;
    for (SettingEntry& row : rows) {
        const std::string at = row.section != nullptr && row.section[0] != '\0' ? key + "\\" + row.section : key;
        const std::string name = row.name != nullptr ? row.name : "?";
        seen += std::to_string(m.value(0, at, name, nullptr, &bytes)) +
                std::to_string(m.profile_value(INI, row.section != nullptr ? row.section : "", name, nullptr));
        for (uint32_t mode : {RR, IR}) {
            store = {ROOT_CURRENT_USER, key.c_str(), INI, &row, mode, 1};
            seen += std::to_string(load_settings(store, m));
        }
        seen += " ";
    }
    EXPECT_EQ(seen, "1111 1010 1010 0101 0000 0000 1010 0011 ");
    EXPECT_STREQ(text, "abc");
    store = {ROOT_CURRENT_USER, key.c_str(), INI, rows, RR, 1};
    EXPECT_TRUE(load_settings(store, m) && !section_loaded(store, nullptr));
    store.mode = 0;
    EXPECT_FALSE(load_settings(store, m) || section_loaded(store, "Fits")) << "a load forgets what the one before read";

    SettingsStore empty = {0, KEY, INI, nullptr, W, 3};
    save_settings(empty, m);
    empty.mode = RR | IR;
    EXPECT_TRUE(load_settings(empty, m)) << "no rows, none missing";
    EXPECT_EQ(m.open_key_count() + m.refused_count(), 0u);
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
        EXPECT_EQ(out + std::string(1, out[size]), expect + "x"s) << "cut and terminated within " << size;
    }
    char out[8];
    memset(out, 'x', sizeof out);
    EXPECT_FALSE(encode_multi_string("ab%\0\0", 5, out, 4));
    EXPECT_EQ(std::string(out, 5), "ab\0xx"s);
    EXPECT_TRUE(encode_multi_string("abcdef", 3, out, sizeof out) && encode_multi_string("\0\0", 2, out + 4, 1));
    EXPECT_STREQ(out, "abc");
    EXPECT_TRUE(encode_multi_string("a\0b", 3, out, sizeof out));
    EXPECT_STREQ(out, "a%_b");
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
