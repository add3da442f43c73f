#include "dui/builder.h"

#include <pugixml.hpp>

#include "attributes.h"
#include "dui/container.h"
#include "dui/paint_manager.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace dui {
namespace {

constexpr int kMaxNesting = 16;  // skin files built inside one another (sub-files, includes)
thread_local int g_nesting = 0;

std::u16string U16(const char* utf8) { return platform::Utf8ToUtf16(utf8 ? utf8 : ""); }
bool NameIs(const pugi::xml_node& node, const char16_t* name) { return attr::Is(U16(node.name()).c_str(), name); }

struct Context {
  CPaintManagerUI* manager;
  IDialogBuilderCallback* callback;
};

class NestingScope {
 public:
  NestingScope() { ++g_nesting; }
  ~NestingScope() { --g_nesting; }
};

bool LoadDocument(const CDuiString& xml, pugi::xml_document* document, std::string* error) {
  std::vector<uint8_t> bytes;
  const bool isText = xml.GetLength() > 0 && xml[0] == u'<';
  if (isText) {
    const std::string text = xml.ToUtf8();
    bytes.assign(text.begin(), text.end());
  } else if (!CPaintManagerUI::ReadResourceFile(xml, &bytes, error)) {
    *error = "skin file: " + *error;
    return false;
  }
  const pugi::xml_parse_result result = document->load_buffer(bytes.data(), bytes.size());
  if (!result) {
    *error = "skin file \"" + (isText ? std::string("(text)") : xml.ToUtf8()) + "\" is not well-formed XML: " +
             result.description() + " at byte " + std::to_string(result.offset);
    return false;
  }
  if (!document->document_element()) {
    *error = "skin file \"" + xml.ToUtf8() + "\" is empty";
    return false;
  }
  return true;
}

void ApplyWindowAttributes(const pugi::xml_node& window, CPaintManagerUI* manager) {
  for (const pugi::xml_attribute& a : window.attributes()) {
    const std::u16string name = U16(a.name());
    const std::u16string value = U16(a.value());
    const char16_t* n = name.c_str();
    if (attr::Is(n, u"size")) {
      const SIZE size = attr::ParseSize(value.c_str());
      manager->SetInitSize(size.cx, size.cy);
    } else if (attr::Is(n, u"caption")) manager->SetCaptionRect(attr::ParseRect(value.c_str()));
    else if (attr::Is(n, u"sizebox")) manager->SetSizeBox(attr::ParseRect(value.c_str()));
    else if (attr::Is(n, u"mininfo")) {
      const SIZE size = attr::ParseSize(value.c_str());
      manager->SetMinInfo(size.cx, size.cy);
    } else if (attr::Is(n, u"maxinfo")) {
      const SIZE size = attr::ParseSize(value.c_str());
      manager->SetMaxInfo(size.cx, size.cy);
    } else if (attr::Is(n, u"roundcorner")) {
      const SIZE size = attr::ParseSize(value.c_str());
      manager->SetRoundCorner(size.cx, size.cy);
    } else if (attr::Is(n, u"defaultfontcolor")) manager->SetDefaultFontColor(attr::ParseColor(value.c_str()));
    else if (attr::Is(n, u"disabledfontcolor")) manager->SetDefaultDisabledColor(attr::ParseColor(value.c_str()));
  }
}

void AddFont(const pugi::xml_node& node, CPaintManagerUI* manager) {
  const int id = node.attribute("id").as_int(-1);
  if (id < 0) return;
  manager->AddFont(id, CDuiString(U16(node.attribute("name").as_string())), node.attribute("size").as_int(12),
                   node.attribute("bold").as_bool(), node.attribute("underline").as_bool(),
                   node.attribute("italic").as_bool(), node.attribute("default").as_bool());
}

pugi::xml_node ProcessResources(const pugi::xml_node& window, const Context& context);

void Include(const pugi::xml_node& node, const Context& context) {
  const CDuiString source(U16(node.attribute("source").as_string()));
  if (source.IsEmpty() || g_nesting >= kMaxNesting) return;
  NestingScope nesting;
  pugi::xml_document document;
  std::string error;
  if (!LoadDocument(source, &document, &error)) {
    platform::DebugTrace("skin: %s", error.c_str());
    return;
  }
  ProcessResources(document.document_element(), context);
}

// Fonts, default attribute lists, pictures and includes of a <Window>;
// returns its first control element.
pugi::xml_node ProcessResources(const pugi::xml_node& window, const Context& context) {
  pugi::xml_node control;
  for (const pugi::xml_node& child : window.children()) {
    if (child.type() != pugi::node_element) continue;
    if (NameIs(child, u"Font")) {
      if (context.manager) AddFont(child, context.manager);
    } else if (NameIs(child, u"Default")) {
      if (context.manager) {
        context.manager->AddDefaultAttributeList(CDuiString(U16(child.attribute("name").as_string())),
                                                 CDuiString(U16(child.attribute("value").as_string())));
      }
    } else if (NameIs(child, u"Image")) {
      if (context.manager) context.manager->GetImage(CDuiString(U16(child.attribute("name").as_string())));
    } else if (NameIs(child, u"Include")) {
      Include(child, context);
    } else if (!control) {
      control = child;
    }
  }
  return control;
}

bool AddToParent(CControlUI* parent, CControlUI* control) {
  auto* container = static_cast<CContainerUI*>(parent->GetInterface(u"Container"));
  return container && container->Add(control);
}

CControlUI* BuildControl(const pugi::xml_node& node, CControlUI* parent, const Context& context) {
  const std::u16string element = U16(node.name());
  CControlUI* control = CreateBuiltinControl(element.c_str());
  if (!control && context.callback) control = context.callback->CreateControl(element.c_str());
  if (!control) {
    platform::DebugTrace("skin: unknown element <%s> left out", node.name());
    return nullptr;
  }
  if (context.manager) {
    if (const char16_t* defaults = context.manager->GetDefaultAttributeList(CDuiString(element))) {
      control->ApplyAttributeList(defaults);
    }
  }
  for (const pugi::xml_attribute& a : node.attributes()) control->SetAttribute(U16(a.name()).c_str(), U16(a.value()).c_str());
  if (parent && !AddToParent(parent, control)) {
    platform::DebugTrace("skin: <%s> cannot hold <%s>", platform::Utf16ToUtf8(parent->GetClass()).c_str(), node.name());
    delete control;
    return nullptr;
  }
  for (const pugi::xml_node& child : node.children()) {
    if (child.type() == pugi::node_element) BuildControl(child, control, context);
  }
  return control;
}

}  // namespace

CControlUI* CDialogBuilder::Create(const CDuiString& xml, const char16_t*, IDialogBuilderCallback* callback,
                                   CPaintManagerUI* manager, CControlUI* parent) {
  return Create(xml, manager, callback, parent);
}

CControlUI* CDialogBuilder::Create(const CDuiString& xml, CPaintManagerUI* manager, IDialogBuilderCallback* callback,
                                   CControlUI* parent) {
  m_sError.clear();
  if (g_nesting >= kMaxNesting) {
    m_sError = "skin files nest too deeply at \"" + xml.ToUtf8() + "\"";
    return nullptr;
  }
  NestingScope nesting;
  pugi::xml_document document;
  if (!LoadDocument(xml, &document, &m_sError)) return nullptr;
  const Context context{manager, callback};
  pugi::xml_node root = document.document_element();
  if (NameIs(root, u"Window")) {
    // Only the file that becomes a window's tree sets the window's own
    // attributes; files built into it leave them alone.
    if (g_nesting == 1 && manager && !manager->GetRoot()) ApplyWindowAttributes(root, manager);
    root = ProcessResources(root, context);
  }
  CControlUI* control = root ? BuildControl(root, parent, context) : nullptr;
  if (!control && m_sError.empty()) m_sError = "skin file \"" + xml.ToUtf8() + "\" gives no control";
  return control;
}

}  // namespace dui
