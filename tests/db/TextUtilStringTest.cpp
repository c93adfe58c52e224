#include "db/ColorBlend.h"
#include "db/TextUtils.h"

#include <gtest/gtest.h>

#include <climits>

namespace kov {
namespace {

TEST(TextUtilColor, BlendByChannel) {
  EXPECT_EQ(blendColor(0xFFFFFF, 0x000000, 0.5), 0x808080u);  // 127.5 rounds to 128
  EXPECT_EQ(blendColor(0x123456, 0xABCDEF, 0.0), 0x123456u);
  EXPECT_EQ(blendColor(0x123456, 0xABCDEF, 1.0), 0xABCDEFu);
  // $BBGGRR: red 255 -> 191.25, blue 0 -> 63.75.
  EXPECT_EQ(blendColor(0x0000FF, 0xFF0000, 0.25), 0x4000BFu);
  // Halves go to the even integer: 0.5 -> 0, 1.5 -> 2.
  EXPECT_EQ(blendColor(0x000000, 0x010301, 0.5), 0x000200u);
  // A fraction outside 0..1 saturates instead of spilling into the next channel.
  EXPECT_EQ(blendColor(0x000080, 0x0000FF, 3.0), 0x0000FFu);
  EXPECT_EQ(blendColor(0x000080, 0x0000FF, -3.0), 0x000000u);
}

TEST(TextUtilColor, SystemColoursAreResolved) {
  const StoredColor window = 0xFF000005;
  const auto resolve = [](StoredColor c) { return c == 0xFF000005 ? 0xFFFFFFu : 0u; };
  EXPECT_EQ(blendColor(window, 0x000000, 0.5, resolve), 0x808080u);
  EXPECT_EQ(blendColor(window, window, 0.5, resolve), 0xFFFFFFu);
}

TEST(TextUtilSearch, CleanSearchText) {
  struct Case {
    const char* in;
    bool removeTags;
    const char* out;
  };
  const Case cases[] = {
      {"  a,,b  **c", false, "a b *c"},
      {"a <b>x</b>  c", true, "a x c"},
      {"a <b>x</b>  c", false, "a <b>x</b> c"},
      {"a<b", true, "a"},
      {"a  ", false, "a"},
      {"   ", false, ""},
      {"", true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(cleanSearchText(c.in, c.removeTags), c.out);
  }
  EXPECT_EQ(cleanSearchText(std::string(300, 'a'), false).size(), 255u);
}

TEST(TextUtilVersion, VersionText) {
  EXPECT_EQ(versionText(1, 2, 0, 0), "1.2");
  EXPECT_EQ(versionText(1, 2, 3, 0), "1.2.3");
  EXPECT_EQ(versionText(1, 2, -1, 0), "1.2");
  EXPECT_EQ(versionText(1, 2, 3, 4), "1.2.3.4");
  EXPECT_EQ(versionText(1, 2, 0, 7), "1.2.0.7");
}

TEST(TextUtilString, Tags) {
  EXPECT_EQ(removeTags("a<b>c</b>d"), "acd");
  EXPECT_EQ(removeTags("a>b"), "ab");
  EXPECT_EQ(removeTags("a<b"), "a");
  EXPECT_EQ(dropBlanksAfterTags(QStringLiteral(" \t<b> \tx</b>\ty z")),
            QStringLiteral("<b>x</b>y z"));
  EXPECT_EQ(markItalic("a<b>c"), "a<i>b</i>c");
  EXPECT_EQ(markItalic(std::string(200, '>')).size(), 255u);
}

TEST(TextUtilString, NamesAndPaths) {
  EXPECT_EQ(trimBlanks("  a b "), "a b");
  EXPECT_EQ(trimBlanks("   "), " ");
  EXPECT_EQ(trimBlanks(""), "");
  EXPECT_EQ(addDefaultExtension("list", "txt"), "list.txt");
  EXPECT_EQ(addDefaultExtension("list.csv", "txt"), "list.csv");
  EXPECT_EQ(nameBeforeDot("TL_KJV.wl"), "TL_KJV");
  EXPECT_EQ(nameBeforeDot("readme"), "");
  EXPECT_EQ(withTrailingSlash(std::string()), "");
  EXPECT_EQ(withTrailingSlash(std::string("/data")), "/data/");
  EXPECT_EQ(withTrailingSlash(std::string("/data/")), "/data/");
  EXPECT_EQ(innerText("[ab]"), "ab");
  EXPECT_EQ(innerText("ab"), "");
  EXPECT_EQ(removeAmpersands("&File && x"), "File  x");

  const auto entry = bracketName("Bible [KJV.t]");
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->before, "Bible ");
  EXPECT_EQ(entry->name, "KJV");
  EXPECT_FALSE(bracketName("KJV.t").has_value());
  EXPECT_FALSE(bracketName("a.b[c").has_value());
}

TEST(TextUtilString, Numbers) {
  EXPECT_EQ(leadingNumber("12abc"), 12);
  EXPECT_EQ(leadingNumber("abc"), 1);
  EXPECT_EQ(leadingNumber(""), 1);
  EXPECT_EQ(leadingNumber("99999999999"), INT_MAX);

  const std::pair<const char*, int> cases[] = {
      {" -12", -12}, {"+7", 7},   {"12ab", 12},         {"-12ab", 12},
      {"abc", 0},    {"", 0},     {"-", 0},             {"12 ", 12},
      {"-2147483648", INT_MIN},   {"99999999999", 999999999},
  };
  for (const auto& [text, value] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(textToNumber(text), value);
  }
}

}  // namespace
}  // namespace kov
