// The framework's controls by skin element name.

#include <map>

#include "attributes.h"
#include "dui/builder.h"
#include "dui/button.h"
#include "dui/combo.h"
#include "dui/container.h"
#include "dui/edit.h"
#include "dui/label.h"
#include "dui/list.h"
#include "dui/progress.h"
#include "dui/tree.h"

namespace dui {
namespace {

template <class T>
CControlUI* Make() {
  return new T();
}

std::map<std::u16string, ControlFactory>& Registry() {
  static std::map<std::u16string, ControlFactory> registry = {
      {u"control", &Make<CControlUI>},
      {u"container", &Make<CContainerUI>},
      {u"verticallayout", &Make<CVerticalLayoutUI>},
      {u"horizontallayout", &Make<CHorizontalLayoutUI>},
      {u"label", &Make<CLabelUI>},
      {u"text", &Make<CTextUI>},
      {u"button", &Make<CButtonUI>},
      {u"option", &Make<COptionUI>},
      {u"checkbox", &Make<COptionUI>},
      {u"progress", &Make<CProgressUI>},
      {u"slider", &Make<CSliderUI>},
      {u"edit", &Make<CEditUI>},
      {u"combo", &Make<CComboUI>},
      {u"list", &Make<CListUI>},
      {u"listlabelelement", &Make<CListLabelElementUI>},
      {u"listcontainerelement", &Make<CListContainerElementUI>},
      {u"treeview", &Make<CTreeViewUI>},
      {u"treenode", []() -> CControlUI* { return new CTreeNodeUI(); }},
      {u"scrollbar", &Make<CScrollBarUI>},
  };
  return registry;
}

}  // namespace

void RegisterControlClass(const CDuiString& elementName, ControlFactory factory) {
  Registry()[attr::ToLower(elementName.view())] = factory;
}

CControlUI* CreateBuiltinControl(const char16_t* elementName) {
  if (!elementName) return nullptr;
  const auto it = Registry().find(attr::ToLower(elementName));
  return it == Registry().end() ? nullptr : it->second();
}

}  // namespace dui
