#pragma once
// Parsing of skin attribute values.

#include <string>
#include <utility>
#include <vector>

#include "dui/types.h"

namespace dui::attr {

// Case-insensitive (ASCII) equality of attribute and element names.
bool Is(const char16_t* name, const char16_t* expected);
bool ParseBool(const char16_t* value);  // "true" or "1"
int ParseInt(const char16_t* value);    // leading decimal number, 0 otherwise
// "#AARRGGBB", "#RRGGBB" (opaque) or "0xAARRGGBB"; 0 for anything else.
DWORD ParseColor(const char16_t* value);
// "l,t,r,b" and "cx,cy"; missing numbers are 0.
RECT ParseRect(const char16_t* value);
SIZE ParseSize(const char16_t* value);
// `name="value" name2="value2"` (single quotes too), in order.
std::vector<std::pair<std::u16string, std::u16string>> ParseAttributeList(const char16_t* list);
std::u16string ToLower(std::u16string_view text);

}  // namespace dui::attr
