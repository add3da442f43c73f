// Behaviour of both builds of the language plug-in: language choice, line
// rules, bounds and reloading.

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>

#include "lingua_plugin.h"
#include "temp_folder.h"

namespace lingua_test {
namespace {

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// One text per language section, so the chosen section shows in text 0.
std::string ThreeLanguageFile(int option) {
  return "[Option]\nOption=" + std::to_string(option) +
         "\n9=English\n4=Simplified\n31748=Traditional\n7=German\n"
         "[English]\n0=english\n[Simplified]\n0=简体\n[Traditional]\n0=繁體\n";
}

class PluginTest : public ::testing::TestWithParam<std::shared_ptr<LinguaPlugin>> {
 protected:
  void SetUp() override { ASSERT_TRUE(GetParam()->Loaded()) << GetParam()->Name() << ": " << dlerror(); }
  void TearDown() override {
    std::remove(OverridePath().c_str());
    std::remove(platform::ProgramFolderFile("bare_name_test.osd").c_str());
  }
  static std::string OverridePath() { return platform::ProgramFolderFile("lanid.osd"); }
  std::string Fixture(const std::string& name, const std::string& content) {
    WriteFile(folder_.File(name), content);
    return folder_.File(name);
  }

  TempFolder folder_{"plugin"};
};

struct ChoiceCase {
  const char* what;
  int fileOption;
  const char* overrideFile;  // content of lanid.osd, null for none
  std::vector<std::pair<const char*, const char*>> locale;
  const char* expected;  // text 0 of the chosen section
};

TEST_P(PluginTest, ChoosesLanguageFromFileOverrideAndLocale) {
  const std::vector<ChoiceCase> cases = {
      {"file names English", 9, nullptr, {{"LC_ALL", "zh_CN.UTF-8"}}, "english"},
      {"override wins over the file", 9, "[Option]\nOption=4\n", {{"LC_ALL", "en_US.UTF-8"}}, "简体"},
      {"override without key means automatic", 9, "[Option]\n", {{"LC_ALL", "zh_TW.UTF-8"}}, "繁體"},
      {"Taiwan", 0, nullptr, {{"LANG", "zh_TW.UTF-8"}}, "繁體"},
      {"Hong Kong", 0, nullptr, {{"LC_MESSAGES", "zh_HK"}}, "繁體"},
      {"Singapore", 0, nullptr, {{"LANG", "zh_SG.GBK"}}, "简体"},
      {"mainland", 0, nullptr, {{"LANG", "zh_CN.UTF-8"}}, "简体"},
      {"LANGUAGE comes first", 0, nullptr, {{"LANGUAGE", "zh_TW:en"}, {"LANG", "en_US.UTF-8"}}, "繁體"},
      {"listed language without its section", 0, nullptr, {{"LANG", "de_DE.UTF-8"}}, ""},
      {"unlisted language falls back to English", 0, nullptr, {{"LANG", "fr_FR.UTF-8"}}, "english"},
      {"C locale", 0, nullptr, {{"LANG", "C"}}, "english"},
      {"number without entry falls back to English", 5, nullptr, {}, "english"},
  };
  for (const ChoiceCase& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedLocale locale(c.locale);
    std::remove(OverridePath().c_str());
    if (c.overrideFile) WriteFile(OverridePath(), c.overrideFile);
    const std::string path = Fixture("choice.osd", ThreeLanguageFile(c.fileOption));
    EXPECT_EQ(GetParam()->Load(path), 1);
    EXPECT_EQ(GetParam()->Text(0), c.expected);
  }
}

TEST_P(PluginTest, FileWithoutEnglishEntryGivesNoTexts) {
  ScopedLocale locale({{"LANG", "fr_FR.UTF-8"}});
  GetParam()->Load(Fixture("first.osd", ThreeLanguageFile(9)));
  ASSERT_EQ(GetParam()->Text(0), "english");
  GetParam()->Load(Fixture("noenglish.osd", "[Option]\nOption=0\n4=Simplified\n[Simplified]\n0=简体\n"));
  EXPECT_EQ(GetParam()->Text(0), "");
}

TEST_P(PluginTest, SectionLinesBecomeTextsInOrder) {
  ScopedLocale locale({{"LANG", "en_US.UTF-8"}});
  const std::string path = Fixture("lines.osd",
                                   "[option]\noption=9\n9=Texts\n"
                                   "[TEXTS]\n"
                                   "0=first\n"
                                   "a=b=c\n"
                                   "no equals sign\n"
                                   "key=\n"
                                   "anything=关闭\n"
                                   "[Other]\n0=not mine\n");
  GetParam()->Load(path);
  EXPECT_EQ(GetParam()->Text(0), "first");
  EXPECT_EQ(GetParam()->Text(1), "b=c");
  EXPECT_EQ(GetParam()->Text(2), "no equals sign");
  EXPECT_EQ(GetParam()->Text(3), "");
  EXPECT_EQ(GetParam()->Text(4), "关闭");
  for (int32_t outside : {-1, 5, INT32_MAX, INT32_MIN}) {
    bool isNull = true;
    EXPECT_EQ(GetParam()->Text(outside, &isNull), "") << outside;
    EXPECT_FALSE(isNull) << outside;
  }
}

TEST_P(PluginTest, UnreadableSecondFileKeepsFirstTexts) {
  ScopedLocale locale({{"LANG", "en_US.UTF-8"}});
  GetParam()->Load(Fixture("good.osd", ThreeLanguageFile(9)));
  ASSERT_EQ(GetParam()->Text(0), "english");
  EXPECT_EQ(GetParam()->Load(folder_.File("missing.osd")), 1);
  EXPECT_EQ(GetParam()->Text(0), "english");
  GetParam()->Load(Fixture("empty.osd", ""));
  EXPECT_EQ(GetParam()->Text(0), "english");
  GetParam()->Load(folder_.path());  // a folder, not a file
  EXPECT_EQ(GetParam()->Text(0), "english");
}

TEST_P(PluginTest, BareNameIsTakenFromProgramFolder) {
  ScopedLocale locale({{"LANG", "en_US.UTF-8"}});
  WriteFile(platform::ProgramFolderFile("bare_name_test.osd"), ThreeLanguageFile(4));
  GetParam()->Load("bare_name_test.osd");
  EXPECT_EQ(GetParam()->Text(0), "简体");
}

INSTANTIATE_TEST_SUITE_P(Builds, PluginTest, ::testing::ValuesIn(BothBuilds()),
                         BuildName);

TEST(PluginInterface, GetInterfaceRefillsOneStaticRecord) {
  auto wide = std::static_pointer_cast<LinguaBuild<char16_t>>(BothBuilds()[0]);
  ASSERT_TRUE(wide->Loaded());
  void* handle = dlopen(platform::JoinPath(KESTRA_BIN_DIR, lingua::kWideLibraryName).c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(handle, nullptr);
  auto getInterface = reinterpret_cast<lingua::GetInterfaceProc>(dlsym(handle, lingua::kGetInterfaceSymbol));
  auto* record = static_cast<lingua::LanguageInterfaceW*>(getInterface(nullptr));
  record->GetText = nullptr;
  EXPECT_EQ(getInterface(""), record);
  EXPECT_EQ(record, wide->Interface());
  EXPECT_NE(record->GetText, nullptr);
  EXPECT_NE(record->LoadLanguageFile, nullptr);
  dlclose(handle);
}

}  // namespace
}  // namespace lingua_test
