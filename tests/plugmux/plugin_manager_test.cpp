#include "plugmux/plugin_manager.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "lingua/language_interface.h"
#include "platform/paths.h"

namespace plugmux {
namespace {

constexpr const char* kLanguagePluginId = "117670F-EA5B-46CD-83EF-202D7528D532";

std::string BinFile(const char* name) { return platform::JoinPath(KESTRA_BIN_DIR, name); }

PluginDescriptor MakeDescriptor(const std::string& id, const std::string& path) {
  PluginDescriptor descriptor;
  memset(&descriptor, 0, sizeof(descriptor));
  strncpy(descriptor.id, id.c_str(), kPluginIdSize - 1);
  strncpy(descriptor.path, path.c_str(), kPluginPathSize - 1);
  return descriptor;
}

class PluginManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    void* library = dlopen(BinFile(kLibraryName).c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto getPluginMan = reinterpret_cast<GetPluginManProc>(dlsym(library, kGetPluginManSymbol));
    ASSERT_NE(getPluginMan, nullptr);
    manager_ = getPluginMan();
    ASSERT_NE(manager_, nullptr);
    ASSERT_NE(manager_->RegisterPlugin, nullptr);
    ASSERT_NE(manager_->GetPluginInterface, nullptr);
  }

  PluginManager* manager_ = nullptr;
};

TEST_F(PluginManagerTest, RecordedPluginServesItsLanguageInterface) {
  const PluginDescriptor descriptor = MakeDescriptor(kLanguagePluginId, BinFile(lingua::kNarrowLibraryName));
  ASSERT_EQ(manager_->RegisterPlugin(&descriptor), 1);

  auto* language = static_cast<lingua::LanguageInterfaceA*>(manager_->GetPluginInterface(kLanguagePluginId));
  ASSERT_NE(language, nullptr);
  const std::string file = platform::ProgramFolderFile("plugmux_test.osd");
  std::ofstream(file) << "[Option]\nOption=9\n9=Texts\n[Texts]\n0=Cancel\n";
  EXPECT_EQ(language->LoadLanguageFile(file.c_str()), 1);
  EXPECT_STREQ(language->GetText(0), "Cancel");
  std::remove(file.c_str());

  EXPECT_EQ(manager_->GetPluginInterface("117670f-ea5b-46cd-83ef-202d7528d532"), language);
}

TEST_F(PluginManagerTest, UnknownOrUnloadablePluginsGiveNull) {
  EXPECT_EQ(manager_->GetPluginInterface(nullptr), nullptr);
  EXPECT_EQ(manager_->GetPluginInterface("never-recorded"), nullptr);

  const PluginDescriptor missing = MakeDescriptor("missing", BinFile("libno_such_plugin.so"));
  EXPECT_EQ(manager_->RegisterPlugin(&missing), 1);
  EXPECT_EQ(manager_->GetPluginInterface("missing"), nullptr);

  // A loadable library that is not a plug-in.
  const PluginDescriptor foreign = MakeDescriptor("foreign", BinFile("libkestra_platform.so"));
  EXPECT_EQ(manager_->RegisterPlugin(&foreign), 1);
  EXPECT_EQ(manager_->GetPluginInterface("foreign"), nullptr);

  // Recording the id again with a good path mends it.
  const PluginDescriptor mended = MakeDescriptor("missing", BinFile(lingua::kNarrowLibraryName));
  EXPECT_EQ(manager_->RegisterPlugin(&mended), 1);
  EXPECT_NE(manager_->GetPluginInterface("missing"), nullptr);
}

TEST_F(PluginManagerTest, MalformedDescriptorsAreRejected) {
  EXPECT_EQ(manager_->RegisterPlugin(nullptr), 0);

  PluginDescriptor emptyId = MakeDescriptor("", BinFile(lingua::kNarrowLibraryName));
  PluginDescriptor emptyPath = MakeDescriptor("empty-path", "");
  PluginDescriptor longId = MakeDescriptor("long-id", BinFile(lingua::kNarrowLibraryName));
  memset(longId.id, 'x', kPluginIdSize);  // no terminating NUL inside the field
  PluginDescriptor longPath = MakeDescriptor("long-path", "");
  memset(longPath.path, '/', kPluginPathSize);
  for (const PluginDescriptor* descriptor : {&emptyId, &emptyPath, &longId, &longPath}) {
    EXPECT_EQ(manager_->RegisterPlugin(descriptor), 0);
  }
  EXPECT_EQ(manager_->GetPluginInterface("empty-path"), nullptr);
  EXPECT_EQ(manager_->GetPluginInterface("long-path"), nullptr);
}

}  // namespace
}  // namespace plugmux
