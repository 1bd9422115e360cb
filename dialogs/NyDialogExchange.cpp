// CNyDialog's data exchange: the toolkit's, with zero always shown as "0",
// and lengths, areas and volumes held in millimetres but shown in the
// user's display unit.
#include "base/NyWindows.h"

#include "NyDialogs.h"
#include "NyUtil.h"

namespace {

// A zero of either sign becomes +0, so that "-0" is never shown.
template <typename Real>
Real PositiveZero(Real value) {
  return value == 0 ? Real(0) : value;
}

// The variable converted to the display unit for showing, or the entered
// value converted back into it; a text that does not parse makes the
// toolkit's exchange throw before the variable is touched.
template <typename Real>
void ExchangeInDisplayUnit(CDataExchange* pDX, int nIDC, Real& value, double (*toDisplay)(double),
                           double (*toInternal)(double)) {
  Real shown = static_cast<Real>(toDisplay(static_cast<double>(value)));
  if (!pDX->m_bSaveAndValidate) {
    shown = PositiveZero(shown);
    ::DDX_Text(pDX, nIDC, shown);
    return;
  }
  ::DDX_Text(pDX, nIDC, shown);
  value = static_cast<Real>(toInternal(static_cast<double>(shown)));
}

template <typename Real>
void CheckInDisplayUnit(CDataExchange* pDX, const Real& value, Real minVal, Real maxVal,
                        double (*toDisplay)(double)) {
  const auto shown = [toDisplay](Real v) { return static_cast<Real>(toDisplay(static_cast<double>(v))); };
  const Real displayed = shown(value);
  if constexpr (sizeof(Real) == sizeof(float)) {
    ::DDV_MinMaxFloat(pDX, displayed, shown(minVal), shown(maxVal));
  } else {
    ::DDV_MinMaxDouble(pDX, displayed, shown(minVal), shown(maxVal));
  }
}

}  // namespace

void CNyDialog::DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value) { ::DDX_Text(pDX, nIDC, value); }
void CNyDialog::DDX_Text(CDataExchange* pDX, int nIDC, short& value) { ::DDX_Text(pDX, nIDC, value); }
void CNyDialog::DDX_Text(CDataExchange* pDX, int nIDC, int& value) { ::DDX_Text(pDX, nIDC, value); }
void CNyDialog::DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) { ::DDX_Text(pDX, nIDC, value); }
void CNyDialog::DDX_Text(CDataExchange* pDX, int nIDC, long& value) { ::DDX_Text(pDX, nIDC, value); }
void CNyDialog::DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value) { ::DDX_Text(pDX, nIDC, value); }
void CNyDialog::DDX_Text(CDataExchange* pDX, int nIDC, CString& value) { ::DDX_Text(pDX, nIDC, value); }
#ifdef NY_WITH_MFC
void CNyDialog::DDX_Text(CDataExchange* pDX, int nIDC, COleCurrency& value) { ::DDX_Text(pDX, nIDC, value); }
void CNyDialog::DDX_Text(CDataExchange* pDX, int nIDC, COleDateTime& value) { ::DDX_Text(pDX, nIDC, value); }
#endif

void CNyDialog::DDX_Text(CDataExchange* pDX, int nIDC, float& value) {
  if (!pDX->m_bSaveAndValidate) value = PositiveZero(value);
  ::DDX_Text(pDX, nIDC, value);
}

void CNyDialog::DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
  if (!pDX->m_bSaveAndValidate) value = PositiveZero(value);
  ::DDX_Text(pDX, nIDC, value);
}

void CNyDialog::DDX_Text_For_Length(CDataExchange* pDX, int nIDC, float& value) {
  ExchangeInDisplayUnit(pDX, nIDC, value, NyConvDisplayUnit, NyConvInternalLengthUnit);
}
void CNyDialog::DDX_Text_For_Length(CDataExchange* pDX, int nIDC, double& value) {
  ExchangeInDisplayUnit(pDX, nIDC, value, NyConvDisplayUnit, NyConvInternalLengthUnit);
}
void CNyDialog::DDX_Text_For_LengthSquare(CDataExchange* pDX, int nIDC, float& value) {
  ExchangeInDisplayUnit(pDX, nIDC, value, NyConvDisplayUnitSquare, NyConvInternalLengthUnitSquare);
}
void CNyDialog::DDX_Text_For_LengthSquare(CDataExchange* pDX, int nIDC, double& value) {
  ExchangeInDisplayUnit(pDX, nIDC, value, NyConvDisplayUnitSquare, NyConvInternalLengthUnitSquare);
}
void CNyDialog::DDX_Text_For_LengthCubic(CDataExchange* pDX, int nIDC, float& value) {
  ExchangeInDisplayUnit(pDX, nIDC, value, NyConvDisplayUnitCubic, NyConvInternalLengthUnitCubic);
}
void CNyDialog::DDX_Text_For_LengthCubic(CDataExchange* pDX, int nIDC, double& value) {
  ExchangeInDisplayUnit(pDX, nIDC, value, NyConvDisplayUnitCubic, NyConvInternalLengthUnitCubic);
}

void CNyDialog::DDV_MinMaxFloat_For_Length(CDataExchange* pDX, const float& value, float minVal,
                                           float maxVal) {
  CheckInDisplayUnit(pDX, value, minVal, maxVal, NyConvDisplayUnit);
}
void CNyDialog::DDV_MinMaxDouble_For_Length(CDataExchange* pDX, const double& value, double minVal,
                                            double maxVal) {
  CheckInDisplayUnit(pDX, value, minVal, maxVal, NyConvDisplayUnit);
}
void CNyDialog::DDV_MinMaxFloat_For_LengthSquare(CDataExchange* pDX, const float& value, float minVal,
                                                 float maxVal) {
  CheckInDisplayUnit(pDX, value, minVal, maxVal, NyConvDisplayUnitSquare);
}
void CNyDialog::DDV_MinMaxDouble_For_LengthSquare(CDataExchange* pDX, const double& value, double minVal,
                                                  double maxVal) {
  CheckInDisplayUnit(pDX, value, minVal, maxVal, NyConvDisplayUnitSquare);
}
void CNyDialog::DDV_MinMaxFloat_For_LengthCubic(CDataExchange* pDX, const float& value, float minVal,
                                                float maxVal) {
  CheckInDisplayUnit(pDX, value, minVal, maxVal, NyConvDisplayUnitCubic);
}
void CNyDialog::DDV_MinMaxDouble_For_LengthCubic(CDataExchange* pDX, const double& value, double minVal,
                                                 double maxVal) {
  CheckInDisplayUnit(pDX, value, minVal, maxVal, NyConvDisplayUnitCubic);
}
