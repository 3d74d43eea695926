// The page and file names of an effect showing.
#include "host/logic/effect_page.h"

#include <gtest/gtest.h>

namespace zv::page {
namespace {

TEST(EffectPage, AWindowIdNamesBothFilesAndEveryNamePlaceholder) {
  EXPECT_EQ(pageFileName(1234), "vexo-1234.cn");
  EXPECT_EQ(movieFileName(1234), "vexo-1234.swf");
  EXPECT_EQ(movieFileName(18446744073709551615ull), "vexo-18446744073709551615.swf");

  const std::string page = buildPage(1234, 1920, 1080, 0x000000);
  for (const char* placeholder : {"名字", "宽度", "高度", "颜色"}) {
    EXPECT_EQ(page.find(placeholder), std::string::npos) << placeholder;
  }
  // Each placeholder of the template became its value, and nothing else changed.
  std::string expected(pageTemplate());
  expected = replaceAll(expected, "名字", "vexo-1234");
  expected = replaceAll(expected, "宽度", "1920");
  expected = replaceAll(expected, "高度", "1080");
  expected = replaceAll(expected, "颜色", "#000000");
  EXPECT_EQ(page, expected);
  EXPECT_NE(pageTemplate().find("名字"), std::string_view::npos);
  EXPECT_NE(page.find("vexo-1234.swf"), std::string::npos);
}

TEST(EffectPage, ColourTextIsHashRedGreenBlueInUpperCaseHex) {
  struct Case {
    std::uint32_t colour;
    const char* text;
  };
  const Case cases[] =
      {
          {0x000000, "#000000"},   {0x0C0B0A, "#0A0B0C"}, {0xFF0000, "#0000FF"},
          {0x0000FF, "#FF0000"},   {0x00FF00, "#00FF00"}, {0xFFFFFF, "#FFFFFF"},
          {0xAB123456, "#563412"},  // the top byte is not a colour
      };
  for (const Case& c : cases) {
    EXPECT_EQ(colourText(c.colour), c.text) << std::hex << c.colour;
    EXPECT_EQ(colourText(c.colour).size(), 7u);
  }
}

TEST(EffectPage, ReplacementsDoNotRescanWhatTheyInserted) {
  EXPECT_EQ(replaceAll("aXbXc", "X", "XX"), "aXXbXXc");
  EXPECT_EQ(replaceAll("名字名字", "名字", "vexo-1"), "vexo-1vexo-1");
  EXPECT_EQ(replaceAll("abc", "", "z"), "abc");
}

TEST(EffectPage, ABrowserCacheFolderGivesItsSiblingTempWithASeparator) {
  struct Case {
    const char* cache;
    char separator;
    const char* directory;
  };
  const Case cases[] = {
      {"C:\\Documents and Settings\\op\\Local Settings\\Temporary Internet Files", '\\',
       "C:\\Documents and Settings\\op\\Local Settings\\Temp\\"},
      {"D:\\Temporary Internet Files\\Temporary Internet Files", '\\', "D:\\Temp\\Temp\\"},
      {"C:\\temporary internet files", '\\', "C:\\temporary internet files\\"},  // exact case
      {"", '\\', "\\"},
      {"/tmp", '/', "/tmp/"},
  };
  for (const Case& c : cases) EXPECT_EQ(temporaryDirectory(c.cache, c.separator), c.directory);
}

TEST(EffectPage, ABuiltPageReadsBackAsItsRequest) {
  const auto request = readPage(buildPage(77, 1366, 768, 0x0C0B0A));
  ASSERT_TRUE(request.has_value());
  EXPECT_EQ(request->movieFile, "vexo-77.swf");
  EXPECT_EQ(request->width, 1366);
  EXPECT_EQ(request->height, 768);
  EXPECT_EQ(request->background, 0x0C0B0Au);
}

TEST(EffectPage, APageOfAnotherFormReadsAsNothing) {
  const std::string good(buildPage(5, 10, 20, 0));
  const std::string bad[] = {
      "",
      "<html></html>",
      replaceAll(good, "vexo-5.swf", "../x.swf"),
      replaceAll(good, "vexo-5.swf", "/etc/x.swf"),
      replaceAll(good, "vexo-5.swf", ""),
      replaceAll(good, "\"10\"", "\"-10\""),
      replaceAll(good, "\"20\"", "\"20px\""),
      replaceAll(good, "\"#000000\">\n</body>", "\"000000\">\n</body>"),
      good.substr(0, good.find("height")),
  };
  for (const std::string& page : bad) EXPECT_FALSE(readPage(page)) << page;
}

}  // namespace
}  // namespace zv::page
