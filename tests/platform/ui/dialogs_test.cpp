// Message boxes, file dialogs with the designed filter strings, file drops.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "platform/ui/file_dialog.h"
#include "platform/ui/file_drop.h"
#include "platform/text.h"
#include "platform/ui/message_box.h"
#include "ui_test_support.h"

namespace {

using namespace platform;
using uitest::RecordingWindow;
using uitest::WaitFor;

TEST(MessageBoxTest, PrintsTheCaptionAndTextAndAnswersTheDefaultButton) {
  ASSERT_STREQ(std::getenv("KESTRA_MESSAGEBOX"), "stderr");
  struct Case {
    uint32_t flags;
    int answer;
  } cases[] = {
      {MB_OK | MB_ICONERROR, IDOK},          {MB_OKCANCEL, IDOK},
      {MB_YESNO | MB_ICONQUESTION, IDYES},   {MB_YESNO | MB_DEFBUTTON2, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL}, {MB_RETRYCANCEL | MB_ICONWARNING, IDRETRY},
      {MB_OK | MB_DEFBUTTON3, IDOK},  // no third button: the first one
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(ui::MessageBoxW(nullptr, u"无法打开文件", u"Kestra Player", c.flags), c.answer) << c.flags;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "MessageBox: Kestra Player: 无法打开文件\n");
  }
}

TEST(FileFilterTest, ParsesBothDesignedForms) {
  const auto bars = ui::ParseFilterString(
      u"media file(*.mp4;*.mov;*.jpg;*.ts;*.TS|*.mp4;*.mov;*.jpg;*.ts;*.TS|All file(*.*)|*.*||");
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_EQ(bars[0].name, u"media file(*.mp4;*.mov;*.jpg;*.ts;*.TS");
  EXPECT_EQ(bars[0].patterns.size(), 5u);
  EXPECT_EQ(bars[1].patterns, (std::vector<std::u16string>{u"*"}));

  const std::u16string nuls(u"Movie Files(*.mp4,*.mov,*.ts)\0*.mp4;*.mov;*.ts\0All Files(*.*)\0*.*\0\0", 63);
  const auto pairs = ui::ParseFilterString(nuls);
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0].name, u"Movie Files(*.mp4,*.mov,*.ts)");
  EXPECT_EQ(pairs[0].patterns, (std::vector<std::u16string>{u"*.mp4", u"*.mov", u"*.ts"}));

  EXPECT_EQ(ui::ParseFilterString(u"Calibratefile (*.inf)|*.inf||").size(), 1u);
  EXPECT_TRUE(ui::ParseFilterString(u"name without patterns").empty());
  EXPECT_TRUE(ui::ParseFilterString(u"").empty());
}

TEST(FileFilterTest, MatchesWithoutRegardToCase) {
  const ui::FileFilter movies{u"Movies", {u"*.mp4", u"*.ts"}};
  EXPECT_TRUE(ui::FilterMatches(movies, u"A001.MP4"));
  EXPECT_TRUE(ui::FilterMatches(movies, u"clip.Ts"));
  EXPECT_FALSE(ui::FilterMatches(movies, u"clip.mov"));
  EXPECT_TRUE(ui::FilterMatches(ui::ParseFilterString(u"All|*.*||")[0], u"README"));
}

class ScriptedDialogTest : public ::testing::Test {
 protected:
  void TearDown() override { unsetenv("KESTRA_FILEDIALOG"); }
  std::string Existing(const char* name) {
    const std::string path = std::string(KESTRA_BIN_DIR) + "/../tests/platform_ui_test/" + name;
    std::ofstream(path) << "x";
    return path;
  }
};

TEST_F(ScriptedDialogTest, OpenDialogReturnsTheScriptedExistingFiles) {
  const std::string a = Existing("a.mp4"), b = Existing("b.ts");
  setenv("KESTRA_FILEDIALOG", (a + "\n" + b + "\n/no/such/file.mp4").c_str(), 1);
  ui::FileDialogOptions options;
  options.filter = u"Movie Files|*.mp4;*.ts||";
  options.multiSelect = true;
  testing::internal::CaptureStderr();
  const auto chosen = ui::ShowOpenFileDialog(options);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("[Movie Files]"), std::string::npos);
  EXPECT_EQ(chosen, (std::vector<std::u16string>{Utf8ToUtf16(a), Utf8ToUtf16(b)}));

  options.multiSelect = false;
  EXPECT_EQ(ui::ShowOpenFileDialog(options).size(), 1u);
  setenv("KESTRA_FILEDIALOG", "", 1);
  EXPECT_TRUE(ui::ShowOpenFileDialog(options).empty());
}

TEST_F(ScriptedDialogTest, SaveDialogReturnsThePathOrNothing) {
  setenv("KESTRA_FILEDIALOG", "/tmp/zentra.inf", 1);
  ui::FileDialogOptions options;
  options.filter = u"Calibratefile (*.inf)|*.inf||";
  options.defaultName = u"zentra.inf";
  EXPECT_EQ(ui::ShowSaveFileDialog(options), u"/tmp/zentra.inf");
  setenv("KESTRA_FILEDIALOG", "", 1);
  EXPECT_EQ(ui::ShowSaveFileDialog(options), u"");
}

TEST(FileDropTest, UriListsGiveLocalPaths) {
  EXPECT_EQ(ui::PathsFromUriList("file:///rec/A%20001.MP4\r\n# comment\r\nfile://localhost/rec/%E4%B8%AD.ts\r\n"
                                 "http://example.org/x.mp4\r\nfile://otherhost/x\r\nfile:///bad%zz\n"),
            (std::vector<std::string>{"/rec/A 001.MP4", "/rec/中.ts", "/bad%zz"}));
  EXPECT_TRUE(ui::PathsFromUriList("").empty());
}

TEST(FileDropTest, TheHandlerReadsTheDropWhileItRuns) {
  RecordingWindow window(0, 0, 100, 100, false);
  std::vector<std::u16string> seen;
  SetWindowHandler(window.hwnd, [&](HWND, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
    if (message != WM_DROPFILES) return 0;
    auto drop = reinterpret_cast<ui::HDROP>(wParam);
    for (uint32_t i = 0; i < ui::DragQueryFileCount(drop); ++i) seen.push_back(ui::DragQueryFileW(drop, i));
    EXPECT_EQ(ui::DragQueryFileW(drop, 99), u"");
    ui::DragFinish(drop);
    return 0;
  });
  EXPECT_TRUE(ui::DeliverDroppedPaths(window.hwnd, {"/a.mp4", "/b"}));
  EXPECT_EQ(seen, (std::vector<std::u16string>{u"/a.mp4", u"/b"}));
  EXPECT_FALSE(ui::DeliverDroppedPaths(nullptr, {"/a.mp4"}));
}

// A real drag of a file from another window, through the X drag protocol.
TEST(FileDropTest, DraggingAFileOntoTheWindowDeliversWmDropFiles) {
  RecordingWindow target(400, 100, 300, 200);
  ui::DragAcceptFiles(target.hwnd, true);

  GtkWidget* source = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_move(GTK_WINDOW(source), 50, 100);
  gtk_window_set_default_size(GTK_WINDOW(source), 200, 200);
  GtkWidget* area = gtk_event_box_new();
  gtk_container_add(GTK_CONTAINER(source), area);
  static const GtkTargetEntry kUris[] = {{const_cast<gchar*>("text/uri-list"), 0, 0}};
  gtk_drag_source_set(area, GDK_BUTTON1_MASK, kUris, 1, GDK_ACTION_COPY);
  auto provide = +[](GtkWidget*, GdkDragContext*, GtkSelectionData* data, guint, guint, gpointer) {
    gchar* uris[] = {const_cast<gchar*>("file:///rec/dropped%20clip.mp4"), nullptr};
    gtk_selection_data_set_uris(data, uris);
  };
  g_signal_connect(area, "drag-data-get", G_CALLBACK(provide), nullptr);
  gtk_widget_show_all(source);
  uitest::Settle(300);

  uitest::Xdotool("mousemove --sync 150 200 mousedown 1");
  for (int x = 160; x <= 550; x += 30) {
    uitest::Xdotool("mousemove --sync " + std::to_string(x) + " 200");
    uitest::Settle(20);
  }
  uitest::Settle(100);
  uitest::Xdotool("mouseup 1");
  EXPECT_TRUE(WaitFor([&] { return target.Received(WM_DROPFILES); }));
  gtk_widget_destroy(source);
}

// The real dialogs, answered with the keyboard by a user thread; the
// environment switch is lifted for the test's duration.
class RealDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { unsetenv("KESTRA_MESSAGEBOX"); }
  void TearDown() override {
    setenv("KESTRA_MESSAGEBOX", "stderr", 1);
    if (user_.joinable()) user_.join();
  }
  // Presses the keys once a window of that title is shown and had a moment
  // to take the keyboard.
  void PressWhenShown(std::string title, std::string keys) {
    if (user_.joinable()) user_.join();
    user_ = std::thread([title, keys] {
      std::system(("timeout 30 xdotool search --sync --onlyvisible --name '^" + title + "$' >/dev/null 2>&1").c_str());
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
      uitest::Xdotool("key --delay 120 " + keys);
    });
  }
  std::thread user_;
};

TEST_F(RealDialogTest, MessageBoxAnswersItsDefaultAndCancelButtons) {
  RecordingWindow owner(100, 100, 300, 200);
  PressWhenShown("Kestra Player", "Return");
  EXPECT_EQ(ui::MessageBoxW(owner.hwnd, u"无法打开文件", u"Kestra Player", MB_YESNO | MB_DEFBUTTON2 | MB_ICONERROR), IDNO);
  PressWhenShown("Kestra", "Escape");
  EXPECT_EQ(ui::MessageBoxA(owner.hwnd, "Save?", "Kestra", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
}

TEST_F(RealDialogTest, SaveDialogReturnsTheTypedName) {
  const std::string folder = std::string(KESTRA_BIN_DIR) + "/../tests/platform_ui_test";
  ui::FileDialogOptions options;
  options.filter = u"Calibratefile (*.inf)|*.inf||";
  options.initialFolder = Utf8ToUtf16(folder);
  options.defaultName = u"zentra.inf";
  options.overwritePrompt = false;
  options.title = u"Save calibration";
  PressWhenShown("Save calibration", "Return");
  const std::u16string chosen = ui::ShowSaveFileDialog(options);
  EXPECT_EQ(Utf16ToUtf8(chosen).substr(Utf16ToUtf8(chosen).rfind('/') + 1), "zentra.inf");
  PressWhenShown("Save calibration", "Escape");
  EXPECT_TRUE(ui::ShowSaveFileDialog(options).empty());
}

}  // namespace
