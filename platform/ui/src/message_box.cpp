#include "platform/ui/message_box.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/text.h"
#include "platform/ui/message_loop.h"
#include "platform/ui/win_types.h"
#include "window_internal.h"

namespace platform::ui {
namespace {

struct ButtonChoice {
  const char* label;
  int id;
};

std::vector<ButtonChoice> ButtonsOf(uint32_t flags) {
  switch (flags & 0x0F) {
    case MB_OKCANCEL: return {{"_OK", IDOK}, {"_Cancel", IDCANCEL}};
    case MB_ABORTRETRYIGNORE: return {{"_Abort", IDABORT}, {"_Retry", IDRETRY}, {"_Ignore", IDIGNORE}};
    case MB_YESNOCANCEL: return {{"_Yes", IDYES}, {"_No", IDNO}, {"_Cancel", IDCANCEL}};
    case MB_YESNO: return {{"_Yes", IDYES}, {"_No", IDNO}};
    case MB_RETRYCANCEL: return {{"_Retry", IDRETRY}, {"_Cancel", IDCANCEL}};
    default: return {{"_OK", IDOK}};
  }
}

size_t DefaultIndex(uint32_t flags, size_t count) {
  size_t index = 0;
  if (flags & MB_DEFBUTTON2) index = 1;
  if (flags & MB_DEFBUTTON3) index = 2;
  return index < count ? index : 0;
}

GtkMessageType TypeOf(uint32_t flags) {
  switch (flags & 0xF0) {
    case MB_ICONERROR: return GTK_MESSAGE_ERROR;
    case MB_ICONQUESTION: return GTK_MESSAGE_QUESTION;
    case MB_ICONWARNING: return GTK_MESSAGE_WARNING;
    case MB_ICONINFORMATION: return GTK_MESSAGE_INFO;
    default: return GTK_MESSAGE_OTHER;
  }
}

bool PrintInstead() {
  const char* mode = std::getenv("KESTRA_MESSAGEBOX");
  return (mode && std::strcmp(mode, "stderr") == 0) || !InitUiThread();
}

// Closing the box (Escape, the window manager) answers cancel where there
// is one, else the last button (OK or No).
int AnswerForClosing(const std::vector<ButtonChoice>& buttons) {
  for (const ButtonChoice& choice : buttons) {
    if (choice.id == IDCANCEL) return IDCANCEL;
  }
  return buttons.back().id;
}

}  // namespace

int DefaultMessageBoxAnswer(uint32_t flags) {
  const std::vector<ButtonChoice> buttons = ButtonsOf(flags);
  return buttons[DefaultIndex(flags, buttons.size())].id;
}

int MessageBoxA(HWND owner, std::string_view text, std::string_view caption, uint32_t flags) {
  const std::vector<ButtonChoice> buttons = ButtonsOf(flags);
  if (PrintInstead()) {
    const std::string line = "MessageBox: " + std::string(caption) + ": " + std::string(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    return DefaultMessageBoxAnswer(flags);
  }
  const std::string message(text);
  GtkWidget* dialog = gtk_message_dialog_new(detail::GtkWindowOf(owner), GTK_DIALOG_MODAL, TypeOf(flags),
                                             GTK_BUTTONS_NONE, "%s", message.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), std::string(caption).c_str());
  for (const ButtonChoice& choice : buttons) gtk_dialog_add_button(GTK_DIALOG(dialog), choice.label, choice.id);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), buttons[DefaultIndex(flags, buttons.size())].id);
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER_ON_PARENT);
  const int response = gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  return response > 0 ? response : AnswerForClosing(buttons);
}

int MessageBoxW(HWND owner, std::u16string_view text, std::u16string_view caption, uint32_t flags) {
  return MessageBoxA(owner, platform::Utf16ToUtf8(text), platform::Utf16ToUtf8(caption), flags);
}

}  // namespace platform::ui
