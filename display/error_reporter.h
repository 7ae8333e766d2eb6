// error_reporter.h — turns display result codes into a popup for the user.
//
//   if (CheckResult(directDraw->SetDisplayMode(...))) return 0;   // known error
//
// CheckResult looks the code up in the message table; a known code shows its
// text in the modal popup (platform/popup.h) and returns 1, anything else,
// DD_OK included, returns 0 and is treated as success by the caller.
// The ErrorReporter is made once by DisplayDevice::InitDisplay; it records
// the popup's owner window and is never destroyed.
#pragma once
#include <cstdint>

#include "platform/ddraw.h"
#include "platform/window_handle.h"

class ErrorReporter {
 public:
  // Stores the popup's owner window for ShowPopup (the instance is not needed).
  ErrorReporter(WindowHandle window, void* instance);
  virtual ~ErrorReporter() {}
};

struct ErrorMessage {
  HRESULT code;
  const char* text;
};

// Every known result code with its explanation, in ascending code order.
constexpr int kErrorMessageCount = 117;
extern const ErrorMessage ErrorMessages[kErrorMessageCount];

// Position of `code` in ErrorMessages, or -1 when it is not a known error.
int FindErrorMessage(HRESULT code);

// 1 after showing the popup for a known error code, else 0 (nothing shown).
int CheckResult(HRESULT code);

// Shows `text` in the modal popup over the stored window; returns once dismissed.
void ShowPopup(const char* text);

// The text of the popup last shown (null before the first).
extern const char* PopupText;
