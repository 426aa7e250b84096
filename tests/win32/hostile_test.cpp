// kelvast.exe against hostile input: switches that do not parse, damaged registry values and ini
// files, ini folders it cannot use, the longest command line. Each start must leave the program
// running with its dialog on screen, show what the input allows, and lose no valid setting on Exit.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "res/resource.h"
#include "support/kelvast_driver.h"
#include "support/test_support.h"

namespace {

const std::string BAD_PARAMS = "Invalid command line parameter(s) \"";

struct Entry {
    std::string command_line;
    const char* time;
    const char* days;
};

// The stored history form: three texts per entry, each with its zero byte, and a closing zero.
std::string history_bytes(const std::vector<Entry>& entries) {
    std::string bytes;
    for (const Entry& e : entries) {
        bytes += e.command_line + '\0' + e.time + '\0' + e.days + '\0';
    }
    return bytes + '\0';
}

std::string ini_value(const std::string& path, const char* section, const char* name) {
    std::vector<char> text(70000);
    DWORD n = GetPrivateProfileStringA(section, name, "<missing>", text.data(), static_cast<DWORD>(text.size()),
                                       path.c_str());
    return std::string(text.data(), n);
}

std::string in_quotes(const std::string& path) {
    return "\"" + path + "\"";
}

// What every hostile start must give: the process runs, its dialog is up and reachable.
void expect_up(const Kelvast& kelvast) {
    ASSERT_NE(kelvast.dialog, nullptr) << "no dialog";
    EXPECT_TRUE(kelvast.running());
    EXPECT_TRUE(IsWindowVisible(kelvast.dialog));
    if (IsIconic(kelvast.dialog)) {
        return;
    }
    RECT r = kelvast.rect(), seen{};
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    EXPECT_TRUE(IntersectRect(&seen, &r, &screen)) << "off screen at " << r.left << "," << r.top;
    EXPECT_LE(r.right - r.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_LE(r.bottom - r.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

// The list, one item per line, the inputs the refill put there, and the status line.
void expect_shown(const Kelvast& kelvast, const std::string& list, const char* time, const char* days) {
    EXPECT_EQ(kelvast.list(), list);
    EXPECT_EQ(kelvast.text(IDC_PROGRAM), list.substr(0, list.find('\n')));
    EXPECT_EQ(kelvast.text(IDC_TIME), time);
    EXPECT_EQ(kelvast.days(), days);
}

// Exit stores the rectangle the window has, a negative edge as 0.
void expect_registry_window(const RECT& r) {
    EXPECT_EQ(stored_number("Window", "PosX"), static_cast<DWORD>(r.left < 0 ? 0 : r.left));
    EXPECT_EQ(stored_number("Window", "PosY"), static_cast<DWORD>(r.top < 0 ? 0 : r.top));
    EXPECT_EQ(stored_number("Window", "Width"), static_cast<DWORD>(r.right - r.left));
    EXPECT_EQ(stored_number("Window", "Height"), static_cast<DWORD>(r.bottom - r.top));
    EXPECT_EQ(stored_number("Program", "Version"), 30u);
}

void expect_ini_window(const std::string& ini, const RECT& r) {
    EXPECT_EQ(ini_value(ini, "Window", "PosX"), std::to_string(r.left < 0 ? 0 : r.left));
    EXPECT_EQ(ini_value(ini, "Window", "PosY"), std::to_string(r.top < 0 ? 0 : r.top));
    EXPECT_EQ(ini_value(ini, "Window", "Width"), std::to_string(r.right - r.left));
    EXPECT_EQ(ini_value(ini, "Window", "Height"), std::to_string(r.bottom - r.top));
    EXPECT_EQ(ini_value(ini, "Program", "Version"), "30");
}

std::string stored_history() {
    DWORD type = 0;
    std::string bytes;
    EXPECT_TRUE(stored_value("Settings", "History", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
    return bytes;
}

TEST(Hostile, SwitchesThatDoNotParse) {
    RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY);
    std::string dir = fresh_temp_dir("switches");
    const std::string six_bad = "-abcdefghij -abcdefghij -abcdefghij -abcdefghij -abcdefghij -abcdefghij";
    const struct {
        const char* name;
        std::string switches;
        std::string status;
        std::string ini;  // the file the switches name, written on Exit
        DWORD priority;
    } rows[] = {
        // Longer than any token: reported cut to the error text, not used.
        {"overlong ini path", "-rd -id -if=" + in_quotes(dir + "\\" + std::string(300, 'p') + ".ini"),
         BAD_PARAMS + "-if=" + (dir + "\\" + std::string(300, 'p')).substr(0, 123) + "\"", "", NORMAL_PRIORITY_CLASS},
        // More rejects than the error text holds: cut at its end, the switches around still work.
        {"many rejects", "-rd -id -pp=99999999999 -pp=x /bad=\"a b\" - " + six_bad + " -pp=2",
         BAD_PARAMS + "-pp=99999999999 (invalid value)-pp=x (invalid value)/bad=a b - " +
             "-abcdefghij -abcdefghij -abcdefghij -abcdefghij -abcdefghij -abc\"",
         "", HIGH_PRIORITY_CLASS},
        // An unclosed quote runs to the end of the line; the path keeps its blanks.
        {"unclosed quote", "-pp=1 -rd -if=\"" + dir + "\\unclosed name.ini", "", dir + "\\unclosed name.ini",
         NORMAL_PRIORITY_CLASS},
        // A closing quote ends the token; what follows is a dropped positional parameter.
        {"text after quote", "-rd -if=\"" + dir + "\\quoted.ini\"x \"-zz\" -as=1", "Invalid time specified",
         dir + "\\quoted.ini", NORMAL_PRIORITY_CLASS},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Kelvast kelvast(row.switches);
        expect_up(kelvast);
        EXPECT_EQ(kelvast.text(IDC_STATUS), row.status);
        EXPECT_EQ(kelvast.list_count(), 0);
        EXPECT_EQ(GetPriorityClass(kelvast.process.hProcess), row.priority);
        EXPECT_TRUE(kelvast.exit());
        if (!row.ini.empty()) {
            EXPECT_EQ(ini_value(row.ini, "Program", "Version"), "30") << row.ini;
        }
    }
    EXPECT_FALSE(program_key_exists());
}

// The longest command line the program takes, with placeholders, runs as given and comes back
// from the registry whole; typing beyond it is not possible.
TEST(Hostile, LongestCommandLineRunsExpandedAndIsKept) {
    RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY);
    std::string folder = fresh_temp_dir("longest");
    std::string record = folder + "\\record.txt";
    std::string head = in_quotes(path_beside_test("probe.exe")) + " " + in_quotes(record) + " ";
    std::string tail = " a&&yyyymoddhhmiss b&&ss&&& c&&mo&&&&dd&&";
    std::string command = head + std::string(255 - head.size() - tail.size(), 'x') + tail;
    ASSERT_EQ(command.size(), 255u);

    const std::string time_text = time_text_ahead(3);
    {
        Kelvast kelvast("");
        expect_up(kelvast);
        kelvast.start(command.c_str(), time_text.c_str(), "1111111");
        ASSERT_EQ(kelvast.text(IDC_STATUS), std::string("Waiting to start program at ") + time_text);
        std::string line;
        ASSERT_TRUE(wait_until(
            [&] {
                line = read_file(record);
                return line.find('\n') != std::string::npos;
            },
            20000))
            << "probe.exe did not run";
        std::smatch fields;
        std::string expected = std::regex_replace(head + std::string(255 - head.size() - tail.size(), 'x'),
                                                  std::regex("[\\\\.\"]"), "\\$&") +
                               " a(\\d{8})(\\d\\d)(\\d\\d)(\\d\\d) b(\\d\\d)& c(\\d\\d)(\\d\\d)\\|";
        ASSERT_TRUE(std::regex_search(line, fields, std::regex("^" + expected))) << line;
        EXPECT_EQ(fields[4], fields[5]) << "one clock reading for every placeholder";
        EXPECT_EQ(fields[1].str().substr(4, 4), fields[6].str() + fields[7].str());
        kelvast.command(IDC_CANCEL);
        EXPECT_TRUE(kelvast.status_becomes("Thread ended normally"));
        EXPECT_TRUE(kelvast.exit());
    }
    EXPECT_EQ(stored_history(), history_bytes({{command, time_text.c_str(), "1111111"}}));

    Kelvast kelvast("");
    expect_up(kelvast);
    expect_shown(kelvast, command + "\n", time_text.c_str(), "1111111");
    // Typed text stops where the command line's buffer does.
    HWND edit = FindWindowExA(kelvast.item(IDC_PROGRAM), nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    kelvast.set_text(IDC_PROGRAM, "");
    for (int i = 0; i < 300; ++i) {
        SendMessageA(edit, WM_CHAR, 'y', 0);
    }
    EXPECT_EQ(kelvast.text(IDC_PROGRAM), std::string(255, 'y'));
    EXPECT_TRUE(kelvast.exit());
}

TEST(Hostile, DamagedIniFile) {
    RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY);
    std::string dir = fresh_temp_dir("ini");
    std::vector<Entry> twelve;
    for (int i = 0; i < 12; ++i) {
        twelve.push_back({std::string(246, static_cast<char>('a' + i)) + ".exe", "10:00:00", "1111111"});
    }
    std::string twelve_encoded, nine_encoded, nine_listed;
    for (int i = 0; i < 12; ++i) {
        std::string encoded = (i > 0 ? "%_" : "") + twelve[i].command_line + "%_10:00:00%_1111111";
        twelve_encoded += encoded;
        if (i < 9) {
            nine_encoded += encoded;
            nine_listed += twelve[i].command_line + "\n";
        }
    }
    const std::string keep = "[Other]\r\nKeep=this line stays\r\n";
    const struct {
        const char* name;
        std::string content;
        std::string list, time, days;
        std::string history;  // as written on Exit
    } rows[] = {
        // Numbers with junk, signs, overlong digit runs; stray and trailing '%' in the history.
        {"garbage",
         keep + "[Window]\r\nPosX=000000000000000000000000000000000000150,abc,,999999999999\r\nPosY=120;;x;-7\r\n"
                "Width=abc\r\nHeight=999999999999\r\nExtra=5\r\n[Program]\r\nVersion=-3\r\n[Settings]\r\n"
                "History=%zcalc.exe%_01:02:03%_1000001%_note%%pad.exe%_25:99:99%_11x%_valid.exe%_10:00:00%_"
                "0111110%\r\n",
         "%zcalc.exe\nnote%pad.exe\nvalid.exe\n", "01:02:03", "1000001",
         "%%zcalc.exe%_01:02:03%_1000001%_note%%pad.exe%_25:99:99%_11x%_valid.exe%_10:00:00%_0111110%%"},
        // Values longer than their variables and than the profile read, and a file that ends inside
        // the twelfth history entry: the entries that fit whole are kept.
        {"oversized and truncated",
         keep + "[Window]\r\nPosX=150\r\nPosY=120\r\nWidth=" + std::string(70000, '7') + "\r\n" +
             std::string(70000, '#') + "\r\nHeight=1\r\n[Program]\r\nVersion=30\r\n[Settings]\r\nHistory=" +
             twelve_encoded.substr(0, twelve_encoded.size() - 10),
         nine_listed, "10:00:00", "1111111", nine_encoded},
        // A value missing: the others are still used, and written back.
        {"missing value",
         keep + "[Window]\r\nPosX=150\r\nPosY=120\r\nWidth=600\r\n[Program]\r\nVersion=30\r\n[Settings]\r\n"
                "History=b.exe%_02:03:04%_0000011\r\n",
         "b.exe\n", "02:03:04", "0000011", "b.exe%_02:03:04%_0000011"},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::string ini = dir + "\\damaged" + std::to_string(++n) + ".ini";
        write_file(ini, row.content);
        Kelvast kelvast("-rd -if=" + in_quotes(ini));
        expect_up(kelvast);
        EXPECT_EQ(kelvast.text(IDC_STATUS), "");
        expect_shown(kelvast, row.list, row.time.c_str(), row.days.c_str());
        RECT r = kelvast.rect();
        EXPECT_EQ(r.left, 150);
        EXPECT_EQ(r.top, 120);
        EXPECT_TRUE(kelvast.exit());
        expect_ini_window(ini, r);
        EXPECT_EQ(ini_value(ini, "Settings", "History"), row.history);
        EXPECT_EQ(ini_value(ini, "Other", "Keep"), "this line stays");
    }
    EXPECT_FALSE(program_key_exists());
}

TEST(Hostile, DamagedRegistryValues) {
    const std::string valid = history_bytes({{"c.exe", "03:04:05", "0010000"}});
    std::vector<Entry> ten, ten_long;
    std::string ten_listed;
    for (int i = 0; i < 10; ++i) {
        // 257 bytes an entry: ten of them and the closing zero are the largest value taken.
        ten.push_back({std::string(235, static_cast<char>('a' + i)) + ".exe", "10:00:00", "1111111"});
        ten_listed += ten.back().command_line + "\n";
        ten_long.push_back({ten.back().command_line + "x", "10:00:00", "1111111"});
    }
    ASSERT_EQ(history_bytes(ten).size(), 2571u);
    std::string unterminated = history_bytes({{"a.exe", "01:02:03", "1000001"}, {"b.exe", "02:03:04", ""}});
    unterminated.resize(unterminated.size() - 3);  // no zero after the last text, no closing pair

    const std::string dword_bytes("\xa0\x86\x01\x00", 4);  // 100000
    const std::string minus_100 = "\x9c\xff\xff\xff";
    const LONG screen_width = GetSystemMetrics(SM_CXSCREEN);
    const LONG desktop_width = GetSystemMetrics(SM_CXVIRTUALSCREEN);

    const struct {
        const char* name;
        DWORD history_type;
        std::string history_bytes;
        const char* damaged;  // a window value stored wrongly, or null
        DWORD damaged_type;
        std::string damaged_bytes;
        LONG left, top, width;  // where the window must be; width 0: the template's
        std::string list;
        const char* time;
        const char* days;
        std::string history;  // as written on Exit
    } rows[] = {
        // Four bytes of text read as a number would put the window far beyond the screen's edge.
        {"unterminated binary history, position as text", REG_BINARY, unterminated, "PosX", REG_SZ,
         std::string("100\0", 4), screen_width - 720, 120, 720, "a.exe\nb.exe\n", "01:02:03", "1000001",
         unterminated + std::string(2, '\0')},
        {"largest history, width beyond any screen", REG_MULTI_SZ, history_bytes(ten), "Width", REG_DWORD, dword_bytes,
         150, 120, desktop_width, ten_listed, "10:00:00", "1111111", history_bytes(ten)},
        // A history that cannot be taken is dropped; the window values beside it still count.
        {"history one byte too long", REG_MULTI_SZ, history_bytes(ten_long), nullptr, 0, "", 150, 120, 720, "", "",
         "0000000", std::string(2, '\0')},
        {"history as a number, position above the screen", REG_DWORD, "ABCD", "PosY", REG_DWORD, minus_100, 150, -100,
         720, "ABCD\n", "", "0000000", std::string("ABCD\0\0", 6)},
        // Not a number at all: the template's width, and every valid value still used.
        {"width of two bytes", REG_MULTI_SZ, valid, "Width", REG_BINARY, "\x10\x02", 150, 120, 0, "c.exe\n", "03:04:05",
         "0010000", valid},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY);
        const struct {
            const char* name;
            DWORD value;
        } window[] = {{"PosX", 150}, {"PosY", 120}, {"Width", 720}, {"Height", 300}, {"Version", 30}};
        for (const auto& w : window) {
            store_value(w.value == 30 ? "Program" : "Window", w.name, REG_DWORD,
                        std::string(reinterpret_cast<const char*>(&w.value), 4));
        }
        store_value("Settings", "History", row.history_type, row.history_bytes);
        if (row.damaged != nullptr) {
            store_value("Window", row.damaged, row.damaged_type, row.damaged_bytes);
        }

        Kelvast kelvast("");
        expect_up(kelvast);
        EXPECT_EQ(kelvast.text(IDC_STATUS), "");
        expect_shown(kelvast, row.list, row.time, row.days);
        RECT r = kelvast.rect();
        EXPECT_EQ(r.left, row.left);
        EXPECT_EQ(r.top, row.top);
        if (row.width != 0) {
            EXPECT_EQ(r.right - r.left, row.width);
        }
        EXPECT_TRUE(kelvast.exit());
        expect_registry_window(r);
        EXPECT_EQ(stored_history(), row.history);
    }
}

// An ini file that cannot be read or written: the program runs on its defaults, and the registry,
// selected beside it, still receives every value.
TEST(Hostile, IniFolderMissingOrUnwritable) {
    std::string dir = fresh_temp_dir("folders");
    std::string blocker = dir + "\\blocker";
    write_file(blocker, "a file where the folder should be");
    std::string readonly = dir + "\\readonly.ini";
    const std::string readonly_content =
        "[Window]\r\nPosX=150\r\nPosY=120\r\nWidth=720\r\nHeight=300\r\n[Program]\r\nVersion=30\r\n"
        "[Settings]\r\nHistory=r.exe%_05:06:07%_0000001\r\n";
    write_file(readonly, readonly_content);
    SetFileAttributesA(readonly.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string seeded = history_bytes({{"seed.exe", "01:02:03", "0100000"}});

    const struct {
        const char* name;
        std::string ini;
        bool restored;
        std::string history;  // in the registry after Exit
    } rows[] = {
        // The registry's history is still shown, though the ini file gives nothing.
        {"missing folder", dir + "\\missing\\deeper\\k.ini", false, seeded},
        {"file as folder", blocker + "\\k.ini", false, seeded},
        {"read-only file", readonly, true, history_bytes({{"r.exe", "05:06:07", "0000001"}})},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RegDeleteTreeA(HKEY_CURRENT_USER, PROGRAM_KEY);
        store_value("Settings", "History", REG_MULTI_SZ, seeded);
        Kelvast kelvast("-rr -rw -ir -iw -if=" + in_quotes(row.ini));
        expect_up(kelvast);
        EXPECT_EQ(kelvast.text(IDC_STATUS), "");
        if (row.restored) {
            expect_shown(kelvast, "r.exe\n", "05:06:07", "0000001");
        } else {
            expect_shown(kelvast, "seed.exe\n", "01:02:03", "0100000");
        }
        RECT r = kelvast.rect();
        EXPECT_TRUE(kelvast.exit());
        expect_registry_window(r);
        EXPECT_EQ(stored_history(), row.history);
    }
    EXPECT_FALSE(file_exists(dir + "\\missing"));
    EXPECT_EQ(read_file(blocker), "a file where the folder should be");
    EXPECT_EQ(read_file(readonly), readonly_content);
    SetFileAttributesA(readonly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
