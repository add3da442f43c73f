#pragma once
// Test access to either build of the language plug-in, loaded the way its
// clients load it, with texts converted to UTF-8 for comparison.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "lingua/language_interface.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace lingua_test {

class LinguaPlugin {
 public:
  virtual ~LinguaPlugin() = default;
  virtual const char* Name() const = 0;
  virtual bool Loaded() const = 0;
  virtual int Load(const std::string& utf8Name) = 0;
  // The text in UTF-8; `isNull` set when the plug-in returned null.
  virtual std::string Text(int32_t number, bool* isNull = nullptr) = 0;
};

template <typename Char>
class LinguaBuild : public LinguaPlugin {
 public:
  explicit LinguaBuild(const char* library) : name_(library) {
    handle_ = dlopen(platform::JoinPath(KESTRA_BIN_DIR, library).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) return;
    auto getInterface = reinterpret_cast<lingua::GetInterfaceProc>(dlsym(handle_, lingua::kGetInterfaceSymbol));
    if (getInterface) interface_ = static_cast<lingua::BasicLanguageInterface<Char>*>(getInterface(""));
  }
  const char* Name() const override { return name_; }
  bool Loaded() const override { return interface_ != nullptr; }
  lingua::BasicLanguageInterface<Char>* Interface() const { return interface_; }

  int Load(const std::string& utf8Name) override {
    if constexpr (sizeof(Char) == 2) {
      return interface_->LoadLanguageFile(platform::Utf8ToUtf16(utf8Name).c_str());
    } else {
      return interface_->LoadLanguageFile(utf8Name.c_str());
    }
  }
  std::string Text(int32_t number, bool* isNull) override {
    const Char* text = interface_->GetText(number);
    if (isNull) *isNull = text == nullptr;
    if (!text) return {};
    if constexpr (sizeof(Char) == 2) {
      return platform::Utf16ToUtf8(text);
    } else {
      return text;
    }
  }

 private:
  const char* name_;
  void* handle_ = nullptr;  // kept loaded: the plug-in is never unloaded by its clients
  lingua::BasicLanguageInterface<Char>* interface_ = nullptr;
};

inline std::vector<std::shared_ptr<LinguaPlugin>> BothBuilds() {
  static const std::vector<std::shared_ptr<LinguaPlugin>> builds = {
      std::make_shared<LinguaBuild<char16_t>>(lingua::kWideLibraryName),
      std::make_shared<LinguaBuild<char>>(lingua::kNarrowLibraryName)};
  return builds;
}

// Test name suffix of a build: "wide" or "narrow".
inline std::string BuildName(const ::testing::TestParamInfo<std::shared_ptr<LinguaPlugin>>& info) {
  return std::string(info.param->Name()).find("_asc") != std::string::npos ? "narrow" : "wide";
}

// Sets the locale environment to exactly the given variables and restores
// what was there when it goes out of scope.
class ScopedLocale {
 public:
  using Values = std::vector<std::pair<const char*, const char*>>;
  explicit ScopedLocale(std::initializer_list<std::pair<const char*, const char*>> values)
      : ScopedLocale(Values(values)) {}
  explicit ScopedLocale(const Values& values) {
    for (const char* name : kVariables) {
      const char* old = std::getenv(name);
      saved_.emplace_back(name, old ? std::make_unique<std::string>(old) : nullptr);
      unsetenv(name);
    }
    for (const auto& [name, value] : values) setenv(name, value, 1);
  }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;
  ~ScopedLocale() {
    for (const auto& [name, value] : saved_) {
      if (value) setenv(name, value->c_str(), 1);
      else unsetenv(name);
    }
  }

 private:
  static constexpr const char* kVariables[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
  std::vector<std::pair<const char*, std::unique_ptr<std::string>>> saved_;
};

}  // namespace lingua_test
