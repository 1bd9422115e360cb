// Dialogs and window utilities: the resize helper that keeps child controls
// anchored to the edges of a resizable window, and the functions dialogs
// share for text extents, collapsing a run of controls, combo box drop-down
// widths and the monitor a point, a rectangle or a window belongs to.
#pragma once

#include <windows.h>

#include <map>
#include <set>

#include "NyApi.h"
#include "NyToolkit.h"

// The edges of the client area a control's edges follow. On an axis with
// neither bit, the control keeps its size and its centre keeps its relative
// position.
constexpr UINT ANCHOR_TOP = 0x1;
constexpr UINT ANCHOR_BOTTOM = 0x2;
constexpr UINT ANCHOR_LEFT = 0x4;
constexpr UINT ANCHOR_RIGHT = 0x8;

// A mix-in for a window class (a dialog, usually) that derives from the
// toolkit's window class too: anchor the controls while the window has its
// design size, then forward WM_SIZE and WM_GETMINMAXINFO:
//
//   class CMyDlg : public CDialogEx, public CNyWndResizeHelper { ... };
//   BOOL CMyDlg::OnInitDialog() {
//     CDialogEx::OnInitDialog();
//     SetAnchor(IDC_LIST, ANCHOR_TOP | ANCHOR_BOTTOM | ANCHOR_LEFT | ANCHOR_RIGHT);
//     SetAnchor(IDOK, ANCHOR_BOTTOM | ANCHOR_RIGHT);
//     SetMinimumSize(300, 200);
//     return TRUE;
//   }
//   void CMyDlg::OnSize(UINT nType, int cx, int cy) {
//     CDialogEx::OnSize(nType, cx, cy);
//     OnSizeHelper(cx, cy);
//   }
//   void CMyDlg::OnGetMinMaxInfo(MINMAXINFO* lpMMI) {
//     CDialogEx::OnGetMinMaxInfo(lpMMI);
//     OnGetMinMaxInfoHelper(lpMMI);
//   }
//
// The helper finds its window by a cross-cast; in an object that is not a
// window, anchoring and resizing do nothing.
class NY_API CNyWndResizeHelper {
 public:
  CNyWndResizeHelper() = default;
  CNyWndResizeHelper(const CNyWndResizeHelper& other) = default;
  CNyWndResizeHelper& operator=(const CNyWndResizeHelper& other) = default;
  virtual ~CNyWndResizeHelper();

 protected:
  // Anchors child nID with its present rectangle and the window's present
  // client size as the reference; replaces an earlier anchor. A child that
  // does not exist is skipped. Anchor while the client area has a size: on
  // an axis whose reference size is 0 the centre rule cannot place the
  // control, and that axis keeps its coordinates.
  void SetAnchor(int nID, UINT nAnchor);
  void UnsetAnchor(int nID);
  void SetMinimumSize(int cx, int cy);
  void SetMinimumSize(const CSize& size);
  void SetMaximumSize(int cx, int cy);
  void SetMaximumSize(const CSize& size);
  // Back to (0, 0) and to no limit; the arguments are ignored.
  void UnsetMinimumSize(int cx, int cy);
  void UnsetMaximumSize(int cx, int cy);
  CSize GetMinimumSize() const;
  CSize GetMaximumSize() const;
  // After the window's own WM_SIZE: moves every anchored child (ascending
  // ids; children that are gone are skipped), then invalidates the window.
  void OnSizeHelper(int cx, int cy);
  // After the window's own WM_GETMINMAXINFO: the tracking sizes (outer window
  // sizes) kept within the minimum and maximum sizes.
  void OnGetMinMaxInfoHelper(MINMAXINFO* lpMMI);

 private:
  struct Anchor {
    UINT flags;
    RECT rect;    // the child's rectangle in client coordinates when anchored
    SIZE client;  // the client size then
    HWND child;   // the child found then; checked before each use
  };
  CWnd* Window();
  std::map<int, Anchor> m_anchors;
  CSize m_sizeMinimum{0, 0};
  CSize m_sizeMaximum{0x7fffffff, 0x7fffffff};
};

// The width of the widest line of `text` (split at line feeds) and the sum
// of the line heights, measured on pDC's attribute DC; empty lines measure
// as a space.
NY_API CSize NyGetTextExtent(CDC* pDC, const CString& text);
// Hides the children from nIDFirst up to (not including) nIDEnd in child
// order, moves what lay below up into the gap and makes the window that much
// shorter. False for a null window or when nothing was hidden.
NY_API bool NyHideControlsAndResizeWindow(CWnd* pWnd, int nIDFirst, int nIDEnd);
// Widens the combo box's drop-down list to its longest entry; the
// platform's answer to CB_SETDROPPEDWIDTH, or -1 (CB_ERR) without a combo
// box, device context or font.
NY_API int NyAdjustComboBoxDroppedWidth(CComboBox* pCombo);
// The monitor containing pt, else the nearest one (smallest sum of the
// horizontal and vertical distances; the first one on a tie).
NY_API bool NyGetBelongingMonitorInfo(const CPoint& pt, MONITORINFO& info);
// The monitor of the rectangle's centre.
NY_API bool NyGetBelongingMonitorInfo(const CRect& rc, MONITORINFO& info);
// The monitor of the window's normal (restored) rectangle; a null window
// means the application's main window (false when there is none).
NY_API bool NyGetBelongingMonitorInfo(CWnd* pWnd, MONITORINFO& info);

// ---- Dialog base ------------------------------------------------------------------

class CNyDialog;

// The capture and auto-run hooks: the dialog, its template id and its result
// (1 OK, 2 Cancel). The capture hook sees how a user ended a dialog; the
// auto-run hook decides how a replayed dialog ends by writing the result.
// Their return values are not used.
typedef bool (*NyDialogHookFunc)(CNyDialog* pDialog, UINT nIDDialog, __int64& result);
// Whether the host is replaying dialogs now.
typedef bool (*NyIsAutoRunningFunc)();

// The base of the host's dialogs: three ways to run one dialog object,
// process-wide switches and hooks for replaying dialogs without a user, a
// resource module of its own, the saved position and size, data exchange in
// the user's display unit, and the resize helper's anchoring.
//
//   class CMyDlg : public CNyDialog {
//    public:
//     CMyDlg() : CNyDialog(IDD_MY_DIALOG) {}
//     double m_width = 0;  // millimetres
//    protected:
//     void DoDataExchange(CDataExchange* pDX) override {
//       DDX_Text_For_Length(pDX, IDC_WIDTH, m_width);
//       DDV_MinMaxDouble_For_Length(pDX, m_width, 0.0, 1000.0);
//     }
//   };
//   CMyDlg dlg;
//   if (dlg.DoModal() == IDOK) use(dlg.m_width);
//
// User-interface thread only; the switches, hooks and the registry of open
// modeless dialogs are process-wide and unguarded.
class NY_API CNyDialog : public CDialogEx, public CNyWndResizeHelper {
  DECLARE_DYNAMIC(CNyDialog)

 public:
  enum mode {
    MODE_NONE = 0,
    MODE_MODAL = 1,
    MODE_MODELESS = 2,
    MODE_MODELESS_WAIT = 3,
  };

  explicit CNyDialog(UINT nIDTemplate = 0, CWnd* pParent = nullptr);
  ~CNyDialog() override;

  // Modal; while the host is auto-running, a modeless-wait run instead.
  // -1 when the template cannot be loaded.
  INT_PTR DoModal() override;
  // A modeless-wait run: a modeless window with a message loop of its own,
  // returning 1 (OK), 2 (Cancel or WM_QUIT, which is posted again for the
  // caller's loop), 3 (the abort message, left queued, or a failed
  // retrieval) or the code a derived dialog set before LoopEnd. WM_CLOSE to
  // the main window is dropped meanwhile. -1, without waiting, when the
  // template cannot be loaded.
  virtual INT_PTR DoModelessWait();
  // Opens the dialog modelessly and returns at once. False when a dialog of
  // this template id is open already, or when the template cannot be
  // loaded; with bAutoDelete the object is then deleted (it must live on the
  // heap), and otherwise once its window is destroyed.
  virtual bool DoModeless(bool bAutoDelete = false);
  // Closes a dialog opened by DoModeless; nothing in the other modes.
  virtual void EndModeless();

  // The normal (restored) rectangle into `section` of the user
  // configuration: "PositionX"/"PositionY", with bSaveSize "SizeX"/"SizeY",
  // and "PositionFromParentX"/"...Y" relative to the parent (or owner, or the
  // main window). False at the first write that fails.
  bool SaveDialogPos(const char* section, bool bSaveSize);
  // Moves (and with bRestoreSize sizes) the dialog as saved, the position
  // relative to the parent winning, "left"/"top"/"right"/"bottom" read as
  // fall-backs, then keeps it on its monitor's work area. False when no key
  // was found and nothing had to be clamped: the window is left alone.
  bool RestoreDialogPos(const char* section, bool bRestoreSize);

  // Plain OK message boxes through NyMessageBox answer IDOK unseen.
  static void SetSkipDialog(bool bSkip);
  static bool IsSkipDialog();
  // DoModeless creates its windows hidden.
  static void SetHideModelessDialog(bool bHide);
  static bool IsHideModelessDialog();
  // A message that ends modeless-wait runs with 3 when it is queued for any
  // window of the thread. 0, the initial value, means none: the platform's
  // filter would read a range of 0 to 0 as every message.
  static void SetAbortMessageID(UINT nMessageID);
  // Each stores the new function (null switches it off) and returns the one
  // it replaces.
  static NyDialogHookFunc SetCaptureNyDialogFunc(NyDialogHookFunc pfn);
  static NyDialogHookFunc SetAutoRunNyDialogFunc(NyDialogHookFunc pfn);
  static NyIsAutoRunningFunc SetIsAutoRunningFunction(NyIsAutoRunningFunc pfn);

 protected:
  // Validation, the capture hook with 1, then the end the mode asks for.
  // Failed validation keeps the dialog open, except while auto-running.
  void OnOK() override;
  // The capture hook with 2, then the end the mode asks for.
  void OnCancel() override;
  // Ends a modeless dialog's registration, and deletes an auto-delete one.
  void PostNcDestroy() override;

  mode GetDialogMode() const;
  // A derived dialog ends a modeless-wait run with a code of its own:
  // SetReturnCode, then LoopEnd (OnInitDialog may do so, too).
  void SetReturnCode(int nCode);
  void LoopEnd();

  // The module the template is loaded from; null: the current resource
  // module.
  HINSTANCE GetResourceHandle() const;
  void SetResourceHandle(HINSTANCE hResource);
  // An already loaded module by name (null: the executable); a module that
  // is not loaded gives null.
  void SetResourceName(const char* moduleName);

  // False for a mouse move that repeats the last one, WM_PAINT and the
  // caret's blink: they do not restart idle processing.
  BOOL IsIdleMessage(MSG* pMsg);

  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);

  // Data exchange; a zero float or double is shown as "0", never "-0".
  void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value);
  void DDX_Text(CDataExchange* pDX, int nIDC, short& value);
  void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
  void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
  void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
  void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value);
  void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
  void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
  void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
#ifdef NY_WITH_MFC
  void DDX_Text(CDataExchange* pDX, int nIDC, COleCurrency& value);
  void DDX_Text(CDataExchange* pDX, int nIDC, COleDateTime& value);
#endif
  // Lengths, areas and volumes held in millimetres and shown in the display
  // unit. A text that does not parse fails the exchange and keeps the
  // variable.
  void DDX_Text_For_Length(CDataExchange* pDX, int nIDC, float& value);
  void DDX_Text_For_Length(CDataExchange* pDX, int nIDC, double& value);
  void DDX_Text_For_LengthSquare(CDataExchange* pDX, int nIDC, float& value);
  void DDX_Text_For_LengthSquare(CDataExchange* pDX, int nIDC, double& value);
  void DDX_Text_For_LengthCubic(CDataExchange* pDX, int nIDC, float& value);
  void DDX_Text_For_LengthCubic(CDataExchange* pDX, int nIDC, double& value);
  // Range checks whose bounds and message are in the display unit.
  void DDV_MinMaxFloat_For_Length(CDataExchange* pDX, const float& value, float minVal, float maxVal);
  void DDV_MinMaxDouble_For_Length(CDataExchange* pDX, const double& value, double minVal, double maxVal);
  void DDV_MinMaxFloat_For_LengthSquare(CDataExchange* pDX, const float& value, float minVal, float maxVal);
  void DDV_MinMaxDouble_For_LengthSquare(CDataExchange* pDX, const double& value, double minVal,
                                         double maxVal);
  void DDV_MinMaxFloat_For_LengthCubic(CDataExchange* pDX, const float& value, float minVal, float maxVal);
  void DDV_MinMaxDouble_For_LengthCubic(CDataExchange* pDX, const double& value, double minVal,
                                        double maxVal);

  static bool s_bSkipDialog;
  static bool s_bHideModelessDialog;
  static UINT m_iAbortMessageID;
  static std::set<UINT> m_setModelessDialog;

  DECLARE_MESSAGE_MAP()

 private:
  static NyDialogHookFunc s_pfnCaptureNyDialog;
  static NyDialogHookFunc s_pfnAutoRunNyDialog;
  static NyIsAutoRunningFunc s_pfnIsAutoRunning;

  static bool IsAutoRunning();
  void Capture(__int64 result);
  // Creates the window from the template with the resource module swapped
  // in; shows it with nCmdShow.
  bool CreateFromTemplate(int nCmdShow);

  UINT m_nIDDialog;
  HINSTANCE m_hResource = nullptr;
  mode m_mode = MODE_NONE;
  bool m_bAutoDelete = false;
  INT_PTR m_nReturnCode = 0;
  BOOL m_bLoopEnd = FALSE;
  CPoint m_ptCursorLast{0, 0};
  UINT m_nMsgLast = 0;
};

// ---- Ready-made dialogs ---------------------------------------------------------------

// Asks for one line of text, with the library's own template and button
// texts in the user's language:
//
//   CNyGetStringDialog dlg(this);
//   dlg.SetTitle("Rename");
//   dlg.SetLabel("Name");
//   dlg.SetDefaultName(current);
//   if (dlg.DoModal() == IDOK) Rename(dlg.GetString());
//
// OK with an empty text warns ("No Text") and keeps the dialog open.
class NY_API CNyGetStringDialog : public CNyDialog {
  DECLARE_DYNAMIC(CNyGetStringDialog)

 public:
  explicit CNyGetStringDialog(CWnd* pParent = nullptr);
  ~CNyGetStringDialog() override;

  // Set before the run: the text shown (selected) in the edit box, the
  // label beside it and the caption.
  void SetDefaultName(const char* name);
  void SetLabel(const char* label);
  void SetTitle(const char* title);
  // The text as last saved from the edit box (the default text after a
  // cancelled run); valid until the next call or the dialog's end.
  const char* GetString();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);

  DECLARE_MESSAGE_MAP()

 private:
  CEdit m_edit;
  CString m_strText;
  CString m_strResult;
  CString m_strLabel;
  CString m_strTitle;
};

// AfxMessageBox with a caption of the caller's (null: the application's
// title). While CNyDialog::SetSkipDialog is on, a box with only an OK button
// answers IDOK without being shown. One thread at a time.
NY_API int NyMessageBox(const char* text, const char* caption, UINT type);

// The platform's folder picker, owned by hParent, opened in the parent of
// initialFolder with that folder pre-selected (a drive root opens in
// itself). 1 (IDOK) with the chosen path in `folder` (at least 260 bytes),
// or 2 (IDCANCEL) with `folder` untouched: cancelled, no COM on this
// thread, or a path of 260 characters or more. A null title gives the
// library's "Select Folder" in the user's language.
NY_API UINT NyGetFolderDialogT(HWND hParent, const char* initialFolder, char* folder, const char* title);
