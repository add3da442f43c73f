// Real input on skinned windows (xdotool under Xvfb): clicks reach OnClick,
// option groups, slider drags, double-clicks, tree activation, drop-down
// lists, native windows that follow their control, modal loops.

#include <gtest/gtest.h>


#include <algorithm>
#include <thread>

#include "platform/ui/window.h"
#include "test_support.h"
#include "x11_view.h"

namespace {

using namespace duitest;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<SkinWindow>(u"Orvixview.xml", 108);
    ASSERT_TRUE(window_->Open(20, 20));
    ASSERT_TRUE(WaitFor([&] { return !window_->GetPaintManager()->IsUpdateNeeded(); }));
  }
  CControlUI* Find(const char16_t* name) {
    CControlUI* control = window_->Find(name);
    EXPECT_NE(control, nullptr) << CDuiString(name).ToUtf8();
    return control;
  }
  std::unique_ptr<SkinWindow> window_;
};

TEST_F(MainWindowTest, ClickOnAButtonReachesOnClickWithItsName) {
  window_->Click(Find(u"btnStop"));
  ASSERT_TRUE(WaitFor([&] { return !window_->clicks.empty(); }));
  EXPECT_EQ(window_->clicks, (std::vector<std::u16string>{u"btnStop"}));
  // A disabled button takes no clicks.
  Find(u"btnStop")->SetEnabled(false);
  window_->Click(Find(u"btnStop"));
  Settle(300);
  EXPECT_EQ(window_->clicks.size(), 1u);
}

TEST_F(MainWindowTest, OptionGroupKeepsOneSelected) {
  auto selected = [&] {
    std::vector<std::u16string> names;
    for (const char16_t* name : {u"downbtn", u"leftbtn", u"rightbtn", u"top_btn"}) {
      if (static_cast<COptionUI*>(Find(name))->IsSelected()) names.emplace_back(name);
    }
    return names;
  };
  EXPECT_EQ(selected(), (std::vector<std::u16string>{u"downbtn"}));
  window_->Click(Find(u"leftbtn"));
  ASSERT_TRUE(WaitFor([&] { return window_->clicks.size() == 1; }));
  EXPECT_EQ(selected(), (std::vector<std::u16string>{u"leftbtn"}));
  EXPECT_TRUE(window_->Notified(DUI_MSGTYPE_SELECTCHANGED, u"downbtn"));
  window_->Click(Find(u"leftbtn"));  // the selected one stays selected
  ASSERT_TRUE(WaitFor([&] { return window_->clicks.size() == 2; }));
  EXPECT_EQ(selected(), (std::vector<std::u16string>{u"leftbtn"}));
  // The other group is untouched.
  EXPECT_TRUE(static_cast<COptionUI*>(Find(u"split4btn"))->IsSelected());
}

TEST_F(MainWindowTest, SliderDragSendsButtonDownAndMovesThenValueChanged) {
  auto* slider = static_cast<RecordingSlider*>(Find(u"sliderPlay"));
  ASSERT_EQ(slider->GetValue(), 0);
  const POINT thumb = window_->CentreOf(slider);
  const RECT thumbRect = slider->GetThumbRect();
  const POINT start = platform::ui::ClientToScreen(window_->GetHWND(), {(thumbRect.left + thumbRect.right) / 2, thumb.y - 20});
  MoveTo(start.x, thumb.y);
  Settle(50);
  slider->events.clear();
  Xdotool("mousedown 1");
  for (int dx = 20; dx <= 200; dx += 20) {
    MoveTo(start.x + dx, thumb.y);
    Settle(20);
  }
  Xdotool("mouseup 1");
  ASSERT_TRUE(WaitFor([&] { return window_->Notified(DUI_MSGTYPE_VALUECHANGED, u"sliderPlay"); }));
  const auto& events = slider->events;
  const auto down = std::find(events.begin(), events.end(), 13);
  ASSERT_NE(down, events.end());
  EXPECT_GE(std::count(down, events.end(), 9), 5);  // moves after the press
  EXPECT_GT(slider->GetValue(), 100);
  EXPECT_FALSE(slider->IsDragging());

  // Moving over the slider without a press changes nothing.
  const int value = slider->GetValue();
  const size_t notes = window_->notifications.size();
  MoveTo(start.x + 60, thumb.y);
  Settle(100);
  EXPECT_EQ(slider->GetValue(), value);
  EXPECT_EQ(window_->notifications.size(), notes);
}

TEST_F(MainWindowTest, DoubleClickOnStaticControlsGivesDbclick) {
  window_->Click(Find(u"speed_cur_lab"), 2);
  ASSERT_TRUE(WaitFor([&] { return window_->Notified(DUI_MSGTYPE_DBCLICK, u"speed_cur_lab"); }));
  // On the caption the window itself reports it, from its root control.
  window_->Click(Find(u"Label_PlayPath"), 2);
  ASSERT_TRUE(WaitFor([&] {
    return std::any_of(window_->notifications.begin(), window_->notifications.end(), [](const auto& n) {
      return n.first == DUI_MSGTYPE_DBCLICK && n.second.empty();
    });
  }));
  // A double-click on a button is two clicks, not "dbclick".
  window_->Click(Find(u"btnStop"), 2);
  ASSERT_TRUE(WaitFor([&] { return window_->clicks.size() == 2; }));
  EXPECT_FALSE(window_->Notified(DUI_MSGTYPE_DBCLICK, u"btnStop"));
}

TEST_F(MainWindowTest, TreeEntriesGiveItemClickAndItemActivate) {
  auto* header = static_cast<CTreeNodeUI*>(Find(u"nodePlaylist"));
  CTreeNodeUI* entries[2];
  for (int i = 0; i < 2; ++i) {
    entries[i] = new CTreeNodeUI();
    entries[i]->SetName(i == 0 ? u"entry0" : u"entry1");
    entries[i]->SetItemText(i == 0 ? u"20240615_103000.MP4" : u"front_1080p30.mp4");
    entries[i]->SetTag(1);
    entries[i]->SetAttribute(u"height", u"22");
    entries[i]->SetAttribute(u"itemattr", u"valign=\"vcenter\" font=\"4\"");
    header->Add(entries[i]);
  }
  ASSERT_TRUE(WaitFor([&] { return !window_->GetPaintManager()->IsUpdateNeeded(); }));
  window_->Click(entries[1], 2);
  ASSERT_TRUE(WaitFor([&] { return window_->Notified(DUI_MSGTYPE_ITEMACTIVATE, u"entry1"); }));
  EXPECT_TRUE(window_->Notified(DUI_MSGTYPE_ITEMCLICK, u"entry1"));
  auto* tree = static_cast<CTreeViewUI*>(Find(u"treePlaylist"));
  EXPECT_EQ(tree->GetCurSel(), entries[1]->GetTreeIndex());
  // A toolbar button inside the header's rows still takes its own clicks.
  window_->Click(Find(u"btnAdd"));
  ASSERT_TRUE(WaitFor([&] { return !window_->clicks.empty(); }));
  EXPECT_EQ(window_->clicks.back(), u"btnAdd");
}

// The native window of wndMedia is checked as another X client (the engine) sees it.
TEST_F(MainWindowTest, NativeWindowFollowsItsControlAndTheLayout) {
  auto* media = static_cast<CWndUI*>(Find(u"wndMedia"));
  const auto xid = static_cast<Window>(platform::GetNativeWindowId(media->GetHWND()));
  ASSERT_NE(xid, 0u);
  EXPECT_EQ(platform::GetParent(media->GetHWND()), window_->GetHWND());
  uitest::X11View view;
  EXPECT_TRUE(WaitFor([&] { return !view.Viewable(xid); }));  // hidden with its control

  // The playing display: the logo goes, the video shows, the panel is 132 high.
  Find(u"ctnClient")->SetVisible(false);
  media->SetVisible(true);
  ASSERT_TRUE(WaitFor([&] { return !window_->GetPaintManager()->IsUpdateNeeded(); }));
  const RECT before = media->GetPos();
  const POINT origin = platform::ui::ClientToScreen(window_->GetHWND(), {0, 0});
  auto onScreen = [&](RECT r) { return RECT{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y}; };
  ASSERT_TRUE(WaitFor([&] { return view.Viewable(xid) && view.ScreenRect(xid) == onScreen(before); }))
      << view.ScreenRect(xid).top << " vs " << onScreen(before).top;

  // A recording without GPS: the panel shrinks to 72 and the video grows.
  Find(u"ctnPlayWnd")->SetAttribute(u"height", u"72");
  Find(u"gsensor_panel")->SetVisible(false);
  ASSERT_TRUE(WaitFor([&] { return !window_->GetPaintManager()->IsUpdateNeeded(); }));
  EXPECT_EQ(Find(u"ctnPlayWnd")->GetHeight(), 72);
  EXPECT_EQ(media->GetHeight(), platform::RectHeight(before) + 60);
  EXPECT_TRUE(WaitFor([&] { return view.ScreenRect(xid) == onScreen(media->GetPos()); }));

  Find(u"ctnPlayWnd")->SetAttribute(u"height", u"132");
  ASSERT_TRUE(WaitFor([&] { return !window_->GetPaintManager()->IsUpdateNeeded(); }));
  EXPECT_EQ(media->GetPos(), before);

  media->SetVisible(false);
  EXPECT_TRUE(WaitFor([&] { return !view.Viewable(xid); }));
}

TEST(ConvertDialogTest, DropDownListChoosesAQuality) {
  SkinWindow dialog(u"translage.xml", 108);
  ASSERT_TRUE(dialog.Open(40, 40));
  auto* combo = static_cast<CComboUI*>(dialog.Find(u"comboquality"));
  ASSERT_NE(combo, nullptr);
  ASSERT_EQ(combo->GetCount(), 3);
  combo->SelectItem(1);
  EXPECT_EQ(combo->GetText(), u"800 × 480");
  dialog.notifications.clear();
  dialog.Click(combo);
  ASSERT_TRUE(WaitFor([&] { return combo->IsDropped(); }));
  Settle(150);
  // The list opens below the combo, 26 pixels an item, after a 1-pixel border.
  const POINT below = platform::ui::ClientToScreen(dialog.GetHWND(), {combo->GetPos().left + 20, combo->GetPos().bottom});
  MoveTo(below.x, below.y + 1 + 26 * 2 + 13);
  Settle(50);
  Xdotool("click 1");
  ASSERT_TRUE(WaitFor([&] { return dialog.Notified(DUI_MSGTYPE_ITEMSELECT, u"comboquality"); }));
  EXPECT_EQ(combo->GetCurSel(), 2);
  EXPECT_EQ(combo->GetText(), u"1280 × 768");
  EXPECT_FALSE(combo->IsDropped());

  // A press outside closes an open list without choosing.
  dialog.Click(combo);
  ASSERT_TRUE(WaitFor([&] { return combo->IsDropped(); }));
  Settle(100);
  MoveTo(5, 1000);
  Xdotool("click 1");
  ASSERT_TRUE(WaitFor([&] { return !combo->IsDropped(); }));
  EXPECT_EQ(combo->GetCurSel(), 2);
}

TEST(ConvertDialogTest, TypingIntoAnEditChangesItsText) {
  SkinWindow dialog(u"translage.xml", 108);
  ASSERT_TRUE(dialog.Open(40, 40));
  auto* edit = static_cast<CEditUI*>(dialog.Find(u"editPath"));
  edit->SetText(u"D:\\rec\\A001_out.mp4");
  dialog.Click(edit);
  ASSERT_TRUE(WaitFor([&] { return edit->IsFocused(); }));
  Xdotool("key End BackSpace BackSpace BackSpace");
  Xdotool("type mov");
  ASSERT_TRUE(WaitFor([&] { return edit->GetText() == u"D:\\rec\\A001_out.mov"; })) << edit->GetText().ToUtf8();
  EXPECT_TRUE(dialog.Notified(DUI_MSGTYPE_TEXTCHANGED, u"editPath"));
  // The read-only source box takes no typing.
  auto* source = static_cast<CEditUI*>(dialog.Find(u"srcEdit"));
  dialog.Click(source);
  Xdotool("type abc");
  Settle(200);
  EXPECT_TRUE(source->GetText().IsEmpty());
}

TEST(ModalTest, ModalLoopReturnsWhenTheCloseButtonCloses) {
  auto* dialog = new SkinWindow(u"translage.xml", 108);
  ASSERT_TRUE(dialog->Create(nullptr, u"转换视频", 0x10CF0000, 0x100, 100, 100));
  dialog->passClicksToFramework = true;
  const POINT close = dialog->CentreOf(dialog->Find(u"closebtn"));
  std::thread user([close] {
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    MoveTo(close);
    Xdotool("click 1");
  });
  const HWND hwnd = dialog->GetHWND();
  EXPECT_EQ(dialog->ShowModal(), static_cast<UINT>(platform::IDOK));
  user.join();
  EXPECT_FALSE(platform::IsWindow(hwnd));
  delete dialog;
}

}  // namespace

namespace {

using namespace duitest;

// The play-mode menu: a click on a row's label is a click on the row, and
// the notification can be handed on to another window's manager.
TEST(MenuTest, ClickOnARowLabelSelectsTheRow) {
  SkinWindow main(u"Orvixview.xml", 108);
  ASSERT_TRUE(main.Open(10, 10));
  SkinWindow menu(u"menu.xml", 108);
  ASSERT_TRUE(menu.Open(300, 300));
  struct Forward : INotifyUI {
    CPaintManagerUI* to = nullptr;
    void Notify(TNotifyUI& msg) override {
      if (msg.sType == DUI_MSGTYPE_ITEMCLICK) to->SendNotify(msg, false);
    }
  } forward;
  forward.to = main.GetPaintManager();
  menu.GetPaintManager()->AddNotifier(&forward);
  menu.Find(u"lab_item1")->SetVisible(true);
  menu.Click(menu.Find(u"lab_menuRandom"));
  ASSERT_TRUE(WaitFor([&] { return main.Notified(DUI_MSGTYPE_ITEMCLICK, u"menuRandom"); }));
  EXPECT_TRUE(menu.Notified(DUI_MSGTYPE_ITEMSELECT, u"menuList"));
  EXPECT_EQ(static_cast<CListUI*>(menu.Find(u"menuList"))->GetCurSel(), 1);
  menu.GetPaintManager()->RemoveNotifier(&forward);
}

}  // namespace
