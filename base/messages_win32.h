// Window message parameters that carry nothing, named so a call says which of its values matter.
#ifndef KELVAST_MESSAGES_WIN32_H
#define KELVAST_MESSAGES_WIN32_H

#include <windows.h>

constexpr WPARAM NO_WPARAM = 0;
constexpr LPARAM NO_LPARAM = 0;
// What a modal dialog of this program gives back when it ends: nothing that anyone reads.
constexpr INT_PTR DIALOG_ENDED = 1;

#endif
