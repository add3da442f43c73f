#include "attributes.h"

namespace dui::attr {
namespace {

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + 32 : c; }

// Reads up to `count` comma-separated integers.
std::vector<int> Numbers(const char16_t* value, size_t count) {
  std::vector<int> numbers(count, 0);
  if (!value) return numbers;
  size_t index = 0;
  const char16_t* p = value;
  while (*p && index < count) {
    while (*p == u' ') ++p;
    bool negative = false;
    if (*p == u'-') {
      negative = true;
      ++p;
    }
    int number = 0;
    while (*p >= u'0' && *p <= u'9') number = number * 10 + (*p++ - u'0');
    numbers[index++] = negative ? -number : number;
    while (*p && *p != u',') ++p;
    if (*p == u',') ++p;
  }
  return numbers;
}

}  // namespace

std::u16string ToLower(std::u16string_view text) {
  std::u16string lower(text);
  for (char16_t& c : lower) c = Lower(c);
  return lower;
}

bool Is(const char16_t* name, const char16_t* expected) {
  if (!name || !expected) return false;
  while (*name && *expected && Lower(*name) == Lower(*expected)) {
    ++name;
    ++expected;
  }
  return *name == 0 && *expected == 0;
}

bool ParseBool(const char16_t* value) { return Is(value, u"true") || Is(value, u"1"); }

int ParseInt(const char16_t* value) { return Numbers(value, 1)[0]; }

DWORD ParseColor(const char16_t* value) {
  if (!value) return 0;
  while (*value == u' ') ++value;
  size_t skip = 0;
  if (value[0] == u'#') skip = 1;
  else if (value[0] == u'0' && (value[1] == u'x' || value[1] == u'X')) skip = 2;
  else return 0;
  DWORD color = 0;
  size_t digits = 0;
  for (const char16_t* p = value + skip; *p; ++p, ++digits) {
    const char16_t c = Lower(*p);
    int v = -1;
    if (c >= u'0' && c <= u'9') v = c - u'0';
    if (c >= u'a' && c <= u'f') v = c - u'a' + 10;
    if (v < 0) break;
    color = (color << 4) | static_cast<DWORD>(v);
  }
  if (digits == 6) color |= 0xFF000000;
  return (digits == 6 || digits == 8) ? color : 0;
}

RECT ParseRect(const char16_t* value) {
  const std::vector<int> n = Numbers(value, 4);
  return {n[0], n[1], n[2], n[3]};
}

SIZE ParseSize(const char16_t* value) {
  const std::vector<int> n = Numbers(value, 2);
  return {n[0], n[1]};
}

std::vector<std::pair<std::u16string, std::u16string>> ParseAttributeList(const char16_t* list) {
  std::vector<std::pair<std::u16string, std::u16string>> pairs;
  if (!list) return pairs;
  const std::u16string_view text(list);
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r')) ++i;
    const size_t nameStart = i;
    while (i < text.size() && text[i] != u'=' && text[i] != u' ') ++i;
    const std::u16string name(text.substr(nameStart, i - nameStart));
    while (i < text.size() && text[i] == u' ') ++i;
    if (i >= text.size() || text[i] != u'=') break;
    ++i;
    while (i < text.size() && text[i] == u' ') ++i;
    if (i >= text.size() || (text[i] != u'"' && text[i] != u'\'')) break;
    const char16_t quote = text[i++];
    const size_t valueStart = i;
    while (i < text.size() && text[i] != quote) ++i;
    pairs.emplace_back(name, std::u16string(text.substr(valueStart, i - valueStart)));
    ++i;
  }
  return pairs;
}

}  // namespace dui::attr
