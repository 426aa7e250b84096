#include <windows.h>

#include "ui/info_dialog_win32.h"

#include "app/program_state.h"
#include "app/program_state_win32.h"
#include "ui/info_text.h"

namespace {

int text_field_id = 0;
char info_listing[INFO_LISTING_SIZE];
char caption_text[INFO_TEXT_SIZE];
HWND info_dialog_window = nullptr;

void fill_info_dialog(HWND dialog) {
    info_dialog_window = dialog;
    HWND field = GetDlgItem(dialog, text_field_id);
    SendMessageA(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption_text));
    // The field starts empty, so replacing the whole selection adds the text once per opening.
    SendMessageA(field, EM_SETSEL, 0, -1);
    SendMessageA(field, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(info_listing));
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
    build_info_text(option_table, option_count, title, build_date, build_time, info_listing, sizeof info_listing);
    format_info_caption(title, caption_text, sizeof caption_text);
    DialogBoxParamA(app_instance, "DLG_HELP", main_dialog_window, info_dialog_proc, 0);
}
