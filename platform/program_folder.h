// program_folder.h — the folder that holds the running program.
//
//   std::string folder = ProgramFolder();   // "" when it cannot be told
//
// Called at start-up by host/main.cpp and tools/capture/main.cpp, to look
// for the demo's data beside the program (host/data_folder.h). One file for
// every platform (platform/program_folder.cpp): each asks its own system.
#pragma once
#include <string>

std::string ProgramFolder();
