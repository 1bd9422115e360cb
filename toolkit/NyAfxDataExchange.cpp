// Data exchange between a dialog's controls and its variables. A field that
// does not parse or is out of range is reported to the user (through the
// application's message box), gets the focus, and fails the exchange; the
// variable keeps its value.
#include "base/NyWindows.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "toolkit/NyAfxDialog.h"

// The toolkit's own prompts.
namespace {

const char kParseInt[] = "Please enter an integer.";
const char kParseUInt[] = "Please enter a positive integer.";
const char kParseByte[] = "Please enter an integer between 0 and 255.";
const char kParseReal[] = "Please enter a number.";

[[noreturn]] void FailWith(CDataExchange* pDX, const char* prompt) {
  AfxMessageBox(prompt, MB_ICONEXCLAMATION);
  pDX->Fail();
}

CString ControlText(HWND control) {
  CString text;
  if (CWnd* wnd = CWnd::FromHandle(control)) wnd->GetWindowText(text);
  return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A whole field as a signed or unsigned integer within [low, high]: blanks
// around it, digits with an optional sign (no minus for unsigned fields).
bool ParseInteger(const char* text, long long low, unsigned long long high, bool isSigned,
                  long long* signedOut, unsigned long long* unsignedOut) {
  while (IsBlank(*text)) ++text;
  if (!isSigned && *text == '-') return false;
  if (*text == '\0') return false;
  char* end = nullptr;
  errno = 0;
  long long s = 0;
  unsigned long long u = 0;
  if (isSigned) {
    s = std::strtoll(text, &end, 10);
  } else {
    u = std::strtoull(text, &end, 10);
  }
  if (end == text || errno == ERANGE) return false;
  while (IsBlank(*end)) ++end;
  if (*end != '\0') return false;
  if (isSigned) {
    if (s < low || (s > 0 && static_cast<unsigned long long>(s) > high)) return false;
    *signedOut = s;
  } else {
    if (u > high) return false;
    *unsignedOut = u;
  }
  return true;
}

bool ParseReal(const char* text, double* out) {
  while (IsBlank(*text)) ++text;
  if (*text == '\0') return false;
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text, &end);
  if (end == text || errno == ERANGE || !std::isfinite(value)) return false;
  while (IsBlank(*end)) ++end;
  if (*end != '\0') return false;
  *out = value;
  return true;
}

template <typename T>
void ExchangeSigned(CDataExchange* pDX, int nIDC, T& value, long long low, long long high) {
  HWND control = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    long long parsed = 0;
    if (!ParseInteger(ControlText(control).GetString(), low, static_cast<unsigned long long>(high), true,
                      &parsed, nullptr)) {
      FailWith(pDX, kParseInt);
    }
    value = static_cast<T>(parsed);
  } else {
    ::SetWindowTextA(control, std::to_string(static_cast<long long>(value)).c_str());
  }
}

template <typename T>
void ExchangeUnsigned(CDataExchange* pDX, int nIDC, T& value, unsigned long long high, const char* prompt) {
  HWND control = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    unsigned long long parsed = 0;
    if (!ParseInteger(ControlText(control).GetString(), 0, high, false, nullptr, &parsed))
      FailWith(pDX, prompt);
    value = static_cast<T>(parsed);
  } else {
    ::SetWindowTextA(control, std::to_string(static_cast<unsigned long long>(value)).c_str());
  }
}

template <typename T>
void ExchangeReal(CDataExchange* pDX, int nIDC, T& value, int digits, double limit) {
  HWND control = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    double parsed = 0;
    if (!ParseReal(ControlText(control).GetString(), &parsed) || std::fabs(parsed) > limit) {
      FailWith(pDX, kParseReal);
    }
    value = static_cast<T>(parsed);
  } else {
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
    ::SetWindowTextA(control, text);
  }
}

// "%1" and "%2" of a prompt replaced, as the toolkit's formatted prompts.
std::string Prompt(const char* pattern, const std::string& first, const std::string& second = "") {
  std::string text = pattern;
  for (const auto& [mark, value] : {std::pair<std::string, std::string>{"%1", first}, {"%2", second}}) {
    const size_t at = text.find(mark);
    if (at != std::string::npos) text.replace(at, 2, value);
  }
  return text;
}

std::string RealText(double value, int digits) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*g", digits, value);
  return text;
}

}  // namespace

// ---- The exchange --------------------------------------------------------------

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  try {
    DoDataExchange(&dx);
    return TRUE;
  } catch (const CUserException&) {
    return FALSE;
  } catch (...) {
    // Whatever a host's exchange throws stays here.
    return FALSE;
  }
}

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
  m_idLastControl = static_cast<UINT>(nIDC);
  m_bEditLastControl = FALSE;
  HWND control = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), nIDC);
  // A missing control is a broken exchange: it fails rather than reading
  // or writing nothing silently.
  if (!control) throw CUserException();
  return control;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
  HWND control = PrepareCtrl(nIDC);
  m_bEditLastControl = TRUE;
  return control;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_idLastControl != 0) {
    HWND control = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), static_cast<int>(m_idLastControl));
    if (control) {
      ::SetFocus(control);
      if (m_bEditLastControl) ::SendMessageA(control, EM_SETSEL, 0, -1);
    }
  }
  throw CUserException();
}

void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value) {
  ExchangeUnsigned(pDX, nIDC, value, 255, kParseByte);
}
void DDX_Text(CDataExchange* pDX, int nIDC, short& value) {
  ExchangeSigned(pDX, nIDC, value, SHRT_MIN, SHRT_MAX);
}
void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
  ExchangeSigned(pDX, nIDC, value, INT_MIN, INT_MAX);
}
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
  ExchangeUnsigned(pDX, nIDC, value, UINT_MAX, kParseUInt);
}
void DDX_Text(CDataExchange* pDX, int nIDC, long& value) {
  ExchangeSigned(pDX, nIDC, value, LONG_MIN, LONG_MAX);
}
void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value) {
  ExchangeUnsigned(pDX, nIDC, value, ULONG_MAX, kParseUInt);
}
void DDX_Text(CDataExchange* pDX, int nIDC, float& value) {
  ExchangeReal(pDX, nIDC, value, FLT_DIG, FLT_MAX);
}
void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
  ExchangeReal(pDX, nIDC, value, DBL_DIG, DBL_MAX);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND control = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = ControlText(control);
  } else {
    ::SetWindowTextA(control, value.GetString());
  }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd) return;
  HWND control = pDX->PrepareCtrl(nIDC);
  if (!rControl.SubclassWindow(control)) throw CUserException();
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  HWND control = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
  } else {
    ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value < 0 || value > 2 ? 0 : value), 0);
  }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  FailWith(pDX, Prompt("Please enter an integer between %1 and %2.", std::to_string(minVal),
                       std::to_string(maxVal))
                    .c_str());
}

namespace {

template <typename T>
void CheckRealRange(CDataExchange* pDX, T value, T minVal, T maxVal, int digits) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  FailWith(pDX, Prompt("Please enter a number between %1 and %2.", RealText(minVal, digits),
                       RealText(maxVal, digits))
                    .c_str());
}

}  // namespace

void DDV_MinMaxFloat(CDataExchange* pDX, float const& value, float minVal, float maxVal) {
  CheckRealRange(pDX, value, minVal, maxVal, FLT_DIG);
}

void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal) {
  CheckRealRange(pDX, value, minVal, maxVal, DBL_DIG);
}

void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars) {
  if (pDX->m_bSaveAndValidate) {
    if (value.GetLength() > nChars) {
      FailWith(pDX, Prompt("Please enter no more than %1 characters.", std::to_string(nChars)).c_str());
    }
  } else if (pDX->m_idLastControl != 0 && pDX->m_bEditLastControl) {
    HWND control = ::GetDlgItem(pDX->m_pDlgWnd->GetSafeHwnd(), static_cast<int>(pDX->m_idLastControl));
    ::SendMessageA(control, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
  }
}
