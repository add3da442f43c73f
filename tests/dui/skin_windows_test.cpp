// Every skin window of the player and the calibration tool opens from its
// embedded archive with every control the programs look up; screenshots
// of each are saved under the build tree for review.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ui/screen.h"
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
