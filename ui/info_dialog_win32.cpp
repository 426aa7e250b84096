#include <windows.h>

#include "ui/info_dialog_win32.h"

#include "app/program_state.h"
#include "app/program_state_win32.h"
#include "ui/info_text.h"

namespace {

int text_field_id = 0;
char info_text[INFO_TEXT_SIZE];
char caption_text[INFO_TEXT_SIZE];
HWND info_dialog_window = nullptr;

void insert_text(HWND field, const char* text) {
    SendMessageA(field, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
}

void fill_info_dialog(HWND dialog) {
    info_dialog_window = dialog;
    HWND field = GetDlgItem(dialog, text_field_id);
    SendMessageA(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption_text));
    SendMessageA(field, EM_SETSEL, 0, -1);
    insert_text(field, info_text);
    insert_text(field, INFO_DESCRIPTION_LINE);
    insert_text(field, INFO_OPTIONS_LINE);
    uint32_t positional_counter = 1;
    for (uint32_t i = 0; i < option_count; ++i) {
        format_option_line(option_table[i], &positional_counter, info_text, sizeof info_text);
        insert_text(field, info_text);
    }
}

INT_PTR CALLBACK info_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            fill_info_dialog(dialog);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDOK:
                case IDCANCEL:
                case IDABORT:
                    EndDialog(info_dialog_window, 1);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace

void show_info_dialog(int text_field, const char* title, const char* build_date, const char* build_time) {
    text_field_id = text_field;
    format_info_header(title, build_date, build_time, info_text, sizeof info_text);
    format_info_caption(title, caption_text, sizeof caption_text);
    DialogBoxParamA(app_instance, "DLG_HELP", main_dialog_window, info_dialog_proc, 0);
}
