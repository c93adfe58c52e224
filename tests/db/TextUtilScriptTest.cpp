#include "db/ScriptTransform.h"

#include <gtest/gtest.h>

namespace kov {
namespace {

constexpr ScriptOptions kGreek{false, false, false};
constexpr ScriptOptions kGreekFinal{false, false, true};
constexpr ScriptOptions kGreekTranslit{false, true, false};
constexpr ScriptOptions kGreekBoth{false, true, true};
constexpr ScriptOptions kHebrew{true, false, false};
constexpr ScriptOptions kHebrewFinal{true, false, true};
constexpr ScriptOptions kHebrewTranslit{true, true, false};

struct ApplyCase {
  const char* text;
  ScriptOptions options;
  const char* expected;
};

TEST(TextUtilScript, ApplyGivesTheSameInBothForms) {
  const ApplyCase cases[] = {
      {"logos", kGreekFinal, "logoV"},
      {"logos<b>", kGreekFinal, "logoV<b>"},
      {"<b>logos</b>", kGreekFinal, "<b>logoV</b>"},
      {"s", kGreekFinal, "s"},
      {"logon", kGreekFinal, "logon"},
      {"logos", kGreek, "logos"},
      {"logos", kHebrewFinal, "logos"},
      {"logos", kGreekTranslit, "logos"},
      {"qeos", kGreekTranslit, "theos"},
      {"yuch", kGreekTranslit, "psuchE"},
      {"<b>qw</b>", kGreekTranslit, "<b>thO</b>"},
      {"logos", kGreekBoth, "logos"},
      {"xesed", kHebrewTranslit, "chesed"},
      {"dabar", kHebrewTranslit, "dabar"},
      {"ywk", kHebrewTranslit, "tzshk"},
      {"melK", kHebrewTranslit, "melk"},
      {"KMNPY", kHebrewTranslit, "kmnphtz"},
      {"melk", kHebrew, "melk"},
      {"", kGreekFinal, ""},
  };
  for (const ApplyCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(applyScriptOptions(std::string(c.text), c.options), c.expected);
    EXPECT_EQ(applyScriptOptions(QString::fromLatin1(c.text), c.options),
              QString::fromLatin1(c.expected));
  }
}

TEST(TextUtilScript, UndoRestoresStoredForm) {
  const ApplyCase cases[] = {
      {"psuchE", kGreekTranslit, "yuch"},
      {"theos", kGreekTranslit, "qeos"},
      {"chesed", kHebrewTranslit, "xesed"},
      {"tzshk", kHebrewTranslit, "ywk"},
      {"logoV", kGreekFinal, "logos"},
      {"VlogoV", kGreekFinal, "Vlogos"},
      {"logoV<b>", kGreekFinal, "logoV<b>"},  // tags are not skipped on the way back
      {"logoV", kGreek, "logoV"},
      {"logoV", kHebrewFinal, "logoV"},
      {"psuchE", kHebrewTranslit, "psuxE"},  // Hebrew has no "ps" group and no "E"
      {"", kGreekTranslit, ""},
  };
  for (const ApplyCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(undoScriptOptions(c.text, c.options), c.expected);
  }
}

TEST(TextUtilScript, RoundTripsExceptHebrewFinals) {
  const ApplyCase cases[] = {
      {"qeos", kGreekTranslit, nullptr},   {"yuch", kGreekTranslit, nullptr},
      {"cariV", kGreekTranslit, nullptr},  {"logos", kGreekFinal, nullptr},
      {"xesed", kHebrewTranslit, nullptr}, {"hwpy", kHebrewTranslit, nullptr},
  };
  for (const ApplyCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(undoScriptOptions(applyScriptOptions(std::string(c.text), c.options), c.options),
              c.text);
  }
  // Final forms are not made back: the transliterated "k" of a final kaf stays "k".
  EXPECT_EQ(undoScriptOptions(applyScriptOptions(std::string("melK"), kHebrewTranslit),
                              kHebrewTranslit),
            "melk");
}

TEST(TextUtilScript, ShortFormsAreCutAt255) {
  const std::string longWord(200, 'q');
  EXPECT_EQ(applyScriptOptions(longWord, kGreekTranslit).size(), 255u);
  EXPECT_EQ(applyScriptOptions(QString::fromStdString(longWord), kGreekTranslit).size(), 400);
  EXPECT_EQ(undoScriptOptions(std::string(300, 'a'), kGreekTranslit).size(), 255u);
}

TEST(TextUtilScript, FlipWord) {
  const std::pair<const char*, const char*> cases[] = {
      {"abc", "cba"},   {"12ab", "12ab"},   {"", ""},
      {"a", "a"},       {"<b>ab", "ba>b<"}, {"ab 3", "3 ba"},
  };
  for (const auto& [in, out] : cases) {
    SCOPED_TRACE(in);
    EXPECT_EQ(flipWord(std::string(in)), out);
    EXPECT_EQ(flipWord(QString::fromLatin1(in)), QString::fromLatin1(out));
  }
  // A character outside the basic plane stays one character.
  const QString wide = QString::fromUcs4(U"\U0001D400x");
  EXPECT_EQ(flipWord(wide), QString::fromUcs4(U"x\U0001D400"));
}

}  // namespace
}  // namespace kov
