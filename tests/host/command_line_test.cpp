// qm7's command line: what each accepted form sets, and what is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/command_line.h"

namespace {

bool Parse(std::vector<std::string> args, DemoOptions* options, std::string* error) {
  args.insert(args.begin(), "qm7");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  return ParseDemoCommandLine(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(DemoCommandLine, AcceptedForms) {
  struct Case {
    std::vector<std::string> args;
    bool help, version, window;
    std::string dataDir;
  };
  const Case cases[] = {
      {{}, false, false, false, ""},  // the plain run
      {{"--help"}, true, false, false, ""},
      {{"-h"}, true, false, false, ""},
      {{"--version"}, false, true, false, ""},
      {{"--window"}, false, false, true, ""},
      {{"--data", "/some/dir"}, false, false, false, "/some/dir"},
      {{"--data=rel/dir"}, false, false, false, "rel/dir"},
      {{"--window", "--data", "d", "--data", "e"}, false, false, true, "e"},  // the last one counts
      {{"--data", "--window"}, false, false, false, "--window"},  // a folder may be named so
  };
  for (const Case& c : cases) {
    DemoOptions o;
    o.window = !c.window;  // stale values must be cleared
    std::string error;
    std::string shown = ::testing::PrintToString(c.args);
    ASSERT_TRUE(Parse(c.args, &o, &error)) << shown << ": " << error;
    EXPECT_EQ(o.common.help, c.help) << shown;
    EXPECT_EQ(o.common.version, c.version) << shown;
    EXPECT_EQ(o.window, c.window) << shown;
    EXPECT_EQ(o.common.dataDir, c.dataDir) << shown;
  }
}

TEST(DemoCommandLine, RefusedFormsSayWhy) {
  struct Case {
    std::vector<std::string> args;
    std::string reason;  // part of the error text
  };
  const Case cases[] = {
      {{"--fullscreen"}, "unknown option '--fullscreen'"},
      {{"-w"}, "unknown option '-w'"},
      {{"--window=yes"}, "unknown option '--window=yes'"},
      {{"--data"}, "--data needs a folder"},
      {{"--data="}, "--data needs a folder"},
      {{"--data", ""}, "--data needs a folder"},
      {{"qm7.dat"}, "unexpected argument 'qm7.dat'"},
      {{"--window", "--bogus"}, "'--bogus'"},
  };
  for (const Case& c : cases) {
    DemoOptions o;
    std::string error;
    std::string shown = ::testing::PrintToString(c.args);
    EXPECT_FALSE(Parse(c.args, &o, &error)) << shown;
    EXPECT_NE(error.find(c.reason), std::string::npos) << shown << ": " << error;
  }
}

TEST(DemoCommandLine, UsageAndHelpNameEveryOption) {
  for (const char* option : {"--window", "--data DIR", "--help", "--version"}) {
    EXPECT_NE(std::string(kDemoUsage).find(option), std::string::npos) << option;
    EXPECT_NE(std::string(kDemoHelp).find(option), std::string::npos) << option;
  }
}

}  // namespace
