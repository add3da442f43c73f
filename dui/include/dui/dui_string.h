#pragma once
// CDuiString: the UTF-16 string of the programs' window code.

#include <cstdarg>
#include <string>
#include <string_view>

namespace dui {

class CDuiString {
 public:
  CDuiString() = default;
  CDuiString(const char16_t* text);  // null gives an empty string
  CDuiString(const char16_t* text, int length);
  CDuiString(std::u16string text) : text_(std::move(text)) {}
  CDuiString(std::u16string_view text) : text_(text) {}
  explicit CDuiString(char16_t ch) : text_(1, ch) {}

  static CDuiString FromUtf8(std::string_view utf8);
  std::string ToUtf8() const;

  int GetLength() const { return static_cast<int>(text_.size()); }
  bool IsEmpty() const { return text_.empty(); }
  void Empty() { text_.clear(); }
  const char16_t* GetData() const { return text_.c_str(); }
  operator const char16_t*() const { return text_.c_str(); }
  const std::u16string& str() const { return text_; }
  std::u16string_view view() const { return text_; }

  char16_t GetAt(int index) const;  // 0 outside the string
  char16_t operator[](int index) const { return GetAt(index); }
  void SetAt(int index, char16_t ch);
  void Append(const char16_t* text);
  void Assign(const char16_t* text, int length = -1);

  CDuiString& operator=(const char16_t* text);
  CDuiString& operator+=(const CDuiString& other);
  CDuiString& operator+=(const char16_t* text);
  CDuiString& operator+=(char16_t ch);
  CDuiString operator+(const CDuiString& other) const;
  CDuiString operator+(const char16_t* text) const;

  bool operator==(const CDuiString& other) const { return text_ == other.text_; }
  bool operator==(const char16_t* text) const { return Compare(text) == 0; }
  bool operator!=(const CDuiString& other) const { return text_ != other.text_; }
  bool operator!=(const char16_t* text) const { return Compare(text) != 0; }
  bool operator<(const CDuiString& other) const { return text_ < other.text_; }

  int Compare(const char16_t* text) const;
  // ASCII letters compared without regard to case.
  int CompareNoCase(const char16_t* text) const;

  void MakeUpper();  // ASCII letters only
  void MakeLower();
  CDuiString Left(int count) const;
  CDuiString Mid(int position, int count = -1) const;
  CDuiString Right(int count) const;

  // Index of the first match at or after `start`, -1 when none.
  int Find(char16_t ch, int start = 0) const;
  int Find(const char16_t* text, int start = 0) const;
  int ReverseFind(char16_t ch) const;
  // Number of replacements.
  int Replace(const char16_t* from, const char16_t* to);

  // printf-style: %s and %ls take const char16_t*, %hs and %S take UTF-8
  // const char*, %c a char16_t; numbers as in printf. Returns the length.
  int Format(const char16_t* format, ...);
  int SmallFormat(const char16_t* format, ...);

 private:
  std::u16string text_;
};

inline bool operator==(const char16_t* text, const CDuiString& s) { return s == text; }
inline bool operator!=(const char16_t* text, const CDuiString& s) { return s != text; }
inline CDuiString operator+(const char16_t* text, const CDuiString& s) { return CDuiString(text) + s; }

// printf-style formatting into a UTF-16 string (the rules of Format).
std::u16string FormatUtf16(const char16_t* format, va_list args);

}  // namespace dui
