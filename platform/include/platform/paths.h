#pragma once
// Path rules of the suite, with '/' as the separator: "the folder" of a path
// is everything up to and including its last separator.

#include <string>
#include <string_view>

namespace platform {

constexpr char kPathSeparator = '/';

// Folder of the running program's file, ending in '/', from /proc/self/exe.
// Every data file of the suite is found through it, never through the
// current directory. Inside a shared library this is still the host
// program's folder.
const std::string& ProgramFolder();
// Full path of the running program's file.
const std::string& ProgramFilePath();
// ProgramFolder() + name.
std::string ProgramFolderFile(std::string_view name);

// Up to and including the last '/'; empty when the path has none.
std::string FolderOf(std::string_view path);
// After the last '/'; the whole path when it has none.
std::string FileNameOf(std::string_view path);
// Extension after the last '.' of the file name, without the dot; empty when none.
std::string ExtensionOf(std::string_view path);
// folder + name, inserting one '/' when the folder does not end in one.
std::string JoinPath(std::string_view folder, std::string_view name);

bool FileExists(const std::string& path);      // a regular file (links followed)
bool FolderExists(const std::string& path);
bool IsFolderWritable(const std::string& folder);
// Creates the folder and its missing parents; true when it exists afterwards.
bool MakeFolders(const std::string& folder);

// The user's cache folder for this suite, ending in '/':
// $XDG_CACHE_HOME/kestrago/ or ~/.cache/kestrago/. Created on demand.
std::string UserCacheFolder();

}  // namespace platform
