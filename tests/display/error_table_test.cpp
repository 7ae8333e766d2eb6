// The error reporter: which codes pop up, and the message table itself.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "tests/display/display_fixture.h"

namespace {

TEST_F(DisplayTest, CheckResultShowsOnlyKnownErrors) {
  const struct {
    HRESULT code;
    int result;
    const char* shown;  // null: nothing shown
  } cases[] = {
      {DD_OK, 0, nullptr},
      {0x887600A0,
       1, "One or more surfaces are locked, causing the failure of the requested operation. "},
      {0x88760001, 0, nullptr},  // a failure code the table does not know
      {0x887601C2, 1,
       "Access to the surface is refused because the surface memory is gone. Call the "
       "IDirectDrawSurface7::Restore method on this surface to restore the memory associated "
       "with it. "},
      {0x80004001, 1, "The operation is not supported. "},
      {0x887602BB, 1, nullptr},  // the last entry
      {0x887602BC, 0, nullptr},
      {1, 0, nullptr},
  };
  for (const auto& c : cases) {
    VirtualPopups.clear();
    EXPECT_EQ(CheckResult(c.code), c.result) << std::hex << c.code;
    ASSERT_EQ(VirtualPopups.size(), size_t(c.result)) << std::hex << c.code;
    if (c.shown) {
      EXPECT_EQ(VirtualPopups[0], c.shown);
      EXPECT_STREQ(PopupText, c.shown);
    }
  }
}

TEST(ErrorTableTest, HoldsEveryCodeOnceInAscendingOrderWithOneLineTexts) {
  ASSERT_EQ(kErrorMessageCount, 117);
  EXPECT_EQ(ErrorMessages[0].code, DDERR_UNSUPPORTED);
  EXPECT_EQ(ErrorMessages[kErrorMessageCount - 1].code, DDERR_DEVICEDOESNTOWNSURFACE);
  EXPECT_EQ(DDERR_DEVICEDOESNTOWNSURFACE, 0x887602BBu);
  size_t longest = 0;
  for (int i = 0; i < kErrorMessageCount; ++i) {
    if (i > 0) {
      EXPECT_LT(ErrorMessages[i - 1].code, ErrorMessages[i].code) << i;
    }
    EXPECT_EQ(FindErrorMessage(ErrorMessages[i].code), i);
    const std::string text = ErrorMessages[i].text;
    EXPECT_EQ(text.find('\n'), std::string::npos) << i;
    longest = std::max(longest, text.size());
  }
  EXPECT_EQ(longest, 341u);  // the popup must have room for this much
}

TEST(ErrorTableTest, TextsEndInABlankExceptSixThatEndInTheirFullStop) {
  const HRESULT fullStop[] = {DDERR_ALREADYINITIALIZED, DDERR_CANNOTATTACHSURFACE,
                              DDERR_CANNOTDETACHSURFACE, DDERR_BLTFASTCANTCLIP,
                              DDERR_CANTDUPLICATE, DDERR_CANTCREATEDC};
  for (int i = 0; i < kErrorMessageCount; ++i) {
    const std::string text = ErrorMessages[i].text;
    bool endsInFullStop = std::find(std::begin(fullStop), std::end(fullStop),
                                    ErrorMessages[i].code) != std::end(fullStop);
    EXPECT_EQ(text.back(), endsInFullStop ? '.' : ' ') << text;
    if (!endsInFullStop) {
      EXPECT_EQ(text[text.size() - 2], '.') << text;
    }
  }
}

TEST(ErrorTableTest, QuotedRowsAreExact) {
  const ErrorMessage rows[] = {
      {0x80004001, "The operation is not supported. "},
      {0x80004005, "There is an undefined error condition. "},
      {0x88760005, "The object has already been initialized."},
      {0x88760078, "DirectDraw does not support the requested mode. "},
      {0x887601C2,
       "Access to the surface is refused because the surface memory is gone. Call the "
       "IDirectDrawSurface7::Restore method on this surface to restore the memory associated "
       "with it. "},
      {0x887600A0, "One or more surfaces are locked, causing the failure of the requested "
                   "operation. "},
  };
  for (const ErrorMessage& row : rows) {
    int index = FindErrorMessage(row.code);
    ASSERT_GE(index, 0) << std::hex << row.code;
    EXPECT_STREQ(ErrorMessages[index].text, row.text);
  }
}

}  // namespace
