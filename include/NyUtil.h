// Data utilities: a growable bit set, CSV lines, length and display units,
// decimal-point locale guards, and executable and system information.
#pragma once

#include <locale>
#include <map>
#include <string>
#include <vector>

#include "NyApi.h"
#include "NyToolkit.h"

// ---- Stopwatches ------------------------------------------------------------------
// A named stopwatch: the time between Start and Stop is added to a
// process-wide total per category and keyword, so that many stopwatches add
// up under the same names. The report of a category goes to the transaction
// log's message output (CNyLog::PrintMessage). One thread at a time.
class NY_API CNyCountTime {
 public:
  // Makes sure the registry has the category and keyword (an existing total
  // stays) and starts the stopwatch when `start` is set.
  CNyCountTime(const std::string& category, const std::string& keyword, bool start);
  // Stops a running stopwatch, adding its interval.
  virtual ~CNyCountTime();
  CNyCountTime(const CNyCountTime&) = default;
  CNyCountTime& operator=(const CNyCountTime&) = default;

  // Starts when stopped; a running stopwatch keeps its first start time.
  void Start();
  // When running: adds the interval since Start to its total and stops.
  void Stop();
  // Sets its own total to 0; its running state is untouched.
  void Clear();
  // Prints the report of its category.
  void PrintResult();

  // Removes every keyword of the category (the category stays, empty).
  static void Clear(const std::string& category);
  static void ClearAll();
  // Prints the category's name and, per keyword in byte order, its total in
  // seconds ("%6.1f" and the Shift-JIS second). The flag has no effect.
  static void PrintResult(const std::string& category, bool flag);

 private:
  std::string m_strCategory;
  std::string m_strKeyWord;
  bool m_bRunning = false;
  unsigned long long m_ullStartTick = 0;

  // Category -> keyword -> total milliseconds.
  static std::map<std::string, std::map<std::string, double>> s_mapCategoryAndKeyWordToTime;
};

// ---- Bit set ---------------------------------------------------------------------
// A growable set of flags indexed from 0. Sets of different sizes combine as if
// the shorter one were extended with clear flags. The set never shrinks its
// storage; assignments never lower its size.
class NY_API CNyBitFlag {
 public:
  // A set of `size` clear flags.
  explicit CNyBitFlag(unsigned int size = 0);
  CNyBitFlag(const CNyBitFlag& other);
  virtual ~CNyBitFlag();

  unsigned int GetSize() const;
  // Sets the size; flags from the old size up to the new one take `value`.
  // False only when memory runs out (nothing changes then).
  bool Resize(unsigned int size, bool value);

  // The flag; false at or beyond the size (the set does not grow).
  bool operator[](const unsigned int& index) const;
  // Write access; grows the set with clear flags to reach `index`.
  bool& operator[](const unsigned int& index);

  // Copies the other set's flags over the first ones of this set, growing it
  // to the other's size when smaller. Returns a copy of this set.
  CNyBitFlag operator=(const CNyBitFlag& other);
  // Clears every flag, then sets the bits of `value` (bit 0 is flag 0),
  // growing the set to the value's significant bits. Returns a copy.
  CNyBitFlag operator=(const unsigned int& value);

  CNyBitFlag operator~() const;
  CNyBitFlag operator&(const CNyBitFlag& other) const;
  CNyBitFlag operator|(const CNyBitFlag& other) const;
  CNyBitFlag operator&=(const CNyBitFlag& other);
  CNyBitFlag operator|=(const CNyBitFlag& other);
  // A set n flags longer, flag i moved to i + n, the first n clear.
  CNyBitFlag operator<<(const unsigned int& n) const;
  // A set of the same size, flag i + n moved to i, the top n clear.
  CNyBitFlag operator>>(const unsigned int& n) const;
  // Equal when the flags agree with both sets extended to the longer size.
  bool operator==(const CNyBitFlag& other) const;
  bool operator!=(const CNyBitFlag& other) const;

  bool* m_pFlags = nullptr;      // one byte a flag, 0 or 1
  unsigned int m_iSize = 0;      // flags in the set
  unsigned int m_iCapacity = 0;  // bytes in m_pFlags (16, then doubled)
};

// ---- CSV text line ------------------------------------------------------------------
// One line of comma-separated text split into fields: quotes enclose commas,
// doubled quotes stand for one, and an unclosed quote runs to the end.
class NY_API CNyCsvTextLine {
 public:
  CNyCsvTextLine();
  explicit CNyCsvTextLine(const std::string& line);
  CNyCsvTextLine(const CNyCsvTextLine& other);
  CNyCsvTextLine& operator=(const CNyCsvTextLine& other);
  virtual ~CNyCsvTextLine();

  // Replaces the fields by those of `line` (up to its first zero byte); an
  // empty line has none. Always true.
  bool SetTextLine(const std::string& line);
  int NumOfFields() const;
  // The field at `index`; the empty text for an index out of range.
  const std::string& Field(int index) const;
  const std::vector<std::string>& Fields() const;

  // The value as it is to stand in a line: unchanged unless it holds a
  // comma, a double quote, a line feed or a carriage return; then quoted,
  // with its double quotes doubled.
  static std::string ConvertToCsvFileString(std::string value);

  std::vector<std::string> m_vecFields;
};

// ---- Length and display units ---------------------------------------------------------
// Lengths are kept in millimetres; the display unit (millimetres or inches,
// process-wide) is what the user sees.

enum NyLengthUnit : int {
  NY_LENGTH_UNIT_MM = 0,
  NY_LENGTH_UNIT_M = 1,
  NY_LENGTH_UNIT_CM = 2,
  NY_LENGTH_UNIT_INCH = 3,
  NY_LENGTH_UNIT_FOOT = 4,
};

// 0 is millimetres; any other value is inches.
enum DisplayUnit : int {
  DISPLAY_UNIT_MM = 0,
  DISPLAY_UNIT_INCH = 1,
};

// Millimetres per one of the unit (1.0 for an unknown unit).
NY_API double NyGetScaleLengthUnitToMM(NyLengthUnit unit);
// Units per millimetre: 1.0 divided by the factor above.
NY_API double NyGetScaleLengthUnitFromMM(NyLengthUnit unit);

NY_API void NySetDisplayUnit(DisplayUnit unit);
NY_API DisplayUnit NyGetDisplayUnit();
// From millimetres to the display unit (lengths, areas, volumes).
NY_API double NyConvDisplayUnit(double length);
NY_API double NyConvDisplayUnitSquare(double area);
NY_API double NyConvDisplayUnitCubic(double volume);
// From the display unit back to millimetres.
NY_API double NyConvInternalLengthUnit(double length);
NY_API double NyConvInternalLengthUnitSquare(double area);
NY_API double NyConvInternalLengthUnitCubic(double volume);
// "mm", "mm2", "mm3", or "in", "in^2", "in^3".
NY_API const char* NyGetDisplayUnitString();
NY_API const char* NyGetDisplayUnitSquareString();
NY_API const char* NyGetDisplayUnitCubicString();

// ---- Decimal-point locale guards -------------------------------------------------------
// Files take a period as decimal point; the user sees the native one. These
// switch both the C runtime locale (printf and scanf) and the global stream
// locale (stream input and output).
namespace NyLocaleUtil {

// For the rest of the process: the native decimal point in both layers.
NY_API void SetToNativeLocale();

// For a scope: the period in both layers; the destructor restores what the
// constructor found. Guards nest when destroyed in reverse order.
class NY_API SetDecimalPointToPeriodAndAutoRestore {
 public:
  SetDecimalPointToPeriodAndAutoRestore();
  ~SetDecimalPointToPeriodAndAutoRestore();

  std::string m_strSavedCLocale;  // empty when the runtime named none
  std::locale m_SavedGlobalLocale;
};

// For a scope: the native decimal point in both layers; restored likewise.
class NY_API SetDecimalPointToNativeLocaleAndAutoRestore {
 public:
  SetDecimalPointToNativeLocaleAndAutoRestore();
  ~SetDecimalPointToNativeLocaleAndAutoRestore();

  std::string m_strSavedCLocale;
  std::locale m_SavedGlobalLocale;
};

}  // namespace NyLocaleUtil

// ---- Executable and system information ---------------------------------------------------

// The text of `name` in the executable's version resource, from the first
// translation that has it; empty when there is none.
NY_API CString NyGetExeInfo(const CString& path, const CString& name);
// The "ProductVersion" text; with `numbers` (4 ints, may be null) its
// leading comma-separated numbers, the missing ones 0 ("7,1" gives 7 1 0 0).
NY_API CString NyGetExeProductVersion(const CString& path, int* numbers);
// The system's major and minor version, asked once per process.
NY_API void NyGetOSVersion(unsigned long& major, unsigned long& minor);
// Today's local date as YYYYMMDD.
NY_API int NyGetCurrentDate();
