// Version resources, the system version and the date number.
#include <string>

#include "DoRor.h"
#include "NyTestSupport.h"
#include "util/NyExeInfoText.h"

namespace {

std::string Versioned() { return nytest::BesideOwnExe("NyVersioned.exe"); }

}  // namespace

TEST(ExeInfo, TranslationsAreSearchedInOrder) {
  EXPECT_EQ(std::string(NyGetExeInfo(Versioned().c_str(), "CompanyName")), "Acme (English)");
  EXPECT_EQ(std::string(NyGetExeInfo(Versioned().c_str(), "ProductVersion")), "7, 1, 0, 12");
  EXPECT_EQ(std::string(NyGetExeInfo(Versioned().c_str(), "Missing")), "");
  int numbers[4] = {-1, -1, -1, -1};
  EXPECT_EQ(std::string(NyGetExeProductVersion(Versioned().c_str(), numbers)), "7, 1, 0, 12");
  EXPECT_EQ(std::vector<int>(numbers, numbers + 4), (std::vector<int>{7, 1, 0, 12}));
  EXPECT_EQ(std::string(NyGetExeProductVersion(Versioned().c_str(), nullptr)), "7, 1, 0, 12");

  // The library carries its own version.
  char dll[MAX_PATH] = "";
  ::GetModuleFileNameA(::GetModuleHandleA("DoRor.dll"), dll, MAX_PATH);
  EXPECT_NE(std::string(NyGetExeInfo(dll, "ProductName")), "");

  // No version resource, no file: empty text and zeros.
  for (const std::string& path : {nytest::OwnExe(), std::string("C:\\no\\such.exe")}) {
    int zeros[4] = {-1, -1, -1, -1};
    EXPECT_EQ(std::string(NyGetExeProductVersion(path.c_str(), zeros)), "") << path;
    EXPECT_EQ(std::vector<int>(zeros, zeros + 4), std::vector<int>(4, 0)) << path;
  }
}

TEST(ExeInfo, VersionNumbersAndDates) {
  const struct {
    const char* text;
    std::vector<int> numbers;
  } cases[] = {{"7,1,0,12", {7, 1, 0, 12}}, {"7,1", {7, 1, 0, 0}}, {"1.2.3.4", {1, 0, 0, 0}},
               {" 3, 4", {3, 4, 0, 0}},     {"", {0, 0, 0, 0}},    {"x", {0, 0, 0, 0}}};
  for (const auto& c : cases) {
    int numbers[4] = {-1, -1, -1, -1};
    ny::util::ParseVersionNumbers(c.text, numbers);
    EXPECT_EQ(std::vector<int>(numbers, numbers + 4), c.numbers) << c.text;
  }
  std::tm newYear{};
  newYear.tm_year = 100;
  newYear.tm_mday = 1;
  EXPECT_EQ(ny::util::DateNumber(newYear), 20000101);

  SYSTEMTIME now;
  ::GetLocalTime(&now);
  EXPECT_EQ(NyGetCurrentDate(), now.wYear * 10000 + now.wMonth * 100 + now.wDay);
}

TEST(ExeInfo, SystemVersionIsAskedOnce) {
  unsigned long major = 99, minor = 99, again = 0, againMinor = 0;
  NyGetOSVersion(major, minor);
  NyGetOSVersion(again, againMinor);
  EXPECT_GE(major, 6u);  // Wine reports a Windows 7 or later
  EXPECT_EQ(again, major);
  EXPECT_EQ(againMinor, minor);
}
