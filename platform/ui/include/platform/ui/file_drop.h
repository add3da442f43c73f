#pragma once
// Files dropped on a window (GTK drag and drop of text/uri-list) arrive as
// WM_DROPFILES (563), sent to the window's handler on the UI thread with
// wParam = an HDROP naming the dropped paths and lParam = 0.
//
// Ownership: the HDROP belongs to this layer. It is valid only while the
// handler of WM_DROPFILES runs and is freed when the handler returns; a
// handler copies the paths it keeps. DragFinish is accepted for symmetry
// with the designed call sequence and frees nothing.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window_registry.h"

namespace platform::ui {

struct DropFiles {
  std::vector<std::string> paths;  // local paths, UTF-8, in drop order
};
using HDROP = DropFiles*;

// Starts (or stops) accepting file drops on a top-level or child window.
void DragAcceptFiles(HWND window, bool accept);
// The number of paths, and the path at an index in UTF-16 (empty when there
// is none).
uint32_t DragQueryFileCount(HDROP drop);
std::u16string DragQueryFileW(HDROP drop, uint32_t index);
void DragFinish(HDROP drop);

// Local paths from a text/uri-list payload: "file:" addresses decoded,
// comment lines and other schemes skipped.
std::vector<std::string> PathsFromUriList(const std::string& uriList);

// Delivers a drop to the window as the toolkit would (used by the GTK
// handler; tests call it to drop without a drag source). False when the
// window is unknown.
bool DeliverDroppedPaths(HWND window, std::vector<std::string> paths);

}  // namespace platform::ui
