#include "store/ini_file.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "core/ini_file_fixture.h"
#include "core/system_codecs.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "support/temp_dir.h"

namespace zv {
namespace {

using zv::testing::TempDir;

std::string gbk(std::string_view utf8) { return utf8ToGbk(utf8); }

class IniFile : public zv::testing::IniFileFixture {};

TEST_F(IniFile, ReadsByTheRulesOfTheProfileFunctions) {
  withFile("; " + gbk("注释") +
           "\r\n"
           "[ZBT]\r\n"
           "  Size = 12 \r\n" +
           gbk("界面大小=全屏") +
           "\r\n"
           "quoted=\"x\"\r\n"
           "single=' y '\r\n"
           "mismatch=\"x'\r\n"
           "lonequote=\"\r\n"
           "empty=\r\n"
           "novalue\r\n"
           ";commented=1\r\n"
           "tab=\ta b\t\r\n"
           "dup=first\r\n"
           "dup=second\r\n"
           "[other]\r\n"
           "k=v\r\n"
           " [ zbt ] trailing\r\n"
           "late=unseen\r\n" +
           // 丄 and 乤 are 81 41 and 81 61: their trail bytes differ only in ASCII
           // case. 乚 is 81 5D, whose trail byte is ']'.
           gbk("[丄]\r\nx=upper\r\n[乤]\r\nx=lower\r\n[乚]\r\n乚=bracket\r\n"));

  struct Case {
    const char* section;
    const char* key;
    std::optional<std::string_view> fallback;
    const char* expected;
  };
  const Case cases[] = {
      {"ZBT", "Size", {}, "12"},
      {"zbt", "SIZE", {}, "12"},
      {" \t zbt ", "\tsize  ", {}, "12"},
      {"zbt", "界面大小", {}, "全屏"},
      {"zbt", "quoted", {}, "x"},
      {"zbt", "single", {}, " y "},
      {"zbt", "mismatch", {}, "\"x'"},
      {"zbt", "lonequote", {}, "\""},
      {"zbt", "empty", "fb", ""},
      {"zbt", "novalue", "fb", "fb"},
      {"zbt", ";commented", "fb", "fb"},
      {"zbt", "tab", {}, "a b"},
      {"zbt", "dup", {}, "first"},
      {"zbt", "late", "fb", "fb"},  // in a second [zbt], which is never seen
      {"other", "k", {}, "v"},
      {"other", "size", "fb", "fb"},
      {"missing", "k", {}, ""},
      {"missing", "k", "fb", "fb"},
      {"zbt", "missing", "fb", "fb"},
      {"丄", "x", {}, "upper"},
      {"丄", "X", {}, "upper"},
      {"乤", "x", {}, "lower"},
      {"乚", "乚", {}, "bracket"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ini::read(path, c.section, c.key, c.fallback), c.expected)
        << "[" << c.section << "] " << c.key;
}

TEST_F(IniFile, MissingFileGivesTheFallback) {
  EXPECT_EQ(ini::read(path, "zbt", "k"), "");
  EXPECT_EQ(ini::read(path, "zbt", "k", "7"), "7");
  EXPECT_FALSE(fileExists(path));
}

TEST_F(IniFile, AcceptsEveryLineEnd) {
  withFile("[a]\rx=1\ry=2\n[b]\r\nz=3");
  EXPECT_EQ(ini::read(path, "a", "y"), "2");
  EXPECT_EQ(ini::read(path, "b", "z"), "3");
}

TEST_F(IniFile, CapsValuesWithoutCuttingACharacter) {
  struct Case {
    const char* what;
    std::string file;
    std::string expected;
  };
  std::string han6000, han5000;
  for (int i = 0; i < 6000; ++i) han6000 += "中";
  for (int i = 0; i < 3412; ++i) han5000 += "中";
  const Case cases[] = {
      {"ascii", "[a]\r\nk=" + std::string(20000, 'v') + "\r\n",
       std::string(ini::kMaxValueBytes, 'v')},
      // 5119 two-byte characters make 10238 bytes; the next one would end past the cap.
      {"gbk", "[a]\r\nk=" + gbk(han6000) + "\r\n", han6000.substr(0, 5119 * 3)},
      // UTF-8: 1 + 3 * 3412 = 10237 bytes; the next character would end past the cap.
      {"utf-8", "[a]\r\nk=a" + han5000 + "中中中\r\n", "a" + han5000},
  };
  for (const auto& c : cases) {
    withFile(c.file);
    EXPECT_EQ(ini::read(path, "a", "k"), c.expected) << c.what;
  }
}

TEST_F(IniFile, WritesOnlyTheLineConcerned) {
  struct Case {
    const char* what;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
  };
  const Case cases[] = {
      {"new file", "", "zbt", "界面大小", "全屏", gbk("[zbt]\r\n界面大小=全屏\r\n")},
      {"Chinese key", "", "zbt", "一", "中", "[zbt]\r\n\xD2\xBB=\xD6\xD0\r\n"},
      {"new section at the end", "[a]\r\nx=1\r\n", "b", "y", "2", "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
      {"new section after a last line without an end", "[a]\r\nx=1", "b", "y", "2",
       "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
      {"new key before the next section's blank line", "[a]\r\nx=1\r\n\r\n[b]\r\nz=3\r\n", "A", "y",
       "2", "[a]\r\nx=1\r\ny=2\r\n\r\n[b]\r\nz=3\r\n"},
      {"new key after a comment ending the section", "[a]\nx=1\n;note\n\n[b]\n", "a", "y", "2",
       "[a]\nx=1\n;note\ny=2\r\n\n[b]\n"},
      {"new key in a section with no lines", "[a]\r\n\r\n[b]\r\n", "a", "y", "2",
       "[a]\r\ny=2\r\n\r\n[b]\r\n"},
      {"new key after a last line without an end", "[a]\nx=1", "a", "y", "2",
       "[a]\nx=1\r\ny=2\r\n"},
      {"replaced value, caller's key, own line end", "[a]\n  X = old \nz=1\n", "a", "x", "new",
       "[a]\nx=new\nz=1\n"},
      {"replaced in the first of duplicates", "[a]\nk=1\nk=2\n[A]\nk=3\n", "a", "k", "9",
       "[a]\nk=9\nk=2\n[A]\nk=3\n"},
      {"new key in the first of duplicate sections", "[a]\n[b]\n[a]\nk=3\n", "a", "k", "9",
       "[a]\nk=9\r\n[b]\n[a]\nk=3\n"},
      {"section named with a ']' trail byte", gbk("[丄]\r\nk=1\r\n[乚]\r\nk=2\r\n"), "乚", "k", "3",
       gbk("[丄]\r\nk=1\r\n[乚]\r\nk=3\r\n")},
      {"case of a trail byte is not folded", gbk("[乤]\r\nk=1\r\n"), "丄", "k", "2",
       gbk("[乤]\r\nk=1\r\n[丄]\r\nk=2\r\n")},
      {"everything else kept",
       gbk("; 注释\r\n[zbt]\n  odd  =  spacing  \n") +
           "\x81 \xFF junk\r\nkey=old\rnext=1\r\n[x]\r\n",
       "zbt", "key", "新",
       gbk("; 注释\r\n[zbt]\n  odd  =  spacing  \n") + "\x81 \xFF junk\r\nkey=" + gbk("新") +
           "\rnext=1\r\n[x]\r\n"},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF[zbt]\r\n界面大小=全屏\r\n", "zbt", "界面大小",
       "窗口", "\xEF\xBB\xBF[zbt]\r\n界面大小=窗口\r\n"},
      {"UTF-8 without one", "[zbt]\n名称=奖\n", "zbt", "颜色", "红", "[zbt]\n名称=奖\n颜色=红\r\n"},
      {"byte-order mark alone", "\xEF\xBB\xBF", "a", "键", "值", "\xEF\xBB\xBF[a]\r\n键=值\r\n"},
  };
  for (const auto& c : cases) {
    if (c.before.empty()) {
      deleteFile(path);
    } else {
      withFile(c.before);
    }
    EXPECT_TRUE(ini::write(path, c.section, c.key, c.value)) << c.what;
    EXPECT_EQ(onDisk(), c.after) << c.what;
    EXPECT_EQ(ini::read(path, c.section, c.key), c.value) << c.what;
  }
  EXPECT_EQ(tmp.entries(), std::vector<std::string>{"zbt.ini"});  // no temporary file left
}

TEST_F(IniFile, CharactersOutsideGbkRoundTripInAGbkFile) {
  if (!systemHasGb18030()) GTEST_SKIP() << "the system converts no GB18030 (Wine 8)";
  withFile(gbk("[zbt]\r\n名称=奖\r\n"));
  ASSERT_TRUE(ini::write(path, "zbt", "名称", "😀Ā一"));
  EXPECT_EQ(onDisk(), gbk("[zbt]\r\n名称=") + "\x94\x39\xFC\x36\x81\x30\x8B\x38\xD2\xBB\r\n");
  EXPECT_EQ(ini::read(path, "zbt", "名称"), "😀Ā一");
}

TEST_F(IniFile, FailedWritesChangeNothing) {
  const std::string inMissingDir = tmp.file("none/zbt.ini");
  EXPECT_FALSE(ini::write(inMissingDir, "zbt", "k", "v"));
  EXPECT_FALSE(pathExists(tmp.file("none")));

  // Something that exists but cannot be read is never replaced.
  ASSERT_TRUE(makeDirectories(path));
  EXPECT_FALSE(ini::write(path, "zbt", "k", "v"));

  EXPECT_FALSE(ini::write(tmp.file("x.ini"), " ", "k", "v"));  // no section name
  EXPECT_EQ(tmp.entries(), std::vector<std::string>{"zbt.ini"});
}

TEST_F(IniFile, ShortGbkTextIsNotMistakenForUtf8) {
  // D2 BB (一) is also a valid two-byte UTF-8 sequence.
  withFile("[zbt]\r\n\xD2\xBB=3\r\n");
  EXPECT_EQ(ini::read(path, "zbt", "一"), "3");
  ASSERT_TRUE(ini::write(path, "zbt", "二", "4"));
  EXPECT_EQ(onDisk(), "[zbt]\r\n\xD2\xBB=3\r\n\xB6\xFE=4\r\n");
}

}  // namespace
}  // namespace zv

namespace zv {
namespace {

class IniFileHeaders : public IniFile {};

// A line that opens with '[' but has no ']' is no section header: its keys belong to the
// section above it (or to none), and a write under that name makes a real header.
TEST_F(IniFileHeaders, AnUnclosedBracketIsNoHeader) {
  withFile("[zbt\r\nx=1\r\n[yanse]\r\ny=2\r\n[zbt]\r\nz=3\r\n");
  EXPECT_EQ(ini::read(path, "zbt", "x", "none"), "none");
  EXPECT_EQ(ini::read(path, "zbt", "z"), "3");
  withFile("[other]\r\n[zbt\r\nx=1\r\n");
  EXPECT_EQ(ini::read(path, "other", "x"), "1") << "the unclosed line is an ordinary line";
  EXPECT_EQ(ini::read(path, "other", "[zbt"), "") << "a line without '=' is no key";
  ASSERT_TRUE(ini::write(path, "zbt", "x", "2"));
  EXPECT_EQ(onDisk(), "[other]\r\n[zbt\r\nx=1\r\n[zbt]\r\nx=2\r\n");
}

}  // namespace
}  // namespace zv
