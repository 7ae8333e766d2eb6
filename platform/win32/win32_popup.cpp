// win32_popup.cpp — the modal message as a MessageBoxA with one OK button
// (id 1) over the owner window; returns once it is dismissed. Also the
// program's own texts (--help, --version, command-line errors).
#include "platform/popup.h"
#include "platform/win32/win32_api.h"

void ShowModalMessage(const char* text, WindowHandle owner) {
  win32::MessageBoxOk(text ? text : "", "qm7", owner);
}

void ShowProgramText(const char* text, bool error) { win32::ShowText(text, error); }
