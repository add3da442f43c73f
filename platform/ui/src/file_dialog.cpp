#include "platform/ui/file_dialog.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/find_files.h"
#include "platform/text.h"
#include "platform/ui/message_loop.h"
#include "window_internal.h"

namespace platform::ui {
namespace {

std::vector<std::u16string_view> SplitTokens(std::u16string_view text, char16_t separator) {
  std::vector<std::u16string_view> tokens;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find(separator, start);
    const std::u16string_view token = text.substr(start, end == std::u16string_view::npos ? end : end - start);
    if (token.empty()) break;  // a doubled separator ends the list
    tokens.push_back(token);
    if (end == std::u16string_view::npos) break;
    start = end + 1;
  }
  return tokens;
}

std::vector<std::u16string> SplitPatterns(std::u16string_view list) {
  std::vector<std::u16string> patterns;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t end = std::min(list.find(u';', start), list.size());
    std::string trimmed(TrimBlanks(Utf16ToUtf8(list.substr(start, end - start))));
    if (trimmed == "*.*") trimmed = "*";  // matches names without a dot too, as designed
    if (!trimmed.empty()) patterns.push_back(Utf8ToUtf16(trimmed));
    start = end + 1;
  }
  return patterns;
}

// GTK patterns match case-sensitively; "*.mp4" becomes "*.[mM][pP]4".
std::string CaseInsensitivePattern(const std::string& pattern) {
  std::string out;
  for (char c : pattern) {
    const char lower = ToLowerAscii(c);
    const char upper = ToUpperAscii(std::string(1, c))[0];
    if (lower != upper) {
      out += '[';
      out += lower;
      out += upper;
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

void AddFilters(GtkFileChooser* chooser, const std::vector<FileFilter>& filters, int filterIndex) {
  for (size_t i = 0; i < filters.size(); ++i) {
    GtkFileFilter* gtkFilter = gtk_file_filter_new();
    gtk_file_filter_set_name(gtkFilter, Utf16ToUtf8(filters[i].name).c_str());
    for (const std::u16string& pattern : filters[i].patterns) {
      gtk_file_filter_add_pattern(gtkFilter, CaseInsensitivePattern(Utf16ToUtf8(pattern)).c_str());
    }
    gtk_file_chooser_add_filter(chooser, gtkFilter);
    if (static_cast<int>(i) + 1 == filterIndex) gtk_file_chooser_set_filter(chooser, gtkFilter);
  }
}

// The scripted answer of KESTRA_FILEDIALOG, when set.
bool ScriptedAnswer(const FileDialogOptions& options, std::vector<std::u16string>* paths) {
  const char* answer = std::getenv("KESTRA_FILEDIALOG");
  if (!answer) return false;
  std::string line = "FileDialog: " + Utf16ToUtf8(options.title) + ":";
  for (const FileFilter& filter : ParseFilterString(options.filter)) line += " [" + Utf16ToUtf8(filter.name) + "]";
  line += "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::string value(answer);
  size_t start = 0;
  while (start < value.size()) {
    const size_t end = std::min(value.find('\n', start), value.size());
    if (end > start) paths->push_back(Utf8ToUtf16(value.substr(start, end - start)));
    start = end + 1;
  }
  if (!options.multiSelect && paths->size() > 1) paths->resize(1);
  return true;
}

std::vector<std::u16string> RunChooser(const FileDialogOptions& options, GtkFileChooserAction action) {
  std::vector<std::u16string> paths;
  if (ScriptedAnswer(options, &paths) || !InitUiThread()) return paths;
  const bool save = action == GTK_FILE_CHOOSER_ACTION_SAVE;
  std::string title = Utf16ToUtf8(options.title);
  if (title.empty()) title = save ? "Save" : "Open";
  GtkWidget* dialog = gtk_file_chooser_dialog_new(title.c_str(), detail::GtkWindowOf(options.owner), action, "_Cancel",
                                                  GTK_RESPONSE_CANCEL, save ? "_Save" : "_Open",
                                                  GTK_RESPONSE_ACCEPT, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  gtk_file_chooser_set_select_multiple(chooser, !save && options.multiSelect);
  gtk_file_chooser_set_do_overwrite_confirmation(chooser, save && options.overwritePrompt);
  gtk_file_chooser_set_local_only(chooser, TRUE);
  if (!options.initialFolder.empty()) {
    gtk_file_chooser_set_current_folder(chooser, Utf16ToUtf8(options.initialFolder).c_str());
  }
  if (save && !options.defaultName.empty()) {
    gtk_file_chooser_set_current_name(chooser, Utf16ToUtf8(options.defaultName).c_str());
  }
  AddFilters(chooser, ParseFilterString(options.filter), options.filterIndex);
  if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
    GSList* files = gtk_file_chooser_get_filenames(chooser);
    for (GSList* item = files; item; item = item->next) {
      paths.push_back(Utf8ToUtf16(static_cast<const char*>(item->data)));
      g_free(item->data);
    }
    g_slist_free(files);
  }
  gtk_widget_destroy(dialog);
  return paths;
}

}  // namespace

std::vector<FileFilter> ParseFilterString(std::u16string_view filter) {
  const char16_t separator = filter.find(u'\0') != std::u16string_view::npos ? u'\0' : u'|';
  const std::vector<std::u16string_view> tokens = SplitTokens(filter, separator);
  std::vector<FileFilter> filters;
  for (size_t i = 0; i + 1 < tokens.size(); i += 2) {
    filters.push_back({std::u16string(tokens[i]), SplitPatterns(tokens[i + 1])});
  }
  return filters;
}

bool FilterMatches(const FileFilter& filter, std::u16string_view fileName) {
  const std::string name = Utf16ToUtf8(fileName);
  for (const std::u16string& pattern : filter.patterns) {
    if (WildcardMatch(Utf16ToUtf8(pattern), name)) return true;
  }
  return false;
}

std::vector<std::u16string> ShowOpenFileDialog(const FileDialogOptions& options) {
  std::vector<std::u16string> paths = RunChooser(options, GTK_FILE_CHOOSER_ACTION_OPEN);
  if (options.mustExist) {
    std::erase_if(paths, [](const std::u16string& path) {
      return !g_file_test(Utf16ToUtf8(path).c_str(), G_FILE_TEST_IS_REGULAR);
    });
  }
  return paths;
}

std::u16string ShowSaveFileDialog(const FileDialogOptions& options) {
  std::vector<std::u16string> paths = RunChooser(options, GTK_FILE_CHOOSER_ACTION_SAVE);
  return paths.empty() ? std::u16string() : paths.front();
}

}  // namespace platform::ui
