// Toolkit window device contexts: MFC's CPaintDC (BeginPaint/EndPaint),
// CClientDC (GetDC) and CWindowDC (GetWindowDC), each giving its DC back
// when it goes.
#pragma once

#include <windows.h>

#include "NyApi.h"
#include "toolkit/NyAfxDC.h"
#include "toolkit/NyAfxWnd.h"

class NY_API CPaintDC : public CDC {
  DECLARE_DYNAMIC(CPaintDC)

 public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC() override;

  PAINTSTRUCT m_ps = {};

 protected:
  HWND m_hWnd;
};

class NY_API CClientDC : public CDC {
  DECLARE_DYNAMIC(CClientDC)

 public:
  // pWnd null: the screen.
  explicit CClientDC(CWnd* pWnd);
  ~CClientDC() override;

 protected:
  HWND m_hWnd;
};

class NY_API CWindowDC : public CDC {
  DECLARE_DYNAMIC(CWindowDC)

 public:
  explicit CWindowDC(CWnd* pWnd);
  ~CWindowDC() override;

 protected:
  HWND m_hWnd;
};
