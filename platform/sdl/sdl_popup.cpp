// sdl_popup.cpp — the modal message as an SDL message box with one OK button
// (id 1, also taken by Return and Escape). When a box cannot be shown over a
// running video subsystem, the text goes to standard error instead. Without
// video nothing is shown: the only caller then is the host's start-up failure,
// which has already written its line on standard error.
#include <SDL.h>

#include <cstdio>

#include "platform/popup.h"

void ShowModalMessage(const char* text, WindowHandle owner) {
  if (!text) text = "";
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
  const SDL_MessageBoxButtonData ok = {
      SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 1, "OK"};
  SDL_MessageBoxData box = {};
  box.flags = SDL_MESSAGEBOX_ERROR;
  box.window = static_cast<SDL_Window*>(owner);
  box.title = "qm7";
  box.message = text;
  box.numbuttons = 1;
  box.buttons = &ok;
  int pressed = 0;
  if (SDL_ShowMessageBox(&box, &pressed) == 0) return;
  std::fprintf(stderr, "%s\n", text);
}

void ShowProgramText(const char* text, bool error) { std::fputs(text, error ? stderr : stdout); }
