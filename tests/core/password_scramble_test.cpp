#include "dialogs/logic/password_scramble.h"

#include <gtest/gtest.h>

#include "draw/random_source.h"
#include "platform/text_codec.h"

namespace zv {
namespace {

bool storedFormIsWellMade(const std::string& stored) {
  if (stored.size() < 2 || stored.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < stored.size(); ++i) {
    const char last = i < 2 ? 'Z' : 'P';
    if (stored[i] < 'A' || stored[i] > last) return false;
  }
  return true;
}

TEST(PasswordScramble, KnownAnswer) {
  // Worked out by hand from the 1-based keystream.
  EXPECT_EQ(passwordScrambleWithSalt("abc", "AB"), "ABJIIEBD");
  EXPECT_EQ(passwordUnscrambleBytes("ABJIIEBD"), "abc");
  EXPECT_TRUE(passwordMatches("abc", "ABJIIEBD"));
}

TEST(PasswordScramble, StoredFormsRoundTripAndAreCapitalLettersOnly) {
  RandomSource random([] { return 7u; });
  random.seed(12345);
  const char* passwords[] = {"", "abc", "ABC", "pass word", "奖品2026", "€", "~!@#$%^&*()"};
  for (const char* password : passwords) {
    for (int round = 0; round < 20; ++round) {
      const std::string stored = passwordScramble(password, random);
      SCOPED_TRACE(stored);
      EXPECT_TRUE(storedFormIsWellMade(stored));
      EXPECT_EQ(stored.size(), 2 + 2 * utf8ToGbk(password).size());
      EXPECT_EQ(passwordUnscrambleBytes(stored), utf8ToGbk(password));
      EXPECT_TRUE(passwordMatches(password, stored));
    }
  }
}

TEST(PasswordScramble, ChinesePasswordsAreScrambledOverTheirGbkBytes) {
  const std::string stored = passwordScrambleWithSalt("奖", "QQ");
  EXPECT_EQ(stored.size(), 2u + 4u);  // one character, two GBK bytes
  EXPECT_EQ(passwordUnscrambleBytes(stored), "\xBD\xB1");
}

TEST(PasswordScramble, TwoScramblesDifferAndBothUnscramble) {
  RandomSource random([] { return 1000u; });
  random.seed(99);
  const std::string first = passwordScramble("secret", random);
  const std::string second = passwordScramble("secret", random);
  EXPECT_NE(first, second);
  EXPECT_TRUE(passwordMatches("secret", first));
  EXPECT_TRUE(passwordMatches("secret", second));
}

TEST(PasswordScramble, CaseMattersAndNothingIsTrimmed) {
  const std::string stored = passwordScrambleWithSalt("Secret", "KM");
  EXPECT_TRUE(passwordMatches("Secret", stored));
  EXPECT_FALSE(passwordMatches("secret", stored));
  EXPECT_FALSE(passwordMatches("Secret ", stored));
  EXPECT_FALSE(passwordMatches("", stored));
}

TEST(PasswordScramble, EmptyAndHandEditedStoredTexts) {
  EXPECT_EQ(passwordUnscrambleBytes(""), "");
  EXPECT_TRUE(passwordMatches("", ""));
  EXPECT_EQ(passwordScrambleWithSalt("", "XY"), "XY");  // the empty password: the salt alone
  EXPECT_TRUE(passwordMatches("", "XY"));
  EXPECT_TRUE(passwordMatches("", "X"));
  // Lower-case letters read as their capitals; other characters and an odd length still
  // give bytes, never a crash.
  EXPECT_EQ(passwordUnscrambleBytes("abjiiebd"), passwordUnscrambleBytes("abJIIEBD"));
  for (const char* edited : {"AB1", "AB!!", "ABZZZZ", "AB\xD6\xD0", "ABJIIEB"}) {
    EXPECT_FALSE(passwordMatches("abc", edited)) << edited;
  }
}

}  // namespace
}  // namespace zv
