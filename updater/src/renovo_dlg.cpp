#include "renovo_dlg.h"

#include <pthread.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "platform/paths.h"
#include "platform/trace.h"
#include "process_control.h"
#include "renovo_app.h"
#include "script_host.h"
#include "tree_move.h"

namespace renovo {
namespace {

// Layout of dialog 102 in dialog units, drawn at 6 x 13 pixels per 4 x 8 units.
constexpr int DluX(int units) { return units * 3 / 2; }
constexpr int DluY(int units) { return units * 13 / 8; }

constexpr const char* kInitialTitle = "Renovo";
constexpr const char* kInitialStatus = "....";
constexpr const char* kInitialCancel = "取消";
constexpr const char* kAboutEntry = "关于 Renovo(_A)...";  // string 101
constexpr const char* kWindowIcon = "system-software-update";

// How long cancel waits for a script to stop before it leaves without it.
constexpr auto kWorkerStopLimit = std::chrono::seconds(10);
constexpr auto kPumpInterval = std::chrono::milliseconds(50);

// PromtNoVersion: nothing to update, the program ends at once.
void EndProcessNow() {
  std::fflush(nullptr);
  _exit(0);
}

// A smooth bar with a border, as tall as its control, where themes would
// draw a thin line.
void StyleAsBorderedBar(GtkWidget* bar) {
  static const char* kCss =
      ".renovo-progress trough, .renovo-progress progress { min-height: 18px; }"
      ".renovo-progress trough { border: 1px solid #8a8a8a; }";
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, kCss, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gtk_widget_get_screen(bar), GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
  gtk_style_context_add_class(gtk_widget_get_style_context(bar), "renovo-progress");
}

// The about box (command 16 of the window menu).
void ShowAboutBox(GtkWindow* owner) {
  GtkWidget* box = gtk_about_dialog_new();
  gtk_window_set_transient_for(GTK_WINDOW(box), owner);
  gtk_about_dialog_set_program_name(GTK_ABOUT_DIALOG(box), "Renovo");
  gtk_about_dialog_set_version(GTK_ABOUT_DIALOG(box), "1.0");
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
}

// executeName must name a file in the program folder, nothing else.
bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

}  // namespace

CRenovoDlg::CRenovoDlg(CRenovoApp& app)
    : m_app(app),
      m_session(platform::ProgramFolder(), *this, [&app](int number) { return app.Text(number); }, EndProcessNow) {}

CRenovoDlg::~CRenovoDlg() {
  if (m_worker.joinable()) {
    m_stopWorker = true;
    m_worker.join();
  }
  {
    std::lock_guard<std::mutex> lock(m_postMutex);
    if (m_postSource) g_source_remove(m_postSource);
    m_postSource = 0;
  }
  if (m_window) gtk_widget_destroy(m_window);
  if (m_loop) g_main_loop_unref(m_loop);
}

void CRenovoDlg::DoModal() {
  CreateControls();
  OnInitDialog();
  gtk_widget_show_all(m_window);
  m_loop = g_main_loop_new(nullptr, FALSE);
  g_main_loop_run(m_loop);
}

void CRenovoDlg::CreateControls() {
  m_window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(m_window), kInitialTitle);
  gtk_window_set_resizable(GTK_WINDOW(m_window), FALSE);
  gtk_window_set_position(GTK_WINDOW(m_window), GTK_WIN_POS_CENTER);
  gtk_widget_set_size_request(m_window, DluX(281), DluY(100));
  gtk_widget_add_events(m_window, GDK_BUTTON_PRESS_MASK);

  GtkWidget* layout = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(m_window), layout);

  m_status = gtk_label_new(kInitialStatus);
  gtk_label_set_xalign(GTK_LABEL(m_status), 0.0f);
  gtk_label_set_ellipsize(GTK_LABEL(m_status), PANGO_ELLIPSIZE_END);
  gtk_widget_set_size_request(m_status, DluX(227), DluY(8));
  gtk_fixed_put(GTK_FIXED(layout), m_status, DluX(9), DluY(13));

  m_progress = gtk_progress_bar_new();
  gtk_widget_set_size_request(m_progress, DluX(263), DluY(14));
  StyleAsBorderedBar(m_progress);
  gtk_fixed_put(GTK_FIXED(layout), m_progress, DluX(9), DluY(42));

  m_cancel = gtk_button_new_with_label(kInitialCancel);
  gtk_widget_set_size_request(m_cancel, DluX(50), DluY(14));
  gtk_fixed_put(GTK_FIXED(layout), m_cancel, DluX(109), DluY(81));

  g_signal_connect(m_window, "delete-event", G_CALLBACK(OnDeleteEvent), this);
  g_signal_connect(m_window, "key-press-event", G_CALLBACK(OnKeyPress), this);
  g_signal_connect(m_window, "button-press-event", G_CALLBACK(OnButtonPress), this);
  g_signal_connect(m_cancel, "clicked", G_CALLBACK(OnCancelClicked), this);
}

void CRenovoDlg::OnInitDialog() {
  VersionConfig config;
  std::string error;
  if (!RunVersionConfig(platform::ProgramFolderFile("version.cfg"), &config, &error)) {
    platform::DebugTrace("%s", error.c_str());
    return;  // the dialog shows, but no update runs
  }
  gtk_window_set_title(GTK_WINDOW(m_window), (config.swName + m_app.Text(kTextTitleSuffix)).c_str());
  m_executeName = config.executeName;

  if (!CheckLastVersion(platform::ProgramFolder()).empty()) CloseRunningProgram();
  if (!PrepareDownloadFolder(platform::ProgramFolderFile("download"))) {
    platform::DebugTrace("cannot create the download folder");
  }
  RegisterUpdateFunctions(m_app.MainState(), &m_session);
  gtk_window_set_icon_name(GTK_WINDOW(m_window), kWindowIcon);
  StartWorker();
}

void CRenovoDlg::CloseRunningProgram() const {
  const pid_t pid = FindProcessByName(m_executeName);
  if (pid != 0) TerminateAndWait(pid);
}

void CRenovoDlg::StartWorker() {
  m_worker = std::thread([this] { WorkerMain(); });
}

void CRenovoDlg::WorkerMain() {
  pthread_setname_np(pthread_self(), "update");
  RunUpdateScript(m_app.MainState(), platform::ProgramFolderFile("UpdateSelf.ulf"), m_stopWorker,
                  [this] { SetCancelText(m_app.Text(kTextRunningButton)); });
  m_workerDone = true;
}

// Asks the script to stop and waits for the worker, keeping the dialog
// responsive. False when it did not stop in time; it is then left running.
bool CRenovoDlg::StopWorker() {
  if (!m_worker.joinable()) return true;
  m_stopWorker = true;
  const auto deadline = std::chrono::steady_clock::now() + kWorkerStopLimit;
  while (!m_workerDone && std::chrono::steady_clock::now() < deadline) {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    std::this_thread::sleep_for(kPumpInterval);
  }
  if (!m_workerDone) {
    platform::DebugTrace("the update script did not stop; leaving it");
    m_worker.detach();
    m_workerAbandoned = true;
    return false;
  }
  m_worker.join();
  return true;
}

void CRenovoDlg::OnCancel() {
  if (m_cancelling) return;
  m_cancelling = true;
  if (StopWorker()) m_app.CloseMainState();
  if (m_session.Finished()) {
    if (IsPlainFileName(m_executeName)) StartProgram(platform::ProgramFolderFile(m_executeName));
    else platform::DebugTrace("not restarting \"%s\": not a file of the program folder", m_executeName.c_str());
  }
  if (m_loop) g_main_loop_quit(m_loop);
}

void CRenovoDlg::ShowAboutMenu(const GdkEventButton* event) {
  if (!m_menu) {
    m_menu = gtk_menu_new();
    gtk_menu_attach_to_widget(GTK_MENU(m_menu), m_window, nullptr);
    GtkWidget* about = gtk_menu_item_new_with_mnemonic(kAboutEntry);
    gtk_menu_shell_append(GTK_MENU_SHELL(m_menu), about);
    g_signal_connect_swapped(about, "activate", G_CALLBACK(ShowAboutBox), m_window);
    gtk_widget_show_all(m_menu);
  }
  gtk_menu_popup_at_pointer(GTK_MENU(m_menu), reinterpret_cast<const GdkEvent*>(event));
}

// -- changes from the worker thread

void CRenovoDlg::SetProgress(int percent) {
  PostToUi([this, percent] { gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(m_progress), percent / 100.0); });
}

void CRenovoDlg::SetStatusText(const std::string& text) {
  PostToUi([this, text] { gtk_label_set_text(GTK_LABEL(m_status), text.c_str()); });
}

void CRenovoDlg::SetCancelText(const std::string& text) {
  PostToUi([this, text] { gtk_button_set_label(GTK_BUTTON(m_cancel), text.c_str()); });
}

void CRenovoDlg::PostToUi(std::function<void()> change) {
  std::lock_guard<std::mutex> lock(m_postMutex);
  m_posted.push_back(std::move(change));
  if (!m_postSource) m_postSource = g_idle_add(RunPosted, this);
}

gboolean CRenovoDlg::RunPosted(gpointer self) {
  auto* dialog = static_cast<CRenovoDlg*>(self);
  std::vector<std::function<void()>> changes;
  {
    std::lock_guard<std::mutex> lock(dialog->m_postMutex);
    changes.swap(dialog->m_posted);
    dialog->m_postSource = 0;
  }
  for (const auto& change : changes) change();
  return G_SOURCE_REMOVE;
}

// -- GTK signals: closing the window and Escape act as the cancel button

gboolean CRenovoDlg::OnDeleteEvent(GtkWidget*, GdkEvent*, gpointer self) {
  static_cast<CRenovoDlg*>(self)->OnCancel();
  return TRUE;
}

gboolean CRenovoDlg::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
  if (event->keyval != GDK_KEY_Escape) return FALSE;
  static_cast<CRenovoDlg*>(self)->OnCancel();
  return TRUE;
}

gboolean CRenovoDlg::OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer self) {
  if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_SECONDARY) return FALSE;
  static_cast<CRenovoDlg*>(self)->ShowAboutMenu(event);
  return TRUE;
}

void CRenovoDlg::OnCancelClicked(GtkButton*, gpointer self) { static_cast<CRenovoDlg*>(self)->OnCancel(); }

}  // namespace renovo
