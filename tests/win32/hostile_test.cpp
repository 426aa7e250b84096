// kelvast.exe against hostile input: switches that do not parse, damaged registry values and ini
// files, ini folders it cannot use. Each start must leave the program running with its dialog on
// screen, show what the input allows, and lose no valid setting on Exit.
#include <string>
#include <vector>

#include "res/resource.h"
#include "support/kelvast_driver.h"

namespace {

struct Value {
    const char *section, *name;
    DWORD type;
    std::string bytes;
};

std::string dword(DWORD value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

TEST(Hostile, SwitchesThatDoNotParse) {
    RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY);
    const std::string dir = fresh_temp_dir("switches"), bad = "Invalid command line parameter(s) \"",
                      six = " -abcdefghij -abcdefghij -abcdefghij -abcdefghij -abcdefghij -abcdefghij";
    const struct {
        std::string switches, status;
        DWORD priority;
        std::string ini;  // the file the switches name, written on Exit
    } rows[] = {
        // Longer than any token: reported cut to the error text, not used. The priority is clamped.
        {"-rd -id -pp=-1 -if=\"" + dir + "\\" + std::string(300, 'p') + ".ini\"",
         bad + "-if=" + (dir + "\\" + std::string(300, 'p')).substr(0, 123) + "\"", IDLE_PRIORITY_CLASS, ""},
        // More rejects than the error text holds: cut at its end, the switches around still work.
        {"-rd -id -pp=99999999999 -pp=x /bad=\"a b\" -" + six + " -pp=2",
         bad + "-pp=99999999999 (invalid value)-pp=x (invalid value)/bad=a b - " +
             "-abcdefghij -abcdefghij -abcdefghij -abcdefghij -abcdefghij -abc" + "\"",
         HIGH_PRIORITY_CLASS, ""},
        // An unclosed quote runs to the end of the line; the path keeps its blanks.
        {"-pp=1 -rd -if=\"" + dir + "\\unclosed name.ini", "", NORMAL_PRIORITY_CLASS, dir + "\\unclosed name.ini"},
        // A closing quote ends the token; what follows is a dropped positional parameter.
        {"-pp=7 -rd -if=\"" + dir + "\\quoted.ini\"x \"-zz\" -as=1", "Invalid time specified", REALTIME_PRIORITY_CLASS,
         dir + "\\quoted.ini"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.switches);
        Kelvast kelvast(row.switches);
        ASSERT_TRUE(kelvast.up());
        EXPECT_EQ(kelvast.text(IDC_STATUS), row.status);
        EXPECT_EQ(GetPriorityClass(kelvast.process.hProcess), row.priority);
        EXPECT_TRUE(kelvast.exit());
        if (!row.ini.empty()) {
            EXPECT_EQ(ini_value(row.ini, "Program", "Version"), "30");
        }
    }
    EXPECT_FALSE(program_key_exists());
}

// Each row starts from a registry that holds a valid window (150, 120, 720 by 300), version and
// history, and stores its own values over them.
TEST(Hostile, DamagedOrUnusableStores) {
    const std::string dir = fresh_temp_dir("stores"), ini = dir + "\\damaged.ini", rd = "-rd -if=\"" + ini + "\"",
                      both = "-rr -rw -ir -iw -if=\"", blocker = dir + "\\blocker", readonly = dir + "\\readonly.ini",
                      keep = "[Other]\r\nKeep=this line stays\r\n";
    // 257 bytes an entry: ten of them and the closing zero are the largest history taken.
    std::vector<std::string> ten;
    std::string ten_listed, ten_encoded, twelve_encoded;
    for (int i = 0; i < 12; ++i) {
        const std::string command = std::string(235, static_cast<char>('a' + i)) + ".exe";
        twelve_encoded += (i > 0 ? "%_" : "") + command + "%_10:00:00%_1111111";
        if (i < 10) {
            ten.insert(ten.end(), {command, "10:00:00", "1111111"});
            ten_listed += command + "\n";
            ten_encoded = twelve_encoded;
        }
    }
    std::string unterminated = multi_string({"a.exe", "01:02:03", "1000001", "b.exe", "02:03:04", ""});
    unterminated.resize(unterminated.size() - 3);  // no zero after the last text, no closing pair
    const std::string seed = multi_string({"seed.exe", "01:02:03", "0100000"});
    // Numbers with junk, signs, overlong digit runs, Version missing; stray and trailing '%' in the history.
    const std::string garbage =
        keep +
        "[Window]\r\nPosX=000000000000000000000000000000000000150,abc,,999999999999\r\nPosY=120;;x;-7\r\n"
        "Width=abc\r\nHeight=999999999999\r\nExtra=5\r\n[Program]\r\n[Settings]\r\n"
        "History=%zcalc.exe%_01:02:03%_1000001%_note%%pad.exe%_25:99:99%_11x%_valid.exe%_10:00:00%_0111110%\r\n";
    // Values longer than their variables and than the profile read, and a file that ends inside the
    // twelfth history entry: the entries that fit whole are kept.
    const std::string oversized = keep + "[Window]\r\nPosX=150\r\nPosY=120\r\nWidth=" + std::string(70000, '7') +
                                  "\r\n" + std::string(70000, '#') +
                                  "\r\nHeight=1\r\n[Program]\r\nVersion=30\r\n[Settings]\r\nHistory=" +
                                  twelve_encoded.substr(0, twelve_encoded.size() - 10);
    write_file(blocker, "a file where the folder should be");
    // Complete, so that a save would not change it: as root (under Wine) the attribute does not stop writes.
    const std::string complete =
        "[Window]\r\nPosX=150\r\nPosY=120\r\nWidth=720\r\nHeight=300\r\n[Program]\r\n"
        "Version=30\r\n[Settings]\r\nHistory=r.exe%_05:06:07%_0000001\r\n";
    write_file(readonly, complete);
    SetFileAttributesA(readonly.c_str(), FILE_ATTRIBUTE_READONLY);
    using Values = std::vector<Value>;
    const Values seeds = {
        Value{"Window", "PosX", REG_DWORD, dword(150)},    Value{"Window", "PosY", REG_DWORD, dword(120)},
        Value{"Window", "Width", REG_DWORD, dword(720)},   Value{"Window", "Height", REG_DWORD, dword(300)},
        Value{"Program", "Version", REG_DWORD, dword(30)}, Value{"Settings", "History", REG_MULTI_SZ, seed}};
    const struct {
        std::string switches, content;  // content: of the ini file, which then holds the values after Exit
        Values values;
        std::string window;                     // "left,top,width," where the window must be, or a start of it
        std::string list, time, days, history;  // history as saved on Exit
    } rows[] = {
        {rd, garbage, Values(), "150,120,", "%zcalc.exe\nnote%pad.exe\nvalid.exe\n", "01:02:03", "1000001",
         "%%zcalc.exe%_01:02:03%_1000001%_note%%pad.exe%_25:99:99%_11x%_valid.exe%_10:00:00%_0111110%%"},
        {rd, oversized, Values(), "150,120,", ten_listed, "10:00:00", "1111111", ten_encoded},
        // Four bytes of text read as a number would put the window far beyond the screen's edge.
        {"", "", Values{{"Settings", "History", REG_BINARY, unterminated}, {"Window", "PosX", REG_SZ, {"100\0", 4}}},
         std::to_string(GetSystemMetrics(SM_CXSCREEN) - 720) + ",120,720,", "a.exe\nb.exe\n", "01:02:03", "1000001",
         unterminated + std::string(2, '\0')},
        {"", "",
         Values{{"Settings", "History", REG_MULTI_SZ, multi_string(ten)},
                {"Window", "Width", REG_DWORD, dword(100000)}},
         "150,120," + std::to_string(GetSystemMetrics(SM_CXVIRTUALSCREEN)) + ",", ten_listed, "10:00:00", "1111111",
         multi_string(ten)},
        // A history that cannot be taken (one byte too long) is dropped; the window values beside it still count.
        {"", "", Values{{"Settings", "History", REG_MULTI_SZ, "x" + multi_string(ten)}}, "150,120,720,", "", "",
         "0000000", std::string(2, '\0')},
        // Not a number at all: the template's width.
        {"", "",
         Values{{"Settings", "History", REG_DWORD, "ABCD"},
                {"Window", "PosY", REG_DWORD, dword(-100)},
                {"Window", "Width", REG_BINARY, "\x10\x02"}},
         "150,-100,", "ABCD\n", "", "0000000", std::string("ABCD\0\0", 6)},
        // An ini file that cannot be read or written: the registry beside it gives and takes every value.
        {both + dir + "\\missing\\deeper\\k.ini\"", "", Values(), "150,120,720,", "seed.exe\n", "01:02:03", "0100000",
         seed},
        {both + blocker + "\\k.ini\"", "", Values(), "150,120,720,", "seed.exe\n", "01:02:03", "0100000", seed},
        {both + readonly + "\"", "", Values(), "150,120,720,", "r.exe\n", "05:06:07", "0000001",
         multi_string({"r.exe", "05:06:07", "0000001"})},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY);
        for (const Values& values : {seeds, row.values}) {
            for (const Value& value : values) {
                store_value(value.section, value.name, value.type, value.bytes);
            }
        }
        const std::string kept_in = row.content.empty() ? "" : ini;
        if (!kept_in.empty()) {
            write_file(ini, row.content);
        }
        Kelvast kelvast(row.switches);
        ASSERT_TRUE(kelvast.up());
        EXPECT_EQ(kelvast.shown(),
                  row.list + "|" + row.list.substr(0, row.list.find('\n')) + "|" + row.time + "|" + row.days);
        const RECT r = kelvast.rect();
        EXPECT_EQ((std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) + ",")
                      .substr(0, row.window.size()),
                  row.window);
        EXPECT_TRUE(kelvast.exit());
        EXPECT_EQ(stored(kept_in), stored_form(r, row.history));
        if (!kept_in.empty()) {
            EXPECT_EQ(ini_value(ini, "Other", "Keep"), "this line stays");
        }
    }
    EXPECT_FALSE(file_exists(dir + "\\missing"));
    EXPECT_EQ(read_file(blocker), "a file where the folder should be");
    EXPECT_EQ(read_file(readonly), complete);
    SetFileAttributesA(readonly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
