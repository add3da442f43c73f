#pragma once
// The updater's main dialog: status text, progress bar and the cancel
// button. It reads the product settings, closes the running program when a
// newer version exists, and runs the update script on a worker thread.
//
// Threads: the dialog and everything GTK run on the UI thread. The worker
// owns the main Lua state while the script runs and changes the controls
// only through the DialogPort calls, which queue the change for the UI
// thread. Cancel stops the worker before the state is closed.

#include <gtk/gtk.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "update_session.h"

namespace renovo {

class CRenovoApp;

class CRenovoDlg : public DialogPort {
 public:
  explicit CRenovoDlg(CRenovoApp& app);
  ~CRenovoDlg() override;
  CRenovoDlg(const CRenovoDlg&) = delete;
  CRenovoDlg& operator=(const CRenovoDlg&) = delete;

  // Initialises, shows the dialog and returns when it has ended.
  void DoModal();
  // True when the worker did not stop in time and still runs: the caller
  // must then end the process without destroying the dialog or the state.
  bool WorkerAbandoned() const { return m_workerAbandoned; }

  // DialogPort, called from the worker thread.
  void SetProgress(int percent) override;
  void SetStatusText(const std::string& text) override;
  void SetCancelText(const std::string& text) override;

 private:
  void CreateControls();
  void OnInitDialog();
  void CloseRunningProgram() const;
  void StartWorker();
  void WorkerMain();
  bool StopWorker();
  void OnCancel();
  void ShowAboutMenu(const GdkEventButton* event);

  // Queues `change` for the UI thread; changes run in the order queued.
  void PostToUi(std::function<void()> change);
  static gboolean RunPosted(gpointer self);

  static gboolean OnDeleteEvent(GtkWidget*, GdkEvent*, gpointer self);
  static gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self);
  static gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer self);
  static void OnCancelClicked(GtkButton*, gpointer self);

  CRenovoApp& m_app;
  UpdateSession m_session;  // holds `finished`
  std::string m_executeName;

  // -- UI thread only
  GtkWidget* m_window = nullptr;
  GtkWidget* m_status = nullptr;    // control 1005
  GtkWidget* m_progress = nullptr;  // control 1006
  GtkWidget* m_cancel = nullptr;    // control 2
  GtkWidget* m_menu = nullptr;      // window menu with the about entry
  GMainLoop* m_loop = nullptr;
  bool m_cancelling = false;
  bool m_workerAbandoned = false;

  // -- shared with the worker
  std::thread m_worker;
  std::atomic<bool> m_stopWorker{false};
  std::atomic<bool> m_workerDone{false};

  // -- guarded by m_postMutex
  std::mutex m_postMutex;
  std::vector<std::function<void()>> m_posted;
  guint m_postSource = 0;
};

}  // namespace renovo
