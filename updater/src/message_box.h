#pragma once
// A modal message box for the updater. With KESTRA_MESSAGEBOX=stderr in the
// environment it prints "MessageBox [caption]: text" to standard error and
// returns at once (tests and unattended runs).

#include <gtk/gtk.h>

#include <string>

namespace renovo {

enum class MessageIcon { kInformation, kExclamation, kError };

void ShowMessageBox(GtkWindow* owner, const std::string& text, const std::string& caption, MessageIcon icon);

}  // namespace renovo
