#pragma once
// In-memory form of one profile file: its lines as written, each classified
// once, so that lookups ignore case and blanks while a write keeps every
// untouched line byte for byte.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {

enum class LineKind { kBlank, kSection, kEntry };

struct ProfileLine {
  std::string text;   // the line as written, without its line end
  LineKind kind = LineKind::kBlank;
  std::string name;   // section or key name, trimmed
  std::string value;  // entry value, trimmed; empty for a line without '='
};

enum class FileEncoding { kUtf8, kUtf8Bom, kUtf16Le };

class ProfileDocument {
 public:
  // Missing or unreadable file: an empty document.
  static ProfileDocument Load(const std::string& path);
  static ProfileDocument Parse(std::string_view content, FileEncoding encoding);

  // Lines [begin, end) of the first section with this name (after its header).
  struct Range { size_t begin = 0, end = 0; };
  std::optional<Range> FindSection(std::string_view name) const;
  const ProfileLine* FindEntry(std::string_view section, std::string_view key) const;

  std::vector<std::string> SectionNames() const;
  std::vector<std::string> KeyNames(std::string_view section) const;
  std::vector<std::string> SectionLines(std::string_view section) const;

  void SetValue(std::string_view section, std::string_view key, std::string_view value);
  void RemoveKey(std::string_view section, std::string_view key);
  void RemoveSection(std::string_view section);

  // The file's bytes, in its original encoding and line-end style.
  std::string Serialize() const;

 private:
  size_t LastEntryLine(const Range& range) const;

  std::vector<ProfileLine> lines_;
  FileEncoding encoding_ = FileEncoding::kUtf8;
  std::string lineEnd_ = "\n";
};

ProfileLine ClassifyLine(std::string text);

}  // namespace platform::detail
