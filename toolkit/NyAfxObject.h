// Toolkit object model: MFC's CObject with run-time class information, and
// CCmdTarget, the owner of a message map.
#pragma once

#include <windows.h>

#include "NyApi.h"

class CObject;

// One class's run-time information. The base class is reached through a
// function, not a pointer, so that a host's class can name a base that lives
// in the DLL (an imported object's address is no constant).
struct NY_API CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  CRuntimeClass* (*m_pfnGetBaseClass)();

  // True for this class and every class it derives from.
  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

#define DECLARE_DYNAMIC(class_name)                                                               \
 public:                                                                                          \
  static const CRuntimeClass class##class_name;                                                   \
  static CRuntimeClass* GetThisClass() { return const_cast<CRuntimeClass*>(&class##class_name); } \
  virtual CRuntimeClass* GetRuntimeClass() const;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                                    \
  const CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)), \
                                                       &base_class_name::GetThisClass};                   \
  CRuntimeClass* class_name::GetRuntimeClass() const {                                                    \
    return const_cast<CRuntimeClass*>(&class##class_name);                                                \
  }

class NY_API CObject {
 public:
  virtual ~CObject() = default;
  virtual CRuntimeClass* GetRuntimeClass() const;
  // True when this object's class is pClass or derives from it.
  BOOL IsKindOf(const CRuntimeClass* pClass) const;

  static const CRuntimeClass classCObject;
  static CRuntimeClass* GetThisClass() { return const_cast<CRuntimeClass*>(&classCObject); }

 protected:
  CObject() = default;

 public:
  // Objects of the toolkit own handles: they are not copied.
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;
};

// ---- Message maps -----------------------------------------------------------
// Each entry names what it handles (a message; for WM_COMMAND and WM_NOTIFY
// also the notification code and a range of control ids) and a small thunk
// that casts the target to the class of the map and calls the handler with
// the message's arguments cracked as the real toolkit cracks them. A thunk
// answers the message's result; command and notification thunks answer
// whether they handled it (for the _EX forms) through `handled`.
class CCmdTarget;
typedef LRESULT (*AFX_PMSGTHUNK)(CCmdTarget* target, WPARAM wParam, LPARAM lParam, BOOL* handled);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;      // the message, or WM_COMMAND / WM_NOTIFY (plus WM_REFLECT_BASE when reflected)
  UINT nCode;         // the notification code for WM_COMMAND and WM_NOTIFY
  UINT nID;           // the first control or command id
  UINT nLastID;       // the last one (the same for a single id)
  AFX_PMSGTHUNK pfn;  // null ends the map
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Reflected messages come back to the control's own map at this offset, as
// in the real toolkit.
#define WM_REFLECT_BASE 0xBC00

class NY_API CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)

 public:
  CCmdTarget() = default;
  // Routes a command (nCode 0 or a WM_COMMAND notification code) or a
  // notification (nCode from WM_NOTIFY, pExtra the NMHDR, pHandlerInfo the
  // LRESULT* of the result) through this object's message map. True when a
  // handler took it.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo);

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
  // The first entry of this object's maps (its class's first, then its
  // bases') that handles `message` with `code` for `id`; null when none.
  const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT code, UINT id) const;
  // Calls the entry found for a command or notification; false when none.
  BOOL DispatchCommand(UINT message, UINT nID, int nCode, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
};
