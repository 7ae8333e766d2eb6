// error_reporter.h — turns display result codes into a popup for the user.
//
//   SetPopupOwner(window);                                            // once
//   if (CheckResult(directDraw->SetDisplayMode(...))) return false;   // known error
//
// CheckResult looks the code up in the message table; a known code shows its
// text in the modal popup (platform/popup.h) and returns true, anything else,
// DD_OK included, returns false and is treated as success by the caller.
#pragma once
#include <cstdint>

#include "platform/ddraw.h"
#include "platform/window_handle.h"

// DisplayDevice::InitDisplay, first: the window the popups belong to.
void SetPopupOwner(WindowHandle window);

struct ErrorMessage {
  HRESULT code;
  const char* text;
};

// Every known result code with its explanation, in ascending code order.
constexpr int kErrorMessageCount = 117;
extern const ErrorMessage ErrorMessages[kErrorMessageCount];

// Position of `code` in ErrorMessages, or -1 when it is not a known error.
int FindErrorMessage(HRESULT code);

// True after showing the popup for a known error code, else false (nothing shown).
bool CheckResult(HRESULT code);

// Hands `text` to the modal popup over the stored window (platform/popup.h:
// whether it waits for the user depends on the twin, so callers do not rely
// on either).
void ShowPopup(const char* text);

// The text of the popup last shown (null before the first).
extern const char* PopupText;
