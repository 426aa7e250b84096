// The File button's chooser. comdlg32, and the shell libraries it brings with it, are loaded the
// first time it is used instead of at start-up.
#ifndef KELVAST_FILE_CHOOSER_WIN32_H
#define KELVAST_FILE_CHOOSER_WIN32_H

#include <windows.h>

#include <cstddef>

// Lets the user pick a program, starting from the text in path. True when one was chosen: its full
// path is then in path. False when cancelled, or when comdlg32 cannot be loaded (nothing is shown).
bool choose_program_file(HWND owner, char* path, size_t size);

#endif
