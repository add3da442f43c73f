#pragma once
// Open and save dialogs taking the designed filter strings.
//
// A filter string lists pairs of a display name and a pattern list, either
// separated by '|' and ended by "||" ("Calibratefile (*.inf)|*.inf||"), or
// separated by NUL characters and ended by two NULs. A pattern list holds
// wildcard patterns separated by ';' ("*.mp4;*.mov"); matching ignores case.
//
// For tests and scripted runs, the environment variable KESTRA_FILEDIALOG
// answers every dialog without showing it: its value lists the chosen paths
// separated by newlines (an empty value cancels); the dialog's title and
// filters are written to standard error as "FileDialog: ..." lines.

#include <string>
#include <vector>

#include "platform/window_registry.h"

namespace platform::ui {

struct FileFilter {
  std::u16string name;
  std::vector<std::u16string> patterns;
};
// Pairs in order; a trailing name without patterns is dropped.
std::vector<FileFilter> ParseFilterString(std::u16string_view filter);
// Case-insensitive wildcard match of a file name against one filter.
bool FilterMatches(const FileFilter& filter, std::u16string_view fileName);

struct FileDialogOptions {
  HWND owner = nullptr;
  std::u16string title;
  std::u16string filter;        // see above
  int filterIndex = 1;          // 1-based, as designed
  std::u16string initialFolder;
  std::u16string defaultName;   // save dialogs: proposed file name
  bool multiSelect = false;     // open dialogs
  bool mustExist = true;        // open dialogs: only existing files
  bool overwritePrompt = true;  // save dialogs: confirm replacing a file
};

// Full paths of the chosen files; empty when cancelled.
std::vector<std::u16string> ShowOpenFileDialog(const FileDialogOptions& options);
// The chosen path; empty when cancelled.
std::u16string ShowSaveFileDialog(const FileDialogOptions& options);

}  // namespace platform::ui
