// Shell links and internet shortcuts on real files in a temporary folder,
// written and read back through the shell's objects (Wine implements both),
// and the calling thread's COM state before and after the calls.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <filesystem>
#include <string>
#include <thread>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

using nytest::Exists;

// The suite links only the DLL, which brings ole32 into the process: the
// tests take the few COM calls they make from there.
struct Ole32 {
  HRESULT(WINAPI* initializeEx)(void*, DWORD) = nullptr;
  void(WINAPI* uninitialize)() = nullptr;
  HRESULT(WINAPI* createInstance)(REFCLSID, IUnknown*, DWORD, REFIID, void**) = nullptr;
};

template <typename Function>
void Find(HMODULE module, const char* name, Function& function) {
  // Through the generic function type, which the compiler lets stand for any.
  function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

const Ole32& Com() {
  static const Ole32 com = [] {
    Ole32 found;
    const HMODULE ole32 = ::GetModuleHandleA("ole32.dll");
    Find(ole32, "CoInitializeEx", found.initializeEx);
    Find(ole32, "CoUninitialize", found.uninitialize);
    Find(ole32, "CoCreateInstance", found.createInstance);
    return found;
  }();
  return com;
}

const CLSID kShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Whether the calling thread can use COM: S_OK, or CO_E_NOTINITIALIZED when
// it is in no apartment (and no other thread keeps a multithreaded one).
HRESULT ProbeCom() {
  IUnknown* object = nullptr;
  const HRESULT hr = Com().createInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IUnknown),
                                          reinterpret_cast<void**>(&object));
  if (object) object->Release();
  return hr;
}

// Saves a shell link to the computer itself, a shell item with no file
// system path, made with the shell's own object on a thread of its own.
bool SaveLinkWithoutPath(const std::string& path) {
  bool saved = false;
  std::thread([&] {
    if (FAILED(Com().initializeEx(nullptr, COINIT_APARTMENTTHREADED))) return;
    {  // every interface released before COM goes down
      IShellLinkA* link = nullptr;
      IPersistFile* file = nullptr;
      LPITEMIDLIST computer = nullptr;
      if (SUCCEEDED(Com().createInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER,
                                         __uuidof(IShellLinkA), reinterpret_cast<void**>(&link))) &&
          SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer)) &&
          SUCCEEDED(link->SetIDList(computer)) &&
          SUCCEEDED(link->QueryInterface(__uuidof(IPersistFile), reinterpret_cast<void**>(&file)))) {
        saved = SUCCEEDED(file->Save(std::wstring(path.begin(), path.end()).c_str(), FALSE));
      }
      if (computer) ::ILFree(computer);
      if (file) file->Release();
      if (link) link->Release();
    }
    Com().uninitialize();
  }).join();
  return saved;
}

// Runs `body` on a thread of its own, whose COM state is the test's.
template <typename Body>
void OnNewThread(Body body) {
  std::thread(body).join();
}

const CString kGarbage = "garbage";

class Shortcuts : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Com().initializeEx, nullptr);
    ASSERT_NE(Com().uninitialize, nullptr);
    ASSERT_NE(Com().createInstance, nullptr);
  }

  CString At(const std::string& name) const { return CString((m_temp / name).c_str()); }

  size_t EntryCount() const {
    size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(m_temp.Path());
         it != std::filesystem::directory_iterator(); ++it)
      ++n;
    return n;
  }

  // What an internet shortcut file holds as its URL, read as the INI text it is.
  static std::string StoredUrl(const CString& path) {
    char url[1024] = "garbage";
    ::GetPrivateProfileStringA("InternetShortcut", "URL", "", url, sizeof url, path);
    return url;
  }

  nytest::TempFolder m_temp;
};

}  // namespace

TEST_F(Shortcuts, LinksAreReadBackWithoutOneTrailingBackslash) {
  const std::string folder = m_temp / "data", file = m_temp.WriteFile("doc.txt");
  ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
  const struct {
    const char* name;
    std::string target, expected;
  } cases[] = {
      {"toFolder", folder + "\\", folder},
      {"toFolderAsIs", folder, folder},
      {"toFile", file, file},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CString path = At(c.name);
    ASSERT_TRUE(NyCreateShortcut(c.target.c_str(), path));
    EXPECT_EQ(path, At(std::string(c.name) + ".lnk"));
    EXPECT_TRUE(Exists(path.GetString()));
    CString target = kGarbage;
    EXPECT_TRUE(NyGetShortcutTargetPath(path, target));
    EXPECT_EQ(std::string(target.GetString()), c.expected);
  }
}

TEST_F(Shortcuts, UrlsLoseOneTrailingSlash) {
  const struct {
    const char* name;
    const char* url;
    const char* expected;
  } cases[] = {
      {"docs", "http://example.com/docs/", "http://example.com/docs"},
      {"twice", "http://example.com/docs//", "http://example.com/docs/"},
      {"query", "https://example.com/a?b=c", "https://example.com/a?b=c"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CString path = At(c.name);
    ASSERT_TRUE(NyCreateShortcut(c.url, path));
    EXPECT_EQ(path, At(std::string(c.name) + ".url"));
    EXPECT_FALSE(Exists((m_temp / c.name) + ".lnk"));
    EXPECT_EQ(StoredUrl(path), c.expected);
    CString target = kGarbage;
    EXPECT_TRUE(NyGetShortcutTargetPath(path, target));
    EXPECT_EQ(std::string(target.GetString()), c.expected);
  }
}

TEST_F(Shortcuts, TheKindsExtensionIsAppendedEvenToAShortcutName) {
  CString link = At("x.lnk"), url = At("y.url");
  ASSERT_TRUE(NyCreateShortcut(m_temp.Path().c_str(), link));
  ASSERT_TRUE(NyCreateShortcut("http://example.com/", url));
  EXPECT_EQ(link, At("x.lnk.lnk"));
  EXPECT_EQ(url, At("y.url.url"));
  EXPECT_TRUE(Exists(link.GetString()));
  EXPECT_TRUE(Exists(url.GetString()));
  EXPECT_EQ(EntryCount(), 2u);  // no x.lnk or y.url beside them
}

TEST_F(Shortcuts, ExtensionsAreComparedIgnoringCase) {
  CString link = At("a"), url = At("u");
  ASSERT_TRUE(NyCreateShortcut(m_temp.Path().c_str(), link));
  ASSERT_TRUE(NyCreateShortcut("http://example.com/", url));
  for (const char* name : {"b.LNK", "c.Lnk"}) ASSERT_TRUE(::CopyFileA(link, (m_temp / name).c_str(), TRUE));
  for (const char* name : {"v.URL", "w.Url"}) ASSERT_TRUE(::CopyFileA(url, (m_temp / name).c_str(), TRUE));
  const struct {
    const char* name;
    std::string expected;
  } cases[] = {{"b.LNK", m_temp.Path()},
               {"c.Lnk", m_temp.Path()},
               {"v.URL", "http://example.com"},
               {"w.Url", "http://example.com"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CString target = kGarbage;
    EXPECT_TRUE(NyGetShortcutTargetPath(At(c.name), target));
    EXPECT_EQ(std::string(target.GetString()), c.expected);
  }
}

// The caller passes a file's own path as the initial target and gets it back.
TEST_F(Shortcuts, OtherFilesNeedNoResolving) {
  CString link = At("real");
  ASSERT_TRUE(NyCreateShortcut(m_temp.Path().c_str(), link));
  ASSERT_TRUE(::CopyFileA(link, (m_temp / "link.txt").c_str(), TRUE));  // a link's bytes, another name
  m_temp.WriteFile("plain.doc", "text");
  for (const std::string name :
       {"link.txt", "plain.doc", "missing.bin", "noExtension", "x.lnkx", "real.lnk\\inner"}) {
    SCOPED_TRACE(name);
    CString target = kGarbage;
    EXPECT_TRUE(NyGetShortcutTargetPath(At(name), target));
    EXPECT_EQ(target, kGarbage);
  }
  CString target = kGarbage;
  EXPECT_TRUE(NyGetShortcutTargetPath("", target));
  EXPECT_EQ(target, kGarbage);
}

// A URL file without a URL: Wine 8 already refuses it at Load (E_FAIL); where
// the platform loads it, GetURL has no text to give (S_FALSE and null),
// which must fail all the same. A link to the computer itself loads, but
// GetPath finds no file-system path in it (S_FALSE, empty text on Wine).
TEST_F(Shortcuts, UnreadableShortcutsFailWithTheTargetUnchanged) {
  m_temp.WriteFile("corrupt.lnk", "this is no shell link");
  m_temp.WriteFile("empty.lnk", "");
  m_temp.WriteFile("noUrl.url", "[InternetShortcut]\r\nIconIndex=0\r\n");
  m_temp.WriteFile("emptyUrl.url", "[InternetShortcut]\r\nURL=\r\n");
  m_temp.WriteFile("corrupt.url", std::string("\xFF\xFE\x00\x01garbage", 11));
  ASSERT_TRUE(::CreateDirectoryA((m_temp / "folder.lnk").c_str(), nullptr));
  ASSERT_TRUE(SaveLinkWithoutPath(m_temp / "computer.lnk"));
  for (const char* name : {"missing.lnk", "missing.url", "corrupt.lnk", "empty.lnk", "noUrl.url",
                           "emptyUrl.url", "corrupt.url", "folder.lnk", "computer.lnk"}) {
    SCOPED_TRACE(name);
    CString target = kGarbage;
    EXPECT_FALSE(NyGetShortcutTargetPath(At(name), target));
    EXPECT_EQ(target, kGarbage);
  }
}

// Refused before anything is written: no file, and the caller's name as it was.
TEST_F(Shortcuts, RefusedTargetsWriteNothing) {
  const std::string longTarget = "C:\\" + std::string(258, 'a');  // 261 characters
  ASSERT_EQ(longTarget.size(), 261u);
  const std::string base = m_temp / "s";
  const std::string longName =
      base + std::string(MAX_PATH - 4 - base.size(), 'n');  // 256: no room for ".lnk"
  const struct {
    const char* why;
    std::string target, shortcut;
  } cases[] = {
      {"empty target", "", base},
      {"nothing left once trimmed", "\\", base},
      {"261 characters", longTarget, base},
      {"261 characters with the backslash that trimming would remove", longTarget.substr(1) + "\\", base},
      {"name too long for its extension", m_temp.Path(), longName},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    CString path = c.shortcut.c_str();
    EXPECT_FALSE(NyCreateShortcut(c.target.c_str(), path));
    EXPECT_EQ(std::string(path.GetString()), c.shortcut);
    EXPECT_EQ(EntryCount(), 0u);
  }
  // One byte shorter, the name with its extension still fits a path.
  CString path = longName.substr(0, longName.size() - 1).c_str();
  EXPECT_TRUE(NyCreateShortcut(m_temp.Path().c_str(), path));
  EXPECT_TRUE(Exists(path.GetString()));
}

// A save that fails happens after the target was accepted: the caller's name
// already carries the extension, and names the file that could not be written.
TEST_F(Shortcuts, AFailedSaveStillExtendsTheName) {
  CString path = At("no such folder\\s");
  EXPECT_FALSE(NyCreateShortcut(m_temp.Path().c_str(), path));
  EXPECT_EQ(path, At("no such folder\\s.lnk"));
  EXPECT_EQ(EntryCount(), 0u);
}

// ---- The calling thread's COM ----------------------------------------------------

TEST_F(Shortcuts, AThreadWithoutComIsLeftWithout) {
  OnNewThread([&] {
    CString path = At("s"), target = kGarbage;
    EXPECT_TRUE(NyCreateShortcut(m_temp.Path().c_str(), path));
    EXPECT_TRUE(NyGetShortcutTargetPath(path, target));
    EXPECT_EQ(ProbeCom(), CO_E_NOTINITIALIZED);
  });
}

// Our initialisation answers S_FALSE there, and its CoUninitialize takes back
// only that reference: the caller's own one still keeps COM up.
TEST_F(Shortcuts, ASingleThreadedApartmentStaysInitialised) {
  OnNewThread([&] {
    ASSERT_EQ(Com().initializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    CString path = At("s"), target = kGarbage;
    EXPECT_TRUE(NyCreateShortcut(m_temp.Path().c_str(), path));
    EXPECT_TRUE(NyGetShortcutTargetPath(path, target));
    EXPECT_EQ(std::string(target.GetString()), m_temp.Path());
    EXPECT_EQ(ProbeCom(), S_OK);
    Com().uninitialize();
    EXPECT_EQ(ProbeCom(), CO_E_NOTINITIALIZED);  // no reference of ours left behind
  });
}

// The shell objects are asked for in a single-threaded apartment, which a
// thread of the multithreaded one cannot enter (RPC_E_CHANGED_MODE): every
// call fails, even for a name that needs no resolving, and the thread's own
// initialisation is left alone.
TEST_F(Shortcuts, AMultithreadedThreadFailsAndKeepsItsCom) {
  CString link = At("made");
  ASSERT_TRUE(NyCreateShortcut(m_temp.Path().c_str(), link));
  OnNewThread([&] {
    ASSERT_EQ(Com().initializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CString path = At("s"), target = kGarbage;
    EXPECT_FALSE(NyCreateShortcut(m_temp.Path().c_str(), path));
    EXPECT_EQ(path, At("s"));
    EXPECT_FALSE(NyGetShortcutTargetPath(link, target));
    EXPECT_FALSE(NyGetShortcutTargetPath(At("plain.txt"), target));
    EXPECT_EQ(target, kGarbage);
    EXPECT_EQ(ProbeCom(), S_OK);
    Com().uninitialize();
    EXPECT_EQ(ProbeCom(), CO_E_NOTINITIALIZED);
  });
  EXPECT_EQ(EntryCount(), 1u);
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

  CString path = At(doubleByte + "x");
  ASSERT_TRUE(NyCreateShortcut(At(doubleByte), path));
  EXPECT_EQ(path, At(doubleByte + "x.lnk"));
  const std::wstring written = wideTemp + (nytest::IsCodePage932() ? L"\\\u8868x.lnk" : L"\\\u2022\\x.lnk");
  EXPECT_NE(::GetFileAttributesW(written.c_str()), INVALID_FILE_ATTRIBUTES);

  CString target = kGarbage;
  EXPECT_TRUE(NyGetShortcutTargetPath(path, target));
  // 932: the target is the folder 表, its last byte kept; 1252: the folder •.
  EXPECT_EQ(target, nytest::IsCodePage932() ? At(doubleByte) : At("\x95"));
}
