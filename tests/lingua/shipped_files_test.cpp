// The language files shipped in the program folder: every text number the
// programs read exists, non-empty, in every language, and the texts that
// the programs use as file names or formats are usable as such.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>

#include "lingua_plugin.h"

namespace lingua_test {
namespace {

struct ShippedFile {
  const char* name;
  int32_t count;  // texts 0 .. count - 1 are read by the programs
};

constexpr ShippedFile kShippedFiles[] = {{"kestraui.osd", 63}, {"Kalibro.osd", 13}, {"renovo.osd", 8}};
constexpr int kShippedLanguages[] = {9, 4, 31748};

std::string ShippedPath(const char* name) { return platform::JoinPath(KESTRA_BIN_DIR, name); }

class ShippedFilesTest : public ::testing::TestWithParam<std::shared_ptr<LinguaPlugin>> {
 protected:
  void SetUp() override { ASSERT_TRUE(GetParam()->Loaded()) << GetParam()->Name(); }
  void TearDown() override { std::remove(platform::ProgramFolderFile("lanid.osd").c_str()); }

  // All texts of one file in one language, chosen through lanid.osd.
  std::vector<std::string> Texts(const ShippedFile& file, int language) {
    std::ofstream(platform::ProgramFolderFile("lanid.osd")) << "[Option]\nOption=" << language << "\n";
    GetParam()->Load(ShippedPath(file.name));
    std::vector<std::string> texts;
    for (int32_t n = 0; n <= file.count; ++n) texts.push_back(GetParam()->Text(n));
    return texts;
  }
};

TEST_P(ShippedFilesTest, EveryLanguageHasEveryTextNumber) {
  for (const ShippedFile& file : kShippedFiles) {
    std::set<std::vector<std::string>> distinct;
    for (int language : kShippedLanguages) {
      SCOPED_TRACE(std::string(file.name) + " language " + std::to_string(language));
      const std::vector<std::string> texts = Texts(file, language);
      for (int32_t n = 0; n < file.count; ++n) EXPECT_FALSE(texts[n].empty()) << "text " << n;
      EXPECT_TRUE(texts[file.count].empty()) << "the section has more lines than the programs read";
      distinct.insert(texts);
    }
    EXPECT_EQ(distinct.size(), std::size(kShippedLanguages)) << file.name << ": languages share a section";
  }
}

TEST_P(ShippedFilesTest, HelpDocumentOfEachLanguageIsStaged) {
  for (int language : kShippedLanguages) {
    const std::string help = Texts(kShippedFiles[0], language)[51];
    EXPECT_TRUE(platform::FileExists(ShippedPath(help.c_str()))) << help;
  }
}

// Text 6 of the calibration tool is a format filled with three floating
// point values; anything else would read past its arguments.
TEST_P(ShippedFilesTest, CalibrationInfoFormatTakesThreeFloats) {
  for (int language : kShippedLanguages) {
    const std::string format = Texts(kShippedFiles[1], language)[6];
    int conversions = 0;
    for (size_t i = 0; i < format.size(); ++i) {
      if (format[i] != '%') continue;
      size_t end = format.find_first_not_of("0123456789.-+ #", i + 1);
      ASSERT_NE(end, std::string::npos) << format;
      ASSERT_NE(std::string("fFeEgG").find(format[end]), std::string::npos) << format;
      ++conversions;
      i = end;
    }
    EXPECT_EQ(conversions, 3) << format;
  }
}

INSTANTIATE_TEST_SUITE_P(Builds, ShippedFilesTest, ::testing::ValuesIn(BothBuilds()),
                         BuildName);

}  // namespace
}  // namespace lingua_test
