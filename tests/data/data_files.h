// data_files.h — helpers for the data tests: read files, run the generators.
//
//   const std::string& dir = GeneratedData();   // qm7-assets + qm7-compose, once
//   std::vector<uint8_t> logo = ReadBytes(dir + "/brisk.bin");
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Whole file; empty if it cannot be read.
std::vector<uint8_t> ReadBytes(const std::string& path);

// A fresh empty folder under the system's temporary folder, removed with
// everything in it when the test program exits.
std::string MakeTempDir();

// Runs both generators into a new temporary folder; true on success.
bool GenerateInto(const std::string& dir);

// A folder holding one generator run's output, made on first use.
const std::string& GeneratedData();
