#pragma once
// Finding files by wildcard in one folder, the way the programs search a
// recordings folder for "*.inf".

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// '*' matches any run of characters, '?' exactly one; letters match without
// regard to case.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// Names (not paths) of the regular files in `folder` whose names match
// `pattern`, in a stable order: case-insensitive by name, then by bytes.
// A missing or unreadable folder gives an empty list.
std::vector<std::string> FindFiles(const std::string& folder, std::string_view pattern);

}  // namespace platform
