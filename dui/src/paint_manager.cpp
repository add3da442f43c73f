#include "dui/paint_manager.h"

#include <glib.h>
#include <pango/pango.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>

#include "attributes.h"
#include "dui/resources.h"
#include "platform/paths.h"
#include "platform/trace.h"
#include "platform/ui/timers.h"
#include "platform/ui/window.h"
#include "render.h"

namespace dui {
namespace {

struct ResourceState {
  void* instance = nullptr;
  CDuiString folder;
  SkinArchive archive;
};

ResourceState& Resources() {
  static ResourceState state;
  return state;
}

DWORD NowMs() {
  using namespace std::chrono;
  return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

struct PngReader {
  const std::vector<uint8_t>* bytes;
  size_t offset = 0;
};

cairo_status_t ReadPng(void* closure, unsigned char* data, unsigned int length) {
  auto* reader = static_cast<PngReader*>(closure);
  if (reader->offset + length > reader->bytes->size()) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(data, reader->bytes->data() + reader->offset, length);
  reader->offset += length;
  return CAIRO_STATUS_SUCCESS;
}

// Runs `work` on the UI loop soon, unless the manager is gone by then.
void RunSoon(const std::shared_ptr<bool>& alive, std::function<void()> work) {
  struct Job {
    std::weak_ptr<bool> alive;
    std::function<void()> work;
  };
  auto* job = new Job{alive, std::move(work)};
  g_idle_add_full(
      G_PRIORITY_DEFAULT_IDLE,
      [](gpointer data) -> gboolean {
        auto* j = static_cast<Job*>(data);
        if (!j->alive.expired()) j->work();
        return G_SOURCE_REMOVE;
      },
      job, [](gpointer data) { delete static_cast<Job*>(data); });
}

bool IsAncestorOrSelf(CControlUI* ancestor, CControlUI* control) {
  for (CControlUI* c = control; c; c = c->GetParent()) {
    if (c == ancestor) return true;
  }
  return false;
}

}  // namespace

// ---------------------------------------------------------------- resources

void CPaintManagerUI::SetInstance(void* instance) { Resources().instance = instance; }
void* CPaintManagerUI::GetInstance() { return Resources().instance; }
CDuiString CPaintManagerUI::GetInstancePath() { return CDuiString::FromUtf8(platform::ProgramFolder()); }

void CPaintManagerUI::SetResourcePath(const CDuiString& folder) { Resources().folder = folder; }

CDuiString CPaintManagerUI::GetResourcePath() {
  return Resources().folder.IsEmpty() ? GetInstancePath() : Resources().folder;
}

bool CPaintManagerUI::SetResourceZip(const uint8_t* data, size_t size) {
  std::string error;
  if (Resources().archive.Open(data, size, &error)) return true;
  platform::DebugTrace("skin: %s", error.c_str());
  return false;
}

bool CPaintManagerUI::SetResourceZipFile(const CDuiString& path) {
  std::ifstream file(path.ToUtf8(), std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (bytes.empty()) {
    platform::DebugTrace("skin: the archive \"%s\" cannot be read", path.ToUtf8().c_str());
    return false;
  }
  return SetResourceZip(bytes.data(), bytes.size());
}

bool CPaintManagerUI::SetResourceZipFromResource(int resourceId) {
  const uint8_t* data = nullptr;
  size_t size = 0;
  if (!FindSkinResource(resourceId, &data, &size)) {
    platform::DebugTrace("skin: the program carries no skin resource %d", resourceId);
    return false;
  }
  return SetResourceZip(data, size);
}

bool CPaintManagerUI::HasResourceZip() { return Resources().archive.IsOpen(); }

bool CPaintManagerUI::ReadResourceFile(const CDuiString& name, std::vector<uint8_t>* bytes, std::string* error) {
  if (Resources().archive.IsOpen()) return Resources().archive.Read(name.ToUtf8(), bytes, error);
  const std::string path = platform::JoinPath(GetResourcePath().ToUtf8(), name.ToUtf8());
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    if (error) *error = "\"" + path + "\" cannot be opened";
    return false;
  }
  bytes->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return true;
}

// ---------------------------------------------------------------- life

CPaintManagerUI::CPaintManagerUI() : m_alive(std::make_shared<bool>(true)) {}

CPaintManagerUI::~CPaintManagerUI() {
  // Handlers running further up the stack hold copies of the flag and
  // check it after each call that may have destroyed the window.
  *m_alive = false;
  m_alive.reset();
  if (m_hWndPaint) {
    platform::ui::SetTooltipProvider(m_hWndPaint, nullptr);
    for (const Timer& timer : m_aTimers) platform::ui::KillTimer(m_hWndPaint, timer.windowTimerId);
  }
  m_aTimers.clear();
  m_pRoot.reset();
  for (auto& [id, font] : m_mFonts) pango_font_description_free(font.description);
  for (auto& [name, image] : m_mImages) {
    if (image.surface) cairo_surface_destroy(image.surface);
  }
}

void CPaintManagerUI::Init(HWND paintWindow) {
  m_hWndPaint = paintWindow;
  platform::ui::SetTooltipProvider(paintWindow, [this](POINT point, std::string& text, RECT& area) {
    CControlUI* control = FindControl(point);
    if (!control || control->GetToolTip().IsEmpty()) return false;
    text = control->GetToolTip().ToUtf8();
    area = control->GetPos();
    return true;
  });
}

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
  if (!root) return false;
  m_pFocus = m_pEventHover = m_pEventClick = nullptr;
  m_pRoot.reset(root);
  root->SetManager(this, nullptr, true);
  NeedUpdate();
  return true;
}

void CPaintManagerUI::InitControl(CControlUI* control, CControlUI*) {
  RegisterNames(control);
  if (!control->m_bInited) {
    control->m_bInited = true;
    control->DoInit();
    control->OnInit(control);
  }
}

void CPaintManagerUI::RegisterNames(CControlUI* control) {
  const CDuiString& name = control->GetName();
  if (!name.IsEmpty()) m_mNameHash.emplace(name.str(), control);  // the first of a name wins
}

void CPaintManagerUI::RenameControl(CControlUI* control, const CDuiString& oldName) {
  const auto it = m_mNameHash.find(oldName.str());
  if (it != m_mNameHash.end() && it->second == control) m_mNameHash.erase(it);
  RegisterNames(control);
}

void CPaintManagerUI::ReapObjects(CControlUI* control) {
  if (IsAncestorOrSelf(control, m_pFocus)) m_pFocus = nullptr;
  if (IsAncestorOrSelf(control, m_pEventHover)) m_pEventHover = nullptr;
  if (IsAncestorOrSelf(control, m_pEventClick)) m_pEventClick = nullptr;
  const auto it = m_mNameHash.find(control->GetName().str());
  if (it != m_mNameHash.end() && it->second == control) m_mNameHash.erase(it);
  for (auto& [group, members] : m_mOptionGroups) members.erase(std::remove(members.begin(), members.end(), control), members.end());
  KillTimer(control);
  std::erase_if(m_aAsyncNotify, [&](const TNotifyUI& msg) { return msg.pSender == control; });
}

// ---------------------------------------------------------------- finding

CControlUI* CPaintManagerUI::FindControl(const char16_t* name) const {
  if (!name) return nullptr;
  const auto it = m_mNameHash.find(name);
  return it == m_mNameHash.end() ? nullptr : it->second;
}

CControlUI* CPaintManagerUI::FindControl(POINT point) const {
  if (!m_pRoot) return nullptr;
  const_cast<CPaintManagerUI*>(this)->EnsureLayout();
  return m_pRoot->FindControl([](CControlUI* c, void*) { return c; }, &point,
                              UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, const char16_t* name) const {
  if (!parent || !name) return nullptr;
  return parent->FindControl(
      [](CControlUI* c, void* data) { return c->GetName() == static_cast<const char16_t*>(data) ? c : nullptr; },
      const_cast<char16_t*>(name), UIFIND_ALL);
}

// ---------------------------------------------------------------- notifications

void CPaintManagerUI::SendNotify(CControlUI* sender, const char16_t* type, WPARAM wParam, LPARAM lParam, bool async) {
  TNotifyUI msg;
  msg.sType = type;
  msg.pSender = sender;
  msg.wParam = wParam;
  msg.lParam = lParam;
  SendNotify(msg, async);
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg, bool async) {
  msg.ptMouse = m_ptLastMousePos;
  msg.dwTimestamp = NowMs();
  if (async) {
    m_aAsyncNotify.push_back(msg);
    if (!m_bNotifyScheduled) {
      m_bNotifyScheduled = true;
      RunSoon(m_alive, [this] { DeliverQueuedNotifications(); });
    }
    return;
  }
  const std::shared_ptr<bool> alive = m_alive;
  if (msg.pSender && !msg.pSender->OnNotify(&msg)) return;
  const std::vector<INotifyUI*> notifiers = m_aNotifiers;
  for (INotifyUI* notifier : notifiers) {
    if (!*alive) return;  // a handler destroyed the window
    if (std::find(m_aNotifiers.begin(), m_aNotifiers.end(), notifier) != m_aNotifiers.end()) notifier->Notify(msg);
  }
}

void CPaintManagerUI::DeliverQueuedNotifications() {
  m_bNotifyScheduled = false;
  const std::shared_ptr<bool> alive = m_alive;
  std::vector<TNotifyUI> queued = std::exchange(m_aAsyncNotify, {});
  for (TNotifyUI& msg : queued) {
    if (!*alive) return;
    SendNotify(msg, false);
  }
}

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
  if (!notifier || std::find(m_aNotifiers.begin(), m_aNotifiers.end(), notifier) != m_aNotifiers.end()) return false;
  m_aNotifiers.push_back(notifier);
  return true;
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
  const auto it = std::find(m_aNotifiers.begin(), m_aNotifiers.end(), notifier);
  if (it == m_aNotifiers.end()) return false;
  m_aNotifiers.erase(it);
  return true;
}

// ---------------------------------------------------------------- layout, painting

void CPaintManagerUI::Invalidate() {
  if (m_hWndPaint) platform::ui::InvalidateRect(m_hWndPaint, nullptr);
}

void CPaintManagerUI::Invalidate(const RECT& rect) {
  if (m_hWndPaint && !platform::RectIsEmpty(rect)) platform::ui::InvalidateRect(m_hWndPaint, &rect);
}

void CPaintManagerUI::NeedUpdate() {
  m_bUpdateNeeded = true;
  Invalidate();
  ScheduleLayout();
}

void CPaintManagerUI::ScheduleLayout() {
  if (m_bLayoutScheduled || !m_hWndPaint) return;
  m_bLayoutScheduled = true;
  RunSoon(m_alive, [this] {
    m_bLayoutScheduled = false;
    EnsureLayout();
  });
}

void CPaintManagerUI::SetLayoutSize(SIZE size) {
  m_szLayout = size;
  NeedUpdate();
}

void CPaintManagerUI::EnsureLayout() {
  if (!m_bUpdateNeeded || !m_pRoot) return;
  m_bUpdateNeeded = false;
  const RECT client = m_hWndPaint ? platform::ui::GetClientRect(m_hWndPaint) : RECT{0, 0, m_szLayout.cx, m_szLayout.cy};
  m_pRoot->SetPos(client, false);
  Invalidate();
}

void CPaintManagerUI::Paint(cairo_t* cr, const RECT& area) {
  EnsureLayout();
  if (!m_pRoot) {
    render::FillRect(cr, area, 0xFF000000);
    return;
  }
  m_pRoot->DoPaint(cr, area);
}

void CPaintManagerUI::SetInitSize(int cx, int cy) {
  m_szInitWindowSize = {cx, cy};
  if (!m_hWndPaint) m_szLayout = {cx, cy};
}

// ---------------------------------------------------------------- messages

TEventUI CPaintManagerUI::MakeEvent(POINT point, WPARAM keyState) const {
  TEventUI event;
  event.ptMouse = point;
  event.wKeyState = keyState;
  event.dwTimestamp = NowMs();
  return event;
}

void CPaintManagerUI::SendEvent(CControlUI* control, int type, const TEventUI& base) {
  if (!control) return;
  TEventUI event = base;
  event.Type = type;
  event.pSender = control;
  control->Event(event);
}

void CPaintManagerUI::SetHover(CControlUI* control, const TEventUI& base) {
  if (control == m_pEventHover) return;
  CControlUI* old = m_pEventHover;
  m_pEventHover = control;
  const std::shared_ptr<bool> alive = m_alive;
  // Leave the controls no longer under the pointer (deepest first), enter
  // the new ones (outermost first).
  for (CControlUI* c = old; c && *alive; c = c->GetParent()) {
    if (!IsAncestorOrSelf(c, control)) SendEvent(c, UIEVENT_MOUSELEAVE, base);
  }
  std::vector<CControlUI*> entering;
  for (CControlUI* c = control; c; c = c->GetParent()) {
    if (!IsAncestorOrSelf(c, old)) entering.push_back(c);
  }
  for (auto it = entering.rbegin(); it != entering.rend() && *alive && m_pEventHover == control; ++it) {
    SendEvent(*it, UIEVENT_MOUSEENTER, base);
  }
}

bool CPaintManagerUI::HandleMouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  POINT point{platform::GetXLParam(lParam), platform::GetYLParam(lParam)};
  if (message == platform::WM_MOUSEWHEEL && m_hWndPaint) point = platform::ui::ScreenToClient(m_hWndPaint, point);
  if (message != platform::WM_MOUSELEAVE) m_ptLastMousePos = point;
  const TEventUI base = MakeEvent(point, wParam);
  switch (message) {
    case platform::WM_MOUSEMOVE: {
      if (m_pEventClick && (wParam & platform::MK_LBUTTON)) {
        SendEvent(m_pEventClick, UIEVENT_MOUSEMOVE, base);
        return true;
      }
      CControlUI* hit = FindControl(point);
      const std::shared_ptr<bool> alive = m_alive;
      SetHover(hit, base);
      if (!*alive) return true;
      if (!hit) SetCursor("default");
      SendEvent(hit, UIEVENT_SETCURSOR, base);
      if (*alive) SendEvent(m_pEventHover, UIEVENT_MOUSEMOVE, base);
      return true;
    }
    case platform::WM_LBUTTONDOWN:
    case platform::WM_LBUTTONDBLCLK: {
      CControlUI* hit = FindControl(point);
      if (!hit) return true;
      const std::shared_ptr<bool> alive = m_alive;
      SetFocus((hit->GetControlFlags() & UIFLAG_TABSTOP) ? hit : nullptr);
      if (!*alive) return true;
      m_pEventClick = FindControl(point);  // focus handling may have changed the tree
      SendEvent(m_pEventClick, message == platform::WM_LBUTTONDOWN ? UIEVENT_BUTTONDOWN : UIEVENT_DBLCLICK, base);
      return true;
    }
    case platform::WM_LBUTTONUP: {
      CControlUI* click = m_pEventClick;
      m_pEventClick = nullptr;
      SendEvent(click, UIEVENT_BUTTONUP, base);
      return true;
    }
    case platform::WM_RBUTTONDOWN: {
      CControlUI* hit = FindControl(point);
      const std::shared_ptr<bool> alive = m_alive;
      SendEvent(hit, UIEVENT_RBUTTONDOWN, base);
      if (*alive && hit == FindControl(point)) SendEvent(hit, UIEVENT_CONTEXTMENU, base);
      return true;
    }
    case platform::WM_MOUSEWHEEL: {
      TEventUI wheel = base;
      wheel.wParam = wParam;
      SendEvent(FindControl(point), UIEVENT_SCROLLWHEEL, wheel);
      return true;
    }
    case platform::WM_MOUSELEAVE:
      if (!m_pEventClick) SetHover(nullptr, base);
      return true;
    default:
      return false;
  }
}

bool CPaintManagerUI::HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_pFocus) return false;
  TEventUI event = MakeEvent(m_ptLastMousePos, 0);
  event.chKey = static_cast<char16_t>(wParam);
  event.wParam = wParam;
  event.lParam = lParam;
  const int type = message == platform::WM_KEYDOWN ? UIEVENT_KEYDOWN
                   : message == platform::WM_KEYUP ? UIEVENT_KEYUP
                                                   : UIEVENT_CHAR;
  SendEvent(m_pFocus, type, event);
  return false;  // the window sees key messages too
}

bool CPaintManagerUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
  lRes = 0;
  switch (message) {
    case platform::WM_PAINT:
      Paint(reinterpret_cast<cairo_t*>(wParam), *reinterpret_cast<const RECT*>(lParam));
      return true;
    case platform::WM_SIZE:
      if (wParam != platform::SIZE_MINIMIZED) {
        NeedUpdate();
        EnsureLayout();
      }
      return false;
    case platform::WM_MOUSEMOVE:
    case platform::WM_LBUTTONDOWN:
    case platform::WM_LBUTTONDBLCLK:
    case platform::WM_LBUTTONUP:
    case platform::WM_RBUTTONDOWN:
    case platform::WM_MOUSEWHEEL:
    case platform::WM_MOUSELEAVE:
      return HandleMouseMessage(message, wParam, lParam);
    case platform::WM_KEYDOWN:
    case platform::WM_KEYUP:
    case platform::WM_CHAR:
      return HandleKeyMessage(message, wParam, lParam);
    case platform::WM_TIMER:
      return HandleTimer(wParam);
    case platform::WM_NCLBUTTONDBLCLK:
      // A double-click on the caption: the window itself reports it.
      if (wParam == static_cast<WPARAM>(platform::HTCAPTION) && m_pRoot) {
        SendNotify(m_pRoot.get(), DUI_MSGTYPE_DBCLICK);
        return true;
      }
      return false;
    default:
      return false;
  }
}

// ---------------------------------------------------------------- attributes

void CPaintManagerUI::AddDefaultAttributeList(const CDuiString& controlName, const CDuiString& list) {
  m_mDefaultAttributes[attr::ToLower(controlName.view())] = list.str();
}

const char16_t* CPaintManagerUI::GetDefaultAttributeList(const CDuiString& controlName) const {
  const auto it = m_mDefaultAttributes.find(attr::ToLower(controlName.view()));
  return it == m_mDefaultAttributes.end() ? nullptr : it->second.c_str();
}

void CPaintManagerUI::AddFont(int id, const CDuiString& name, int size, bool bold, bool underline, bool italic,
                              bool isDefault) {
  TFontInfo& font = m_mFonts[id];
  if (font.description) pango_font_description_free(font.description);
  font = TFontInfo{name, size, bold, underline, italic, pango_font_description_new()};
  pango_font_description_set_family(font.description, name.IsEmpty() ? "Noto Sans CJK SC" : name.ToUtf8().c_str());
  pango_font_description_set_absolute_size(font.description, std::max(1, size) * PANGO_SCALE);
  pango_font_description_set_weight(font.description, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(font.description, italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  if (isDefault || m_nDefaultFont < 0) m_nDefaultFont = id;
}

const TFontInfo* CPaintManagerUI::GetFont(int id) const {
  auto it = m_mFonts.find(id);
  if (it == m_mFonts.end()) it = m_mFonts.find(m_nDefaultFont);
  return it == m_mFonts.end() ? nullptr : &it->second;
}

const TImageInfo* CPaintManagerUI::GetImage(const CDuiString& name) {
  if (name.IsEmpty()) return nullptr;
  const std::u16string key = attr::ToLower(name.view());
  if (const auto it = m_mImages.find(key); it != m_mImages.end()) return it->second.surface ? &it->second : nullptr;
  TImageInfo& image = m_mImages[key];
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadResourceFile(name, &bytes, &error)) {
    platform::DebugTrace("skin: picture %s", error.c_str());
    return nullptr;
  }
  PngReader reader{&bytes};
  cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(ReadPng, &reader);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    platform::DebugTrace("skin: picture \"%s\" is not a PNG picture", name.ToUtf8().c_str());
    cairo_surface_destroy(surface);
    return nullptr;
  }
  image = {surface, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface)};
  return &image;
}

void CPaintManagerUI::AddOptionGroup(const CDuiString& group, CControlUI* option) {
  auto& members = m_mOptionGroups[group.str()];
  if (std::find(members.begin(), members.end(), option) == members.end()) members.push_back(option);
}

std::vector<CControlUI*> CPaintManagerUI::GetOptionGroup(const CDuiString& group) const {
  const auto it = m_mOptionGroups.find(group.str());
  return it == m_mOptionGroups.end() ? std::vector<CControlUI*>{} : it->second;
}

void CPaintManagerUI::RemoveOptionGroup(const CDuiString& group, CControlUI* option) {
  const auto it = m_mOptionGroups.find(group.str());
  if (it != m_mOptionGroups.end()) {
    auto& members = it->second;
    members.erase(std::remove(members.begin(), members.end(), option), members.end());
  }
}

// ---------------------------------------------------------------- focus, timers

void CPaintManagerUI::SetFocus(CControlUI* control) {
  if (control == m_pFocus) return;
  CControlUI* old = m_pFocus;
  m_pFocus = control;
  const std::shared_ptr<bool> alive = m_alive;
  const TEventUI base = MakeEvent(m_ptLastMousePos, 0);
  SendEvent(old, UIEVENT_KILLFOCUS, base);
  if (*alive && m_pFocus == control) SendEvent(control, UIEVENT_SETFOCUS, base);
  if (*alive && control && m_hWndPaint) platform::ui::SetFocus(m_hWndPaint);
}

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT timerId, UINT elapseMs) {
  if (!control || !m_hWndPaint) return false;
  auto it = std::find_if(m_aTimers.begin(), m_aTimers.end(),
                         [&](const Timer& t) { return t.control == control && t.id == timerId; });
  if (it == m_aTimers.end()) {
    m_aTimers.push_back({control, timerId, m_nextTimerId++});
    it = std::prev(m_aTimers.end());
  }
  return platform::ui::SetTimer(m_hWndPaint, it->windowTimerId, elapseMs);
}

bool CPaintManagerUI::KillTimer(CControlUI* control, UINT timerId) {
  const auto it = std::find_if(m_aTimers.begin(), m_aTimers.end(),
                               [&](const Timer& t) { return t.control == control && t.id == timerId; });
  if (it == m_aTimers.end()) return false;
  if (m_hWndPaint) platform::ui::KillTimer(m_hWndPaint, it->windowTimerId);
  m_aTimers.erase(it);
  return true;
}

void CPaintManagerUI::KillTimer(CControlUI* control) {
  for (auto it = m_aTimers.begin(); it != m_aTimers.end();) {
    if (it->control != control) {
      ++it;
      continue;
    }
    if (m_hWndPaint) platform::ui::KillTimer(m_hWndPaint, it->windowTimerId);
    it = m_aTimers.erase(it);
  }
}

bool CPaintManagerUI::HandleTimer(uintptr_t windowTimerId) {
  const auto it = std::find_if(m_aTimers.begin(), m_aTimers.end(),
                               [&](const Timer& t) { return t.windowTimerId == windowTimerId; });
  if (it == m_aTimers.end()) return false;
  TEventUI event = MakeEvent(m_ptLastMousePos, 0);
  event.wParam = it->id;
  SendEvent(it->control, UIEVENT_TIMER, event);
  return true;
}

void CPaintManagerUI::SetCursor(const char* cursorName) {
  if (!m_hWndPaint || !cursorName || m_sCursor == cursorName) return;
  m_sCursor = cursorName;
  platform::ui::SetWindowCursor(m_hWndPaint, cursorName);
}

}  // namespace dui
