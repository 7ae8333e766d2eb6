// web_popup.cpp — the modal message as an overlay in the page with the text
// and an OK button. A page cannot block until the button is pressed, so this
// returns at once; the overlay stays until it is dismissed. The text also
// goes to standard error (the browser's console).
#include <emscripten.h>

#include <cstdio>

#include "platform/popup.h"

EM_JS(void, ShowPageMessage, (const char* text), {
  if (typeof qm7Page !== 'undefined') qm7Page.showMessage(UTF8ToString(text));
});

void ShowModalMessage(const char* text, WindowHandle) {
  if (!text) text = "";
  std::fprintf(stderr, "%s\n", text);
  ShowPageMessage(text);
}
