#pragma once
// Window handles and window messages, one registry per process.
//
// A window handle names a window of any kind (a GTK widget, a plain X11
// window made by a test, a window the engine renders into) by an opaque
// value that is never reused, so a message for a destroyed window is simply
// dropped. Messages posted from any thread are queued in order and delivered
// on the user-interface thread by DispatchPostedMessages(), which the UI
// toolkit's main loop calls whenever the waker tells it that a message
// arrived. The engine links this library too (it has no GTK): it only reads
// the native window id and posts messages to its host.

#include <cstdint>
#include <functional>

namespace platform {

struct HWND__;
using HWND = HWND__*;
using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

// The handler runs on the UI thread for every message sent or posted to the window.
using MessageHandler = std::function<LRESULT(HWND window, UINT message, WPARAM wParam, LPARAM lParam)>;

HWND CreateWindowHandle(HWND parent = nullptr);
// Forgets the window; messages still queued for it are dropped. A handle
// that is not (or no longer) registered is ignored.
void DestroyWindowHandle(HWND window);
bool IsWindow(HWND window);

HWND GetParent(HWND window);
void SetParent(HWND window, HWND parent);
void SetWindowHandler(HWND window, MessageHandler handler);

// The X11 window id behind the handle (0 when it has none yet).
void SetNativeWindowId(HWND window, uint64_t nativeId);
uint64_t GetNativeWindowId(HWND window);

// Queues the message for the window's handler; safe from any thread.
// False when the window is not registered.
bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// On the UI thread (or before one is bound) calls the handler at once.
// From another thread the message is queued and the call waits for the UI
// thread to handle it. 0 when the window is not registered or has no handler.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Asks the window's owner to show or hide it: posts WM_SHOWWINDOW (24) with
// wParam 1 or 0, which the toolkit layer handles for its windows.
bool ShowWindow(HWND window, bool show);

// -- UI thread side
// Makes the calling thread the one that handles messages.
void BindUiThread();
bool IsUiThread();
// Called (from the posting thread) after each message is queued; the main
// loop uses it to schedule DispatchPostedMessages(). Null removes it.
void SetMessageWaker(std::function<void()> waker);
// Delivers the messages queued before the call, in the order they were
// posted; messages posted by the handlers wait for the next call. Returns
// the number delivered.
size_t DispatchPostedMessages();
size_t PendingMessageCount();

}  // namespace platform
