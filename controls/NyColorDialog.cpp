// CNyColorDialog: the platform's colour dialog with its custom colours kept
// in the user configuration between runs of the application.
#include "base/NyWindows.h"

#include <cstdio>

#include "NyConfig.h"
#include "NyControls.h"

namespace {

constexpr char kSection[] = "NyColorDialog";

// "SavedColor0" to "SavedColor15".
struct SavedColorKey {
  explicit SavedColorKey(int index) { std::snprintf(text, sizeof text, "SavedColor%d", index); }
  char text[24];
};

// The custom colours are the toolkit's one shared array, which every colour
// dialog of the process shows, rather than this object's m_cc.lpCustColors,
// which a host may point elsewhere.
void LoadCustomColors() {
  COLORREF* const custom = CColorDialog::GetSavedCustomColors();
  for (int i = 0; i < CNyColorDialog::SAVED_CUSTOM_COLOR; ++i) {
    long value = 0;
    if (!NyReadUserConfigT(kSection, SavedColorKey(i).text, value, nullptr, true)) continue;
    // The number reader takes negative numbers, and overlong ones overflow
    // 32 bits (the CRT's atoi wraps them under Wine: 4278190335 comes back
    // as 0xFF0000FF); neither is a colour the dialog can show or give back,
    // so such an entry is skipped like a missing one.
    if (value < 0 || value > 0xFFFFFF) continue;
    custom[i] = static_cast<COLORREF>(value);
  }
}

// A user configuration that is switched off or cannot be written keeps
// nothing; that is no error for the dialog.
void SaveCustomColors() {
  const COLORREF* const custom = CColorDialog::GetSavedCustomColors();
  for (int i = 0; i < CNyColorDialog::SAVED_CUSTOM_COLOR; ++i) {
    NyWriteUserConfigT(kSection, SavedColorKey(i).text, static_cast<long>(custom[i]), nullptr);
  }
}

}  // namespace

CNyColorDialog::CNyColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd)
    : CColorDialog(clrInit, dwFlags, pParentWnd) {
  LoadCustomColors();
}

CNyColorDialog::~CNyColorDialog() { SaveCustomColors(); }
