// Behaviour of the settings store that must hold on every backend. The in-memory suite and the
// Wine suite (real registry, real ini files) each give a SettingsWorld and run these same cases
// over the program's own settings table and variables.
#ifndef KELVAST_SETTINGS_CASES_H
#define KELVAST_SETTINGS_CASES_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "config/settings_store.h"
#include "ui/main_settings.h"

using namespace std::string_literals;

// The program's settings as one run of the dialog holds them, under the names the cases use.
inline MainSettings case_settings;
inline WindowValues& window_values = case_settings.window;
inline uint32_t& version_value = case_settings.version;
inline History& history = case_settings.history;
inline const SettingsStore& settings_store = case_settings.store;

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

// Spelled out rather than taken from the program, so a wrong key or row name shows.
const char* const CASE_KEY = "Software\\Tansky Freeware\\Kelvast";
const char* const CASE_ROWS[6][2] = {{"Window", "PosX"},   {"Window", "PosY"},     {"Window", "Width"},
                                     {"Window", "Height"}, {"Program", "Version"}, {"Settings", "History"}};
const uint32_t RR = MODE_READ_REGISTRY, RW = MODE_WRITE_REGISTRY, IR = MODE_READ_INI, IW = MODE_WRITE_INI;

inline std::string section_path(const char* section) {
    return std::string(CASE_KEY) + "\\" + section;
}

inline std::string dword_bytes(uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

// Zero bytes shown as '|', so a multi-string reads a|b||.
inline std::string shown(std::string bytes) {
    std::replace(bytes.begin(), bytes.end(), '\0', '|');
    return bytes;
}

// The program's store over the world's ini file, its variables as at start-up except for a
// history that is not empty, so that any read of it shows.
inline SettingsStore program_store(SettingsWorld& world, uint32_t mode) {
    window_values = {};
    version_value = 30;
    memset(history.buffer, 0, sizeof history.buffer);
    memcpy(history.buffer, "init", 4);
    SettingsStore store = settings_store;
    store.ini_path = world.ini_path();
    store.mode = mode;
    return store;
}

inline SettingsStore row_store(SettingsWorld& world, SettingEntry& row, uint32_t mode) {
    return {settings_store.root_key, CASE_KEY, world.ini_path(), &row, mode, 1};
}

// The six values as one line, "-" for a missing one. In the registry a number shows only as a
// 4-byte REG_DWORD and the history only as REG_MULTI_SZ, with every stored byte.
inline std::string program_values() {
    std::string h(history.buffer, sizeof history.buffer);
    size_t end = h.find("\0\0"s);
    return std::to_string(window_values.pos_x) + "," + std::to_string(window_values.pos_y) + "," +
           std::to_string(window_values.width) + "," + std::to_string(window_values.height) + "," +
           std::to_string(version_value) + "," + shown(end == std::string::npos ? h : h.substr(0, end + 2));
}

// A stored value as text, "-" when missing. From the registry a REG_DWORD shows as its number
// (only when it has 4 bytes), a REG_SZ in quotes and a REG_MULTI_SZ bare, zero bytes as '|'.
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

inline std::string stored_rows(SettingsWorld& world, bool registry) {
    std::string line;
    for (int i = 0; i < 6; ++i) {
        line += (i ? "," : "") + stored(world, registry, CASE_ROWS[i][0], CASE_ROWS[i][1]);
    }
    return line;
}

// A whole run per row: set up both stores, load, change Width to 800, save, then look at the
// variables after the load and at both stores after the save.
inline void case_storage_modes(SettingsWorld& world) {
    struct Row {
        const char* name;
        std::string registry;  // the History bytes beside 1,2,3,4 and Version 29; empty: no registry
        int ini_rows;          // how many rows the ini file holds: 11,12,13,14, Version 31, the History line
        const char* ini_history;
        uint32_t mode;
        bool loaded;
        const char* rows_read;  // which rows the load marked as read
        std::string after_load, registry_after, ini_after;
    };
    const std::string reg = "50%\0x\0\0"s, none = "-,-,-,-,-,-";
    const std::string a = "1,2,3,4,29,50%|x||", fits = std::string(2569, 'h') + "\0\0"s, over = "h" + fits;
    const std::string ini = "11,12,13,14,31,run%_08:00:00%_1000001";
    const Row rows[] = {
        {"first run", "", 0, "", RR | RW, false, "000000", "0,0,0,0,30,init||", "0,0,800,0,30,init||", none},
        {"mode 0", reg, 6, "b", 0, false, "000000", "0,0,0,0,30,init||", a, "11,12,13,14,31,b"},
        {"-rr -iw", reg, 0, "", RR | IW, true, "111111", a, a, "1,2,800,4,29,50%%%_x"},
        {"-ir -rw", "", 6, "run%_08:00:00%_1000001", IR | RW, true, "111111", "11,12,13,14,31,run|08:00:00|1000001||",
         "11,12,800,14,31,run|08:00:00|1000001||", ini},
        {"both read bits, window in ini", reg, 4, "", RR | IR, false, "111111", "11,12,13,14,29,50%|x||", a,
         "11,12,13,14,-,-"},
        {"ini with the window only", "", 4, "", IR, false, "111100", "11,12,13,14,30,init||", none, "11,12,13,14,-,-"},
        {"empty History line", "", 6, "", IR, true, "111111", "11,12,13,14,31,||", none, "11,12,13,14,31,"},
        {"History of 2571 bytes", fits, 0, "", RR, true, "111111", "1,2,3,4,29," + shown(fits),
         "1,2,3,4,29," + shown(fits), none},
        {"History of 2572 bytes", over, 0, "", RR, false, "111110", "1,2,3,4,29,init||", "1,2,3,4,29," + shown(over),
         none},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        world.reset();
        if (!row.registry.empty()) {
            for (int i = 0; i < 5; ++i) {
                world.put_reg_value(section_path(CASE_ROWS[i][0]), CASE_ROWS[i][1], REG_DWORD,
                                    dword_bytes(i < 4 ? i + 1 : 29));
            }
            world.put_reg_value(section_path("Settings"), "History", REG_MULTI_SZ, row.registry);
        }
        const char* ini_texts[6] = {"11", "12", "13", "14", "31", row.ini_history};
        for (int i = 0; i < row.ini_rows; ++i) {
            world.put_ini_value(CASE_ROWS[i][0], CASE_ROWS[i][1], ini_texts[i]);
        }
        SettingsStore store = program_store(world, row.mode);
        EXPECT_EQ(load_settings(store, world.backend()), row.loaded);
        std::string read;
        for (uint32_t i = 0; i < store.count; ++i) {
            read += store.entries[i].loaded ? '1' : '0';
        }
        EXPECT_EQ(read, row.rows_read);
        EXPECT_EQ(section_loaded(store, "Window"), read[0] == '1');
        EXPECT_EQ(section_loaded(store, "Settings"), read[5] == '1');
        EXPECT_EQ(program_values(), row.after_load);
        window_values.width = 800;
        save_settings(store, world.backend());
        EXPECT_EQ(stored_rows(world, true), row.registry_after);
        EXPECT_EQ(stored_rows(world, false), row.ini_after);
    }
}

// Number texts read from either store, and the canonical ones written back in the same form.
inline void case_number_lists(SettingsWorld& world) {
    const uint32_t U = 99;  // an element the text leaves untouched
    const uint32_t LIST = SF_OVERWRITE | SF_NUMBER_LIST;
    struct Row {
        const char* text;
        uint32_t flags;
        std::vector<uint32_t> numbers;
        bool written;
    };
    const Row rows[] = {
        {"7,8.9;10 11", LIST, {7, 8, 9, 10}, false},
        {"7,8.9;10 11", LIST, {7, 8, 9, 10, 11, U}, false},
        {"0x1F", LIST, {31}, false},
        {"0X1f", LIST, {31}, false},
        {"1f", LIST, {1}, false},
        {"0x", LIST, {U}, false},
        {",, 4;;0x10,abc,6", LIST, {4, 16, U, 6}, false},
        {"abc", SF_OVERWRITE, {U}, false},
        {" ,;. ", LIST, {U, U, U}, false},
        {"12abc,0x1g,-1", LIST, {12, 1, 4294967295u}, false},
        {"\t5,+6,0xffffffff", LIST, {5, 6, 4294967295u}, false},
        {"4294967296,0x100000000,7", LIST, {U, U, 7}, false},  // beyond 32 bits: no number
        {"0x-2,0,x1", LIST, {4294967294u, 0, U}, false},
        {"640", SF_OVERWRITE, {640}, true},
        {"1,255", LIST, {1, 255}, true},
        {"0x1,0xff", LIST | SF_HEX, {1, 255}, true},
        {"0,4294967295", LIST, {0, 4294967295u}, true},
    };
    const std::string path = section_path("Numbers");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const bool list = (row.flags & SF_NUMBER_LIST) != 0;
        const uint32_t size = static_cast<uint32_t>(row.numbers.size());
        const std::string reg_bytes = list ? row.text + "\0"s : dword_bytes(row.numbers[0]);
        world.put_ini_value("Numbers", "List", row.text);
        world.put_reg_value(path, "List", list ? REG_SZ : REG_DWORD, reg_bytes);
        for (uint32_t mode : {IR, RR}) {
            std::vector<uint32_t> numbers(size, U);
            SettingEntry entry = {"Numbers", "List", REG_DWORD, row.flags, numbers.data(), size};
            SettingsStore store = row_store(world, entry, mode);
            EXPECT_TRUE(load_settings(store, world.backend())) << "mode " << mode;
            EXPECT_EQ(numbers, row.numbers) << "mode " << mode;
        }
        if (row.written) {
            world.reset();
            std::vector<uint32_t> numbers = row.numbers;
            SettingEntry entry = {"Numbers", "List", REG_DWORD, row.flags, numbers.data(), size};
            SettingsStore store = row_store(world, entry, RW | IW);
            save_settings(store, world.backend());
            EXPECT_EQ(stored(world, false, "Numbers", "List"), row.text);
            EXPECT_EQ(stored(world, true, "Numbers", "List"), list ? '"' + shown(reg_bytes) + '"' : row.text);
        }
    }
}

inline void case_row_without_overwrite_keeps_stored_value(SettingsWorld& world) {
    uint32_t value = 5;
    SettingEntry row = {"Window", "PosX", REG_DWORD, 0, &value, 1};
    for (bool held : {true, false}) {
        SCOPED_TRACE(held ? "held before" : "not held");
        world.reset();
        if (held) {
            world.put_reg_value(section_path("Window"), "PosX", REG_DWORD, dword_bytes(1));
            world.put_ini_value("Window", "PosX", "1");
        }
        SettingsStore store = row_store(world, row, RW | IW);
        save_settings(store, world.backend());
        for (bool registry : {true, false}) {
            EXPECT_EQ(stored(world, registry, "Window", "PosX"), held ? "1" : "5") << "registry " << registry;
        }
    }
}

// Texts end inside the variable whatever was stored; a registry value that does not fit, or a
// number of another size, fails and leaves the variable as it was.
inline void case_values_stay_inside_their_variable(SettingsWorld& world) {
    const uint32_t REG_BINARY_TYPE = 3;
    struct Row {
        const char* name;
        uint32_t type, size, mode, stored_type;
        std::string stored;
        bool loaded;
        std::string expect;  // the variable's 6 bytes, then the two past its size
    };
    const Row rows[] = {
        {"ini text cut", REG_SZ, 6, IR, 0, "abcdefghijkl", true, "abcde\0xx"s},
        {"registry text too long", REG_SZ, 6, RR, REG_SZ, "abcdefghij\0"s, false, "keep\0xxx"s},
        {"registry text unterminated", REG_SZ, 6, RR, REG_SZ, "abcdef", true, "abcde\0xx"s},
        {"registry multi-string unclosed", REG_MULTI_SZ, 6, RR, REG_MULTI_SZ, "ab\0cd"s, true, "ab\0c\0\0xx"s},
        {"registry number of 2 bytes", REG_DWORD, 1, RR, REG_BINARY_TYPE, "7\0"s, false, "keep\0xxx"s},
        {"registry number of 8 bytes", REG_DWORD, 1, RR, REG_BINARY_TYPE, "12345678", false, "keep\0xxx"s},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        alignas(uint32_t) char var[8];
        memcpy(var, "keep\0xxx", 8);
        SettingEntry entry = {"Text", "Value", row.type, SF_OVERWRITE, var, row.size};
        SettingsStore store = row_store(world, entry, row.mode);
        if (row.mode == IR) {
            world.put_ini_value("Text", "Value", row.stored);
        } else {
            world.put_reg_value(section_path("Text"), "Value", row.stored_type, row.stored);
        }
        EXPECT_EQ(load_settings(store, world.backend()), row.loaded);
        EXPECT_EQ(std::string(var, 8), row.expect);
    }
}

// Canonical multi-strings go out and come back through both stores; hand-edited ini lines keep
// odd '%' forms, and one too long for the variable (10 bytes) keeps whole texts only.
inline void case_multi_strings(SettingsWorld& world) {
    struct Row {
        std::string multi;
        const char* text;
        bool written;
    };
    const Row rows[] = {
        {"a\0b\0\0"s, "a%_b", true},
        {"50%\0\0"s, "50%%", true},
        {"\0\0"s, "", true},
        {"\0b\0\0"s, "%_b", true},
        {"5%a%\0\0"s, "5%a%", false},
        {"%%\0\0"s, "%%%", false},
        {"a\0\0"s, "a%_", false},
        {"abcdef\0h\0\0"s, "abcdef%_h", false},
        {"abcdef\0\0"s, "abcdef%_hi", false},
        {"abc\0\0"s, "abc%_defghijk", false},
        {"\0\0"s, "abcdefghijklmnop", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        char multi[12] = {};
        SettingEntry entry = {"Settings", "History", REG_MULTI_SZ, SF_OVERWRITE, multi, 10};
        if (row.written) {
            memcpy(multi, row.multi.data(), row.multi.size());
            SettingsStore out = row_store(world, entry, IW | RW);
            save_settings(out, world.backend());
            EXPECT_EQ(stored(world, false, "Settings", "History"), row.text);
            EXPECT_EQ(stored(world, true, "Settings", "History"), shown(row.multi));
        } else {
            world.put_ini_value("Settings", "History", row.text);
        }
        for (uint32_t mode : {IR, row.written ? RR : IR}) {
            memset(multi, 'x', sizeof multi);
            SettingsStore in = row_store(world, entry, mode);
            EXPECT_TRUE(load_settings(in, world.backend())) << "mode " << mode;
            EXPECT_EQ(std::string(multi, row.multi.size()), row.multi) << "mode " << mode;
            EXPECT_EQ(std::string(multi + 10, 2), "xx") << "mode " << mode;
        }
    }
}

inline void case_clear_registry(SettingsWorld& world) {
    const std::string key = CASE_KEY, sibling = key.substr(0, key.rfind('\\')) + "\\Sibling";
    world.put_reg_value(sibling, "Keep", REG_DWORD, dword_bytes(1));
    SettingsStore store = program_store(world, RW);
    for (bool saved : {false, true}) {
        SCOPED_TRACE(saved ? "saved key" : "missing key");
        if (saved) {
            save_settings(store, world.backend());
            ASSERT_TRUE(world.reg_key_exists(section_path("Settings")));
        }
        clear_registry(store, world.backend());
        EXPECT_FALSE(world.reg_key_exists(section_path("Window")));
        EXPECT_FALSE(world.reg_key_exists(key));
        EXPECT_TRUE(world.reg_key_exists(sibling));
    }
}

// Paths that cannot be used as given fail cleanly instead of naming another key or file.
inline void case_paths_that_do_not_fit(SettingsWorld& world) {
    // With "\\Settings" the path has exactly the 99 characters that fit.
    const std::string long_key = std::string(CASE_KEY) + "\\" + std::string(KEY_PATH_SIZE - 11 - strlen(CASE_KEY), 'k');
    uint32_t value = 3, other = 4;
    SettingEntry rows[2] = {
        {"Settings", "Fits", REG_DWORD, SF_OVERWRITE, &value, 1},
        {"Settingsx", "Long", REG_DWORD, SF_OVERWRITE, &other, 1},
    };
    SettingsStore store = {settings_store.root_key, long_key.c_str(), world.ini_path(), rows, RW, 2};
    save_settings(store, world.backend());
    uint32_t type = 0;
    std::string bytes;
    EXPECT_TRUE(world.reg_value(long_key + "\\Settings", "Fits", type, bytes));
    EXPECT_FALSE(world.reg_key_exists(long_key + "\\Settingsx"));
    EXPECT_FALSE(world.reg_value(long_key + "\\Settings", "Long", type, bytes)) << "the path must not be cut";
    store.mode = RR;
    EXPECT_FALSE(load_settings(store, world.backend()));
    store.count = 1;
    EXPECT_TRUE(load_settings(store, world.backend()));

    const std::string too_long_ini = world.ini_path() + std::string(PROFILE_PATH_SIZE, 'i');
    store = {settings_store.root_key, long_key.c_str(), too_long_ini.c_str(), rows, IW, 1};
    save_settings(store, world.backend());
    store.mode = IR;
    value = 8;
    EXPECT_FALSE(load_settings(store, world.backend()));
    EXPECT_EQ(value, 8u);
}

#endif
