#pragma once
// Tree view: a list whose rows are tree nodes. A node's row holds a folder
// button (expand/collapse), a check box, the item text and any controls
// the skin puts into it. Child nodes are rows of the same list placed
// after their parent's last descendant, so "tree index" is the row index.
//
// Ownership: the tree view owns every node it shows. A node built with no
// parent and given children before it joins a tree holds them until then.

#include <memory>
#include <vector>

#include "dui/button.h"
#include "dui/list.h"

namespace dui {

class CTreeViewUI;

class CTreeNodeUI : public CListContainerElementUI {
 public:
  explicit CTreeNodeUI(CTreeNodeUI* parent = nullptr);
  ~CTreeNodeUI() override;
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;

  // -- the node's row
  void SetItemText(const CDuiString& text);
  CDuiString GetItemText() const;
  void SetItemTextColor(DWORD color);
  DWORD GetItemTextColor() const { return m_dwItemTextColor; }
  void SetItemHotTextColor(DWORD color);
  void SetSelItemTextColor(DWORD color);
  void SetSelItemHotTextColor(DWORD color);
  CLabelUI* GetItemButton() const { return m_pItemButton; }
  COptionUI* GetFolderButton() const { return m_pFolderButton; }
  COptionUI* GetCheckBox() const { return m_pCheckBox; }
  void SetVisibleFolderBtn(bool visible);
  void SetVisibleCheckBtn(bool visible);

  // -- child nodes: Add of a node makes it a child node, of anything else
  // puts the control into the node's row.
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool doNotDestroy = false) override;
  bool AddChildNode(CTreeNodeUI* node, int index = -1);
  int GetCountChild() const { return static_cast<int>(m_aTreeNodes.size()); }
  CTreeNodeUI* GetChildNode(int index) const;
  CTreeNodeUI* GetParentNode() const { return m_pParentTreeNode; }
  bool IsHasChild() const { return !m_aTreeNodes.empty(); }
  int GetTreeLevel() const;
  // Row index in the tree view; -1 outside one.
  int GetTreeIndex() const;
  CTreeViewUI* GetTreeView() const { return m_pTreeView; }
  // This node when it has no child nodes, else its last descendant.
  CTreeNodeUI* GetLastNode();
  bool IsExpanded() const { return m_bExpanded; }
  void SetExpanded(bool expanded);

  void SetText(const CDuiString& text) override { SetItemText(text); }
  CDuiString GetText() const override { return GetItemText(); }
  void SetAttribute(const char16_t* name, const char16_t* value) override;

 private:
  friend class CTreeViewUI;
  class ItemLabel;
  class FolderButton;

  DWORD CurrentItemTextColor() const;
  void ShowDescendants(bool show);
  std::vector<std::unique_ptr<CTreeNodeUI>> TakePendingChildren();
  void ForgetChild(CTreeNodeUI* child);

  CTreeNodeUI* m_pParentTreeNode = nullptr;
  CTreeViewUI* m_pTreeView = nullptr;
  std::vector<CTreeNodeUI*> m_aTreeNodes;                      // child nodes, in order
  std::vector<std::unique_ptr<CTreeNodeUI>> m_aPendingNodes;  // owned until the node joins a tree
  COptionUI* m_pFolderButton = nullptr;
  COptionUI* m_pCheckBox = nullptr;
  CLabelUI* m_pItemButton = nullptr;
  DWORD m_dwItemTextColor = 0;
  DWORD m_dwItemHotTextColor = 0;
  DWORD m_dwSelItemTextColor = 0;
  DWORD m_dwSelItemHotTextColor = 0;
  bool m_bExpanded = true;
};

class CTreeViewUI : public CListUI {
 public:
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;

  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  // A node leaves with all its descendants.
  bool Remove(CControlUI* control, bool doNotDestroy = false) override;
  bool RemoveAt(int index, bool doNotDestroy = false) override;
  void SetVisibleFolderBtn(bool visible);
  void SetVisibleCheckBtn(bool visible);
  void SetAttribute(const char16_t* name, const char16_t* value) override;

 private:
  friend class CTreeNodeUI;
  // Inserts the node at row `index`, then its held children after it.
  void InsertSubtree(CTreeNodeUI* node, int index);
  // Takes the node's descendants out of the rows; the node holds them.
  void TakeOutDescendants(CTreeNodeUI* node);

  bool m_bVisibleFolderBtn = true;
  bool m_bVisibleCheckBtn = false;
};

}  // namespace dui
