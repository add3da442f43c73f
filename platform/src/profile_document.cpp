#include "profile_document.h"

#include "platform/file_io.h"
#include "platform/text.h"

namespace platform::detail {
namespace {

std::string DecodeUtf16Le(std::string_view bytes) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units += static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8));
  }
  return Utf16ToUtf8(units);
}

std::string EncodeUtf16Le(std::string_view utf8) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : Utf8ToUtf16(utf8)) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

}  // namespace

ProfileLine ClassifyLine(std::string text) {
  ProfileLine line;
  line.text = std::move(text);
  const std::string_view trimmed = TrimBlanks(line.text);
  if (trimmed.empty()) {
    line.kind = LineKind::kBlank;
  } else if (trimmed.front() == '[') {
    line.kind = LineKind::kSection;
    const std::string_view inner = trimmed.substr(1);
    line.name = std::string(TrimBlanks(inner.substr(0, inner.find(']'))));
  } else {
    line.kind = LineKind::kEntry;
    const size_t equals = trimmed.find('=');
    line.name = std::string(TrimBlanks(trimmed.substr(0, equals)));
    if (equals != std::string_view::npos) line.value = std::string(TrimBlanks(trimmed.substr(equals + 1)));
  }
  return line;
}

ProfileDocument ProfileDocument::Load(const std::string& path) {
  std::string bytes;
  if (!ReadFileBytes(path, &bytes)) return {};
  if (bytes.starts_with("\xFF\xFE")) return Parse(DecodeUtf16Le(std::string_view(bytes).substr(2)), FileEncoding::kUtf16Le);
  if (bytes.starts_with("\xEF\xBB\xBF")) return Parse(std::string_view(bytes).substr(3), FileEncoding::kUtf8Bom);
  return Parse(bytes, FileEncoding::kUtf8);
}

ProfileDocument ProfileDocument::Parse(std::string_view content, FileEncoding encoding) {
  ProfileDocument doc;
  doc.encoding_ = encoding;
  const size_t firstEnd = content.find('\n');
  if (firstEnd != std::string_view::npos && firstEnd > 0 && content[firstEnd - 1] == '\r') doc.lineEnd_ = "\r\n";

  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    std::string_view text = content.substr(start, end - start);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    doc.lines_.push_back(ClassifyLine(std::string(text)));
    start = end + 1;
  }
  return doc;
}

std::optional<ProfileDocument::Range> ProfileDocument::FindSection(std::string_view name) const {
  const std::string_view wanted = TrimBlanks(name);
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind != LineKind::kSection || !EqualsIgnoreCase(lines_[i].name, wanted)) continue;
    size_t end = i + 1;
    while (end < lines_.size() && lines_[end].kind != LineKind::kSection) ++end;
    return Range{i + 1, end};
  }
  return std::nullopt;
}

const ProfileLine* ProfileDocument::FindEntry(std::string_view section, std::string_view key) const {
  const auto range = FindSection(section);
  if (!range) return nullptr;
  const std::string_view wanted = TrimBlanks(key);
  for (size_t i = range->begin; i < range->end; ++i) {
    if (lines_[i].kind == LineKind::kEntry && EqualsIgnoreCase(lines_[i].name, wanted)) return &lines_[i];
  }
  return nullptr;
}

std::vector<std::string> ProfileDocument::SectionNames() const {
  std::vector<std::string> names;
  for (const ProfileLine& line : lines_) {
    if (line.kind == LineKind::kSection) names.push_back(line.name);
  }
  return names;
}

std::vector<std::string> ProfileDocument::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  if (const auto range = FindSection(section)) {
    for (size_t i = range->begin; i < range->end; ++i) {
      if (lines_[i].kind == LineKind::kEntry) names.push_back(lines_[i].name);
    }
  }
  return names;
}

std::vector<std::string> ProfileDocument::SectionLines(std::string_view section) const {
  std::vector<std::string> texts;
  if (const auto range = FindSection(section)) {
    for (size_t i = range->begin; i < range->end; ++i) {
      if (lines_[i].kind == LineKind::kEntry) texts.emplace_back(TrimBlanks(lines_[i].text));
    }
  }
  return texts;
}

size_t ProfileDocument::LastEntryLine(const Range& range) const {
  size_t last = range.begin - 1;  // the header itself when the section is empty
  for (size_t i = range.begin; i < range.end; ++i) {
    if (lines_[i].kind == LineKind::kEntry) last = i;
  }
  return last;
}

void ProfileDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  const std::string keyName(TrimBlanks(key));
  const auto range = FindSection(section);
  if (!range) {
    if (!lines_.empty() && lines_.back().kind != LineKind::kBlank) lines_.push_back(ClassifyLine(""));
    lines_.push_back(ClassifyLine("[" + std::string(TrimBlanks(section)) + "]"));
    lines_.push_back(ClassifyLine(keyName + "=" + std::string(value)));
    return;
  }
  for (size_t i = range->begin; i < range->end; ++i) {
    if (lines_[i].kind == LineKind::kEntry && EqualsIgnoreCase(lines_[i].name, keyName)) {
      lines_[i] = ClassifyLine(lines_[i].name + "=" + std::string(value));  // keeps the key's own spelling
      return;
    }
  }
  const size_t after = LastEntryLine(*range);
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after + 1), ClassifyLine(keyName + "=" + std::string(value)));
}

void ProfileDocument::RemoveKey(std::string_view section, std::string_view key) {
  const auto range = FindSection(section);
  if (!range) return;
  for (size_t i = range->begin; i < range->end; ++i) {
    if (lines_[i].kind == LineKind::kEntry && EqualsIgnoreCase(lines_[i].name, TrimBlanks(key))) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
  }
}

void ProfileDocument::RemoveSection(std::string_view section) {
  while (const auto range = FindSection(section)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->begin - 1),
                 lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
  }
}

std::string ProfileDocument::Serialize() const {
  std::string text;
  for (const ProfileLine& line : lines_) {
    text += line.text;
    text += lineEnd_;
  }
  switch (encoding_) {
    case FileEncoding::kUtf16Le: return EncodeUtf16Le(text);
    case FileEncoding::kUtf8Bom: return "\xEF\xBB\xBF" + text;
    case FileEncoding::kUtf8: break;
  }
  return text;
}

}  // namespace platform::detail
