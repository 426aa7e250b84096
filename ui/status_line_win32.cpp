#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <iterator>

#include "ui/status_line_win32.h"

#include "base/bounded_text.h"
#include "base/messages_win32.h"
#include "res/resource.h"
#include "schedule/schedule_entry.h"
#include "ui/run_status.h"

namespace {

// The last edge of a status line's parts: the end of the line.
constexpr int TO_THE_END = -1;

int text_width(HDC dc, const char* text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
    return size.cx;
}

}  // namespace

void load_string(HINSTANCE instance, UINT id, char* out, int size) {
    copy_text(out, static_cast<size_t>(size), "");
    LoadStringA(instance, id, out, size);
}

void show_status(HWND dialog, const char* text) {
    SetDlgItemTextA(dialog, IDC_STATUS, text);
}

void show_run_status(HWND dialog, const char* text) {
    SendDlgItemMessageA(dialog, IDC_STATUS, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(text));
}

void format_outcome(HINSTANCE instance, const RunOutcome& outcome, char* out, size_t size) {
    char format[STATUS_TEXT_SIZE];
    load_string(instance, outcome_text_id(outcome.kind), format, sizeof format);
    const ClockReading& clock = outcome.clock;
    SYSTEMTIME time{clock.year, clock.month,  clock.day_of_week, clock.day,
                    clock.hour, clock.minute, clock.second,      clock.millisecond};
    char date[STATUS_TEXT_SIZE] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date);
    // Looked up whatever the kind: only a failure's text shows it. Allocated by the system, so that a
    // long message is cut to the line rather than refused.
    char* message = nullptr;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                   outcome.code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&message), 0,
                   nullptr);
    char reason[STATUS_TEXT_SIZE];
    format_reason(message, outcome.program, reason, sizeof reason);
    LocalFree(message);
    format_outcome_text(format, outcome, date, reason, out, size);
}

void fit_status_parts(HINSTANCE instance, HWND dialog, uint32_t dpi) {
    char format[STATUS_TEXT_SIZE];
    char waiting[STATUS_TEXT_SIZE];
    load_string(instance, IDS_WAITING, format, sizeof format);
    format_waiting_text(format, WIDEST_WAITING_TIME, waiting, sizeof waiting);
    HWND status = GetDlgItem(dialog, IDC_STATUS);
    HDC dc = GetDC(status);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(status, WM_GETFONT, NO_WPARAM, NO_LPARAM)));
    const int waiting_width = text_width(dc, waiting);
    SelectObject(dc, font);
    ReleaseDC(status, dc);
    const int edges[] = {status_left_part_edge(waiting_width, dpi), TO_THE_END};
    SendMessageA(status, SB_SETPARTS, std::size(edges), reinterpret_cast<LPARAM>(edges));
}
