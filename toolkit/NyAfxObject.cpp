#include "toolkit/NyAfxObject.h"

#include "base/NyWindows.h"

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
  for (const CRuntimeClass* c = this; c; c = c->m_pfnGetBaseClass ? c->m_pfnGetBaseClass() : nullptr) {
    if (c == pBaseClass) return TRUE;
  }
  return FALSE;
}

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), nullptr};

CRuntimeClass* CObject::GetRuntimeClass() const { return GetThisClass(); }

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const {
  return pClass && GetRuntimeClass()->IsDerivedFrom(pClass);
}

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, entries};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message, UINT code, UINT id) const {
  for (const AFX_MSGMAP* map = GetMessageMap(); map;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e && e->pfn; ++e) {
      if (e->nMessage == message && e->nCode == code && id >= e->nID && id <= e->nLastID) return e;
    }
  }
  return nullptr;
}

BOOL CCmdTarget::DispatchCommand(UINT message, UINT nID, int nCode, WPARAM wParam, LPARAM lParam,
                                 LRESULT* pResult) {
  const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, static_cast<UINT>(nCode), nID);
  if (!entry) return FALSE;
  BOOL handled = TRUE;
  const LRESULT result = entry->pfn(this, wParam, lParam, &handled);
  if (pResult) *pResult = result;
  return handled;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo) {
  if (pExtra) {
    // A notification: the NMHDR rides along, the result goes to the caller.
    return DispatchCommand(WM_NOTIFY, nID, nCode, 0, reinterpret_cast<LPARAM>(pExtra),
                           static_cast<LRESULT*>(pHandlerInfo));
  }
  return DispatchCommand(WM_COMMAND, nID, nCode, 0, 0, nullptr);
}
