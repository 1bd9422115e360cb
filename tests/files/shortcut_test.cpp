// Shell links and internet shortcuts on real files, written and read back
// through the shell's objects, and the calling thread's COM around the calls.
#include <windows.h>

#include <objbase.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <thread>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

// The suite links only the DLL, which brings ole32 into the process.
template <typename Function>
Function FromOle32(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("ole32.dll"), name)));
}
const auto CoInit = FromOle32<HRESULT(WINAPI*)(void*, DWORD)>("CoInitializeEx");
const auto CoUninit = FromOle32<void(WINAPI*)()>("CoUninitialize");
const auto CoCreate =
    FromOle32<HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**)>("CoCreateInstance");
const CLSID kShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// S_OK, or CO_E_NOTINITIALIZED when the calling thread is in no apartment.
HRESULT ProbeCom() {
  IUnknown* object = nullptr;
  const HRESULT hr = CoCreate(kShellLink, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IUnknown),
                              reinterpret_cast<void**>(&object));
  if (object) object->Release();
  return hr;
}

const CString kGarbage = "garbage";

class Shortcuts : public ::testing::Test {
 protected:
  CString At(const std::string& name) const { return CString((m_temp / name).c_str()); }
  size_t EntryCount() const { return std::distance(std::filesystem::directory_iterator(m_temp.Path()), {}); }
  nytest::TempFolder m_temp;
};

}  // namespace

// One trailing separator is trimmed; the extension is appended even to a name
// that already ends in it.
TEST_F(Shortcuts, TargetsAreReadBackWithoutOneTrailingSeparator) {
  const std::string folder = m_temp / "data", file = m_temp.WriteFile("doc.txt");
  ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
  const struct {
    std::string name, target, written, expected;
  } cases[] = {
      {"toFolder", folder + "\\", "toFolder.lnk", folder},
      {"toFile", file, "toFile.lnk", file},
      {"x.lnk", folder, "x.lnk.lnk", folder},
      {"y.url", "http://example.com/", "y.url.url", "http://example.com"},
      {"twice", "http://example.com/docs//", "twice.url", "http://example.com/docs/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CString path = At(c.name), target = kGarbage;
    ASSERT_TRUE(NyCreateShortcut(c.target.c_str(), path));
    EXPECT_EQ(path, At(c.written));
    EXPECT_TRUE(NyGetShortcutTargetPath(path, target));
    EXPECT_EQ(std::string(target.GetString()), c.expected);
  }
  EXPECT_EQ(EntryCount(), std::size(cases) + 2);  // no x.lnk, no link beside a .url
}

// The extension, in any case, decides how a name is read; any other name is
// its own target, which the caller passed in. Shortcuts that cannot be read
// fail: corrupt files, URL files without a URL, a folder.
TEST_F(Shortcuts, NamesAreReadByTheirExtension) {
  CString link = At("real"), url = At("u");
  ASSERT_TRUE(NyCreateShortcut(m_temp.Path().c_str(), link));
  ASSERT_TRUE(NyCreateShortcut("http://example.com/", url));
  for (const char* name : {"b.LNK", "link.txt"}) ASSERT_TRUE(::CopyFileA(link, At(name), TRUE));
  ASSERT_TRUE(::CopyFileA(url, At("v.Url"), TRUE));
  m_temp.WriteFile("corrupt.lnk", "this is no shell link");
  m_temp.WriteFile("noUrl.url", "[InternetShortcut]\r\nIconIndex=0\r\n");
  m_temp.WriteFile("emptyUrl.url", "[InternetShortcut]\r\nURL=\r\n");
  ASSERT_TRUE(::CreateDirectoryA(At("folder.lnk"), nullptr));
  const struct {
    const char* name;
    bool ok;
    CString target;
  } cases[] = {
      {"b.LNK", true, m_temp.Path().c_str()},
      {"v.Url", true, "http://example.com"},
      {"link.txt", true, kGarbage},
      {"missing.bin", true, kGarbage},
      {"x.lnkx", true, kGarbage},
      {"", true, kGarbage},
      {"missing.lnk", false, kGarbage},
      {"corrupt.lnk", false, kGarbage},
      {"noUrl.url", false, kGarbage},
      {"emptyUrl.url", false, kGarbage},
      {"folder.lnk", false, kGarbage},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CString target = kGarbage;
    EXPECT_EQ(NyGetShortcutTargetPath(*c.name ? At(c.name) : CString(""), target), c.ok);
    EXPECT_EQ(target, c.target);
  }
}

// A refused target writes nothing and leaves the name as it was; a failed save
// comes after the target was accepted, so the name carries the extension.
TEST_F(Shortcuts, FailedCreationsWriteNothing) {
  const std::string longTarget = "C:\\" + std::string(258, 'a');  // 261 characters
  const std::string base = m_temp / "s";
  const std::string longName = base + std::string(MAX_PATH - 4 - base.size(), 'n');  // no room for ".lnk"
  const struct {
    std::string target, shortcut, after;
  } cases[] = {
      {"", base, base},
      {"\\", base, base},
      {longTarget, base, base},
      {longTarget.substr(1) + "\\", base, base},
      {m_temp.Path(), longName, longName},
      {m_temp.Path(), m_temp / "none\\s", m_temp / "none\\s.lnk"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target + " -> " + c.shortcut);
    CString path = c.shortcut.c_str();
    EXPECT_FALSE(NyCreateShortcut(c.target.c_str(), path));
    EXPECT_EQ(std::string(path.GetString()), c.after);
    EXPECT_EQ(EntryCount(), 0u);
  }
  CString path = longName.substr(0, longName.size() - 1).c_str();  // ".lnk" fits now
  EXPECT_TRUE(NyCreateShortcut(m_temp.Path().c_str(), path));
}

// With no apartment and in a single-threaded one the calls work; a thread of
// the multithreaded one cannot enter the single-threaded apartment the shell
// objects need, so every call fails there. The thread's COM stays as it was.
TEST_F(Shortcuts, TheCallersComIsLeftAsItWas) {
  CString link = At("made");
  ASSERT_TRUE(NyCreateShortcut(m_temp.Path().c_str(), link));
  const DWORD none = ~0u;
  for (const DWORD model : {none, DWORD{COINIT_APARTMENTTHREADED}, DWORD{COINIT_MULTITHREADED}}) {
    std::thread([&] {
      if (model != none) ASSERT_EQ(CoInit(nullptr, model), S_OK);
      const bool works = model != COINIT_MULTITHREADED;
      const std::string name = "s" + std::to_string(model);
      SCOPED_TRACE(name);
      CString path = At(name), target = kGarbage;
      EXPECT_EQ(NyCreateShortcut(m_temp.Path().c_str(), path), works);
      EXPECT_EQ(path, At(works ? name + ".lnk" : name));
      EXPECT_EQ(NyGetShortcutTargetPath(At("plain.txt"), target), works);
      EXPECT_EQ(NyGetShortcutTargetPath(link, target), works);
      EXPECT_EQ(target, works ? CString(m_temp.Path().c_str()) : kGarbage);
      EXPECT_EQ(ProbeCom(), model == none ? CO_E_NOTINITIALIZED : S_OK);
      if (model != none) CoUninit();
      EXPECT_EQ(ProbeCom(), CO_E_NOTINITIALIZED);  // no reference of ours left behind
    }).join();
  }
  EXPECT_EQ(EntryCount(), 3u);
}

// 表 is 0x95 0x5C under 932; under 1252 the same bytes are "•\", a real
// trailing backslash. The file lands where the ANSI code page says.
NY_CODEPAGE_TEST_F(Shortcuts, DoubleByteTargetsAndNames) {
  const std::wstring wideTemp(m_temp.Path().begin(), m_temp.Path().end());
  ASSERT_TRUE(::CreateDirectoryW((wideTemp + L"\\\u8868").c_str(), nullptr));  // 表
  ASSERT_TRUE(::CreateDirectoryW((wideTemp + L"\\\u2022").c_str(), nullptr));  // •
  const std::string doubleByte = "\x95\x5C";
  CString path = At(doubleByte + "x"), target = kGarbage;
  ASSERT_TRUE(NyCreateShortcut(At(doubleByte), path));
  EXPECT_EQ(path, At(doubleByte + "x.lnk"));
  const std::wstring written = wideTemp + (nytest::IsCodePage932() ? L"\\\u8868x.lnk" : L"\\\u2022\\x.lnk");
  EXPECT_NE(::GetFileAttributesW(written.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(NyGetShortcutTargetPath(path, target));
  EXPECT_EQ(target, nytest::IsCodePage932() ? At(doubleByte) : At("\x95"));  // 932: 表 whole; 1252: •
}
