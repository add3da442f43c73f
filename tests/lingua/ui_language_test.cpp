#include "lingua/ui_language.h"

#include <gtest/gtest.h>

#include "lingua/language_interface.h"
#include "lingua_plugin.h"

namespace lingua {
namespace {

TEST(UiLanguage, LocaleNamesGiveLanguageNumbers) {
  const struct {
    const char* locale;
    int number;
  } cases[] = {
      {"en_US.UTF-8", kLanguageEnglish},
      {"en", kLanguageEnglish},
      {"zh_CN.GB2312", kLanguageChineseSimplified},
      {"zh_SG", kLanguageChineseSimplified},
      {"zh", kLanguageChineseSimplified},
      {"zh-Hans", kLanguageChineseSimplified},
      {"zh_TW.UTF-8", kLanguageChineseTraditional},
      {"zh_HK.UTF-8", kLanguageChineseTraditional},
      {"zh_MO", kLanguageChineseTraditional},
      {"zh_Hant", kLanguageChineseTraditional},
      {"zh-Hant-TW", kLanguageChineseTraditional},
      {"de_DE@euro", 0x07},
      {"pt_BR.UTF-8", 0x16},
      {"ja_JP.eucJP", 0x11},
      {"fil_PH", 0x64},
      {"C", kLanguageEnglish},
      {"POSIX", kLanguageEnglish},
      {"", kLanguageEnglish},
      {"xx_YY", kLanguageEnglish},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AutomaticLanguageNumber(LanguageIdFromLocaleName(c.locale)), c.number) << c.locale;
  }
}

TEST(UiLanguage, ChineseIdentifiersKeepTheirSublanguage) {
  EXPECT_EQ(LanguageIdFromLocaleName("zh_TW"), 0x0404);
  EXPECT_EQ(LanguageIdFromLocaleName("zh_CN"), 0x0804);
  EXPECT_EQ(LanguageIdFromLocaleName("zh_HK"), 0x0C04);
  EXPECT_EQ(LanguageIdFromLocaleName("zh_SG"), 0x1004);
  EXPECT_EQ(LanguageIdFromLocaleName("zh_MO"), 0x1404);
  EXPECT_EQ(AutomaticLanguageNumber(0x0004), kLanguageChineseTraditional);  // no region given
}

TEST(UiLanguage, EnvironmentPrecedence) {
  using lingua_test::ScopedLocale;
  {
    ScopedLocale locale({{"LANGUAGE", "::zh_TW:en"}, {"LC_ALL", "de_DE"}});
    EXPECT_EQ(UserDefaultUiLanguage(), LanguageIdFromLocaleName("zh_TW"));
  }
  {
    ScopedLocale locale({{"LANGUAGE", ""}, {"LC_ALL", "ja_JP"}, {"LC_MESSAGES", "de_DE"}, {"LANG", "fr_FR"}});
    EXPECT_EQ(PrimaryLanguageOf(UserDefaultUiLanguage()), 0x11);
  }
  {
    ScopedLocale locale({{"LC_MESSAGES", "de_DE"}, {"LANG", "fr_FR"}});
    EXPECT_EQ(PrimaryLanguageOf(UserDefaultUiLanguage()), 0x07);
  }
  {
    ScopedLocale locale({});
    EXPECT_EQ(PrimaryLanguageOf(UserDefaultUiLanguage()), kLanguageEnglish);
  }
}

}  // namespace
}  // namespace lingua
