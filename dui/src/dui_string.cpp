#include "dui/dui_string.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/text.h"

namespace dui {
namespace {

char16_t LowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + 32 : c; }
char16_t UpperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? c - 32 : c; }

struct Spec {
  std::string flags;      // the conversion as printf would see it, without length
  std::string length;     // "", "h", "l", "ll", "I64", "z"
  char conversion = 0;
};

// Reads one conversion after '%'; `i` ends on its conversion character.
Spec ParseSpec(const char16_t* format, size_t& i, va_list& args, std::string& widthText) {
  Spec spec;
  spec.flags = "%";
  while (format[i] && std::u16string_view(u"-+ #0").find(format[i]) != std::u16string_view::npos) spec.flags += char(format[i++]);
  auto number = [&]() {
    if (format[i] == u'*') {
      spec.flags += std::to_string(va_arg(args, int));
      ++i;
      return;
    }
    while (format[i] >= u'0' && format[i] <= u'9') spec.flags += char(format[i++]);
  };
  number();
  if (format[i] == u'.') {
    spec.flags += '.';
    ++i;
    number();
  }
  widthText = spec.flags;
  if (format[i] == u'h' || format[i] == u'z' || format[i] == u'j' || format[i] == u't') {
    spec.length = char(format[i++]);
  } else if (format[i] == u'l') {
    spec.length = "l";
    if (format[++i] == u'l') {
      spec.length = "ll";
      ++i;
    }
  } else if (format[i] == u'I' && format[i + 1] == u'6' && format[i + 2] == u'4') {
    spec.length = "ll";
    i += 3;
  }
  spec.conversion = static_cast<char>(format[i]);
  return spec;
}

std::string FormatNumber(const Spec& spec, va_list& args) {
  char buffer[512];
  const std::string conversion(1, spec.conversion);
  switch (spec.conversion) {
    case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': {
      const std::string f = spec.flags + "ll" + conversion;
      long long value = 0;
      if (spec.length == "ll") value = va_arg(args, long long);
      else if (spec.length == "l") value = va_arg(args, long);
      else if (spec.length == "z") value = static_cast<long long>(va_arg(args, size_t));
      else value = va_arg(args, int);
      if (spec.conversion != 'd' && spec.conversion != 'i' && spec.length.empty()) value = static_cast<unsigned>(value);
      std::snprintf(buffer, sizeof(buffer), f.c_str(), value);
      return buffer;
    }
    case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': {
      const std::string f = spec.flags + conversion;
      std::snprintf(buffer, sizeof(buffer), f.c_str(), va_arg(args, double));
      return buffer;
    }
    case 'p': {
      std::snprintf(buffer, sizeof(buffer), "%p", va_arg(args, void*));
      return buffer;
    }
    default:
      return {};
  }
}

std::u16string Pad(std::u16string text, const std::string& widthText) {
  // width and precision of %s: "%-10.3s"
  const bool left = widthText.find('-') != std::string::npos;
  size_t pos = 1;
  while (pos < widthText.size() && std::string("-+ #0").find(widthText[pos]) != std::string::npos) ++pos;
  const size_t dot = widthText.find('.');
  const int width = std::atoi(widthText.substr(pos, dot == std::string::npos ? std::string::npos : dot - pos).c_str());
  if (dot != std::string::npos) {
    const int precision = std::atoi(widthText.substr(dot + 1).c_str());
    if (precision >= 0 && static_cast<size_t>(precision) < text.size()) text.resize(precision);
  }
  if (static_cast<int>(text.size()) < width) {
    const std::u16string fill(width - text.size(), u' ');
    text = left ? text + fill : fill + text;
  }
  return text;
}

}  // namespace

std::u16string FormatUtf16(const char16_t* format, va_list args) {
  std::u16string out;
  if (!format) return out;
  va_list copy;
  va_copy(copy, args);
  for (size_t i = 0; format[i]; ++i) {
    if (format[i] != u'%') {
      out += format[i];
      continue;
    }
    ++i;
    if (format[i] == u'%') {
      out += u'%';
      continue;
    }
    std::string widthText;
    const Spec spec = ParseSpec(format, i, copy, widthText);
    if (spec.conversion == 's' || spec.conversion == 'S') {
      const bool narrow = spec.conversion == 'S' || spec.length == "h";
      std::u16string text;
      if (narrow) {
        const char* value = va_arg(copy, const char*);
        text = value ? platform::Utf8ToUtf16(value) : u"(null)";
      } else {
        const char16_t* value = va_arg(copy, const char16_t*);
        text = value ? value : u"(null)";
      }
      out += Pad(std::move(text), widthText);
    } else if (spec.conversion == 'c') {
      out += Pad(std::u16string(1, static_cast<char16_t>(va_arg(copy, int))), widthText);
    } else if (spec.conversion == 0) {
      break;
    } else {
      out += platform::Utf8ToUtf16(FormatNumber(spec, copy));
    }
  }
  va_end(copy);
  return out;
}

CDuiString::CDuiString(const char16_t* text) : text_(text ? text : u"") {}

CDuiString::CDuiString(const char16_t* text, int length) {
  if (text) text_ = length < 0 ? std::u16string(text) : std::u16string(text, static_cast<size_t>(length));
}

CDuiString CDuiString::FromUtf8(std::string_view utf8) { return CDuiString(platform::Utf8ToUtf16(utf8)); }
std::string CDuiString::ToUtf8() const { return platform::Utf16ToUtf8(text_); }

char16_t CDuiString::GetAt(int index) const {
  return index >= 0 && index < GetLength() ? text_[static_cast<size_t>(index)] : 0;
}

void CDuiString::SetAt(int index, char16_t ch) {
  if (index >= 0 && index < GetLength()) text_[static_cast<size_t>(index)] = ch;
}

void CDuiString::Append(const char16_t* text) {
  if (text) text_ += text;
}

void CDuiString::Assign(const char16_t* text, int length) { *this = CDuiString(text, length); }

CDuiString& CDuiString::operator=(const char16_t* text) {
  text_ = text ? text : u"";
  return *this;
}

CDuiString& CDuiString::operator+=(const CDuiString& other) {
  text_ += other.text_;
  return *this;
}

CDuiString& CDuiString::operator+=(const char16_t* text) {
  Append(text);
  return *this;
}

CDuiString& CDuiString::operator+=(char16_t ch) {
  text_ += ch;
  return *this;
}

CDuiString CDuiString::operator+(const CDuiString& other) const { return CDuiString(text_ + other.text_); }
CDuiString CDuiString::operator+(const char16_t* text) const { return *this + CDuiString(text); }

int CDuiString::Compare(const char16_t* text) const {
  const int result = text_.compare(text ? text : u"");
  return result < 0 ? -1 : result > 0 ? 1 : 0;
}

int CDuiString::CompareNoCase(const char16_t* text) const {
  const std::u16string_view other(text ? text : u"");
  for (size_t i = 0; i < text_.size() && i < other.size(); ++i) {
    const char16_t a = LowerAscii(text_[i]);
    const char16_t b = LowerAscii(other[i]);
    if (a != b) return a < b ? -1 : 1;
  }
  return text_.size() == other.size() ? 0 : text_.size() < other.size() ? -1 : 1;
}

void CDuiString::MakeUpper() {
  for (char16_t& c : text_) c = UpperAscii(c);
}

void CDuiString::MakeLower() {
  for (char16_t& c : text_) c = LowerAscii(c);
}

CDuiString CDuiString::Left(int count) const {
  if (count <= 0) return {};
  return CDuiString(text_.substr(0, static_cast<size_t>(count)));
}

CDuiString CDuiString::Mid(int position, int count) const {
  if (position < 0) position = 0;
  if (position >= GetLength()) return {};
  const size_t length = count < 0 ? std::u16string::npos : static_cast<size_t>(count);
  return CDuiString(text_.substr(static_cast<size_t>(position), length));
}

CDuiString CDuiString::Right(int count) const {
  if (count <= 0) return {};
  if (count >= GetLength()) return *this;
  return CDuiString(text_.substr(text_.size() - static_cast<size_t>(count)));
}

int CDuiString::Find(char16_t ch, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  const size_t at = text_.find(ch, static_cast<size_t>(start));
  return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int CDuiString::Find(const char16_t* text, int start) const {
  if (!text || start < 0 || start > GetLength()) return -1;
  const size_t at = text_.find(text, static_cast<size_t>(start));
  return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int CDuiString::ReverseFind(char16_t ch) const {
  const size_t at = text_.rfind(ch);
  return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int CDuiString::Replace(const char16_t* from, const char16_t* to) {
  if (!from || !*from) return 0;
  const std::u16string_view needle(from);
  const std::u16string_view replacement(to ? to : u"");
  int count = 0;
  for (size_t at = text_.find(needle); at != std::u16string::npos; at = text_.find(needle, at + replacement.size())) {
    text_.replace(at, needle.size(), replacement);
    ++count;
  }
  return count;
}

int CDuiString::Format(const char16_t* format, ...) {
  va_list args;
  va_start(args, format);
  text_ = FormatUtf16(format, args);
  va_end(args);
  return GetLength();
}

int CDuiString::SmallFormat(const char16_t* format, ...) {
  va_list args;
  va_start(args, format);
  text_ = FormatUtf16(format, args);
  va_end(args);
  return GetLength();
}

}  // namespace dui
