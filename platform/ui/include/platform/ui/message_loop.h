#pragma once
// The UI thread's message loop on GLib: messages posted through the window
// registry (from any thread) are delivered by the default GLib main context
// of the UI thread, in the order they were posted.

#include "platform/window_registry.h"

namespace platform::ui {

// Initialises GTK, binds the calling thread as the UI thread and installs
// the registry's message waker (creating the first window does it too).
// From then on a change of the screen size reaches every top-level window
// as WM_DISPLAYCHANGE (lParam: new width and height). Safe to call again.
// False when no display can be opened (then no window can be created).
bool InitUiThread();
bool IsUiInitialised();

// Handles every event and posted message that is pending now, without
// waiting. Bounded, so a source that keeps re-arming cannot hang it.
void DispatchPending();
// The designed wait of a UI thread: `passes` times, sleep `sleepMs`, then
// dispatch everything pending. Off the UI thread it only sleeps (such a
// thread has no windows and no queue of its own).
void PumpMessages(int passes, int sleepMs = 50);

// Runs a nested main loop until the window is destroyed or EndModalLoop is
// called for it; returns the code given to EndModalLoop or SetModalResult
// (0 when none was). While it runs, the window's owner takes no input.
int RunModalLoop(HWND window);
void EndModalLoop(HWND window, int code);
// The code RunModalLoop returns when the window is destroyed later.
void SetModalResult(HWND window, int code);
bool IsInModalLoop(HWND window);

}  // namespace platform::ui
