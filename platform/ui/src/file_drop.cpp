#include "platform/ui/file_drop.h"

#include <gtk/gtk.h>

#include <memory>

#include "platform/text.h"
#include "platform/trace.h"
#include "window_internal.h"

namespace platform::ui {
namespace {

constexpr guint kUriListTarget = 1;

void OnDragDataReceived(GtkWidget*, GdkDragContext* context, gint, gint, GtkSelectionData* data, guint info,
                        guint time, gpointer window) {
  std::vector<std::string> paths;
  if (info == kUriListTarget && gtk_selection_data_get_length(data) > 0) {
    const guchar* bytes = gtk_selection_data_get_data(data);
    paths = PathsFromUriList(std::string(reinterpret_cast<const char*>(bytes),
                                         static_cast<size_t>(gtk_selection_data_get_length(data))));
  }
  // Finish the drag first: the handler may play a file and pump messages,
  // and the drag source should not wait for that.
  gtk_drag_finish(context, !paths.empty(), FALSE, time);
  if (!paths.empty()) DeliverDroppedPaths(static_cast<HWND>(window), std::move(paths));
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "file:///a%20b" or "file://localhost/a" -> "/a b"; empty for other forms.
std::string LocalPathOfUri(std::string_view uri) {
  constexpr std::string_view kScheme = "file://";
  if (uri.size() <= kScheme.size() || !EqualsIgnoreCase(uri.substr(0, kScheme.size()), kScheme)) return {};
  std::string_view rest = uri.substr(kScheme.size());
  const size_t slash = rest.find('/');
  if (slash == std::string_view::npos) return {};
  const std::string_view host = rest.substr(0, slash);
  if (!host.empty() && !EqualsIgnoreCase(host, "localhost")) return {};
  rest = rest.substr(slash);
  std::string path;
  for (size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 && HexValue(rest[i + 2]) >= 0) {
      path += static_cast<char>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]));
      i += 2;
    } else {
      path += rest[i];
    }
  }
  return path;
}

}  // namespace

std::vector<std::string> PathsFromUriList(const std::string& uriList) {
  std::vector<std::string> paths;
  size_t start = 0;
  while (start < uriList.size()) {
    size_t end = uriList.find('\n', start);
    if (end == std::string::npos) end = uriList.size();
    const std::string_view line = TrimBlanks(std::string_view(uriList).substr(start, end - start));
    if (!line.empty() && line.front() != '#') {
      std::string path = LocalPathOfUri(line);
      if (!path.empty()) paths.push_back(std::move(path));
    }
    start = end + 1;
  }
  return paths;
}

void DragAcceptFiles(HWND window, bool accept) {
  const detail::WindowRecord* record = detail::Find(window);
  if (!record || record->plain) return;
  GtkWidget* target = record->canvas;
  if (!accept) {
    gtk_drag_dest_unset(target);
    return;
  }
  static const GtkTargetEntry kTargets[] = {{const_cast<gchar*>("text/uri-list"), 0, kUriListTarget}};
  gtk_drag_dest_set(target, GTK_DEST_DEFAULT_ALL, kTargets, 1, static_cast<GdkDragAction>(GDK_ACTION_COPY | GDK_ACTION_MOVE | GDK_ACTION_LINK));
  if (!g_object_get_data(G_OBJECT(target), "kestra-drop-connected")) {
    g_signal_connect(target, "drag-data-received", G_CALLBACK(OnDragDataReceived), window);
    g_object_set_data(G_OBJECT(target), "kestra-drop-connected", GINT_TO_POINTER(1));
  }
}

bool DeliverDroppedPaths(HWND window, std::vector<std::string> paths) {
  if (!platform::IsWindow(window)) return false;
  auto drop = std::make_unique<DropFiles>();
  drop->paths = std::move(paths);
  platform::SendMessage(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop.get()), 0);
  return true;  // the list is freed here, after the handler returned
}

uint32_t DragQueryFileCount(HDROP drop) { return drop ? static_cast<uint32_t>(drop->paths.size()) : 0; }

std::u16string DragQueryFileW(HDROP drop, uint32_t index) {
  if (!drop || index >= drop->paths.size()) return {};
  return Utf8ToUtf16(drop->paths[index]);
}

void DragFinish(HDROP) {}

}  // namespace platform::ui
