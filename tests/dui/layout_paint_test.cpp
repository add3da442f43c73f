// Layout and painting of control trees without a window: layout into a
// given size, paint into a Cairo image surface, check the pixels.

#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include <memory>

#include "dui/dui.h"

namespace {

using namespace dui;

// A manager without a window, laid out at a fixed size.
class Headless {
 public:
  CControlUI* Build(const char16_t* xml, SIZE size) {
    CDialogBuilder builder;
    CControlUI* root = builder.Create(xml, &manager);
    EXPECT_NE(root, nullptr) << builder.GetLastError();
    manager.AttachDialog(root);
    manager.SetLayoutSize(size);
    manager.EnsureLayout();
    return root;
  }
  CControlUI* operator[](const char16_t* name) { return manager.FindControl(name); }

  // Paints the whole tree and returns the picture.
  std::shared_ptr<cairo_surface_t> Paint(SIZE size) {
    manager.EnsureLayout();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size.cx, size.cy);
    cairo_t* cr = cairo_create(surface);
    manager.Paint(cr, {0, 0, size.cx, size.cy});
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return std::shared_ptr<cairo_surface_t>(surface, cairo_surface_destroy);
  }
  CPaintManagerUI manager;
};

// 0xRRGGBB of an opaque pixel (alpha ignored).
uint32_t Pixel(const std::shared_ptr<cairo_surface_t>& surface, int x, int y) {
  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  return *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4) & 0xFFFFFF;
}

int CountPixelsNot(const std::shared_ptr<cairo_surface_t>& surface, RECT area, uint32_t rgb) {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) count += Pixel(surface, x, y) != rgb;
  }
  return count;
}

TEST(LayoutTest, VerticalStackGivesFixedSizesFirstAndSharesTheRest) {
  Headless ui;
  ui.Build(uR"(<VerticalLayout inset="10,10,10,10" childpadding="5">
      <Control name="a" height="40" />
      <Control name="b" />
      <Control name="c" height="30" padding="0,4,0,6" />
      <Control name="d" width="50" />
    </VerticalLayout>)", {200, 300});
  EXPECT_EQ(ui[u"a"]->GetPos(), (RECT{10, 10, 190, 50}));
  // 280 inner - 40 - 40 (c with padding) - 15 (3 gaps) = 185 shared by b and d.
  EXPECT_EQ(ui[u"b"]->GetPos(), (RECT{10, 55, 190, 147}));
  EXPECT_EQ(ui[u"c"]->GetPos(), (RECT{10, 156, 190, 186}));
  EXPECT_EQ(ui[u"d"]->GetPos(), (RECT{10, 197, 60, 290}));  // the last one ends at the inset
}

TEST(LayoutTest, HiddenChildrenFreeTheirSpaceAndAttributesRelayout) {
  Headless ui;
  ui.Build(uR"(<HorizontalLayout>
      <Control name="left" width="60" />
      <Control name="middle" />
      <Control name="right" width="40" minheight="10" maxheight="30" height="100" />
    </HorizontalLayout>)", {300, 50});
  EXPECT_EQ(ui[u"middle"]->GetPos(), (RECT{60, 0, 260, 50}));
  EXPECT_EQ(ui[u"right"]->GetPos(), (RECT{260, 0, 300, 30}));  // height clamped by maxheight

  ui[u"left"]->SetVisible(false);
  ui.manager.EnsureLayout();
  EXPECT_EQ(ui[u"middle"]->GetPos(), (RECT{0, 0, 260, 50}));

  ui[u"right"]->SetAttribute(u"width", u"100");
  EXPECT_TRUE(ui.manager.IsUpdateNeeded());
  ui.manager.EnsureLayout();
  EXPECT_EQ(ui[u"middle"]->GetPos(), (RECT{0, 0, 200, 50}));
}

TEST(LayoutTest, FloatChildrenSitAtTheirOffsetAndContainersOverlap) {
  Headless ui;
  ui.Build(uR"(<Container inset="5,5,5,5">
      <Control name="under" />
      <VerticalLayout name="over">
        <Control name="compass" width="151" height="151" padding="49,8,0,0" />
        <Control name="needle" float="true" pos="49,8,200,159" />
      </VerticalLayout>
    </Container>)", {260, 200});
  EXPECT_EQ(ui[u"under"]->GetPos(), ui[u"over"]->GetPos());
  EXPECT_EQ(ui[u"compass"]->GetPos(), (RECT{54, 13, 205, 164}));
  EXPECT_EQ(ui[u"needle"]->GetPos(), ui[u"compass"]->GetPos());
}

TEST(LayoutTest, ScrollingMovesTheChildrenWithinTheRange) {
  Headless ui;
  ui.Build(uR"(<VerticalLayout name="list" vscrollbar="true">
      <Control name="a" height="60" /><Control name="b" height="60" /><Control name="c" height="60" />
    </VerticalLayout>)", {100, 100});
  auto* list = static_cast<CContainerUI*>(ui[u"list"]);
  EXPECT_EQ(list->GetScrollRange().cy, 80);
  ASSERT_NE(list->GetVerticalScrollBar(), nullptr);
  EXPECT_TRUE(list->GetVerticalScrollBar()->IsVisible());
  EXPECT_EQ(ui[u"a"]->GetPos().right, 92);  // room left for the 8-pixel bar
  list->SetScrollPos({0, 500});
  EXPECT_EQ(list->GetScrollPos().cy, 80);
  EXPECT_EQ(ui[u"c"]->GetPos(), (RECT{0, 40, 92, 100}));
}

TEST(PaintTest, BackgroundsBordersAndProgressFill) {
  Headless ui;
  ui.Build(uR"(<VerticalLayout bkcolor="#FF102030">
      <Control name="boxed" height="40" bkcolor="#FF00FF00" bordersize="2" bordercolor="#FFFF0000" />
      <Progress name="bar" height="20" value="50" bkcolor="#FF0000FF" forecolor="#FFFFFF00" />
      <Control />
    </VerticalLayout>)", {200, 100});
  const auto picture = ui.Paint({200, 100});
  EXPECT_EQ(Pixel(picture, 100, 20), 0x00FF00u);
  EXPECT_EQ(Pixel(picture, 0, 20), 0xFF0000u);   // border
  EXPECT_EQ(Pixel(picture, 50, 50), 0xFFFF00u);  // filled half of the bar
  EXPECT_EQ(Pixel(picture, 150, 50), 0x0000FFu);
  EXPECT_EQ(Pixel(picture, 100, 90), 0x102030u);  // the root shows through the empty control

  static_cast<CProgressUI*>(ui[u"bar"])->SetValue(100);
  EXPECT_EQ(Pixel(ui.Paint({200, 100}), 150, 50), 0xFFFF00u);
}

TEST(PaintTest, TextStaysInsideItsLabelAndCjkHasGlyphs) {
  Headless ui;
  ui.Build(uR"(<Window><Font id="0" name="Noto Sans CJK SC" size="14" default="true" />
      <VerticalLayout bkcolor="#FF000000" inset="20,20,20,20">
        <Label name="title" text="转换视频 Kestra" height="30" textcolor="#FFFFFFFF" />
      </VerticalLayout></Window>)", {220, 80});
  const auto picture = ui.Paint({220, 80});
  const RECT label = ui[u"title"]->GetPos();
  EXPECT_GT(CountPixelsNot(picture, label, 0x000000), 100);
  EXPECT_EQ(CountPixelsNot(picture, {0, 0, 220, 20}, 0x000000), 0);
  EXPECT_EQ(CountPixelsNot(picture, {0, 50, 220, 80}, 0x000000), 0);

  // Every CJK text of the skins has glyphs in the skins' font.
  cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  cairo_t* cr = cairo_create(scratch);
  PangoLayout* layout = pango_cairo_create_layout(cr);
  pango_layout_set_font_description(layout, ui.manager.GetFont(0)->description);
  pango_layout_set_text(layout, "转换视频 最小化 关闭 选择文件 自动标定 保存标定 退出", -1);
  EXPECT_EQ(pango_layout_get_unknown_glyphs_count(layout), 0);
  g_object_unref(layout);
  cairo_destroy(cr);
  cairo_surface_destroy(scratch);
}

TEST(PaintTest, ButtonShowsItsStatePictures) {
  ASSERT_TRUE(CPaintManagerUI::SetResourceZipFromResource(108));
  Headless ui;
  ui.Build(uR"(<HorizontalLayout bkcolor="#FF000000">
      <Button name="closebtn" width="46" normalimage="cap_close.png" hotimage="cap_close_hot.png" />
      <Option name="opt" width="40" selectedbkcolor="#FF3B9EFF" />
      <Control />
    </HorizontalLayout>)", {200, 40});
  EXPECT_EQ(Pixel(ui.Paint({200, 40}), 4, 20), 0x000000u);
  TEventUI enter;
  enter.Type = UIEVENT_MOUSEENTER;
  ui[u"closebtn"]->Event(enter);
  EXPECT_EQ(Pixel(ui.Paint({200, 40}), 4, 20), 0xE5484Du);  // the red of a hot close button

  static_cast<COptionUI*>(ui[u"opt"])->Selected(true);
  EXPECT_EQ(Pixel(ui.Paint({200, 40}), 66, 20), 0x3B9EFFu);
}

TEST(PaintTest, MissingPictureIsReportedOnceAndSkipped) {
  ASSERT_TRUE(CPaintManagerUI::SetResourceZipFromResource(108));
  Headless ui;
  ui.Build(uR"(<VerticalLayout bkcolor="#FF203040" bkimage="no_such_picture.png" />)", {50, 50});
  testing::internal::CaptureStderr();
  ui.Paint({50, 50});
  const auto picture = ui.Paint({50, 50});
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(Pixel(picture, 25, 25), 0x203040u);
  EXPECT_NE(log.find("no_such_picture.png"), std::string::npos);
  EXPECT_EQ(log.find("no_such_picture.png"), log.rfind("no_such_picture.png"));
}

}  // namespace
