// Finding the data: which folders are looked in, in what order, and what
// counts as a folder that holds the data.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/data_folder.h"
#include "platform/program_folder.h"
#include "tests/support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

class DataFolderTest : public ::testing::Test {
 protected:
  // A folder holding the named files (each a few bytes).
  std::string Folder(const std::string& name, const std::vector<std::string>& files) {
    fs::path dir = root_ / name;
    fs::create_directories(dir);
    for (const std::string& f : files) std::ofstream(dir / f) << "x";
    return dir.string();
  }

  ScratchFolder scratch_;
  const fs::path root_ = scratch_.path();
};

TEST_F(DataFolderTest, WhatCountsAsTheData) {
  struct Case {
    std::vector<std::string> files;
    bool holds;
  };
  const Case cases[] = {
      {{"qm7.it", "qm7.dat"}, true},
      {{"qm7.it", "brisk.bin", "opener7.bin"}, true},  // loose pictures, no pack
      {{"qm7.dat"}, false},                              // no module
      {{"qm7.it"}, false},                               // no pictures at all
      {{}, false},
  };
  int n = 0;
  for (const Case& c : cases) {
    std::string dir = Folder("case" + std::to_string(n++), c.files);
    EXPECT_EQ(HoldsDemoData(dir), c.holds) << ::testing::PrintToString(c.files);
  }
  // Folders of those names are not files.
  fs::path odd = root_ / "odd";
  fs::create_directories(odd / "qm7.it");
  fs::create_directories(odd / "qm7.dat");
  EXPECT_FALSE(HoldsDemoData(odd.string()));
  EXPECT_FALSE(HoldsDemoData((root_ / "missing").string()));
}

TEST_F(DataFolderTest, CandidatesInOrderWithoutRepeats) {
  std::string work = (root_ / "work").string();
  std::string bin = (root_ / "prefix" / "bin").string();
  std::string share = (root_ / "prefix" / "share" / "qm7").string();
  std::string built = "/opt/qm7/share/qm7";

  EXPECT_EQ(DataFolderCandidates(work, bin, built), (std::vector<std::string>{work, bin, share, built}));
  // The same folder reached twice, or written with a trailing slash or "..",
  // is looked in once; empty names are skipped.
  EXPECT_EQ(DataFolderCandidates(bin + "/", bin, share), (std::vector<std::string>{bin, share}));
  EXPECT_EQ(DataFolderCandidates(work, "", work + "/../work"), (std::vector<std::string>{work}));
  // A relative working folder is made absolute, so the message names it fully.
  EXPECT_EQ(DataFolderCandidates(".", "", "").front(), fs::current_path().string());
}

TEST_F(DataFolderTest, TheFirstFolderThatHoldsTheDataWins) {
  std::string work = Folder("work", {"notes.txt"});
  std::string bin = Folder("prefix/bin", {"qm7.it"});  // module only: not enough
  std::string share = Folder("prefix/share/qm7", {"qm7.it", "qm7.dat"});
  std::string built = Folder("built", {"qm7.it", "qm7.dat"});

  DataFolderSearch search = FindDataFolder(DataFolderCandidates(work, bin, built));
  ASSERT_TRUE(search.found);
  EXPECT_EQ(search.folder, share);
  EXPECT_EQ(search.lookedIn, (std::vector<std::string>{work, bin, share}));

  // The working folder comes first when it holds the data.
  Folder("work", {"qm7.it", "qm7.dat"});
  search = FindDataFolder(DataFolderCandidates(work, bin, built));
  EXPECT_EQ(search.folder, work);
  EXPECT_EQ(search.lookedIn.size(), 1u);
}

TEST_F(DataFolderTest, NothingFoundNamesEveryFolderLookedIn) {
  std::string work = Folder("work", {});
  std::string bin = Folder("bin", {});
  DataFolderSearch search = FindDataFolder(DataFolderCandidates(work, bin, "/nonexistent/qm7"));
  EXPECT_FALSE(search.found);
  EXPECT_TRUE(search.folder.empty());
  std::string text = DescribeDataSearch(search);
  EXPECT_NE(text.find("qm7.dat and qm7.it"), std::string::npos) << text;
  for (const std::string& place : {work, bin, (root_ / "share" / "qm7").string(), std::string("/nonexistent/qm7")})
    EXPECT_NE(text.find(place), std::string::npos) << place << " missing in: " << text;
}

TEST(DataFolder, ProgramFolderIsWhereThisTestProgramLies) {
  std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(fs::exists(fs::path(folder) / "test_host"));
}

}  // namespace
