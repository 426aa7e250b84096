#include "config/settings_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/bounded_text.h"
#include "config/setting_text.h"
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

}  // namespace

// One row over its own variable and what the registry (type 0: none; `reg` is then the variable's
// start, else 99s or 'k's) and the ini file hold. Seen: load and section results, the variable with
// its guard, and after a save the registry's "type:bytes" and the ini text ("-": missing).
TEST(SettingsStore, OneRowThroughBothStores) {
    const struct {
        uint32_t type, flags, size, mode, reg_type;
        std::string reg;
        const char *ini, *seen;
    } rows[] = {
        {DW, LIST, 4, IR | W, 0, "", "7,8.9;10 11", "11 7,8,9,10,99, 1:7,8,9,10| 7,8,9,10"},
        {DW, LIST | SF_HEX, 4, IR | W, 0, "", "0x1F,0X1f,1f,0x",
         "11 31,31,1,99,99, 1:0x1f,0x1f,0x1,0x63| 0x1f,0x1f,0x1,0x63"},
        {DW, LIST, 4, IR, 0, "", ",, 4;;0x10,abc,1x5", "11 4,16,99,1,99,"},
        {DW, LIST, 5, IR, 0, "", "\t5,+6,0xffffffff,-1,0x-2", "11 5,6,4294967295,4294967295,4294967294,99,"},
        {DW, LIST, 2, RR, SZ, "5" + std::string(65533, ' ') + "78", nullptr, "11 5,7,99,"},
        {DW, LIST, 2, RR, SZ, std::string(SETTINGS_SCRATCH_SIZE + 1, '7'), nullptr, "00 99,99,99,"},
        {DW, OW, 1, RR, 3, "12345678", nullptr, "00 99,99,"},
        {DW, OW, 1, RR | RW, 0, "", nullptr, "00 99,99, 4:c||| -"},
        {DW, 0, 1, W, 0, "", nullptr, "00 99,99, 4:c||| 99"},
        {SZ, OW, 6, RR, SZ, "abcdefghij\0"s, nullptr, "00 kkkkkkkk"},
        {SZ, OW, 6, RR, SZ, "abcdef", nullptr, "11 abcde|kk"},
        {SZ, OW, 1, IR | W, 0, "", "x", "11 |kk 1:| "},
        {MS, OW, 6, RR | W, MS, "ab\0cd"s, nullptr, "11 ab|c||kk 7:ab|c|| ab%_c"},
        {MS, OW, 10, RR, MS, "a\0b\0\0"s, nullptr, "11 a|b||kkkkkkk"},
        {MS, OW, 6, RR, MS, "abcdef\0\0"s, nullptr, "00 kkkkkkkk"},
        {MS, OW, 6, RR, MS, "", nullptr, "11 ||kkkkkk"},
        {MS, OW, 6, RR, MS, "\0"s, nullptr, "11 ||kkkkkk"},
        {MS, OW, 10, W, 0, "abcdefghi\0\0\0"s, nullptr, "00 abcdefghi||| 7:abcdefgh|| abcdefghi"},
        {MS, OW, 10, W, 0, "abcdefghi\0"s, nullptr, "00 abcdefghi|kk 7:abcdefgh|| abcdefghi"},
        {MS, OW, 2, W, 0, "", nullptr, "00 kkkk 7:|| kk"},
        {MS, OW, 3, W, 0, "a\0b"s, nullptr, "00 a|bkk 7:a|| a%_b"},
        {MS, OW, 10, IR | W, 0, "", "5%a%", "11 5%a%||kkkkkk 7:5%a%|| 5%%a%%"},
        {MS, OW, 10, IR, 0, "", "abcdef%_hi", "11 abcdef|||kkk"},
        {MS, OW, 10, IR | W, 0, "", "abcdefgh%_", "11 abcdefgh||kk 7:abcdefgh|| abcdefgh"},
        {MS, OW, 2, IR | W, 0, "", "abc", "11 ||kk 7:|| "},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        MemorySettingsBackend m;
        std::vector<uint32_t> numbers(r.size + 1, 99);
        std::string bytes(r.size + 2, 'k');
        if (r.reg_type != 0) {
            m.keys[KEY + "\\Test"s]["Value"] = {r.reg_type, r.reg};
        } else {
            bytes.replace(0, r.reg.size(), r.reg);
        }
        if (r.ini != nullptr) {
            m.profiles[INI][{"Test", "Value"}] = r.ini;
        }
        SettingEntry row = {"Test", "Value", r.type, r.flags, &bytes[0], r.size};
        row.data = r.type == DW ? static_cast<void*>(numbers.data()) : row.data;
        SettingsStore store = {ROOT_CURRENT_USER, KEY, INI, &row, r.mode, 1};
        std::string seen = std::to_string(load_settings(store, m));
        seen += std::to_string(section_loaded(store, "Test")) + " ";
        for (uint32_t n : numbers) {
            seen += r.type == DW ? std::to_string(n) + "," : "";
        }
        seen += r.type == DW ? "" : shown(bytes);
        save_settings(store, m);
        if (r.mode & W) {
            const auto& values = m.keys[KEY + "\\Test"s];
            const auto reg = values.find("Value");
            const auto ini = m.profiles[INI].find({"Test", "Value"});
            seen +=
                reg == values.end() ? " -" : " " + std::to_string(reg->second.first) + ":" + shown(reg->second.second);
            seen += ini == m.profiles[INI].end() ? " -" : " " + ini->second;
        }
        EXPECT_EQ(seen, r.seen);
        EXPECT_TRUE(m.open.empty()) << "keys left open";
    }
}

// Rows and paths the store cannot use fail rather than touch memory not its own or name another key
// or file; an empty section is the registry key itself and no ini section; other types pass.
TEST(SettingsStore, RowsAndPathsThatCannotBeUsed) {
    MemorySettingsBackend m;
    const std::string key = KEY + "\\"s + std::string(KEY_PATH_SIZE - 7 - strlen(KEY), 'k');
    alignas(uint32_t) char text[4] = "abc";
    uint32_t a = 3, b = 4;
    SettingEntry rows[] = {{"Fits", "A", DW, OW, &a, 1},   {"", "C", DW, OW, &b, 1},
                           {nullptr, "D", DW, OW, &b, 1},  {"Fitsx", "B", DW, OW, &b, 1},
                           {"S", "E", DW, OW, nullptr, 1}, {"S", nullptr, DW, OW, text, 1},
                           {"S", "", DW, OW, text, 1},     {"S", "Bin", 3, OW, text, 4}};
    // Without a key path or an ini path, or with paths too long, nothing is read, written or cleared.
    m.keys[""]["Keep"] = {DW, "\1\0\0\0"s};
    const std::string long_path = INI + std::string(PROFILE_PATH_SIZE, 'i');
    for (const char* path : {"", static_cast<const char*>(nullptr), long_path.c_str()}) {
        SettingsStore store = {ROOT_CURRENT_USER, path, path, rows, W, 1};
        save_settings(store, m);
        clear_registry(store, m);
        store.mode = RR;
        const bool from_registry = load_settings(store, m);
        store.mode = IR;
        EXPECT_FALSE(from_registry || load_settings(store, m) || a != 3);
    }
    EXPECT_TRUE(m.keys.size() == 1 && m.profiles.empty());
    // Each row saved to both stores, then loaded alone from each.
    SettingsStore store = {ROOT_CURRENT_USER, key.c_str(), INI, rows, W, 8};
    save_settings(store, m);
    std::string seen;
    for (SettingEntry& row : rows) {
        for (uint32_t mode : {RR, IR}) {
            store = {ROOT_CURRENT_USER, key.c_str(), INI, &row, mode, 1};
            seen += std::to_string(load_settings(store, m));
        }
    }
    EXPECT_EQ(seen + text, "1110100100001011abc");
    store = {ROOT_CURRENT_USER, key.c_str(), INI, rows, RR, 1};
    EXPECT_TRUE(load_settings(store, m) && !section_loaded(store, nullptr));
    store.mode = 0;
    EXPECT_FALSE(load_settings(store, m) || section_loaded(store, "Fits")) << "a load forgets what the one before read";
    clear_registry(store, m);
    EXPECT_EQ(m.keys.size(), 1u) << "the key and those below it go, no other";
    SettingsStore empty = {0, KEY, INI, nullptr, RR | IR, 3};
    EXPECT_TRUE(load_settings(empty, m) && m.open.empty()) << "no rows, none missing";
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

// The settings rows point at the dialog's values; nothing is read or written before stores are chosen.
// The run record's row is also written alone, through to the disk, the file saved whole.
TEST(MainSettings, RowsPointAtTheirOwnValues) {
    static MainSettings settings;
    EXPECT_EQ(settings.store.mode, 0u);
    settings.window = {1, 2, 3, 4};
    memset(settings.history.buffer, 'h', 700);
    copy_text(settings.run_text, sizeof settings.run_text, "run");
    settings.store.mode = MODE_WRITE_INI;
    MemorySettingsBackend m;
    save_settings(settings.store, m);
    std::string line;
    for (const SettingEntry& row : settings.rows) {
        line += m.profiles[settings.store.ini_path][{row.section, row.name}] + " ";
    }
    EXPECT_EQ(line, "1 2 3 4 30 " + std::string(700, 'h') + " run ");
    settings.window.pos_x = 9;
    copy_text(settings.run_text, sizeof settings.run_text, "again");
    settings.store.mode = MODE_WRITE_INI | MODE_WRITE_REGISTRY;
    save_setting(settings.store, m, RUN_ROW);
    save_setting(settings.store, m, SETTINGS_ROW_COUNT);
    auto& ini = m.profiles[settings.store.ini_path];
    EXPECT_EQ(ini[std::make_pair("Window", "PosX")] + ini[std::make_pair("Settings", "Run")] + m.flushed.at(0) +
                  m.keys[m.flushed.at(0)]["Run"].second + std::to_string(m.keys.size() + m.profiles.size()),
              "1again" + std::string(REGISTRY_KEY_PATH) + "\\Settingsagain" + std::string(1, '\0') + "2");
}

// The ini file is saved through a copy of this process's own beside it: whichever step fails, the file
// stays as it was and no copy is left; a move refused while the copy is held open is tried for a second;
// where the folder refuses the copy the file is written in place. Other copies are left alone, and a
// read-only file is not written.
TEST(SettingsStore, IniFileSavedWholeOrNotAtAll) {
    uint32_t x = 1, version = 30;
    char history[] = "a\0b";
    SettingEntry rows[] = {{"Window", "PosX", DW, OW, &x, 1},
                           {"Program", "Version", DW, 0, &version, 1},
                           {"Settings", "History", MS, OW, history, sizeof history}};
    SettingsStore store = {ROOT_CURRENT_USER, KEY, INI, rows, IW, 3};
    const struct {
        int fail_step, fail_count;
        uint32_t error, paused;
        bool saved, read_only = false;
    } cases[] = {{0, 1, 1, 0, true},       {1, 1, 1, 0, false}, {2, 1, 1, 0, false},  {3, 1, 1, 0, false},
                 {4, 1, 1, 0, false},      {5, 1, 1, 0, false}, {1, 1, 5, 0, true},   {5, 20, 32, 1000, true},
                 {5, 21, 33, 1000, false}, {5, 1, 5, 50, true}, {1, 1, 32, 0, false}, {0, 1, 1, 0, false, true}};
    // Steps: the copy (a write where there is no file), two or three writes, the flush, the replace.
    for (const bool exists : {true, false}) {
        for (const auto& c : cases) {
            MemorySettingsBackend m;
            if (exists) {
                m.profiles[INI] = {{{"Other", "Keep"}, "stays"}, {{"Program", "Version"}, "29"}};
            }
            m.profiles[INI + ".tmp"s][{"Stale", "Copy"}] = "of an older save";
            m.profiles[INI + ".77.tmp"s][{"Other", "Process"}] = "saving";
            const auto before = m.profiles;
            auto saved = before;
            saved[INI].insert(
                {{{"Window", "PosX"}, "1"}, {{"Program", "Version"}, "30"}, {{"Settings", "History"}, "a%_b"}});
            m.fail_step = c.fail_step;
            m.fail_count = c.fail_count;
            m.fail_error = c.error;
            m.read_only.insert(c.read_only ? INI : "");
            save_settings(store, m);
            EXPECT_EQ(m.profiles,
                      (c.saved && (exists || c.fail_step != 1)) || (!exists && c.read_only) ? saved : before)
                << exists << " " << c.fail_step << " " << c.error;
            EXPECT_EQ(m.paused_ms, c.paused) << exists << " " << c.fail_step << " " << c.error;
        }
    }
}
