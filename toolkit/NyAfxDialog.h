// Toolkit dialogs: MFC's CDialog and CDialogEx with their own modal loop,
// and the data exchange between a dialog's controls and its variables.
#pragma once

#include <windows.h>

#include "NyApi.h"
#include "toolkit/NyAfxApp.h"
#include "toolkit/NyAfxWnd.h"

class NY_API CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)

 public:
  CDialog();
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

  // A modeless dialog from a template of the current resource module, owned
  // by pParentWnd or else the application's main window; OnInitDialog runs
  // inside.
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr, HINSTANCE hInst = nullptr);
  // Runs the dialog in the toolkit's own modal loop with its owner disabled;
  // answers the code given to EndDialog (-1 when it could not be created or
  // the application is quitting).
  virtual INT_PTR DoModal();
  // Ends a modal run with nResult; hides and later destroys the window.
  void EndDialog(int nResult);

  virtual BOOL OnInitDialog();
  virtual BOOL PreTranslateMessage(MSG* pMsg) override;
  // The modal loop itself; answers the code the run was ended with.
  int RunModalLoop(DWORD dwFlags = 0);
  virtual BOOL ContinueModal();
  virtual void EndModalLoop(int nResult);
  void NextDlgCtrl() const;
  void PrevDlgCtrl() const;
  void GotoDlgCtrl(CWnd* pWndCtrl);
  void SetDefID(UINT nID);
  DWORD GetDefID() const;

  LPCTSTR m_lpszTemplateName = nullptr;
  UINT m_nIDHelp = 0;
  CWnd* m_pParentWnd = nullptr;

 protected:
  // OK: the data exchange into the variables, then the end of the run with
  // IDOK; nothing when the exchange failed. Cancel: the end with IDCANCEL.
  virtual void OnOK();
  virtual void OnCancel();

  int m_nModalResult = -1;
  BOOL m_bModalLoop = FALSE;
  BOOL m_bContinueModal = FALSE;

  DECLARE_MESSAGE_MAP()

 private:
  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  HGLOBAL LoadTemplate(HINSTANCE* module) const;
};

class NY_API CDialogEx : public CDialog {
  DECLARE_DYNAMIC(CDialogEx)

 public:
  CDialogEx() = default;
  explicit CDialogEx(UINT nIDTemplate, CWnd* pParent = nullptr) : CDialog(nIDTemplate, pParent) {}
  explicit CDialogEx(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr)
      : CDialog(lpszTemplateName, pParentWnd) {}

  DECLARE_MESSAGE_MAP()
};

// ---- Data exchange -------------------------------------------------------------
// A failed exchange throws this through DoDataExchange; UpdateData catches
// it (the exception runs within one C++ runtime shared by the DLL and its
// host) and answers false.
class NY_API CUserException {};

class NY_API CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  UINT m_idLastControl = 0;
  BOOL m_bEditLastControl = FALSE;

  // The control nIDC, remembered as the one a failure puts the focus on.
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  // Puts the focus on the last prepared control (selecting an edit box's
  // text) and aborts the exchange.
  [[noreturn]] void Fail();
};

NY_API void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value);
NY_API void DDX_Text(CDataExchange* pDX, int nIDC, short& value);
NY_API void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
NY_API void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
NY_API void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
NY_API void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value);
NY_API void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
NY_API void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
NY_API void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Subclasses the control nIDC into rControl the first time.
NY_API void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
NY_API void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
NY_API void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
NY_API void DDV_MinMaxFloat(CDataExchange* pDX, float const& value, float minVal, float maxVal);
NY_API void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal);
NY_API void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars);
