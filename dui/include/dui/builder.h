#pragma once
// CDialogBuilder: builds a control tree from a skin XML file.
//
// The file holds a <Window> element (its attributes size, caption,
// sizebox, mininfo, maxinfo, roundcorner apply to the manager when the
// tree becomes a window's root) with <Font>, <Default>, <Image> and
// <Include source="..."/> elements and one control element; or just a
// control element. Element names match without regard to case: the
// framework's own controls first, then the callback's CreateControl, and an
// element neither knows is left out with its children (and reported).
// Attributes apply in the order written, after the <Default> list of the
// element's name.

#include <string>

#include "dui/control.h"

namespace dui {

class CDialogBuilder {
 public:
  // `xml` names a file of the skin archive (or resource folder), or is XML
  // text itself when it starts with '<'. Null on failure; GetLastError
  // says why.
  CControlUI* Create(const CDuiString& xml, CPaintManagerUI* manager, IDialogBuilderCallback* callback = nullptr,
                     CControlUI* parent = nullptr);
  // The designed argument order: file, type (ignored), callback, manager.
  CControlUI* Create(const CDuiString& xml, const char16_t* type, IDialogBuilderCallback* callback,
                     CPaintManagerUI* manager, CControlUI* parent = nullptr);
  const std::string& GetLastError() const { return m_sError; }

 private:
  std::string m_sError;
};

// The framework's controls by element name ("Button", "VerticalLayout", ...).
using ControlFactory = CControlUI* (*)();
void RegisterControlClass(const CDuiString& elementName, ControlFactory factory);
// A new control for the element name, or null when it is not one of ours.
CControlUI* CreateBuiltinControl(const char16_t* elementName);

}  // namespace dui
