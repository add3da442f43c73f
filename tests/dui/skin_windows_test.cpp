// Every skin window of the player and the calibration tool opens from its
// embedded archive with every control the programs look up; screenshots
// of each are saved under the build tree for review.

#include <gtest/gtest.h>

#include <gtk/gtk.h>

#include <filesystem>

// After gtest: Xlib defines macros (None, Bool) that its headers use as names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "platform/ui/screen.h"
#include "samplegen/geometry.h"
#include "samplegen/scene.h"
#include "platform/ui/window.h"
#include "test_support.h"

namespace {

using namespace duitest;

const std::string kScreenshots = std::string(KESTRA_BIN_DIR) + "/../screenshots/";

struct SkinCase {
  const char16_t* file;
  int resource;
  const char* screenshot;
  std::vector<const char16_t*> names;
};

const std::vector<SkinCase>& SkinCases() {
  static const std::vector<SkinCase> cases = {
      {u"Orvixview.xml", 108, "player_main.png",
       {u"ctnCaption", u"btnTitle", u"Label_PlayPath", u"minbtn", u"maxbtn", u"restorebtn", u"closebtn", u"btnHelp",
        u"ctnPlaylist", u"treePlaylist", u"nodePlaylist", u"btnPlayMode", u"btnAdd", u"btnDelOne", u"btnDelete",
        u"ctnClient", u"wndMedia", u"gpsview", u"ActiveXGPS_web", u"GPSInfo", u"compass", u"compass_cur",
        u"speed_cur_lab", u"ctnPlayWnd", u"ctnSlider", u"sliderPlay", u"gsensor_panel", u"gensor",
        u"btnPlaylistShow", u"btnPlaylistHide", u"btnStop", u"labelPlayTime", u"btnPause", u"btnPlay",
        u"btnPrePlay", u"btnNextPlay", u"downbtn", u"leftbtn", u"rightbtn", u"top_btn", u"split2btn", u"split4btn",
        u"widebtn", u"ballbtn", u"btnScreenNormal", u"btnScreenFull", u"btnVolume", u"btnVolumeZero",
        u"btnTranslate", u"sliderVol", u"btnOpenMini", u"btnBiaoding"}},
      {u"menu.xml", 108, "player_menu.png",
       {u"menuSequence", u"menuRandom", u"menuSingleCircle", u"lab_menuSequence", u"lab_menuRandom",
        u"lab_menuSingleCircle", u"lab_item0", u"lab_item1", u"lab_item2"}},
      {u"translage.xml", 108, "player_convert.png",
       {u"Label_title", u"Label_prompt", u"Label_direct", u"Label_quality", u"Label_model", u"Label_process",
        u"Label_remain", u"Label_output", u"btnAdd", u"btnStart", u"btnStop", u"btnBorse", u"optLeft", u"optUp",
        u"optDown", u"optRight", u"optWide", u"optSlit4", u"optSlit2", u"labpersent", u"labetime", u"editPath",
        u"srcEdit", u"comboquality", u"ProgressTranslate", u"wndMedia", u"closebtn"}},
      {u"titlebar.xml", 138, "kalibro_titlebar.png", {u"minbtn", u"closebtn"}},
      {u"ctrlPanel.xml", 138, "kalibro_panel.png",
       {u"btnSelFile", u"btnAuto", u"btnSave", u"btnExit", u"edit_Info", u"edit_fov", u"txtFov"}},
  };
  return cases;
}

TEST(SkinWindowsTest, EachSkinOpensWithEveryNamedControl) {
  std::filesystem::create_directories(kScreenshots);
  for (const SkinCase& c : SkinCases()) {
    SkinWindow window(c.file, c.resource);
    ASSERT_TRUE(window.Open(30, 30)) << CDuiString(c.file).ToUtf8();
    for (const char16_t* name : c.names) {
      EXPECT_NE(window.Find(name), nullptr) << CDuiString(c.file).ToUtf8() << ": " << CDuiString(name).ToUtf8();
    }
    EXPECT_EQ(window.Find(u"noSuchControl"), nullptr);
    EXPECT_TRUE(window.SaveScreenshot(kScreenshots + c.screenshot));
  }
}

// Draws what the engine shows in the four-view layout into the video
// window, as the engine does (another X client), so that the screenshot of
// the playing display shows a picture there.
void PaintFourViews(CWndUI* video) {
  Display* display = XOpenDisplay(nullptr);
  const auto window = static_cast<Window>(platform::GetNativeWindowId(video->GetHWND()));
  XWindowAttributes attributes{};
  if (!display || !XGetWindowAttributes(display, window, &attributes) || attributes.depth != 24) {
    if (display) XCloseDisplay(display);
    return;
  }
  const int width = attributes.width, height = attributes.height, half = width / 2, rows = height / 2;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  for (int view = 0; view < 4; ++view) {
    const samplegen::PerspectiveCamera camera(half, rows, 45 + 90 * view, 12, 95);
    for (int y = 0; y < rows; ++y) {
      for (int x = 0; x < half; ++x) {
        samplegen::Vec3 direction;
        if (!camera.DirectionAt(x + 0.5, y + 0.5, &direction)) continue;
        const samplegen::Rgb c = samplegen::SceneColour(direction, 3.0);
        pixels[static_cast<size_t>(y + rows * (view / 2)) * width + x + half * (view % 2)] =
            (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
      }
    }
  }
  XImage* image = XCreateImage(display, attributes.visual, 24, ZPixmap, 0, reinterpret_cast<char*>(pixels.data()),
                               width, height, 32, 0);
  XPutImage(display, window, DefaultGC(display, DefaultScreen(display)), image, 0, 0, 0, 0, width, height);
  image->data = nullptr;  // the pixels belong to the vector
  XDestroyImage(image);
  XSync(display, False);
  XCloseDisplay(display);
}

// The main window as the player shows it while stopped and while playing a
// recording with GPS (the display routine of the main window, in short).
void ShowDisplay(SkinWindow& window, bool playing) {
  for (const char16_t* name : {u"downbtn", u"leftbtn", u"top_btn", u"split2btn", u"split4btn", u"widebtn", u"ballbtn",
                               u"ctnSlider", u"Label_PlayPath", u"btnPrePlay", u"btnNextPlay", u"btnPause",
                               u"wndMedia", u"gpsview", u"gsensor_panel", u"btnPlaylistShow"}) {
    window.Find(name)->SetVisible(playing);
  }
  for (const char16_t* name : {u"ctnClient", u"btnPlay", u"ctnPlaylist", u"btnPlaylistHide"}) {
    window.Find(name)->SetVisible(!playing);
  }
  window.Find(u"ctnPlayWnd")->SetAttribute(u"height", playing ? u"132" : u"72");
  window.Find(u"labelPlayTime")->SetText(playing ? u"00:01:24 / 00:03:00" : u"");
  window.Find(u"Label_PlayPath")->SetText(u"/media/dashcam/DCIMA/20240615_103000.MP4");
  static_cast<CProgressUI*>(window.Find(u"sliderPlay"))->SetValue(playing ? 466 : 0);
  window.Find(u"speed_cur_lab")->SetText(u"58km/h");
  window.Find(u"compass_cur")->SetBkImage(u"mag0215.png");
  window.GetPaintManager()->EnsureLayout();
}

TEST(SkinWindowsTest, MainWindowInItsStoppedAndPlayingDisplays) {
  SkinWindow window(u"Orvixview.xml", 108);
  ASSERT_TRUE(window.Open(0, 0));
  auto* header = static_cast<CTreeNodeUI*>(window.Find(u"nodePlaylist"));
  for (const char16_t* file : {u"20240615_103000.MP4", u"front_1080p30.mp4", u"front_1080p60_sbtl.mp4",
                               u"front_2880p30.mp4", u"front_1080p30.ts"}) {
    auto* entry = new CTreeNodeUI();
    entry->SetItemText(file);
    entry->SetTag(1);
    entry->SetItemTextColor(0xFFC8C6CB);
    entry->SetItemHotTextColor(0xFFC8C6CB);
    entry->SetSelItemTextColor(0xFFC8C6CB);
    entry->SetAttribute(u"height", u"22");
    entry->SetAttribute(u"inset", u"7,0,0,0");
    entry->SetAttribute(u"itemattr", u"valign=\"vcenter\" font=\"4\"");
    entry->SetAttribute(u"folderattr", u"width=\"0\" float=\"true\"");
    header->Add(entry);
  }
  static_cast<CTreeViewUI*>(window.Find(u"treePlaylist"))->SelectItem(3);
  ShowDisplay(window, false);
  EXPECT_TRUE(window.SaveScreenshot(kScreenshots + "player_main_stopped.png"));
  ShowDisplay(window, true);
  Settle(200);
  PaintFourViews(static_cast<CWndUI*>(window.Find(u"wndMedia")));
  EXPECT_TRUE(window.SaveScreenshot(kScreenshots + "player_main_playing.png"));
  // Every control of the button row fits the window while playing.
  const RECT last = window.Find(u"btnScreenFull")->GetPos();
  EXPECT_LE(last.right, 968);
  EXPECT_GT(last.right - last.left, 0);
}

TEST(SkinWindowsTest, WindowAttributesComeFromTheSkin) {
  SkinWindow main(u"Orvixview.xml", 108);
  ASSERT_TRUE(main.Open(10, 10));
  EXPECT_EQ(platform::ui::GetClientRect(main.GetHWND()), (RECT{0, 0, 968, 600}));
  platform::MINMAXINFO limits;
  main.SendMessage(platform::WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, 600);
  EXPECT_EQ(limits.ptMinTrackSize.y, 400);
  // The top 32 pixels are the caption where no working control lies.
  const auto hit = [&](CControlUI* control) {
    const POINT p = main.CentreOf(control);
    return main.SendMessage(platform::WM_NCHITTEST, 0, platform::MakeLParam(p.x, p.y));
  };
  EXPECT_EQ(hit(main.Find(u"Label_PlayPath")), platform::HTCAPTION);
  EXPECT_EQ(hit(main.Find(u"closebtn")), platform::HTCLIENT);
  EXPECT_EQ(hit(main.Find(u"speed_cur_lab")), platform::HTCLIENT);
  EXPECT_EQ(main.SendMessage(platform::WM_NCHITTEST, 0, platform::MakeLParam(10 + 967, 10 + 599)),
            platform::HTBOTTOMRIGHT);

  SkinWindow menu(u"menu.xml", 108);
  ASSERT_TRUE(menu.Open(10, 10));
  EXPECT_EQ(platform::ui::GetClientRect(menu.GetHWND()), (RECT{0, 0, 184, 72}));

  // The icon resource that came with the skin.
  main.SetIcon(114);
  GtkWidget* top = gtk_widget_get_toplevel(platform::ui::GetClientWidget(main.GetHWND()));
  EXPECT_NE(gtk_window_get_icon(GTK_WINDOW(top)), nullptr);
  testing::internal::CaptureStderr();
  main.SetIcon(999);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("no icon 999"), std::string::npos);
}

TEST(SkinWindowsTest, KalibroPanelsAreChildWindowsOfTheirDialog) {
  SkinWindow dialog(u"Orvixview.xml", 108);  // stands in for the calibration dialog
  ASSERT_TRUE(dialog.Open(0, 0));
  SkinWindow title(u"titlebar.xml", 138);
  const dui::DWORD childStyle = platform::WS_CHILD | platform::WS_VISIBLE | platform::WS_CLIPSIBLINGS |
                                     platform::WS_CLIPCHILDREN;
  ASSERT_TRUE(title.Create(dialog.GetHWND(), u"DUIWnd", childStyle, 0, 968 - 66, 0, 66, 34));
  SkinWindow panel(u"ctrlPanel.xml", 138);
  ASSERT_TRUE(panel.Create(dialog.GetHWND(), u"DUIWndPanel", childStyle, 0, 0, 500, 968, 78));
  Settle(200);
  EXPECT_EQ(platform::GetParent(title.GetHWND()), dialog.GetHWND());
  EXPECT_EQ(platform::ui::GetClientRect(panel.GetHWND()), (RECT{0, 0, 968, 78}));
  EXPECT_EQ(platform::ui::GetWindowRect(title.GetHWND()), (RECT{902, 0, 968, 34}));
  title.Click(title.Find(u"closebtn"));
  EXPECT_TRUE(WaitFor([&] { return !title.clicks.empty(); }));
  EXPECT_EQ(title.clicks.front(), u"closebtn");
  // The switch back to the player's archive happens when a window asks for it.
  SkinWindow again(u"menu.xml", 108);
  EXPECT_TRUE(again.Open(0, 0));
}

TEST(SkinWindowsTest, MissingSkinFileGivesAClearErrorAndNoWindow) {
  SkinWindow broken(u"no_such_skin.xml", 108);
  testing::internal::CaptureStderr();
  EXPECT_EQ(broken.Create(nullptr, u"Kestra", 0x10CF0000, 0), nullptr);
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("MessageBox: Kestra: The window cannot be shown"), std::string::npos) << log;
  EXPECT_NE(log.find("no_such_skin.xml"), std::string::npos);
  EXPECT_EQ(broken.ShowModal(), 0u);  // no window: returns at once
}

}  // namespace
