// The least a dialog program does: one modal dialog from a template, nothing else. bench/run starts it
// beside kelvast.exe as the baseline of start-up time, idle cost and memory.
#include <windows.h>
#ifdef KELVAST_TEMPLATE
#include <commctrl.h>
#endif

namespace {

INT_PTR CALLBACK empty_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            // The benchmark takes a changed caption on a visible window as "initialised", as for kelvast.
            SetWindowTextA(dialog, "Empty dialog - ready");
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
                EndDialog(dialog, 0);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef KELVAST_TEMPLATE
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    DialogBoxParamA(instance, "DLG_KELVAST", nullptr, empty_dialog_proc, 0);
#else
    DialogBoxParamA(instance, "DLG_EMPTY", nullptr, empty_dialog_proc, 0);
#endif
    return 0;
}
