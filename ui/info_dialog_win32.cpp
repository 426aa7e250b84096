#include <windows.h>

#include "ui/info_dialog_win32.h"

#include "base/messages_win32.h"
#include "ui/info_text.h"

namespace {

// Handed to the dialog through its creation parameter; lives on the caller's stack while it runs.
struct InfoTexts {
    int text_field_id;
    char caption[INFO_TEXT_SIZE];
    char listing[INFO_LISTING_SIZE];
};

void fill_info_dialog(HWND dialog, const InfoTexts& texts) {
    SetWindowTextA(dialog, texts.caption);
    // The whole text at once: every opening shows it once.
    SetDlgItemTextA(dialog, texts.text_field_id, texts.listing);
}

INT_PTR CALLBACK info_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            fill_info_dialog(dialog, *reinterpret_cast<const InfoTexts*>(lparam));
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDOK:
                case IDCANCEL:
                case IDABORT:
                    EndDialog(dialog, DIALOG_ENDED);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace

void show_info_dialog(HINSTANCE instance, HWND owner, const InfoDialogContent& content) {
    InfoTexts texts;
    texts.text_field_id = content.text_field_id;
    build_info_text(content.options, content.option_count, content.title, content.build_date, content.build_time,
                    texts.listing, sizeof texts.listing);
    format_info_caption(content.title, texts.caption, sizeof texts.caption);
    DialogBoxParamA(instance, "DLG_HELP", owner, info_dialog_proc, reinterpret_cast<LPARAM>(&texts));
}
