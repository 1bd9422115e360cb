// Version resources of executables, the system's version and today's date.
#include "base/NyWindows.h"

#include <cstring>
#include <ctime>
#include <vector>

#include "NyUtil.h"
#include "util/NyExeInfoText.h"

namespace {

// The first translation of the version resource that has `name`.
CString FindVersionText(const std::vector<char>& data, const CString& name) {
  void* translations = nullptr;
  UINT bytes = 0;
  if (!::VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &translations, &bytes) || bytes < 4) {
    return CString();
  }
  const WORD* entry = static_cast<const WORD*>(translations);
  for (UINT at = 0; at + 4 <= bytes; at += 4, entry += 2) {
    CString query;
    query.Format("\\StringFileInfo\\%04x%04x\\", entry[0], entry[1]);
    query += name;
    void* text = nullptr;
    UINT length = 0;
    if (::VerQueryValueA(data.data(), query, &text, &length) && text) {
      const char* found = static_cast<const char*>(text);
      return CString(found, static_cast<int>(strnlen(found, length)));
    }
  }
  return CString();
}

// RtlGetVersion tells the truth; GetVersionEx lies to programs without a
// manifest. Without it, probe upwards with VerifyVersionInfo.
void AskSystemVersion(unsigned long& major, unsigned long& minor) {
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  if (HMODULE ntdll = ::LoadLibraryA("ntdll.dll")) {
    FARPROC proc = ::GetProcAddress(ntdll, "RtlGetVersion");
    if (proc) {
      OSVERSIONINFOEXW info;
      std::memset(&info, 0, sizeof info);
      info.dwOSVersionInfoSize = sizeof info;
      reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void (*)()>(proc))(&info);
      major = info.dwMajorVersion;
      minor = info.dwMinorVersion;
    }
    ::FreeLibrary(ntdll);
    if (proc) return;
  }
  auto atLeast = [](unsigned long wantMajor, unsigned long wantMinor) {
    OSVERSIONINFOEXA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    info.dwMajorVersion = wantMajor;
    info.dwMinorVersion = wantMinor;
    DWORDLONG mask = ::VerSetConditionMask(::VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL),
                                           VER_MINORVERSION, VER_GREATER_EQUAL);
    return ::VerifyVersionInfoA(&info, VER_MAJORVERSION | VER_MINORVERSION, mask) != FALSE;
  };
  major = 4;
  minor = 0;
  while (atLeast(major + 1, 0)) ++major;
  while (atLeast(major, minor + 1)) ++minor;
}

}  // namespace

CString NyGetExeInfo(const CString& path, const CString& name) {
  DWORD ignored = 0;
  DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return CString();
  std::vector<char> data(size, 0);
  ::GetFileVersionInfoA(path, 0, size, data.data());
  return FindVersionText(data, name);
}

CString NyGetExeProductVersion(const CString& path, int* numbers) {
  CString text = NyGetExeInfo(path, "ProductVersion");
  if (numbers) ny::util::ParseVersionNumbers(text, numbers);
  return text;
}

void NyGetOSVersion(unsigned long& major, unsigned long& minor) {
  static bool s_bAsked = false;
  static unsigned long s_major = 0;
  static unsigned long s_minor = 0;
  major = 0;
  minor = 0;
  if (!s_bAsked) {
    AskSystemVersion(s_major, s_minor);
    s_bAsked = true;
  }
  major = s_major;
  minor = s_minor;
}

int NyGetCurrentDate() {
  __time64_t now = _time64(nullptr);
  std::tm local{};
  if (_localtime64_s(&local, &now) != 0) return 0;
  return ny::util::DateNumber(local);
}
