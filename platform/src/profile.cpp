#include "platform/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/paths.h"
#include "platform/text.h"
#include "profile_document.h"

namespace platform {
namespace {

using detail::ProfileDocument;

// Text of the leading number, the way the profile functions read integers:
// blanks, an optional sign, then decimal digits or a 0x/0o/0b prefixed run.
// Parsing stops at the first character that does not belong; overflow wraps.
int ParseLeadingInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  unsigned base = 10;
  if (i + 1 < text.size() && text[i] == '0') {
    const char prefix = ToLowerAscii(text[i + 1]);
    if (prefix == 'x') base = 16;
    if (prefix == 'o') base = 8;
    if (prefix == 'b') base = 2;
    if (base != 10) i += 2;
  }
  uint32_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = ToLowerAscii(text[i]);
    unsigned digit = 0;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
    else break;
    if (digit >= base) break;
    value = value * base + digit;
  }
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

// A value enclosed in one pair of matching quotes loses them.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Copies one string; cut strings report size - 1.
template <typename Char>
uint32_t CopyString(std::basic_string_view<Char> text, Char* buffer, uint32_t size) {
  if (!buffer || size == 0) return 0;
  const uint32_t count = text.size() < size ? static_cast<uint32_t>(text.size()) : size - 1;
  text.copy(buffer, count);
  buffer[count] = 0;
  return count;
}

// Copies a list of NUL-terminated strings ended by a second NUL; cut lists
// report size - 2 and still end with two NULs.
template <typename Char>
uint32_t CopyList(const std::vector<std::basic_string<Char>>& items, Char* buffer, uint32_t size) {
  if (!buffer || size == 0) return 0;
  if (size == 1) {
    buffer[0] = 0;
    return 0;
  }
  uint32_t used = 0;
  for (const auto& item : items) {
    for (Char c : item) {
      if (used + 2 >= size) {
        buffer[size - 2] = 0;
        buffer[size - 1] = 0;
        return size - 2;
      }
      buffer[used++] = c;
    }
    if (used + 2 >= size) {
      buffer[size - 2] = 0;
      buffer[size - 1] = 0;
      return size - 2;
    }
    buffer[used++] = 0;
  }
  buffer[used] = 0;
  return used;
}

std::vector<std::u16string> ToUtf16(const std::vector<std::string>& items) {
  std::vector<std::u16string> out;
  out.reserve(items.size());
  for (const auto& item : items) out.push_back(Utf8ToUtf16(item));
  return out;
}

std::string Narrow(const char16_t* text) { return text ? Utf16ToUtf8(text) : std::string(); }

// The value GetPrivateProfileString returns for one key, before it is cut
// to the caller's buffer.
std::string LookupString(const ProfileDocument& doc, const char* section, const char* key, const char* defaultValue) {
  if (const detail::ProfileLine* entry = doc.FindEntry(section, key)) return std::string(Unquote(entry->value));
  // The default loses its trailing blanks, as the callers have always seen it.
  std::string_view fallback = defaultValue ? defaultValue : "";
  while (!fallback.empty() && (fallback.back() == ' ' || fallback.back() == '\t')) fallback.remove_suffix(1);
  return std::string(fallback);
}

std::vector<std::string> LookupList(const ProfileDocument& doc, const char* section) {
  return section ? doc.KeyNames(section) : doc.SectionNames();
}

// Writes the bytes to a temporary file beside the target and renames it
// over the target, so a reader never sees half a file. The target keeps its
// permissions; a link is followed to the file it names.
bool ReplaceFileContents(const std::string& path, const std::string& bytes) {
  std::string target = path;
  if (char* resolved = realpath(path.c_str(), nullptr)) {
    target = resolved;
    free(resolved);
  }
  mode_t mode = 0644;
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) mode = info.st_mode & 07777;

  std::string temp = target + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n <= 0) break;
    written += static_cast<size_t>(n);
  }
  const bool ok = written == bytes.size() && fchmod(fd, mode) == 0 && fsync(fd) == 0;
  close(fd);
  if (!ok || rename(temp.c_str(), target.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}

std::mutex& WriteMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

int GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, const char* path) {
  if (!section || !key || !path) return defaultValue;
  const ProfileDocument doc = ProfileDocument::Load(path);
  const detail::ProfileLine* entry = doc.FindEntry(section, key);
  if (!entry) return defaultValue;
  const std::string_view value = Unquote(entry->value);
  return value.empty() ? defaultValue : ParseLeadingInteger(value);
}

uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                                  uint32_t size, const char* path) {
  const ProfileDocument doc = path ? ProfileDocument::Load(path) : ProfileDocument();
  if (!section || !key) return CopyList(LookupList(doc, section), buffer, size);
  return CopyString(std::string_view(LookupString(doc, section, key, defaultValue)), buffer, size);
}

uint32_t GetPrivateProfileSectionA(const char* section, char* buffer, uint32_t size, const char* path) {
  if (!section || !path) return CopyList(std::vector<std::string>(), buffer, size);
  return CopyList(ProfileDocument::Load(path).SectionLines(section), buffer, size);
}

bool WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* path) {
  if (!section || !path) return false;
  std::lock_guard<std::mutex> lock(WriteMutex());
  ProfileDocument doc = ProfileDocument::Load(path);
  if (!key) {
    doc.RemoveSection(section);
  } else if (!value) {
    doc.RemoveKey(section, key);
  } else {
    doc.SetValue(section, key, value);
  }
  return ReplaceFileContents(path, doc.Serialize());
}

int GetPrivateProfileIntW(const char16_t* section, const char16_t* key, int defaultValue, const char16_t* path) {
  if (!section || !key || !path) return defaultValue;
  return GetPrivateProfileIntA(Narrow(section).c_str(), Narrow(key).c_str(), defaultValue, Narrow(path).c_str());
}

uint32_t GetPrivateProfileStringW(const char16_t* section, const char16_t* key, const char16_t* defaultValue,
                                  char16_t* buffer, uint32_t size, const char16_t* path) {
  const ProfileDocument doc = path ? ProfileDocument::Load(Narrow(path)) : ProfileDocument();
  if (!section || !key) return CopyList(ToUtf16(LookupList(doc, section ? Narrow(section).c_str() : nullptr)), buffer, size);
  const std::string fallback = Narrow(defaultValue);
  const std::u16string value =
      Utf8ToUtf16(LookupString(doc, Narrow(section).c_str(), Narrow(key).c_str(), fallback.c_str()));
  return CopyString(std::u16string_view(value), buffer, size);
}

uint32_t GetPrivateProfileSectionW(const char16_t* section, char16_t* buffer, uint32_t size, const char16_t* path) {
  if (!section || !path) return CopyList(std::vector<std::u16string>(), buffer, size);
  return CopyList(ToUtf16(ProfileDocument::Load(Narrow(path)).SectionLines(Narrow(section))), buffer, size);
}

bool WritePrivateProfileStringW(const char16_t* section, const char16_t* key, const char16_t* value,
                                const char16_t* path) {
  if (!section || !path) return false;
  const std::string k = Narrow(key), v = Narrow(value);
  return WritePrivateProfileStringA(Narrow(section).c_str(), key ? k.c_str() : nullptr, value ? v.c_str() : nullptr,
                                    Narrow(path).c_str());
}

std::string ReadProfileString(const std::string& section, const std::string& key, const std::string& defaultValue,
                              const std::string& path) {
  return LookupString(ProfileDocument::Load(path), section.c_str(), key.c_str(), defaultValue.c_str());
}

}  // namespace platform
