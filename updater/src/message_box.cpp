#include "message_box.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace renovo {

void ShowMessageBox(GtkWindow* owner, const std::string& text, const std::string& caption, MessageIcon icon) {
  const char* mode = std::getenv("KESTRA_MESSAGEBOX");
  if (mode && std::strcmp(mode, "stderr") == 0) {
    std::fprintf(stderr, "MessageBox [%s]: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    return;
  }
  const GtkMessageType type = icon == MessageIcon::kError         ? GTK_MESSAGE_ERROR
                              : icon == MessageIcon::kExclamation ? GTK_MESSAGE_WARNING
                                                                  : GTK_MESSAGE_INFO;
  GtkWidget* dialog = gtk_message_dialog_new(owner, GTK_DIALOG_MODAL, type, GTK_BUTTONS_OK, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
}

}  // namespace renovo
