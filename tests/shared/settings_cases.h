// Behaviour of the settings store that must hold on every backend: the in-memory suite and the
// Wine suite (real registry, real ini files) each give a SettingsWorld and run these same cases.
#ifndef KELVAST_SETTINGS_CASES_H
#define KELVAST_SETTINGS_CASES_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "config/settings_store.h"

using namespace std::string_literals;

// One backend plus raw access to what it stored, bypassing the store.
class SettingsWorld {
  public:
    virtual ~SettingsWorld() = default;
    virtual SettingsBackend& backend() = 0;
    // Empties the registry below the vendor key and moves on to an ini file not yet written.
    virtual void reset() = 0;
    virtual const char* ini_path() = 0;
    virtual bool reg_value(const std::string& path, const char* name, uint32_t& type, std::string& bytes) = 0;
    virtual void put_reg_value(const std::string& path, const char* name, uint32_t type, const std::string& bytes) = 0;
    virtual bool reg_key_exists(const std::string& path) = 0;
    virtual bool ini_value(const char* section, const char* name, std::string& text) = 0;
    virtual void put_ini_value(const char* section, const char* name, const std::string& text) = 0;
};

const char* const CASE_KEY = "Software\\Tansky Freeware\\Kelvast";
const uint32_t RR = MODE_READ_REGISTRY, RW = MODE_WRITE_REGISTRY, IR = MODE_READ_INI, IW = MODE_WRITE_INI;
const uint32_t U = 99;  // a number that no text gave

inline std::string section_path(const char* section) {
    return std::string(CASE_KEY) + "\\" + section;
}

inline std::string shown(std::string bytes) {
    std::replace(bytes.begin(), bytes.end(), '\0', '|');
    return bytes;
}

// A stored value as text, "-" when missing. From the registry a 4-byte REG_DWORD shows as its
// number, a REG_SZ in quotes and a REG_MULTI_SZ bare, zero bytes as '|'.
inline std::string stored(SettingsWorld& world, bool registry, const char* section, const char* name) {
    uint32_t type = 0, n = 0;
    std::string b;
    if (!registry || !world.reg_value(section_path(section), name, type, b)) {
        return !registry && world.ini_value(section, name, b) ? b : "-";
    }
    if (type == REG_DWORD && b.size() == 4) {
        memcpy(&n, b.data(), 4);  // every platform here is little-endian, as the stored form is
        return std::to_string(n);
    }
    return type == REG_SZ ? '"' + shown(b) + '"' : type == REG_MULTI_SZ ? shown(b) : "?";
}

// A row over its own variable, numbers starting as U and bytes as 'k', with a guard number or two
// guard bytes past its size.
struct CaseRow {
    std::vector<uint32_t> numbers;
    std::string bytes;
    SettingEntry row;
    CaseRow(uint32_t type, uint32_t flags, uint32_t size, const char* section = "Test")
        : numbers(size + 1, U), bytes(size + 2, 'k'), row{section, "Value", type, flags, nullptr, size} {
        row.data = type == REG_DWORD ? static_cast<void*>(numbers.data()) : &bytes[0];
    }
    SettingsStore store(SettingsWorld& world, uint32_t mode) {
        return {ROOT_CURRENT_USER, CASE_KEY, world.ini_path(), &row, mode, 1};
    }
    std::string value() const {
        std::string text;
        for (uint32_t n : numbers) {
            text += (text.empty() ? "" : ",") + std::to_string(n);
        }
        return row.type == REG_DWORD ? text : shown(bytes);
    }
};

struct ValueRow {
    uint32_t type, flags, size;
    uint32_t mode;         // where the value is read from: IR, RR, or 0 for nowhere
    uint32_t stored_type;  // 0: the registry key exists, the value does not
    std::string stored;    // registry bytes or ini text; with mode 0 the variable's first bytes
    bool loaded;
    std::string value;  // the variable after the load, guard included
    std::string saved;  // then saved to both stores of a fresh world: "registry ini", or empty to skip
};

inline void run_value_rows(SettingsWorld& world, const std::vector<ValueRow>& rows) {
    for (const ValueRow& r : rows) {
        SCOPED_TRACE(shown(r.stored) + " mode " + std::to_string(r.mode));
        world.reset();
        if (r.mode == IR) {
            world.put_ini_value("Test", "Value", r.stored);
        } else if (r.mode == RR) {
            world.put_reg_value(section_path("Test"), r.stored_type != 0 ? "Value" : "Other", r.stored_type, r.stored);
        }
        CaseRow row(r.type, r.flags, r.size);
        if (r.mode == 0) {
            row.bytes.replace(0, r.stored.size(), r.stored);  // same length: row.data stays valid
        }
        SettingsStore store = row.store(world, r.mode);
        EXPECT_EQ(load_settings(store, world.backend()), r.loaded);
        EXPECT_EQ(row.value(), r.value);
        if (!r.saved.empty()) {
            world.reset();  // a new ini file: the path is taken again
            store = row.store(world, RW | IW);
            save_settings(store, world.backend());
            EXPECT_EQ(stored(world, true, "Test", "Value") + " " + stored(world, false, "Test", "Value"), r.saved);
        }
    }
}

const uint32_t LIST = SF_OVERWRITE | SF_NUMBER_LIST, OW = SF_OVERWRITE, DW = REG_DWORD, MS = REG_MULTI_SZ;

// Number texts read from either store, and written back in their canonical form.
inline void case_number_lists(SettingsWorld& world) {
    run_value_rows(
        world, {
                   {DW, LIST, 4, IR, 0, "7,8.9;10 11", true, "7,8,9,10,99", "\"7,8,9,10|\" 7,8,9,10"},
                   {DW, LIST, 6, RR, REG_SZ, "7,8.9;10 11\0"s, true, "7,8,9,10,11,99,99", ""},
                   {DW, LIST | SF_HEX, 5, IR, 0, "0x1F,0X1f,1f,0x", true, "31,31,1,99,99,99",
                    "\"0x1f,0x1f,0x1,0x63,0x63|\" 0x1f,0x1f,0x1,0x63,0x63"},
                   {DW, LIST, 4, IR, 0, ",, 4;;0x10,abc,1x5", true, "4,16,99,1,99", ""},
                   {DW, LIST, 5, IR, 0, "\t5,+6,0xffffffff,-1,0x-2", true, "5,6,4294967295,4294967295,4294967294,99",
                    "\"5,6,4294967295,4294967295,4294967294|\" 5,6,4294967295,4294967295,4294967294"},
                   {DW, LIST, 4, RR, REG_SZ, "4294967296,0x100000000,42949672950,7", true, "99,99,99,7,99", ""},
                   {DW, LIST, 2, RR, REG_SZ, "5" + std::string(65533, ' ') + "78", true, "5,7,99", ""},
                   {DW, LIST, 2, RR, 0, "", false, "99,99,99", ""},
                   {DW, OW, 1, IR, 0, "abc", true, "99,99", "99 99"},
                   {DW, OW, 1, RR, DW, "\x80\2\0\0"s, true, "640,99", "640 640"},
                   {DW, OW, 1, RR, 3, "\x80\2\0"s, false, "99,99", ""},
                   {DW, OW, 1, RR, 3, "12345678", false, "99,99", ""},
               });
}

// Texts end inside their variable whatever was stored; a registry value that does not fit fails
// and leaves the variable as it was.
inline void case_values_stay_inside_their_variable(SettingsWorld& world) {
    run_value_rows(world, {
                              {REG_SZ, OW, 6, IR, 0, "abcdefghijkl", true, "abcde|kk", "\"abcde|\" abcde"},
                              {REG_SZ, OW, 6, RR, REG_SZ, "abcdefghij\0"s, false, "kkkkkkkk", ""},
                              {REG_SZ, OW, 6, RR, REG_SZ, "abcdef", true, "abcde|kk", ""},
                              {REG_SZ, OW, 6, RR, REG_SZ, "ab\0"s, true, "ab|kkkkk", "\"ab|\" ab"},
                              {REG_SZ, OW, 1, IR, 0, "x", true, "|kk", "\"|\" "},
                              {REG_SZ, OW, 6, 0, 0, "", false, "kkkkkkkk", "\"kkkkk|\" kkkkk"},
                              {MS, OW, 6, RR, MS, "ab\0cd"s, true, "ab|c||kk", "ab|c|| ab%_c"},
                              {MS, OW, 10, RR, MS, "a\0b\0\0"s, true, "a|b||kkkkkkk", ""},
                              {MS, OW, 10, RR, MS, "ab\0c\0"s, true, "ab|c||kkkkkk", ""},
                              {MS, OW, 6, RR, MS, "", true, "||kkkkkk", ""},
                              {MS, OW, 6, RR, MS, "\0"s, true, "||kkkkkk", ""},
                              {MS, OW, 10, 0, 0, "", false, "kkkkkkkkkkkk", "kkkkkkkk|| kkkkkkkkkk"},
                              {MS, OW, 10, 0, 0, "abcdefghi\0\0\0"s, false, "abcdefghi|||", "abcdefgh|| abcdefghi"},
                              {MS, OW, 10, 0, 0, "abcdefghi\0"s, false, "abcdefghi|kk", "abcdefgh|| abcdefghi"},
                              {MS, OW, 2, 0, 0, "", false, "kkkk", "|| kk"},
                          });
}

// Canonical multi-strings go out and come back; hand-edited ini lines keep odd '%' forms, and one
// too long for the variable keeps whole texts only.
inline void case_multi_strings(SettingsWorld& world) {
    run_value_rows(world, {
                              {MS, OW, 10, IR, 0, "a%_b", true, "a|b||kkkkkkk", "a|b|| a%_b"},
                              {MS, OW, 10, IR, 0, "50%%", true, "50%||kkkkkkk", "50%|| 50%%"},
                              {MS, OW, 10, IR, 0, "", true, "||kkkkkkkkkk", "|| "},
                              {MS, OW, 10, IR, 0, "%_b", true, "|b||kkkkkkkk", "|b|| %_b"},
                              {MS, OW, 10, IR, 0, "5%a%", true, "5%a%||kkkkkk", ""},
                              {MS, OW, 10, IR, 0, "a%_", true, "a|||kkkkkkkk", ""},
                              {MS, OW, 10, IR, 0, "abcdef%_hi", true, "abcdef|||kkk", ""},
                              {MS, OW, 10, IR, 0, "abcdefgh%_", true, "abcdefgh||kk", "abcdefgh|| abcdefgh"},
                              {MS, OW, 2, IR, 0, "abc", true, "||kk", "|| "},
                          });
}

// A whole run per row over three rows: set up both stores, load, change the first number to 800,
// save, then look at the variables after the load and at both stores after the save.
inline void case_storage_modes(SettingsWorld& world) {
    const std::string reg = "50%\0x\0\0"s;
    const struct {
        const char* name;
        std::string registry;  // History beside the numbers 1 and 2; empty: nothing in the registry
        int ini_rows;          // how many rows the ini file holds: 11, 12, the History "b"
        uint32_t mode;
        bool loaded;
        std::string marks, after_load, registry_after, ini_after;
    } rows[] = {
        {"first run", "", 0, RR | RW, false, "000", "99,99,init||", "800,99,init||", "-,-,-"},
        {"mode 0", reg, 3, 0, false, "000", "99,99,init||", "1,2,50%|x||", "11,12,b"},
        {"-rr -iw", reg, 0, RR | IW, true, "111", "1,2,50%|x||", "1,2,50%|x||", "800,2,50%%%_x"},
        {"-ir -rw", "", 3, IR | RW, true, "111", "11,12,b||", "800,12,b||", "11,12,b"},
        {"both read, ini short", reg, 1, RR | IR, false, "111", "11,2,50%|x||", "1,2,50%|x||", "11,-,-"},
        {"ini short", "", 2, IR, false, "110", "11,12,init||", "-,-,-", "11,12,-"},
        {"History too long", "012345678\0\0"s, 0, RR, false, "110", "1,2,init||", "1,2,012345678||", "-,-,-"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        world.reset();
        uint32_t numbers[2] = {U, U};
        char history[10] = "init";
        SettingEntry table[3] = {{"Window", "PosX", REG_DWORD, OW, &numbers[0], 1},
                                 {"Program", "Version", REG_DWORD, OW, &numbers[1], 1},
                                 {"Settings", "History", MS, OW, history, 10}};
        const std::string ini[3] = {"11", "12", "b"}, reg_values[3] = {"\1\0\0\0"s, "\2\0\0\0"s, row.registry};
        for (int i = 0; i < 3; ++i) {
            if (!row.registry.empty()) {
                world.put_reg_value(section_path(table[i].section), table[i].name, table[i].type, reg_values[i]);
            }
            if (i < row.ini_rows) {
                world.put_ini_value(table[i].section, table[i].name, ini[i]);
            }
        }
        SettingsStore store = {ROOT_CURRENT_USER, CASE_KEY, world.ini_path(), table, row.mode, 3};
        EXPECT_EQ(load_settings(store, world.backend()), row.loaded);
        std::string marks;
        for (const SettingEntry& entry : table) {
            marks += entry.loaded ? '1' : '0';
        }
        EXPECT_EQ(marks, row.marks);
        EXPECT_EQ(section_loaded(store, "Window"), marks[0] == '1');
        EXPECT_EQ(section_loaded(store, "Program"), marks[1] == '1');
        EXPECT_EQ(section_loaded(store, "Settings"), marks[2] == '1');
        const std::string h(history, sizeof history);
        EXPECT_EQ(std::to_string(numbers[0]) + "," + std::to_string(numbers[1]) + "," +
                      shown(h.substr(0, h.find("\0\0"s) + 2)),
                  row.after_load);
        numbers[0] = 800;
        save_settings(store, world.backend());
        std::string reg_after, ini_after;
        for (const SettingEntry& entry : table) {
            reg_after += (reg_after.empty() ? "" : ",") + stored(world, true, entry.section, entry.name);
            ini_after += (ini_after.empty() ? "" : ",") + stored(world, false, entry.section, entry.name);
        }
        EXPECT_EQ(reg_after, row.registry_after);
        EXPECT_EQ(ini_after, row.ini_after);
    }
}

inline void case_row_without_overwrite_keeps_stored_value(SettingsWorld& world) {
    for (bool held : {true, false}) {
        world.reset();
        if (held) {
            world.put_reg_value(section_path("Test"), "Value", REG_DWORD, "\1\0\0\0"s);
            world.put_ini_value("Test", "Value", "1");
        }
        CaseRow row(REG_DWORD, 0, 1);
        row.numbers[0] = 5;
        SettingsStore store = row.store(world, RW | IW);
        save_settings(store, world.backend());
        EXPECT_EQ(stored(world, true, "Test", "Value") + stored(world, false, "Test", "Value"), held ? "11" : "55");
    }
}

inline void case_clear_registry(SettingsWorld& world) {
    const std::string sibling = "Software\\Tansky Freeware\\Sibling";
    world.put_reg_value(sibling, "Keep", REG_DWORD, "\1\0\0\0"s);
    CaseRow row(REG_DWORD, OW, 1);
    SettingsStore store = row.store(world, RW);
    for (bool saved : {false, true}) {
        if (saved) {
            save_settings(store, world.backend());
        }
        EXPECT_EQ(world.reg_key_exists(section_path("Test")), saved);
        clear_registry(store, world.backend());
        EXPECT_FALSE(world.reg_key_exists(CASE_KEY));
        EXPECT_TRUE(world.reg_key_exists(sibling));
    }
}

// A path that cannot be used as given fails its row instead of naming another key or file; an
// empty or missing section is the key itself in the registry and has no place in the ini file.
inline void case_paths_that_do_not_fit(SettingsWorld& world) {
    const std::string key = section_path(std::string(KEY_PATH_SIZE - 7 - strlen(CASE_KEY), 'k').c_str());
    uint32_t a = 3, b = 4;
    SettingEntry rows[4] = {{"Fits", "A", DW, OW, &a, 1},
                            {"", "C", DW, OW, &b, 1},
                            {nullptr, "D", DW, OW, &b, 1},
                            {"Fitsx", "B", DW, OW, &b, 1}};
    SettingsStore store = {ROOT_CURRENT_USER, key.c_str(), world.ini_path(), rows, RW | IW, 4};
    save_settings(store, world.backend());
    uint32_t type = 0;
    std::string bytes;
    EXPECT_TRUE(world.reg_value(key + "\\Fits", "A", type, bytes));
    EXPECT_TRUE(world.reg_value(key, "C", type, bytes) && world.reg_value(key, "D", type, bytes));
    EXPECT_FALSE(world.reg_key_exists(key + "\\Fitsx"));
    EXPECT_EQ(stored(world, false, "Fits", "A") + stored(world, false, "", "C") + stored(world, false, "Fitsx", "B"),
              "3-4");
    for (uint32_t count : {4, 3}) {
        store.count = count;
        store.mode = RR;
        EXPECT_EQ(load_settings(store, world.backend()), count == 3);
        store.mode = IR;
        EXPECT_FALSE(load_settings(store, world.backend()));
    }
    const std::string long_ini = world.ini_path() + std::string(PROFILE_PATH_SIZE, 'i');
    store = {ROOT_CURRENT_USER, key.c_str(), long_ini.c_str(), rows, IW, 1};
    save_settings(store, world.backend());
    store.mode = IR;
    a = 8;
    EXPECT_FALSE(load_settings(store, world.backend()));
    EXPECT_EQ(a, 8u);
}

#endif
