// virtual_popup.cpp — the modal message as a record: the text is kept for the
// test or tool to read (VirtualPopups), and the call returns at once.
#include "platform/popup.h"
#include "platform/virtual/virtual_display.h"

std::vector<std::string> VirtualPopups;

void ShowModalMessage(const char* text, WindowHandle) { VirtualPopups.emplace_back(text ? text : ""); }
