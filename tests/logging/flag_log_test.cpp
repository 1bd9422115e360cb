// The flag log and its work area. The work area is made once per process, so
// each scenario runs in a process of its own (this program started again for
// it), under an application name of this run's own.
#include <ctime>
#include <functional>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

using nytest::Exists;

std::string Pid(DWORD id = ::GetCurrentProcessId()) { return std::to_string(id); }

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The application name is process-wide: every fresh process sets the run's.
void UseTestApplication() { NySetApplicationName(Env("NY_FLAG_APP").c_str()); }

std::string ApplicationFolder() {
  char temp[MAX_PATH];  // with its trailing backslash
  return std::string(temp, ::GetTempPathA(MAX_PATH, temp)) + "Quandor\\" + Env("NY_FLAG_APP");
}

// The log's lines "%7.3lf,%10I64d,%10I64d,%10I64d,%10I64d,text", each ending
// in CR LF, taken apart.
struct Line {
  unsigned long milliseconds = 0;
  long long memory[4] = {};
  std::string text;
};

std::vector<Line> ReadLog(const std::string& path) {
  // The fixed-width head only: the caller's text may be very long.
  static const std::regex head(R"(^[ \d]{2}\d\.\d{3}(,[ \d]{9}\d){4},)");
  const std::string bytes = nytest::ReadBytes(path);
  std::vector<Line> lines;
  size_t start = 0;
  for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = bytes.substr(start, end - start);
    if (!std::regex_search(line.substr(0, 52), head)) {
      ADD_FAILURE() << line.substr(0, 60);
      continue;
    }
    Line& parsed = lines.emplace_back();
    parsed.milliseconds = static_cast<unsigned long>(std::stod(line.substr(0, 7)) * 1000.0 + 0.5);
    for (int i = 0; i < 4; ++i) parsed.memory[i] = std::stoll(line.substr(8 + 11 * i, 10));
    parsed.text = line.substr(52);
  }
  EXPECT_EQ(start, bytes.size()) << "the file ends in the middle of a line";
  return lines;
}

// The work-folder name of this process for the local time now, by the runtime's clock.
std::string FolderNameNow() {
  const __time64_t now = _time64(nullptr);
  struct tm local = {};
  _localtime64_s(&local, &now);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  return "QND_TMP_FOLDER-" + std::string(stamp) + "-" + Pid();
}

// A child (FlagChild.MakesWorkArea) that makes its work area, writes the path
// into {out}\{its id}.txt, holds a marker in `hold` (when given) the way the
// library holds its own, says so through the ready event, and stays until
// released (a minute at most, should this process die first).
struct WorkAreaChild {
  explicit WorkAreaChild(const std::string& out, const std::string& hold = "") : out(out) {
    static int count = 0;
    const std::string tag = Pid() + "_" + std::to_string(++count);
    ready = ::CreateEventA(nullptr, TRUE, FALSE, ("Local\\NyFlagReady" + tag).c_str());
    release = ::CreateEventA(nullptr, TRUE, FALSE, ("Local\\NyFlagRelease" + tag).c_str());
    for (const std::string& setting : {"NY_FLAG_OUT=" + out, "NY_FLAG_TAG=" + tag, "NY_FLAG_HOLD=" + hold})
      _putenv(setting.c_str());
    process = reinterpret_cast<HANDLE>(nytest::SpawnFresh(_P_NOWAIT, "FlagChild.MakesWorkArea"));
  }
  ~WorkAreaChild() {
    End();
    for (HANDLE handle : {process, ready, release}) ::CloseHandle(handle);
  }
  bool WaitUntilReady() const {
    const HANDLE handles[] = {ready, process};
    return ::WaitForMultipleObjects(2, handles, FALSE, 30000) == WAIT_OBJECT_0;
  }
  // Lets the child end and waits (thirty seconds at most); its exit code.
  DWORD End() const {
    DWORD code = STILL_ACTIVE;
    ::SetEvent(release);
    ::WaitForSingleObject(process, 30000);
    ::GetExitCodeProcess(process, &code);
    return code;
  }
  DWORD Id() const { return ::GetProcessId(process); }
  std::string WorkFolder() const { return nytest::ReadBytes(out + "\\" + Pid(Id()) + ".txt"); }

  std::string out;
  HANDLE process = nullptr, ready = nullptr, release = nullptr;
};

}  // namespace

TEST(FlagLog, EveryScenarioPassesInAFreshProcess) {
  if (nytest::InFreshProcess()) GTEST_SKIP();
  _putenv(("NY_FLAG_APP=DoRorFlagTest" + Pid()).c_str());
  nytest::RunEachInFreshProcess("FreshFlagLog");
  // Every child has ended, so no marker holds anything of this run.
  nytest::RemoveTree(ApplicationFolder());
  _putenv("NY_FLAG_APP=");
}

NY_FRESH_TEST(FlagChild, MakesWorkArea) {
  UseTestApplication();
  const std::string work = NyFlgGetWork().GetString();
  ASSERT_FALSE(work.empty());
  std::ofstream(Env("NY_FLAG_OUT") + "\\" + Pid() + ".txt", std::ios::binary) << work;
  // Like the library's own marker, this one goes when the process does.
  if (!Env("NY_FLAG_HOLD").empty())
    ASSERT_NE(
        ::CreateFileA((Env("NY_FLAG_HOLD") + "\\_keep_folder.dat").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr),
        INVALID_HANDLE_VALUE);
  const std::string tag = Env("NY_FLAG_TAG");  // the events are the parent's
  const HANDLE ready = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, ("Local\\NyFlagReady" + tag).c_str());
  const HANDLE release = ::OpenEventA(SYNCHRONIZE, FALSE, ("Local\\NyFlagRelease" + tag).c_str());
  ASSERT_TRUE(ready && release);
  ::SetEvent(ready);
  EXPECT_EQ(::WaitForSingleObject(release, 60000), WAIT_OBJECT_0);
}

// The work area {temp}Quandor\{application}\{name}, whose name carries the
// local time and the process id, is made once, and its marker is held so that
// nobody else can open it, nor erase the folder. Each log line: seconds since
// the process's first line right-aligned in 7, four memory figures
// right-aligned in 10, the caller's text, of any length, its line breaks
// written as CR LF. Clearing deletes the file; the next one keeps the time base.
NY_FRESH_TEST(FreshFlagLog, WorkAreaAndLog) {
  UseTestApplication();
  const std::string before = FolderNameNow();
  const std::string work = NyFlgGetWork().GetString();
  const std::string name = NyFlgGetTempFolderName().GetString();
  const std::string after = FolderNameNow();
  for (const std::string& made : {name, work.substr(work.rfind('\\') + 1)})
    EXPECT_TRUE(made == before || made == after) << made;
  EXPECT_EQ(work.substr(0, work.rfind('\\')), ApplicationFolder());
  EXPECT_EQ(NyFlgGetWork().GetString(), work);
  const std::string marker = work + "\\_keep_folder.dat";
  EXPECT_TRUE(NyFlgIsFileExist(marker.c_str()));
  EXPECT_FALSE(NyFlgIsFileExist(""));
  EXPECT_FALSE(nytest::ScopedFile(marker, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE).IsOpen());
  // Left out of the live ids, the own folder is still kept by its marker.
  EXPECT_TRUE(NyFlgEraseUnusedTempFiles(ApplicationFolder().c_str(), true));
  EXPECT_TRUE(Exists(marker));

  const std::string log = work + "\\FlgLog" + Pid() + ".txt";
  const std::string longText = std::string(100000, 'x') + "end";
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[] { NyFlgWriteLog(42, "Load"); }, "42,Load"},
      {[] { NyFlgWriteLog(0xFFFFFFFFul, ""); }, "-1,"},
      {[] { NyFlgWriteLog2(3.14159265, "pi, roughly"); }, "3.1416,pi, roughly"},
      {[] { NyFlgWriteLog2(1e20, "big"); }, "100000000000000000000.0000,big"},
      {[&] { NyFlgWriteLog(7, longText.c_str()); }, "7," + longText},
      {[] { NyFlgWriteLog(8, "%s%d%n"); }, "8,%s%d%n"},
  };
  const unsigned long t0 = NyFlgGetTime();
  for (const auto& c : cases) c.first();
  const unsigned long t1 = NyFlgGetTime();
  std::vector<Line> lines = ReadLog(log);
  ASSERT_EQ(lines.size(), std::size(cases));
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].text, cases[i].second) << i;
    EXPECT_LE(lines[i].milliseconds, t1 - t0) << i;
    EXPECT_GT(lines[i].memory[0], 0) << i;
    EXPECT_GE(lines[i].memory[1], lines[i].memory[0]) << i;  // peak working set
    EXPECT_GE(lines[i].memory[3], lines[i].memory[2]) << i;  // peak committed bytes
  }
  NyFlgWriteLog(9, "two\nlines");
  const std::string bytes = nytest::ReadBytes(log);
  EXPECT_EQ(bytes.substr(bytes.size() - 15), ",9,two\r\nlines\r\n");

  // Time passes while a child starts; started with the log open, it must not
  // hold the log when it is cleared and opened again.
  nytest::TempFolder out;
  WorkAreaChild child(out.Path());
  ASSERT_TRUE(child.WaitUntilReady());
  const unsigned long t2 = NyFlgGetTime();
  ASSERT_GT(t2 - t1, 0ul);
  NyFlgClearLog();
  EXPECT_FALSE(Exists(log));
  NyFlgWriteLog2(2.5, "second");
  const unsigned long t3 = NyFlgGetTime();
  lines = ReadLog(log);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, "2.5000,second");
  EXPECT_GE(lines[0].milliseconds, t2 - t1);
  EXPECT_LE(lines[0].milliseconds, t3 - t0);
}

// Children started together get folders of their own (the process id ends
// the name, whatever the second), and their markers go with them. The
// clean-up erases prefixed folders of ended processes that have no marker;
// it keeps live processes' folders and folders with a marker (held by a live
// child or simply there), and never touches other names or plain files.
NY_FRESH_TEST(FreshFlagLog, ChildWorkAreasAndTheCleanUpRules) {
  // An application of its own, whose folder holds only this test's work areas.
  _putenv(("NY_FLAG_APP=DoRorFlagPair" + Pid()).c_str());
  EXPECT_FALSE(NyFlgEraseUnusedTempFiles("", true));
  nytest::TempFolder scan, out;
  WorkAreaChild first(out.Path()), second(out.Path());
  for (const WorkAreaChild* child : {&first, &second}) ASSERT_EQ(child->End(), 0u);
  const std::string works[] = {first.WorkFolder(), second.WorkFolder()};
  EXPECT_NE(works[0], works[1]);
  for (const std::string& work : works) {
    EXPECT_TRUE(Exists(work)) << work;
    EXPECT_FALSE(Exists(work + "\\_keep_folder.dat")) << work;
  }

  const std::string ended = Pid(first.Id());
  const auto folder = [&](const std::string& name, const std::string& file = "x") {
    scan.WriteFile(name + "\\" + file);
    return scan / name;
  };
  const std::string erased = folder("QND_TMP_FOLDER-20260101-000000-" + ended, "sub\\more.txt");
  const std::string bare = folder("QND_TMP_FOLDER");  // no "-": the whole name is the id
  const std::string marked = folder("QND_TMP_FOLDER-20260101-000001-" + ended, "_keep_folder.dat");
  const std::string held = folder("QND_TMP_FOLDER-20260101-000002-" + ended);
  const std::string locked = folder("QND_TMP_FOLDER-20260101-000003-" + ended, "locked.txt");
  const std::string untouched[] = {folder("XQND_TMP_FOLDER-20260101-000000-" + ended),
                                   folder("qnd_tmp_folder-20260101-000009-" + ended), folder("Other"),
                                   scan.WriteFile("QND_TMP_FOLDER-20260101-000004-" + ended)};

  WorkAreaChild holder(out.Path(), held);
  ASSERT_TRUE(holder.WaitUntilReady());
  const std::string live = folder("QND_TMP_FOLDER-20260101-000005-" + Pid(holder.Id()));
  {
    // A folder that cannot be erased fails the clean-up, which still goes on.
    nytest::ScopedFile lock(locked + "\\locked.txt", GENERIC_READ, 0);
    ASSERT_TRUE(lock.IsOpen());
    EXPECT_FALSE(NyFlgEraseUnusedTempFiles(scan.Path().c_str(), false));
  }
  for (const std::string& gone : {erased, bare}) EXPECT_FALSE(Exists(gone)) << gone;
  for (const std::string& kept : {marked, held, live, locked}) EXPECT_TRUE(Exists(kept)) << kept;

  // Once the holder has ended, its marker and its id are gone.
  ASSERT_EQ(holder.End(), 0u);
  EXPECT_TRUE(NyFlgEraseUnusedTempFiles(scan.Path().c_str(), false));
  for (const std::string& gone : {held, live, locked}) EXPECT_FALSE(Exists(gone)) << gone;
  EXPECT_TRUE(Exists(marked));
  for (const std::string& kept : untouched) EXPECT_TRUE(Exists(kept)) << kept;

  // The children's work areas go too, and with them the emptied application folder.
  EXPECT_TRUE(NyFlgEraseUnusedTempFiles(ApplicationFolder().c_str(), false));
  for (const std::string& work : works) EXPECT_FALSE(Exists(work)) << work;
  EXPECT_FALSE(Exists(ApplicationFolder()));
}

// The executable's resources of the named type "RT_RCDATA" (flag_log_test.rc).
TEST(FlagTempFile, UnpacksNamedDataResources) {
  nytest::TempFolder temp;
  std::string data;
  for (int byte = 0; byte < 3 * 256; ++byte) data += static_cast<char>(byte);
  data += "\x1a\r\n";
  const std::string replaced = temp.WriteFile("old.bin", std::string(5000, 'o'));
  const std::tuple<const char*, std::string, bool> cases[] = {
      {"FLAGDATA", temp / "made\\data.bin", true},   // one missing folder level is made
      {"FLAGDATA", replaced, true},                  // a longer file is replaced, not overwritten
      {"MISSING", temp / "missing.bin", false},      // no such resource
      {"NUMERICDATA", temp / "numeric.bin", false},  // the predefined numeric type does not count
      {"EMPTYDATA", temp / "empty.bin", false},      // nothing to write
      {"FLAGDATA", temp / (std::string(300, 'f') + "\\data.bin"), false},  // too long to split
  };
  for (const auto& [resource, path, made] : cases) {
    EXPECT_EQ(NyFlgMakeTempFile(path.c_str(), resource), made) << resource << " " << path;
    if (made)
      EXPECT_EQ(nytest::ReadBytes(path), data) << path;
    else
      EXPECT_FALSE(Exists(path)) << path;
  }
}

// More heaps than the first list holds are still validated without harm.
TEST(FlagHeapCheck, ManyHeaps) {
  std::vector<HANDLE> heaps(150);
  for (HANDLE& heap : heaps) heap = ::HeapCreate(0, 0, 0);
  NyFlgValidateHeap(true);
  for (HANDLE heap : heaps) ::HeapDestroy(heap);
}
