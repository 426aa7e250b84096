// The resources linked into the program: templates and strings as the dialog code expects them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"

TEST(Resources, StringTableTexts) {
    struct Row {
        UINT id;
        const char* text;
    } rows[] = {
        {IDS_BLANK, " "},
        {IDS_BAD_PARAMS, "Invalid command line parameter(s) \"%s\""},
        {IDS_THREAD_FAILED, "fatal error - thread could not be started"},
        {IDS_WAITING, "Waiting to start program at %2.2i:%2.2i:%2.2i"},
        {IDS_THREAD_ENDED, "Thread ended normally"},
        {IDS_INVALID_TIME, "Invalid time specified"},
    };
    for (const Row& row : rows) {
        char text[256] = {};
        LoadStringA(GetModuleHandleA(nullptr), row.id, text, sizeof text);
        EXPECT_STREQ(text, row.text) << row.id;
    }
}

TEST(Resources, BothDialogTemplatesExist) {
    EXPECT_NE(FindResourceA(nullptr, "DLG_KELVAST", MAKEINTRESOURCEA(5)), nullptr);
    EXPECT_NE(FindResourceA(nullptr, "DLG_HELP", MAKEINTRESOURCEA(5)), nullptr);
}
