// Behaviour of the settings store that must hold on every backend. The in-memory suite and the
// Wine suite (real registry, real ini files) each give a SettingsWorld and run these same cases.
#ifndef KELVAST_SETTINGS_CASES_H
#define KELVAST_SETTINGS_CASES_H

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "config/settings_store.h"

// One backend plus raw access to what it stored, bypassing the store.
class SettingsWorld {
  public:
    virtual ~SettingsWorld() = default;
    virtual SettingsBackend& backend() = 0;
    virtual uintptr_t root() = 0;
    // The store's key; it lies below parent_path(), which also holds an unrelated sibling key.
    virtual std::string key_path() = 0;
    virtual std::string parent_path() = 0;
    virtual std::string ini_path() = 0;
    virtual bool reg_value(const std::string& path, const char* name, uint32_t& type, std::string& bytes) = 0;
    virtual void put_reg_value(const std::string& path, const char* name, uint32_t type, const std::string& bytes) = 0;
    virtual void delete_reg_value(const std::string& path, const char* name) = 0;
    virtual bool reg_key_exists(const std::string& path) = 0;
    virtual bool ini_value(const char* section, const char* name, std::string& text) = 0;
    virtual void put_ini_value(const char* section, const char* name, const std::string& text) = 0;
    virtual void delete_ini_value(const char* section, const char* name) = 0;
    virtual bool ini_exists() = 0;

    std::string section_path(const char* section) { return key_path() + "\\" + section; }
};

constexpr uint32_t CASE_HISTORY_SIZE = 2571;
constexpr uint32_t REG_BINARY_FOR_CASES = 3;

inline std::string bytes_of(const char* data, size_t size) {
    return std::string(data, size);
}

// Texts each ended by a zero byte, then the closing one.
inline std::string multi_of(std::initializer_list<const char*> texts) {
    std::string multi;
    for (const char* text : texts) {
        multi += text;
        multi += '\0';
    }
    multi += '\0';
    return multi.size() < 2 ? std::string(2, '\0') : multi;
}

inline std::string dword_bytes(uint32_t value) {
    char b[4] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                 static_cast<char>((value >> 16) & 0xFF), static_cast<char>((value >> 24) & 0xFF)};
    return std::string(b, 4);
}

// The program's table shape over variables of its own.
struct CaseSettings {
    uint32_t window[4] = {0, 0, 0, 0};
    uint32_t version = 30;
    char history[CASE_HISTORY_SIZE] = {};
    std::string key;
    std::string ini;
    SettingEntry rows[6];
    SettingsStore store;

    CaseSettings(SettingsWorld& world, uint32_t mode) : key(world.key_path()), ini(world.ini_path()) {
        rows[0] = {"Window", "PosX", REG_DWORD, SF_OVERWRITE, &window[0], 1};
        rows[1] = {"Window", "PosY", REG_DWORD, SF_OVERWRITE, &window[1], 1};
        rows[2] = {"Window", "Width", REG_DWORD, SF_OVERWRITE, &window[2], 1};
        rows[3] = {"Window", "Height", REG_DWORD, SF_OVERWRITE, &window[3], 1};
        rows[4] = {"Program", "Version", REG_DWORD, SF_OVERWRITE, &version, 1};
        rows[5] = {"Settings", "History", REG_MULTI_SZ, SF_OVERWRITE, history, CASE_HISTORY_SIZE};
        store = {world.root(), key.c_str(), ini.c_str(), rows, mode, 6};
    }
    void set(uint32_t x, uint32_t y, uint32_t w, uint32_t h, const std::string& multi) {
        window[0] = x;
        window[1] = y;
        window[2] = w;
        window[3] = h;
        memset(history, 0, sizeof history);
        memcpy(history, multi.data(), multi.size());
    }
    std::string history_bytes(size_t n) const { return std::string(history, n); }
};

// A store of one row, for the cases about a single kind of value.
struct CaseRow {
    std::string key;
    std::string ini;
    SettingEntry row;
    SettingsStore store;

    CaseRow(SettingsWorld& world, SettingEntry entry, uint32_t mode)
        : key(world.key_path()), ini(world.ini_path()), row(entry) {
        store = {world.root(), key.c_str(), ini.c_str(), &row, mode, 1};
    }
};

inline void expect_dword(SettingsWorld& world, const char* section, const char* name, uint32_t expected) {
    uint32_t type = 0;
    std::string bytes;
    ASSERT_TRUE(world.reg_value(world.section_path(section), name, type, bytes)) << section << "\\" << name;
    EXPECT_EQ(type, static_cast<uint32_t>(REG_DWORD)) << name;
    EXPECT_EQ(bytes, dword_bytes(expected)) << name;
}

inline void expect_ini(SettingsWorld& world, const char* section, const char* name, const std::string& expected) {
    std::string text;
    ASSERT_TRUE(world.ini_value(section, name, text)) << section << "/" << name;
    EXPECT_EQ(text, expected) << name;
}

inline void put_program_ini(SettingsWorld& world, const char* history) {
    world.put_ini_value("Window", "PosX", "11");
    world.put_ini_value("Window", "PosY", "12");
    world.put_ini_value("Window", "Width", "13");
    world.put_ini_value("Window", "Height", "14");
    world.put_ini_value("Program", "Version", "30");
    world.put_ini_value("Settings", "History", history);
}

inline void case_first_run_creates_every_value(SettingsWorld& world) {
    CaseSettings s(world, MODE_READ_REGISTRY | MODE_WRITE_REGISTRY);
    EXPECT_FALSE(load_settings(s.store, world.backend()));
    EXPECT_EQ(s.window[2], 0u);
    EXPECT_EQ(s.version, 30u);
    EXPECT_EQ(s.history_bytes(2), std::string(2, '\0'));

    const std::string history = multi_of({"cmd one", "12:00:00", "0111110"});
    s.set(100, 200, 640, 480, history);
    save_settings(s.store, world.backend());

    expect_dword(world, "Window", "PosX", 100);
    expect_dword(world, "Window", "PosY", 200);
    expect_dword(world, "Window", "Width", 640);
    expect_dword(world, "Window", "Height", 480);
    expect_dword(world, "Program", "Version", 30);
    uint32_t type = 0;
    std::string bytes;
    ASSERT_TRUE(world.reg_value(world.section_path("Settings"), "History", type, bytes));
    EXPECT_EQ(type, static_cast<uint32_t>(REG_MULTI_SZ));
    EXPECT_EQ(bytes, history) << "exactly up to the closing pair";
    EXPECT_FALSE(world.ini_exists());

    CaseSettings again(world, MODE_READ_REGISTRY);
    EXPECT_TRUE(load_settings(again.store, world.backend()));
    EXPECT_EQ(again.window[0], 100u);
    EXPECT_EQ(again.window[3], 480u);
    EXPECT_EQ(again.history_bytes(history.size()), history);
}

inline void case_mode_zero_touches_nothing(SettingsWorld& world) {
    CaseSettings before(world, MODE_WRITE_REGISTRY);
    before.set(1, 2, 3, 4, std::string("a\0\0", 3));
    save_settings(before.store, world.backend());
    put_program_ini(world, "b");

    CaseSettings s(world, 0);
    s.set(9, 9, 9, 9, std::string("z\0\0", 3));
    EXPECT_FALSE(load_settings(s.store, world.backend()));
    EXPECT_EQ(s.window[0], 9u);
    EXPECT_EQ(s.history[0], 'z');
    save_settings(s.store, world.backend());
    expect_dword(world, "Window", "PosX", 1);
    expect_ini(world, "Window", "PosX", "11");
    expect_ini(world, "Settings", "History", "b");
}

inline void case_registry_exports_to_ini(SettingsWorld& world) {
    CaseSettings first(world, MODE_WRITE_REGISTRY);
    first.set(1, 2, 3, 4, std::string("50%\0x\0\0", 7));
    save_settings(first.store, world.backend());

    CaseSettings s(world, MODE_READ_REGISTRY | MODE_WRITE_INI);
    EXPECT_TRUE(load_settings(s.store, world.backend()));
    s.window[2] = 800;  // changed during the run
    save_settings(s.store, world.backend());

    expect_ini(world, "Window", "PosX", "1");
    expect_ini(world, "Window", "Width", "800");
    expect_ini(world, "Program", "Version", "30");
    expect_ini(world, "Settings", "History", "50%%%_x");
    expect_dword(world, "Window", "Width", 3);
}

inline void case_ini_exports_to_registry(SettingsWorld& world) {
    put_program_ini(world, "run%_08:00:00%_1000001");
    CaseSettings s(world, MODE_READ_INI | MODE_WRITE_REGISTRY);
    EXPECT_TRUE(load_settings(s.store, world.backend()));
    save_settings(s.store, world.backend());

    expect_dword(world, "Window", "PosX", 11);
    expect_dword(world, "Window", "Height", 14);
    expect_dword(world, "Program", "Version", 30);
    uint32_t type = 0;
    std::string bytes;
    ASSERT_TRUE(world.reg_value(world.section_path("Settings"), "History", type, bytes));
    EXPECT_EQ(type, static_cast<uint32_t>(REG_MULTI_SZ));
    EXPECT_EQ(bytes, multi_of({"run", "08:00:00", "1000001"}));
}

inline void case_both_read_bits_prefer_ini(SettingsWorld& world) {
    CaseSettings first(world, MODE_WRITE_REGISTRY);
    first.set(1, 2, 3, 4, std::string("reg\0\0", 5));
    first.version = 29;
    save_settings(first.store, world.backend());
    world.put_ini_value("Window", "PosX", "5");
    world.put_ini_value("Window", "PosY", "6");
    world.put_ini_value("Window", "Width", "7");
    world.put_ini_value("Window", "Height", "8");

    CaseSettings s(world, MODE_READ_REGISTRY | MODE_READ_INI);
    EXPECT_FALSE(load_settings(s.store, world.backend()));
    EXPECT_EQ(s.window[0], 5u);
    EXPECT_EQ(s.window[3], 8u);
    EXPECT_EQ(s.version, 29u);
    EXPECT_EQ(s.history_bytes(5), std::string("reg\0\0", 5));
}

inline void case_empty_history_line_is_present(SettingsWorld& world) {
    put_program_ini(world, "");
    CaseSettings s(world, MODE_READ_INI);
    memset(s.history, 'z', sizeof s.history);
    EXPECT_TRUE(load_settings(s.store, world.backend()));
    EXPECT_EQ(s.history_bytes(2), std::string(2, '\0'));
}

// Number-list texts read through both stores: the ini text and a registry REG_SZ list.
inline void case_number_list_texts(SettingsWorld& world) {
    const uint32_t untouched = 99;
    struct Row {
        const char* text;
        uint32_t count;
        std::vector<uint32_t> expect;
    };
    const Row rows[] = {
        {"7,8.9;10 11", 4, {7, 8, 9, 10}},
        {"7,8.9;10 11", 6, {7, 8, 9, 10, 11, untouched}},
        {"0x1F", 1, {31}},
        {"0X1f", 1, {31}},
        {"1f", 1, {1}},
        {"0x", 1, {untouched}},
        {"abc", 1, {untouched}},
        {",, 4;;0x10,abc,6", 4, {4, 16, untouched, 6}},
    };
    for (const Row& row : rows) {
        for (uint32_t mode : {MODE_READ_INI, MODE_READ_REGISTRY}) {
            std::vector<uint32_t> numbers(row.count, untouched);
            CaseRow one(world, {"Numbers", "List", REG_DWORD, SF_OVERWRITE | SF_NUMBER_LIST, numbers.data(), row.count},
                        mode);
            if (mode == MODE_READ_INI) {
                world.put_ini_value("Numbers", "List", row.text);
            } else {
                world.put_reg_value(world.section_path("Numbers"), "List", REG_SZ,
                                    std::string(row.text, strlen(row.text) + 1));
            }
            EXPECT_TRUE(load_settings(one.store, world.backend())) << row.text << " counts as present";
            EXPECT_EQ(numbers, row.expect) << row.text << " into " << row.count << ", mode " << mode;
        }
    }
}

inline void case_numbers_are_written_in_their_forms(SettingsWorld& world) {
    struct Row {
        const char* name;
        uint32_t flags;
        std::vector<uint32_t> numbers;
        const char* text;
    };
    const Row rows[] = {
        {"Single", SF_OVERWRITE, {640}, "640"},
        {"List", SF_OVERWRITE | SF_NUMBER_LIST, {1, 255}, "1,255"},
        {"Hex", SF_OVERWRITE | SF_NUMBER_LIST | SF_HEX, {1, 255}, "0x1,0xff"},
        {"Top", SF_OVERWRITE | SF_NUMBER_LIST, {0, 4294967295u}, "0,4294967295"},
    };
    for (const Row& row : rows) {
        std::vector<uint32_t> numbers = row.numbers;
        uint32_t size = static_cast<uint32_t>(numbers.size());
        CaseRow one(world, {"Numbers", row.name, REG_DWORD, row.flags, numbers.data(), size},
                    MODE_WRITE_REGISTRY | MODE_WRITE_INI);
        save_settings(one.store, world.backend());
        expect_ini(world, "Numbers", row.name, row.text);
        uint32_t type = 0;
        std::string bytes;
        ASSERT_TRUE(world.reg_value(world.section_path("Numbers"), row.name, type, bytes));
        if (row.flags & SF_NUMBER_LIST) {
            EXPECT_EQ(type, static_cast<uint32_t>(REG_SZ)) << row.name;
            EXPECT_EQ(bytes, std::string(row.text, strlen(row.text) + 1)) << row.name;
        } else {
            EXPECT_EQ(type, static_cast<uint32_t>(REG_DWORD)) << row.name;
            EXPECT_EQ(bytes, dword_bytes(row.numbers[0])) << row.name;
        }
        // And back again from each store.
        for (uint32_t mode : {MODE_READ_INI, MODE_READ_REGISTRY}) {
            std::vector<uint32_t> read(size, 7);
            CaseRow back(world, {"Numbers", row.name, REG_DWORD, row.flags, read.data(), size}, mode);
            EXPECT_TRUE(load_settings(back.store, world.backend())) << row.name;
            EXPECT_EQ(read, row.numbers) << row.name << ", mode " << mode;
        }
    }
}

inline void case_row_without_overwrite_keeps_stored_value(SettingsWorld& world) {
    uint32_t value = 5;
    CaseRow one(world, {"Window", "PosX", REG_DWORD, 0, &value, 1}, MODE_WRITE_REGISTRY | MODE_WRITE_INI);
    world.put_reg_value(world.section_path("Window"), "PosX", REG_DWORD, dword_bytes(1));
    world.put_ini_value("Window", "PosX", "1");
    save_settings(one.store, world.backend());
    expect_dword(world, "Window", "PosX", 1);
    expect_ini(world, "Window", "PosX", "1");

    world.delete_reg_value(world.section_path("Window"), "PosX");
    world.delete_ini_value("Window", "PosX");
    save_settings(one.store, world.backend());
    expect_dword(world, "Window", "PosX", 5);
    expect_ini(world, "Window", "PosX", "5");
}

inline void case_long_texts_end_inside_the_variable(SettingsWorld& world) {
    char text[8];
    // The ini text is cut to size - 1.
    memset(text, 'x', sizeof text);
    CaseRow from_ini(world, {"Text", "Name", REG_SZ, SF_OVERWRITE, text, 6}, MODE_READ_INI);
    world.put_ini_value("Text", "Name", "abcdefghijkl");
    EXPECT_TRUE(load_settings(from_ini.store, world.backend()));
    EXPECT_STREQ(text, "abcde");
    EXPECT_EQ(text[6], 'x') << "wrote past the row's size";

    // A registry text larger than the variable fails and leaves it as it was.
    memcpy(text, "keep\0xxx", 8);
    CaseRow from_reg(world, {"Text", "Name", REG_SZ, SF_OVERWRITE, text, 6}, MODE_READ_REGISTRY);
    world.put_reg_value(world.section_path("Text"), "Name", REG_SZ, std::string("abcdefghij\0", 11));
    EXPECT_FALSE(load_settings(from_reg.store, world.backend()));
    EXPECT_STREQ(text, "keep");

    // One that fills the variable without its zero byte is still ended inside it.
    world.put_reg_value(world.section_path("Text"), "Name", REG_SZ, "abcdef");
    EXPECT_TRUE(load_settings(from_reg.store, world.backend()));
    EXPECT_STREQ(text, "abcde");
    EXPECT_EQ(text[6], 'x');

    // A multi-string without its closing pair gets one.
    char multi[8];
    memset(multi, 'x', sizeof multi);
    CaseRow from_reg_multi(world, {"Text", "Multi", REG_MULTI_SZ, SF_OVERWRITE, multi, 6}, MODE_READ_REGISTRY);
    world.put_reg_value(world.section_path("Text"), "Multi", REG_MULTI_SZ, std::string("ab\0cd", 5));
    EXPECT_TRUE(load_settings(from_reg_multi.store, world.backend()));
    EXPECT_EQ(std::string(multi, 6), std::string("ab\0c\0\0", 6));
    EXPECT_EQ(multi[6], 'x');
}

// Only four bytes make a number; anything else must not half-fill the variable.
inline void case_number_of_another_size_fails(SettingsWorld& world) {
    uint32_t value = 77;
    CaseRow one(world, {"Window", "PosX", REG_DWORD, SF_OVERWRITE, &value, 1}, MODE_READ_REGISTRY);
    for (const std::string& bytes : {std::string("7\0", 2), std::string("12345678", 8)}) {
        world.put_reg_value(world.section_path("Window"), "PosX", REG_BINARY_FOR_CASES, bytes);
        EXPECT_FALSE(load_settings(one.store, world.backend())) << bytes.size();
        EXPECT_EQ(value, 77u) << bytes.size();
    }
}

inline void case_history_over_its_size_fails(SettingsWorld& world) {
    CaseSettings first(world, MODE_WRITE_REGISTRY);
    save_settings(first.store, world.backend());
    for (size_t length : {size_t{CASE_HISTORY_SIZE}, size_t{CASE_HISTORY_SIZE + 1}}) {
        std::string big(length, 'h');
        big[length - 2] = '\0';
        big[length - 1] = '\0';
        world.put_reg_value(world.section_path("Settings"), "History", REG_MULTI_SZ, big);
        CaseSettings s(world, MODE_READ_REGISTRY);
        memcpy(s.history, "old\0\0", 5);
        bool fits = length <= CASE_HISTORY_SIZE;
        EXPECT_EQ(load_settings(s.store, world.backend()), fits) << length;
        EXPECT_EQ(s.history_bytes(5), fits ? std::string("hhhhh") : std::string("old\0\0", 5)) << length;
    }
}

inline void case_multi_string_examples_round_trip(SettingsWorld& world) {
    struct Row {
        std::string multi;
        const char* encoded;
    };
    const Row rows[] = {
        {std::string("a\0b\0\0", 5), "a%_b"},
        {std::string("50%\0\0", 5), "50%%"},
        {std::string("\0\0", 2), ""},
        {std::string("\0b\0\0", 4), "%_b"},
    };
    for (const Row& row : rows) {
        char multi[16] = {};
        memcpy(multi, row.multi.data(), row.multi.size());
        CaseRow out(world, {"Settings", "History", REG_MULTI_SZ, SF_OVERWRITE, multi, sizeof multi},
                    MODE_WRITE_INI | MODE_WRITE_REGISTRY);
        save_settings(out.store, world.backend());
        expect_ini(world, "Settings", "History", row.encoded);
        uint32_t type = 0;
        std::string bytes;
        ASSERT_TRUE(world.reg_value(world.section_path("Settings"), "History", type, bytes));
        EXPECT_EQ(bytes, row.multi) << row.encoded;

        for (uint32_t mode : {MODE_READ_INI, MODE_READ_REGISTRY}) {
            memset(multi, 'x', sizeof multi);
            CaseRow in(world, {"Settings", "History", REG_MULTI_SZ, SF_OVERWRITE, multi, sizeof multi}, mode);
            EXPECT_TRUE(load_settings(in.store, world.backend()));
            EXPECT_EQ(std::string(multi, row.multi.size()), row.multi) << row.encoded << ", mode " << mode;
        }
    }
}

// Hand-edited ini histories: odd '%' forms are kept, and one too long for the variable keeps
// whole texts only.
inline void case_odd_ini_history_stays_inside_the_variable(SettingsWorld& world) {
    struct Row {
        const char* text;
        std::string multi;
    };
    const Row rows[] = {
        {"5%a%", std::string("5%a%\0\0", 6)},
        {"abc%_defghijk", std::string("abc\0\0", 5)},
        {"abcdefghijklmnop", std::string("\0\0", 2)},
    };
    for (const Row& row : rows) {
        char multi[12];
        memset(multi, 'x', sizeof multi);
        CaseRow in(world, {"Settings", "History", REG_MULTI_SZ, SF_OVERWRITE, multi, 10}, MODE_READ_INI);
        world.put_ini_value("Settings", "History", row.text);
        EXPECT_TRUE(load_settings(in.store, world.backend())) << row.text;
        EXPECT_EQ(std::string(multi, row.multi.size()), row.multi) << row.text;
        EXPECT_EQ(std::string(multi + 10, 2), "xx") << row.text;
    }
}

inline void case_clear_registry(SettingsWorld& world) {
    const std::string sibling = world.parent_path() + "\\Sibling";
    world.put_reg_value(sibling, "Keep", REG_DWORD, dword_bytes(1));

    CaseSettings s(world, MODE_WRITE_REGISTRY);
    clear_registry(s.store, world.backend());
    EXPECT_FALSE(world.reg_key_exists(world.key_path()));
    EXPECT_TRUE(world.reg_key_exists(sibling));

    save_settings(s.store, world.backend());
    ASSERT_TRUE(world.reg_key_exists(world.section_path("Settings")));
    clear_registry(s.store, world.backend());
    EXPECT_FALSE(world.reg_key_exists(world.section_path("Window")));
    EXPECT_FALSE(world.reg_key_exists(world.key_path()));
    EXPECT_TRUE(world.reg_key_exists(sibling));
    uint32_t type = 0;
    std::string bytes;
    EXPECT_TRUE(world.reg_value(sibling, "Keep", type, bytes));

    CaseSettings after(world, MODE_READ_REGISTRY);
    EXPECT_FALSE(load_settings(after.store, world.backend()));
}

// Paths that cannot be used as given fail cleanly instead of naming another key or file.
inline void case_paths_that_do_not_fit(SettingsWorld& world) {
    // With "\\Settings" the path has exactly the 99 characters that fit.
    std::string long_key =
        world.key_path() + "\\" + std::string(KEY_PATH_SIZE - 1 - 9 - 1 - world.key_path().size(), 'k');
    uint32_t value = 3;
    uint32_t other = 4;
    SettingEntry rows[2] = {
        {"Settings", "Fits", REG_DWORD, SF_OVERWRITE, &value, 1},   // 8 characters: just fits
        {"Settingsx", "Long", REG_DWORD, SF_OVERWRITE, &other, 1},  // one more: fails
    };
    std::string ini = world.ini_path();
    SettingsStore store = {world.root(), long_key.c_str(), ini.c_str(), rows, MODE_WRITE_REGISTRY, 2};
    save_settings(store, world.backend());
    EXPECT_TRUE(world.reg_key_exists(long_key + "\\Settings"));
    EXPECT_FALSE(world.reg_key_exists(long_key + "\\Settingsx"));
    uint32_t type = 0;
    std::string bytes;
    EXPECT_FALSE(world.reg_value(long_key + "\\Settings", "Long", type, bytes)) << "the path must not be cut";
    store.mode = MODE_READ_REGISTRY;
    EXPECT_FALSE(load_settings(store, world.backend()));
    store.count = 1;
    EXPECT_TRUE(load_settings(store, world.backend()));

    std::string too_long_ini = world.ini_path() + std::string(PROFILE_PATH_SIZE, 'i');
    store = {world.root(), long_key.c_str(), too_long_ini.c_str(), rows, MODE_WRITE_INI, 1};
    save_settings(store, world.backend());
    store.mode = MODE_READ_INI;
    value = 8;
    EXPECT_FALSE(load_settings(store, world.backend()));
    EXPECT_EQ(value, 8u);
    EXPECT_FALSE(world.ini_exists());
}

#endif
