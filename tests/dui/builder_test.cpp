// Skin archives, the skin builder and the tree built from skins.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "dui/dui.h"

namespace {

using namespace dui;

const uint8_t* PlayerSkin(size_t* size) {
  const uint8_t* data = nullptr;
  EXPECT_TRUE(FindSkinResource(108, &data, size));
  return data;
}

TEST(SkinArchiveTest, NamesMatchWithoutRegardToCase) {
  size_t size = 0;
  const uint8_t* data = PlayerSkin(&size);
  SkinArchive archive;
  ASSERT_TRUE(archive.Open(data, size));
  std::vector<uint8_t> asked, stored;
  ASSERT_TRUE(archive.Read("Caption.xml", &asked));
  ASSERT_TRUE(archive.Read("caption.xml", &stored));
  EXPECT_EQ(asked, stored);
  EXPECT_TRUE(archive.Contains("ORVIXVIEW.XML"));
  std::string error;
  EXPECT_FALSE(archive.Read("nothing.xml", &asked, &error));
  EXPECT_NE(error.find("nothing.xml"), std::string::npos);
}

TEST(SkinArchiveTest, DamagedArchivesAreRefusedWithAReason) {
  const std::string garbage = "PK\x03\x04 this is not really an archive";
  SkinArchive archive;
  std::string error;
  EXPECT_FALSE(archive.Open(reinterpret_cast<const uint8_t*>(garbage.data()), garbage.size(), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(archive.Open(nullptr, 0, &error));
  size_t size = 0;
  const uint8_t* data = PlayerSkin(&size);
  EXPECT_FALSE(archive.Open(data, size / 2, &error));  // cut short: the directory is gone
}

// A member whose directory entry claims an absurd size is refused with a
// reason before anything of that size is allocated.
TEST(SkinArchiveTest, MemberClaimingAHugeSizeIsRefused) {
  size_t size = 0;
  const uint8_t* data = PlayerSkin(&size);
  std::vector<uint8_t> bytes(data, data + size);
  // Central directory entry: "PK\1\2", uncompressed size at 24, name at 46.
  const std::string name = "scrollbar.xml";
  const std::string entry = std::string("PK\x01\x02", 4);
  size_t at = 0;
  for (; at + 46 + name.size() <= bytes.size(); ++at) {
    if (std::equal(entry.begin(), entry.end(), bytes.begin() + at) &&
        std::equal(name.begin(), name.end(), bytes.begin() + at + 46)) {
      break;
    }
  }
  ASSERT_LT(at + 46 + name.size(), bytes.size());
  for (int i = 0; i < 4; ++i) bytes[at + 24 + i] = i == 0 ? 0xF0 : 0xFF;  // 0xFFFFFFF0, little-endian
  SkinArchive archive;
  ASSERT_TRUE(archive.Open(bytes.data(), bytes.size()));
  std::vector<uint8_t> member;
  std::string error;
  EXPECT_FALSE(archive.Read(name, &member, &error));
  EXPECT_NE(error.find(name), std::string::npos);
  EXPECT_LT(member.capacity(), size_t{1} << 20);
}

// Picture N of the compass points its red end (N + 180) degrees clockwise
// from north; the red pixels' centre of mass shows the direction.
TEST(SkinArchiveTest, CompassNeedlesPointWhereThePlayerExpects) {
  size_t size = 0;
  const uint8_t* data = PlayerSkin(&size);
  ASSERT_TRUE(CPaintManagerUI::SetResourceZip(data, size));
  CPaintManagerUI manager;
  ASSERT_NE(manager.GetImage(u"compassbk.png"), nullptr);
  for (int n : {0, 90, 150, 181, 270, 359, 360}) {
    CDuiString name;
    name.Format(u"mag%04d.png", n);
    const TImageInfo* needle = manager.GetImage(name);
    ASSERT_NE(needle, nullptr) << name.ToUtf8();
    ASSERT_EQ(needle->width, 151);
    ASSERT_EQ(needle->height, 151);
    const unsigned char* pixels = cairo_image_surface_get_data(needle->surface);
    const int stride = cairo_image_surface_get_stride(needle->surface);
    EXPECT_EQ(pixels[3], 0) << "corner transparent";
    double sx = 0, sy = 0;
    int count = 0;
    for (int y = 0; y < 151; ++y) {
      for (int x = 0; x < 151; ++x) {
        const unsigned char* p = pixels + y * stride + x * 4;  // B G R A, premultiplied
        if (p[3] > 200 && p[2] > 180 && p[1] < 120) sx += x - 75, sy += y - 75, ++count;
      }
    }
    ASSERT_GT(count, 50);
    const double clockwiseFromNorth = std::fmod(std::atan2(sx, -sy) * 180 / M_PI + 360, 360);
    const double expected = std::fmod(n + 180.0, 360.0);
    const double error = std::fabs(std::remainder(clockwiseFromNorth - expected, 360.0));
    EXPECT_LT(error, 3.0) << "picture " << n;
  }
}

class Recorder : public IDialogBuilderCallback {
 public:
  CControlUI* CreateControl(const char16_t* className) override {
    asked.emplace_back(className);
    return CDuiString(className) == u"Custom" ? new CLabelUI() : nullptr;
  }
  std::vector<std::u16string> asked;
};

TEST(BuilderTest, UnknownElementsAreAskedForThenLeftOut) {
  CPaintManagerUI manager;
  Recorder recorder;
  CDialogBuilder builder;
  testing::internal::CaptureStderr();
  CControlUI* root = builder.Create(uR"(<Window><Default name="Custom" value="textcolor=&quot;#FF112233&quot;" />
      <HorizontalLayout>
        <Custom name="custom" height="40" />
        <Mystery name="gone"><Button name="inside" /></Mystery>
        <button name="kept" />
      </HorizontalLayout></Window>)", &manager, &recorder);
  const std::string log = testing::internal::GetCapturedStderr();
  ASSERT_NE(root, nullptr) << builder.GetLastError();
  manager.AttachDialog(root);
  EXPECT_EQ(recorder.asked, (std::vector<std::u16string>{u"Custom", u"Mystery"}));
  ASSERT_NE(manager.FindControl(u"custom"), nullptr);
  EXPECT_EQ(manager.FindControl(u"custom")->GetFixedHeight(), 40);
  EXPECT_EQ(static_cast<CLabelUI*>(manager.FindControl(u"custom"))->GetTextColor(), 0xFF112233u);
  EXPECT_EQ(manager.FindControl(u"gone"), nullptr);
  EXPECT_EQ(manager.FindControl(u"inside"), nullptr);
  EXPECT_NE(manager.FindControl(u"kept"), nullptr);  // element names ignore case
  EXPECT_NE(log.find("Mystery"), std::string::npos);
  EXPECT_EQ(manager.FindControl(u"noSuchControl"), nullptr);
}

TEST(BuilderTest, BrokenSkinsFailWithAReason) {
  ASSERT_TRUE(CPaintManagerUI::SetResourceZipFromResource(108));
  CPaintManagerUI manager;
  CDialogBuilder builder;
  EXPECT_EQ(builder.Create(u"<Window><VerticalLayout></Window>", &manager), nullptr);
  EXPECT_NE(builder.GetLastError().find("not well-formed"), std::string::npos);
  EXPECT_EQ(builder.Create(u"missing_skin.xml", &manager), nullptr);
  EXPECT_NE(builder.GetLastError().find("missing_skin.xml"), std::string::npos);
  EXPECT_EQ(builder.Create(u"<Window><Font id=\"1\" /></Window>", &manager), nullptr);
  EXPECT_NE(builder.GetLastError().find("no control"), std::string::npos);
}

// A skin whose element builds the same file again must end, not recurse forever.
TEST(BuilderTest, SelfIncludingSkinEnds) {
  struct Loop : IDialogBuilderCallback {
    CPaintManagerUI* manager = nullptr;
    CControlUI* CreateControl(const char16_t*) override {
      CDialogBuilder inner;
      return inner.Create(u"<Window><VerticalLayout><Again /></VerticalLayout></Window>", manager, this);
    }
  } loop;
  CPaintManagerUI manager;
  loop.manager = &manager;
  CDialogBuilder builder;
  testing::internal::CaptureStderr();
  CControlUI* root = builder.Create(u"<Window><VerticalLayout><Again /></VerticalLayout></Window>", &manager, &loop);
  testing::internal::GetCapturedStderr();
  ASSERT_NE(root, nullptr);
  delete root;
}

class TreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CPaintManagerUI::SetResourceZipFromResource(108));
    CDialogBuilder builder;
    CControlUI* root = builder.Create(u"Playlist.xml", &manager);
    ASSERT_NE(root, nullptr) << builder.GetLastError();
    manager.AttachDialog(root);
    tree = static_cast<CTreeViewUI*>(manager.FindControl(u"treePlaylist"));
    header = static_cast<CTreeNodeUI*>(manager.FindControl(u"nodePlaylist"));
    ASSERT_TRUE(tree && header);
  }
  CTreeNodeUI* AddEntry(const char16_t* text) {
    auto* node = new CTreeNodeUI();
    node->SetItemText(text);
    node->SetTag(1);
    node->SetAttribute(u"height", u"22");
    node->SetAttribute(u"inset", u"7,0,0,0");
    node->SetItemTextColor(0xFFC8C6CB);
    header->Add(node);
    return node;
  }
  CPaintManagerUI manager;
  CTreeViewUI* tree = nullptr;
  CTreeNodeUI* header = nullptr;
};

TEST_F(TreeTest, EntriesGoAfterTheHeadersLastDescendant) {
  ASSERT_EQ(tree->GetCount(), 3);  // header, tool row, closing node
  EXPECT_EQ(header->GetTreeIndex(), 0);
  EXPECT_EQ(header->GetCountChild(), 1);
  EXPECT_NE(manager.FindSubControlByName(header->GetChildNode(0), u"btnPlayMode"), nullptr);
  CControlUI* closing = tree->GetItemAt(2);

  CTreeNodeUI* a = AddEntry(u"a.mp4");
  CTreeNodeUI* b = AddEntry(u"b.mp4");
  EXPECT_EQ(a->GetTreeIndex(), 2);
  EXPECT_EQ(b->GetTreeIndex(), 3);
  EXPECT_EQ(tree->GetItemIndex(closing), 4);
  EXPECT_EQ(header->GetCountChild(), 3);
  EXPECT_EQ(header->GetChildNode(2), b);
  EXPECT_EQ(b->GetParentNode(), header);
  EXPECT_EQ(b->GetItemText(), u"b.mp4");

  EXPECT_TRUE(tree->SelectItem(3));
  EXPECT_EQ(tree->GetCurSel(), 3);
  header->Remove(a);
  EXPECT_EQ(b->GetTreeIndex(), 2);
  EXPECT_EQ(tree->GetCurSel(), 2);  // the selection stays on b
  EXPECT_EQ(header->GetCountChild(), 2);
}

TEST_F(TreeTest, NodesBuiltOffTreeJoinWithTheirChildren) {
  auto* group = new CTreeNodeUI();
  group->SetItemText(u"group");
  auto* child = new CTreeNodeUI();
  group->Add(child);  // held until the group joins the tree
  EXPECT_EQ(child->GetTreeIndex(), -1);
  header->Add(group);
  EXPECT_EQ(group->GetTreeIndex(), 2);
  EXPECT_EQ(child->GetTreeIndex(), 3);
  EXPECT_EQ(child->GetTreeLevel(), 2);

  group->SetExpanded(false);
  EXPECT_FALSE(child->IsVisible());
  group->SetExpanded(true);
  EXPECT_TRUE(child->IsVisible());

  tree->Remove(header);  // the header leaves with its whole subtree
  EXPECT_EQ(tree->GetCount(), 1);
  EXPECT_EQ(manager.FindControl(u"btnPlayMode"), nullptr);
}

// A handler may destroy the window, and with it the manager, while a
// notification is being delivered: the notifiers after it are not called.
TEST(ManagerLifetimeTest, NotifiersStopWhenAHandlerDestroysTheManager) {
  struct Destroyer : INotifyUI {
    CPaintManagerUI* manager = nullptr;
    void Notify(TNotifyUI&) override { delete manager; }
  } destroyer;
  struct Counter : INotifyUI {
    int calls = 0;
    void Notify(TNotifyUI&) override { ++calls; }
  } later[3];
  destroyer.manager = new CPaintManagerUI();
  destroyer.manager->AddNotifier(&destroyer);
  for (Counter& counter : later) destroyer.manager->AddNotifier(&counter);
  destroyer.manager->SendNotify(nullptr, DUI_MSGTYPE_CLICK);
  for (const Counter& counter : later) EXPECT_EQ(counter.calls, 0);
}

// A subtree handed back by Remove(..., true) and deleted by its new owner
// leaves nothing behind in the manager: names, option groups.
TEST(ManagerLifetimeTest, SubtreeTakenOutOfTheTreeIsForgottenWithItsChildren) {
  CPaintManagerUI manager;
  CDialogBuilder builder;
  manager.AttachDialog(builder.Create(uR"(<VerticalLayout>
      <HorizontalLayout name="row"><Button name="inner" /><Option name="taken" group="g" /></HorizontalLayout>
      <Option name="kept" group="g" />
    </VerticalLayout>)", &manager));
  auto* root = static_cast<CContainerUI*>(manager.GetRoot());
  CControlUI* row = manager.FindControl(u"row");
  ASSERT_NE(manager.FindControl(u"inner"), nullptr);
  ASSERT_TRUE(root->Remove(row, true));
  delete row;
  EXPECT_EQ(manager.FindControl(u"row"), nullptr);
  EXPECT_EQ(manager.FindControl(u"inner"), nullptr);
  EXPECT_EQ(manager.FindControl(u"taken"), nullptr);
  EXPECT_EQ(manager.GetOptionGroup(u"g").size(), 1u);
  static_cast<COptionUI*>(manager.FindControl(u"kept"))->Selected(true);  // clears no deleted option
}

}  // namespace
