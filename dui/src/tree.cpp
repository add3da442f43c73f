#include "dui/tree.h"

#include <algorithm>

#include "attributes.h"
#include "dui/paint_manager.h"
#include "render.h"

namespace dui {

// The text of a node's row; clicks go through it to the row.
class CTreeNodeUI::ItemLabel : public CLabelUI {
 public:
  explicit ItemLabel(CTreeNodeUI* node) : m_pNode(node) { SetMouseEnabled(false); }

 protected:
  DWORD CurrentTextColor() const override {
    const DWORD color = m_pNode->CurrentItemTextColor();
    return color ? color : CLabelUI::CurrentTextColor();
  }

 private:
  CTreeNodeUI* m_pNode;
};

// Expands or collapses the node; a small triangle when it has no pictures.
class CTreeNodeUI::FolderButton : public COptionUI {
 public:
  explicit FolderButton(CTreeNodeUI* node) : m_pNode(node) {}
  bool Activate() override {
    if (!CControlUI::Activate()) return false;
    m_pNode->SetExpanded(!m_pNode->IsExpanded());
    Notify(DUI_MSGTYPE_ITEMEXPAND, m_pNode->IsExpanded() ? 1 : 0);
    return true;
  }
  void PaintStatusImage(cairo_t* cr) override {
    if (!m_sNormalImage.IsEmpty() || !m_pNode->IsHasChild() || GetWidth() < 6) {
      COptionUI::PaintStatusImage(cr);
      return;
    }
    const double cx = (m_rcItem.left + m_rcItem.right) / 2.0, cy = (m_rcItem.top + m_rcItem.bottom) / 2.0;
    cairo_save(cr);
    render::SetSourceColor(cr, 0xFF9AA1AC);
    if (m_pNode->IsExpanded()) {
      cairo_move_to(cr, cx - 4, cy - 2);
      cairo_line_to(cr, cx + 4, cy - 2);
      cairo_line_to(cr, cx, cy + 3);
    } else {
      cairo_move_to(cr, cx - 2, cy - 4);
      cairo_line_to(cr, cx + 3, cy);
      cairo_line_to(cr, cx - 2, cy + 4);
    }
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_restore(cr);
  }

 private:
  CTreeNodeUI* m_pNode;
};

// ---------------------------------------------------------------- node

CTreeNodeUI::CTreeNodeUI(CTreeNodeUI* parent) {
  m_cxyFixed.cy = 22;
  auto* folder = new FolderButton(this);
  folder->SetFixedWidth(16);
  auto* check = new COptionUI();
  check->SetFixedWidth(16);
  check->SetVisible(false);
  auto* label = new ItemLabel(this);
  CContainerUI::AddAt(folder, 0);
  CContainerUI::AddAt(check, 1);
  CContainerUI::AddAt(label, 2);
  m_pFolderButton = folder;
  m_pCheckBox = check;
  m_pItemButton = label;
  if (parent) parent->AddChildNode(this);
}

CTreeNodeUI::~CTreeNodeUI() {
  for (CTreeNodeUI* child : m_aTreeNodes) child->m_pParentTreeNode = nullptr;
  m_aPendingNodes.clear();
  if (m_pParentTreeNode) m_pParentTreeNode->ForgetChild(this);
}

const char16_t* CTreeNodeUI::GetClass() const { return u"TreeNodeUI"; }

void* CTreeNodeUI::GetInterface(const char16_t* name) {
  return attr::Is(name, u"TreeNode") ? this : CListContainerElementUI::GetInterface(name);
}

void CTreeNodeUI::SetItemText(const CDuiString& text) {
  m_sText = text;
  m_pItemButton->SetText(text);
}

CDuiString CTreeNodeUI::GetItemText() const { return m_pItemButton->GetText(); }

void CTreeNodeUI::SetItemTextColor(DWORD color) {
  m_dwItemTextColor = color;
  Invalidate();
}

void CTreeNodeUI::SetItemHotTextColor(DWORD color) {
  m_dwItemHotTextColor = color;
  Invalidate();
}

void CTreeNodeUI::SetSelItemTextColor(DWORD color) {
  m_dwSelItemTextColor = color;
  Invalidate();
}

void CTreeNodeUI::SetSelItemHotTextColor(DWORD color) {
  m_dwSelItemHotTextColor = color;
  Invalidate();
}

DWORD CTreeNodeUI::CurrentItemTextColor() const {
  if (m_bSelected && m_bHot && m_dwSelItemHotTextColor) return m_dwSelItemHotTextColor;
  if (m_bSelected && m_dwSelItemTextColor) return m_dwSelItemTextColor;
  if (m_bHot && m_dwItemHotTextColor) return m_dwItemHotTextColor;
  return m_dwItemTextColor;
}

void CTreeNodeUI::SetVisibleFolderBtn(bool visible) { m_pFolderButton->SetVisible(visible); }
void CTreeNodeUI::SetVisibleCheckBtn(bool visible) { m_pCheckBox->SetVisible(visible); }

bool CTreeNodeUI::Add(CControlUI* control) {
  if (auto* node = static_cast<CTreeNodeUI*>(control ? control->GetInterface(u"TreeNode") : nullptr)) {
    return AddChildNode(node);
  }
  return CListContainerElementUI::Add(control);
}

bool CTreeNodeUI::AddAt(CControlUI* control, int index) {
  if (auto* node = static_cast<CTreeNodeUI*>(control ? control->GetInterface(u"TreeNode") : nullptr)) {
    return AddChildNode(node, index);
  }
  return CListContainerElementUI::AddAt(control, index);
}

bool CTreeNodeUI::Remove(CControlUI* control, bool doNotDestroy) {
  auto* node = static_cast<CTreeNodeUI*>(control ? control->GetInterface(u"TreeNode") : nullptr);
  if (!node) return CListContainerElementUI::Remove(control, doNotDestroy);
  if (std::find(m_aTreeNodes.begin(), m_aTreeNodes.end(), node) == m_aTreeNodes.end()) return false;
  if (m_pTreeView) return m_pTreeView->Remove(node, doNotDestroy);
  const auto it = std::find_if(m_aPendingNodes.begin(), m_aPendingNodes.end(),
                               [&](const std::unique_ptr<CTreeNodeUI>& held) { return held.get() == node; });
  std::unique_ptr<CTreeNodeUI> removed = std::move(*it);
  m_aPendingNodes.erase(it);
  ForgetChild(node);
  if (doNotDestroy) removed.release();
  return true;
}

bool CTreeNodeUI::AddChildNode(CTreeNodeUI* node, int index) {
  if (!node || node == this || node->m_pParentTreeNode || node->m_pTreeView) return false;
  if (index < 0 || index > GetCountChild()) index = GetCountChild();
  node->m_pParentTreeNode = this;
  m_aTreeNodes.insert(m_aTreeNodes.begin() + index, node);
  if (!m_bExpanded || !IsVisible()) node->SetVisible(false);
  if (m_pTreeView) {
    CTreeNodeUI* before = index == 0 ? this : m_aTreeNodes[static_cast<size_t>(index - 1)]->GetLastNode();
    m_pTreeView->InsertSubtree(node, m_pTreeView->GetItemIndex(before) + 1);
  } else {
    m_aPendingNodes.emplace_back(node);
  }
  return true;
}

CTreeNodeUI* CTreeNodeUI::GetChildNode(int index) const {
  return index >= 0 && index < GetCountChild() ? m_aTreeNodes[static_cast<size_t>(index)] : nullptr;
}

int CTreeNodeUI::GetTreeLevel() const {
  int level = 0;
  for (const CTreeNodeUI* node = m_pParentTreeNode; node; node = node->m_pParentTreeNode) ++level;
  return level;
}

int CTreeNodeUI::GetTreeIndex() const {
  return m_pTreeView ? m_pTreeView->GetItemIndex(const_cast<CTreeNodeUI*>(this)) : -1;
}

CTreeNodeUI* CTreeNodeUI::GetLastNode() {
  return m_aTreeNodes.empty() ? this : m_aTreeNodes.back()->GetLastNode();
}

void CTreeNodeUI::ShowDescendants(bool show) {
  for (CTreeNodeUI* child : m_aTreeNodes) {
    child->SetVisible(show);
    child->ShowDescendants(show && child->m_bExpanded);
  }
}

void CTreeNodeUI::SetExpanded(bool expanded) {
  if (m_bExpanded == expanded) return;
  m_bExpanded = expanded;
  m_pFolderButton->Selected(!expanded, false);
  ShowDescendants(expanded && IsVisible());
  Invalidate();
}

std::vector<std::unique_ptr<CTreeNodeUI>> CTreeNodeUI::TakePendingChildren() {
  return std::exchange(m_aPendingNodes, {});
}

void CTreeNodeUI::ForgetChild(CTreeNodeUI* child) {
  m_aTreeNodes.erase(std::remove(m_aTreeNodes.begin(), m_aTreeNodes.end(), child), m_aTreeNodes.end());
  child->m_pParentTreeNode = nullptr;
}

void CTreeNodeUI::SetAttribute(const char16_t* name, const char16_t* value) {
  using attr::Is;
  if (Is(name, u"text")) SetItemText(value);
  else if (Is(name, u"itemattr")) m_pItemButton->ApplyAttributeList(value);
  else if (Is(name, u"folderattr")) m_pFolderButton->ApplyAttributeList(value);
  else if (Is(name, u"checkboxattr")) m_pCheckBox->ApplyAttributeList(value);
  else if (Is(name, u"visiblefolderbtn")) SetVisibleFolderBtn(attr::ParseBool(value));
  else if (Is(name, u"visiblecheckbtn")) SetVisibleCheckBtn(attr::ParseBool(value));
  else if (Is(name, u"itemtextcolor")) SetItemTextColor(attr::ParseColor(value));
  else if (Is(name, u"itemhottextcolor")) SetItemHotTextColor(attr::ParseColor(value));
  else if (Is(name, u"selitemtextcolor")) SetSelItemTextColor(attr::ParseColor(value));
  else if (Is(name, u"selitemhottextcolor")) SetSelItemHotTextColor(attr::ParseColor(value));
  else if (Is(name, u"expand")) SetExpanded(attr::ParseBool(value));
  else CListContainerElementUI::SetAttribute(name, value);
}

// ---------------------------------------------------------------- tree view

const char16_t* CTreeViewUI::GetClass() const { return u"TreeViewUI"; }

void* CTreeViewUI::GetInterface(const char16_t* name) {
  return attr::Is(name, u"TreeView") ? this : CListUI::GetInterface(name);
}

void CTreeViewUI::InsertSubtree(CTreeNodeUI* node, int index) {
  CListUI::AddAt(node, index);
  node->m_pTreeView = this;
  if (!m_bVisibleFolderBtn) node->SetVisibleFolderBtn(false);
  if (m_bVisibleCheckBtn) node->SetVisibleCheckBtn(true);
  int next = index + 1;
  for (std::unique_ptr<CTreeNodeUI>& child : node->TakePendingChildren()) {
    CTreeNodeUI* raw = child.release();
    InsertSubtree(raw, next);
    next = GetItemIndex(raw->GetLastNode()) + 1;
  }
}

bool CTreeViewUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CTreeViewUI::AddAt(CControlUI* control, int index) {
  auto* node = static_cast<CTreeNodeUI*>(control ? control->GetInterface(u"TreeNode") : nullptr);
  if (!node) return CListUI::AddAt(control, index);
  if (node->m_pTreeView || index < 0 || index > GetCount()) return false;
  InsertSubtree(node, index);
  return true;
}

bool CTreeViewUI::Remove(CControlUI* control, bool doNotDestroy) {
  return RemoveAt(GetItemIndex(control), doNotDestroy);
}

bool CTreeViewUI::RemoveAt(int index, bool doNotDestroy) {
  auto* node = static_cast<CTreeNodeUI*>(GetItemAt(index) ? GetItemAt(index)->GetInterface(u"TreeNode") : nullptr);
  if (!node) return CListUI::RemoveAt(index, doNotDestroy);
  if (doNotDestroy) {
    // The caller gets the node back with its subtree, held until it joins
    // a tree again.
    TakeOutDescendants(node);
    if (node->m_pParentTreeNode) node->m_pParentTreeNode->ForgetChild(node);
    node->m_pTreeView = nullptr;
    return CListUI::RemoveAt(GetItemIndex(node), true);
  }
  // Descendants first, last child first, so every index above stays valid.
  const std::vector<CTreeNodeUI*> children = node->m_aTreeNodes;
  for (auto it = children.rbegin(); it != children.rend(); ++it) RemoveAt(GetItemIndex(*it), false);
  return CListUI::RemoveAt(GetItemIndex(node), false);
}

void CTreeViewUI::TakeOutDescendants(CTreeNodeUI* node) {
  for (auto it = node->m_aTreeNodes.rbegin(); it != node->m_aTreeNodes.rend(); ++it) {
    TakeOutDescendants(*it);
    CListUI::RemoveAt(GetItemIndex(*it), true);
    (*it)->m_pTreeView = nullptr;
  }
  for (CTreeNodeUI* child : node->m_aTreeNodes) node->m_aPendingNodes.emplace_back(child);
}

void CTreeViewUI::SetVisibleFolderBtn(bool visible) {
  m_bVisibleFolderBtn = visible;
  for (int i = 0; i < GetCount(); ++i) {
    if (auto* node = static_cast<CTreeNodeUI*>(GetItemAt(i)->GetInterface(u"TreeNode"))) node->SetVisibleFolderBtn(visible);
  }
}

void CTreeViewUI::SetVisibleCheckBtn(bool visible) {
  m_bVisibleCheckBtn = visible;
  for (int i = 0; i < GetCount(); ++i) {
    if (auto* node = static_cast<CTreeNodeUI*>(GetItemAt(i)->GetInterface(u"TreeNode"))) node->SetVisibleCheckBtn(visible);
  }
}

void CTreeViewUI::SetAttribute(const char16_t* name, const char16_t* value) {
  if (attr::Is(name, u"visiblefolderbtn")) SetVisibleFolderBtn(attr::ParseBool(value));
  else if (attr::Is(name, u"visiblecheckbtn")) SetVisibleCheckBtn(attr::ParseBool(value));
  else CListUI::SetAttribute(name, value);
}

}  // namespace dui
