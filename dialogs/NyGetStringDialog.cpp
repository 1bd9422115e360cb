// CNyGetStringDialog: one line of text, with the library's own template and
// button texts.
#include "base/NyWindows.h"

#include "NyDialogs.h"
#include "base/NyLibraryModule.h"
#include "dialogs/NyLibraryStrings.h"

namespace {

// The template's control ids.
constexpr UINT kTemplate = 159;
constexpr int kText = 2000;
constexpr int kLabel = 2001;

}  // namespace

IMPLEMENT_DYNAMIC(CNyGetStringDialog, CNyDialog)

BEGIN_MESSAGE_MAP(CNyGetStringDialog, CNyDialog)
  ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

CNyGetStringDialog::CNyGetStringDialog(CWnd* pParent) : CNyDialog(kTemplate, pParent) {
  SetResourceHandle(ny::LibraryModule());
}

CNyGetStringDialog::~CNyGetStringDialog() = default;

void CNyGetStringDialog::SetDefaultName(const char* name) { m_strText = name ? name : ""; }
void CNyGetStringDialog::SetLabel(const char* label) { m_strLabel = label ? label : ""; }
void CNyGetStringDialog::SetTitle(const char* title) { m_strTitle = title ? title : ""; }

const char* CNyGetStringDialog::GetString() {
  m_strResult = m_strText;
  return m_strResult.GetString();
}

void CNyGetStringDialog::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, kText, m_edit);
  DDX_Text(pDX, kText, m_strText);
}

// On every show (and hide): the template's own texts are placeholders.
void CNyGetStringDialog::OnShowWindow(BOOL, UINT) {
  Default();
  SetWindowText(m_strTitle);
  SetDlgItemText(kLabel, m_strLabel);
  SetDlgItemText(IDOK, ny::dialogs::LibraryString(ny::dialogs::kOk, "ok"));
  SetDlgItemText(IDCANCEL, ny::dialogs::LibraryString(ny::dialogs::kCancel, "cancel"));
  UpdateData(FALSE);
  SendDlgItemMessage(kText, EM_SETSEL, 0, -1);
  SendDlgItemMessage(kText, EM_SCROLLCARET, 0, 0);
}

void CNyGetStringDialog::OnOK() {
  UpdateData(TRUE);
  if (m_strText.IsEmpty()) {
    NyMessageBox(ny::dialogs::LibraryString(ny::dialogs::kNoText, "no text"), nullptr,
                 MB_ICONEXCLAMATION | MB_OK);
    return;
  }
  CNyDialog::OnOK();
}
