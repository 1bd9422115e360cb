// Decimal-point guards. Numbers pass through two layers that each carry a
// locale: the C runtime's (printf, scanf, strtod) and the global stream
// locale (every stream constructed afterwards). The guards switch both and
// put both back.
//
// The C++ runtime is a DLL shared with the host, so std::locale::global here
// is the host's global too. It has one side effect to keep in mind: when the
// locale it installs has a name ("C" included), it also calls
// setlocale(LC_ALL, name), which would wipe the runtime locale the host had
// chosen. That is why every install below is followed by putting the runtime
// locale back by its saved name.
#include <clocale>
#include <locale>
#include <string>

#include "NyUtil.h"

namespace {

// The native decimal point, asked of the runtime once for the process.
char DetermineNativeDecimalPoint() {
  char point = '.';
  const char* current = std::setlocale(LC_ALL, nullptr);
  if (!current) return point;
  // The name lives in a runtime buffer that the next setlocale overwrites.
  const std::string saved = current;
  std::setlocale(LC_ALL, "");
  const std::lconv* conventions = std::localeconv();
  // An empty decimal point is no use for numbers; keep the period then.
  if (conventions && conventions->decimal_point && conventions->decimal_point[0] != '\0') {
    point = conventions->decimal_point[0];
  }
  std::setlocale(LC_ALL, saved.c_str());
  return point;
}

char NativeDecimalPoint() {
  // Decided at the first facet's construction and fixed from then on: later
  // changes of the user's settings do not reach a running process.
  static const char point = DetermineNativeDecimalPoint();
  return point;
}

// The "C" number punctuation with only the decimal point made native. The
// thousands separator and grouping stay those of "C", so a number written
// through it never gains separators and reads back unchanged.
class NumpunctForNativeDecimalPoint : public std::numpunct<char> {
 public:
  NumpunctForNativeDecimalPoint() : m_point(NativeDecimalPoint()) {}

 protected:
  char do_decimal_point() const override { return m_point; }

 private:
  char m_point;
};

// The locale with its number punctuation replaced (the locale owns the facet).
std::locale WithNativeDecimalPoint(const std::locale& base) {
  return std::locale(base, new NumpunctForNativeDecimalPoint);
}

std::string CurrentRuntimeLocaleName() noexcept {
  try {
    const char* name = std::setlocale(LC_ALL, nullptr);
    return name ? std::string(name) : std::string();
  } catch (...) {
    return std::string();  // out of memory: nothing to restore by name
  }
}

void RestoreRuntimeLocale(const std::string& name) {
  if (!name.empty()) std::setlocale(LC_ALL, name.c_str());
}

// What both guards' destructors do: the stream locale first, since installing
// it may reset the runtime locale, then the runtime locale by name.
void Restore(const std::string& savedName, const std::locale& savedGlobal) noexcept {
  try {
    std::locale::global(savedGlobal);
  } catch (...) {
    // Only allocation can fail here; the runtime locale is still restored.
  }
  RestoreRuntimeLocale(savedName);
}

}  // namespace

namespace NyLocaleUtil {

void SetToNativeLocale() {
  try {
    std::locale::global(WithNativeDecimalPoint(std::locale()));
  } catch (...) {
    // No exception leaves the library; the runtime layer is still switched.
  }
  std::setlocale(LC_ALL, "");
}

// The constructors cannot report failure; if memory runs out while building
// the new stream locale, the stream layer stays as it was and the runtime
// layer is switched all the same. The destructor restores either way.
SetDecimalPointToPeriodAndAutoRestore::SetDecimalPointToPeriodAndAutoRestore()
    : m_strSavedCLocale(CurrentRuntimeLocaleName()), m_SavedGlobalLocale() {
  try {
    // The whole numeric category of "C", not just the decimal point: a saved
    // locale carrying the native punctuation facet must lose it here.
    std::locale::global(std::locale(m_SavedGlobalLocale, std::locale::classic(), std::locale::numeric));
  } catch (...) {
  }
  RestoreRuntimeLocale(m_strSavedCLocale);
  std::setlocale(LC_NUMERIC, "C");
}

SetDecimalPointToPeriodAndAutoRestore::~SetDecimalPointToPeriodAndAutoRestore() {
  Restore(m_strSavedCLocale, m_SavedGlobalLocale);
}

SetDecimalPointToNativeLocaleAndAutoRestore::SetDecimalPointToNativeLocaleAndAutoRestore()
    : m_strSavedCLocale(CurrentRuntimeLocaleName()), m_SavedGlobalLocale() {
  try {
    std::locale::global(WithNativeDecimalPoint(m_SavedGlobalLocale));
  } catch (...) {
  }
  RestoreRuntimeLocale(m_strSavedCLocale);
  std::setlocale(LC_NUMERIC, "");
}

SetDecimalPointToNativeLocaleAndAutoRestore::~SetDecimalPointToNativeLocaleAndAutoRestore() {
  Restore(m_strSavedCLocale, m_SavedGlobalLocale);
}

}  // namespace NyLocaleUtil
