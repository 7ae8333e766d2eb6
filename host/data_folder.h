// data_folder.h — where the demo's data (qm7.dat and qm7.it) is found.
//
//   std::string error;
//   if (!EnterDataFolder(options.common.dataDir, &error)) { report error; exit 1 }
//
// is what qm7 and qm7-capture do before RunDemo. Underneath:
//
//   std::vector<std::string> places = DataFolderCandidates(workingDir, ProgramFolder(),
//                                                          builtInstallDir);
//   DataFolderSearch search = FindDataFolder(places);
//   if (search.found) chdir(search.folder.c_str());
//   else keep the working folder; search.lookedIn lists the places for the
//        start-up failure message.
//
// The demo opens its data by plain names relative to the working folder, so
// the program moves into the folder found. Called by host/main.cpp before
// RunDemo; nothing here touches the display or the sound. ProgramFolder()
// comes from platform/program_folder.h.
#pragma once
#include <string>
#include <vector>

// The folders to look in, in order, duplicates (after normalising) dropped:
// the working folder, the program's folder, share/qm7 beside the program's
// bin folder (an installed or unpacked tree, wherever it lies), and the data
// folder the build was configured to install to. Empty names are skipped.
std::vector<std::string> DataFolderCandidates(const std::string& workingDir,
                                              const std::string& programDir,
                                              const std::string& builtInstallDir);

// True when `folder` holds the module qm7.it and either the pack qm7.dat or
// the loose pictures the pack loader falls back to (brisk.bin).
bool HoldsDemoData(const std::string& folder);

struct DataFolderSearch {
  bool found = false;
  std::string folder;                 // the first folder that holds the data
  std::vector<std::string> lookedIn;  // every folder examined, in order
};

// The first of `candidates` that holds the data.
DataFolderSearch FindDataFolder(const std::vector<std::string>& candidates);

// "qm7.dat and qm7.it were looked for in: A, B, C" for the failure message.
std::string DescribeDataSearch(const DataFolderSearch& search);

// Moves into the data folder: `given` (--data) when it is not empty, else
// the first of the working folder, the program's folder and the installed
// ones that holds the data. False with a one-line reason in `error` only
// when a given folder cannot be entered. When no folder holds the data, the
// working folder is kept and DataSearchNote (host/host.h) says where the
// data was looked for, for the start-up failure message. Called once by
// each program's main before RunDemo.
bool EnterDataFolder(const std::string& given, std::string* error);
