// Shell links and internet shortcuts on real files in a temporary folder,
// written and read back through the shell's objects (Wine implements both),
// and the calling thread's COM state before and after the calls.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <thread>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

// The suite links only the DLL, which brings ole32 into the process: the
// tests take the few COM calls they make from there (through the generic
// function type, which the compiler lets stand for any).
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

// Whether the calling thread can use COM: S_OK, or CO_E_NOTINITIALIZED when
// it is in no apartment (and no other thread keeps a multithreaded one).
HRESULT ProbeCom() {
  IUnknown* object = nullptr;
  const HRESULT hr = CoCreate(kShellLink, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IUnknown),
                              reinterpret_cast<void**>(&object));
  if (object) object->Release();
  return hr;
}

// Saves a shell link to the computer itself, a shell item with no file
// system path, made with the shell's own object.
bool SaveLinkWithoutPath(const std::string& path) {
  if (FAILED(CoInit(nullptr, COINIT_APARTMENTTHREADED))) return false;
  bool saved = false;
  IShellLinkA* link = nullptr;
  IPersistFile* file = nullptr;
  LPITEMIDLIST computer = nullptr;
  if (SUCCEEDED(CoCreate(kShellLink, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkA),
                         reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer)) &&
      SUCCEEDED(link->SetIDList(computer)) && SUCCEEDED(link->QueryInterface(&file)))
    saved = SUCCEEDED(file->Save(std::wstring(path.begin(), path.end()).c_str(), FALSE));
  if (computer) ::ILFree(computer);
  if (file) file->Release();
  if (link) link->Release();
  CoUninit();  // every interface released before COM goes down
  return saved;
}

const CString kGarbage = "garbage";

class Shortcuts : public ::testing::Test {
 protected:
  CString At(const std::string& name) const { return CString((m_temp / name).c_str()); }
  size_t EntryCount() const { return std::distance(std::filesystem::directory_iterator(m_temp.Path()), {}); }

  nytest::TempFolder m_temp;
};

}  // namespace

// One trailing backslash or slash is trimmed, and the kind's extension is
// appended even to a name that already ends in it.
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
      {"query", "https://example.com/a?b=c", "query.url", "https://example.com/a?b=c"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CString path = At(c.name), target = kGarbage;
    ASSERT_TRUE(NyCreateShortcut(c.target.c_str(), path));
    EXPECT_EQ(path, At(c.written));
    EXPECT_TRUE(NyGetShortcutTargetPath(path, target));
    EXPECT_EQ(std::string(target.GetString()), c.expected);
  }
  EXPECT_EQ(EntryCount(), std::size(cases) + 2);  // no x.lnk or a link beside a .url
}

// The extension, compared ignoring case, decides how a name is read. Any
// other name is its own target, which the caller passed as the initial one.
// A URL file without a URL: Wine 8 already refuses it at Load (E_FAIL); where
// the platform loads it, GetURL has no text to give (S_FALSE and null),
// which must fail all the same. A link to the computer itself loads, but
// GetPath finds no file-system path in it (S_FALSE, empty text on Wine).
TEST_F(Shortcuts, NamesAreReadByTheirExtension) {
  CString link = At("real"), url = At("u");
  ASSERT_TRUE(NyCreateShortcut(m_temp.Path().c_str(), link));
  ASSERT_TRUE(NyCreateShortcut("http://example.com/", url));
  for (const char* name : {"b.LNK", "c.Lnk", "link.txt"}) ASSERT_TRUE(::CopyFileA(link, At(name), TRUE));
  for (const char* name : {"v.URL", "w.Url"}) ASSERT_TRUE(::CopyFileA(url, At(name), TRUE));
  m_temp.WriteFile("plain.doc", "text");
  m_temp.WriteFile("corrupt.lnk", "this is no shell link");
  m_temp.WriteFile("empty.lnk", "");
  m_temp.WriteFile("noUrl.url", "[InternetShortcut]\r\nIconIndex=0\r\n");
  m_temp.WriteFile("emptyUrl.url", "[InternetShortcut]\r\nURL=\r\n");
  m_temp.WriteFile("corrupt.url", std::string("\xFF\xFE\x00\x01garbage", 11));
  ASSERT_TRUE(::CreateDirectoryA(At("folder.lnk"), nullptr));
  ASSERT_TRUE(SaveLinkWithoutPath(m_temp / "computer.lnk"));
  const auto check = [&](const char* name, bool ok, const CString& expected) {
    SCOPED_TRACE(name);
    CString target = kGarbage;
    EXPECT_EQ(NyGetShortcutTargetPath(*name ? At(name) : CString(""), target), ok);
    EXPECT_EQ(target, expected);
  };
  for (const char* name : {"b.LNK", "c.Lnk"}) check(name, true, m_temp.Path().c_str());
  for (const char* name : {"v.URL", "w.Url"}) check(name, true, "http://example.com");
  for (const char* name :
       {"link.txt", "plain.doc", "missing.bin", "noExtension", "x.lnkx", "real.lnk\\inner", ""})
    check(name, true, kGarbage);
  for (const char* name : {"missing.lnk", "missing.url", "corrupt.lnk", "empty.lnk", "noUrl.url",
                           "emptyUrl.url", "corrupt.url", "folder.lnk", "computer.lnk"})
    check(name, false, kGarbage);
}

// A refused target writes nothing and leaves the caller's name as it was; a
// save that fails comes after the target was accepted, so the name already
// carries the extension and names the file that could not be written.
TEST_F(Shortcuts, FailedCreationsWriteNothing) {
  const std::string longTarget = "C:\\" + std::string(258, 'a');  // 261 characters
  const std::string base = m_temp / "s";
  const std::string longName = base + std::string(MAX_PATH - 4 - base.size(), 'n');  // no room for ".lnk"
  const struct {
    std::string why, target, shortcut, after;
  } cases[] = {
      {"empty target", "", base, base},
      {"nothing left once trimmed", "\\", base, base},
      {"261 characters", longTarget, base, base},
      {"261 characters with the backslash trimming would remove", longTarget.substr(1) + "\\", base, base},
      {"name too long for its extension", m_temp.Path(), longName, longName},
      {"no such folder", m_temp.Path(), m_temp / "none\\s", m_temp / "none\\s.lnk"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    CString path = c.shortcut.c_str();
    EXPECT_FALSE(NyCreateShortcut(c.target.c_str(), path));
    EXPECT_EQ(std::string(path.GetString()), c.after);
    EXPECT_EQ(EntryCount(), 0u);
  }
  // One byte shorter, the name with its extension still fits a path.
  CString path = longName.substr(0, longName.size() - 1).c_str();
  EXPECT_TRUE(NyCreateShortcut(m_temp.Path().c_str(), path));
  EXPECT_EQ(EntryCount(), 1u);
}

// ---- The calling thread's COM ----------------------------------------------------
// In a single-threaded apartment our initialisation answers S_FALSE and its
// CoUninitialize takes back only that reference. The shell objects are asked
// for in a single-threaded apartment, which a thread of the multithreaded one
// cannot enter (RPC_E_CHANGED_MODE): every call fails there, even for a name
// that needs no resolving. Either way the thread's COM is left as it was.
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
  EXPECT_EQ(EntryCount(), 3u);  // nothing written from the multithreaded apartment
}

// ---- Double-byte names -----------------------------------------------------------
// 表 is 0x95 0x5C in code page 932: its second byte has a backslash's value.
// Under 1252 the same bytes are "•\", a real trailing backslash. The name is
// handed to the shell converted through the ANSI code page, so the file lands
// where that code page says.
NY_CODEPAGE_TEST_F(Shortcuts, DoubleByteTargetsAndNames) {
  const std::wstring wideTemp(m_temp.Path().begin(), m_temp.Path().end());     // ASCII
  ASSERT_TRUE(::CreateDirectoryW((wideTemp + L"\\\u8868").c_str(), nullptr));  // 表
  ASSERT_TRUE(::CreateDirectoryW((wideTemp + L"\\\u2022").c_str(), nullptr));  // •
  const std::string doubleByte = "\x95\x5C";
  CString path = At(doubleByte + "x"), target = kGarbage;
  ASSERT_TRUE(NyCreateShortcut(At(doubleByte), path));
  EXPECT_EQ(path, At(doubleByte + "x.lnk"));
  const std::wstring written = wideTemp + (nytest::IsCodePage932() ? L"\\\u8868x.lnk" : L"\\\u2022\\x.lnk");
  EXPECT_NE(::GetFileAttributesW(written.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(NyGetShortcutTargetPath(path, target));
  // 932: the target is the folder 表, its last byte kept; 1252: the folder •.
  EXPECT_EQ(target, nytest::IsCodePage932() ? At(doubleByte) : At("\x95"));
}
