// The flag log and its work area. The work area is made once per process, so
// each scenario runs in a process of its own (this program started again for
// it), under an application name of this run's own.
#include <windows.h>

#include <process.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

using nytest::Exists;

std::string Pid(DWORD id = ::GetCurrentProcessId()) { return std::to_string(id); }

std::string SystemTemp() {  // with its trailing backslash
  char path[MAX_PATH];
  const DWORD n = ::GetTempPathA(MAX_PATH, path);
  return std::string(path, n);
}

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The application name is process-wide: every fresh process sets the run's.
std::string UseTestApplication() {
  std::string name = Env("NY_FLAG_APP");
  if (name.empty()) name = "DoRorFlagTestAlone";
  NySetApplicationName(name.c_str());
  return name;
}

std::string ApplicationFolder() { return SystemTemp() + "Quandor\\" + Env("NY_FLAG_APP"); }

std::string LogPath(const std::string& work) { return work + "\\FlgLog" + Pid() + ".txt"; }

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}
bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The file's lines, each of which must end with CR LF.
std::vector<std::string> Lines(const std::string& path) {
  const std::string bytes = nytest::ReadBytes(path);
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(bytes.substr(start, end - start));
  EXPECT_EQ(start, bytes.size()) << "the file ends in the middle of a line";
  return lines;
}

// A flag log line taken apart: "%7.3lf,%10I64d,%10I64d,%10I64d,%10I64d,text".
struct Line {
  unsigned long milliseconds = 0;
  long long memory[4] = {};
  std::string text;
};

Line Parse(const std::string& line) {
  Line parsed;
  // The fixed-width head only: the caller's text may be very long.
  static const std::regex head(R"(^( *\d+\.\d{3}),( *\d+),( *\d+),( *\d+),( *\d+),)");
  std::smatch match;
  const std::string start = line.substr(0, 53);
  EXPECT_TRUE(std::regex_search(start, match, head)) << start;
  if (match.empty()) return parsed;
  EXPECT_EQ(match.length(1), 7) << start;
  parsed.milliseconds = static_cast<unsigned long>(std::stod(match.str(1)) * 1000.0 + 0.5);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(match.length(i + 2), 10) << start;
    parsed.memory[i] = std::stoll(match.str(i + 2));
  }
  parsed.text = line.substr(match.length(0));
  return parsed;
}

// "YYYYMMDD-HHMMSS" of the local time now, by the runtime's clock.
std::string LocalStamp() {
  const __time64_t now = _time64(nullptr);
  struct tm local = {};
  _localtime64_s(&local, &now);
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

void MakeFolder(const std::string& path, const std::string& file = "") {
  ::CreateDirectoryA(path.c_str(), nullptr);
  if (!file.empty()) std::ofstream(path + "\\" + file) << "x";
}

// A child (FlagChild.MakesWorkArea) that makes its work area and writes the
// path into {out}\{its id}.txt. A holding child also opens a marker in
// `hold` the way the library does, tells us through the ready event, and
// holds on until released (a minute at most, should this process die first).
class WorkAreaChild {
 public:
  WorkAreaChild(const std::string& out, bool holds, const std::string& hold = "") {
    const std::string tag = Pid() + "_" + std::to_string(++s_count);
    if (holds) {
      m_ready = ::CreateEventA(nullptr, TRUE, FALSE, ("Local\\NyFlagReady" + tag).c_str());
      m_release = ::CreateEventA(nullptr, TRUE, FALSE, ("Local\\NyFlagRelease" + tag).c_str());
    }
    _putenv(("NY_FLAG_OUT=" + out).c_str());
    _putenv(("NY_FLAG_TAG=" + (holds ? tag : std::string())).c_str());
    _putenv(("NY_FLAG_HOLD=" + hold).c_str());
    m_process = reinterpret_cast<HANDLE>(nytest::SpawnFresh(_P_NOWAIT, "FlagChild.MakesWorkArea"));
    m_id = ::GetProcessId(m_process);
    m_out = out;
  }
  ~WorkAreaChild() {
    End();
    if (m_ready) ::CloseHandle(m_ready);
    if (m_release) ::CloseHandle(m_release);
  }
  WorkAreaChild(const WorkAreaChild&) = delete;
  WorkAreaChild& operator=(const WorkAreaChild&) = delete;

  DWORD Id() const { return m_id; }
  // True once a holding child has made its work area and holds its marker.
  bool WaitUntilReady() {
    const HANDLE handles[] = {m_ready, m_process};
    return ::WaitForMultipleObjects(2, handles, FALSE, 30000) == WAIT_OBJECT_0;
  }
  // Lets the child end and waits (thirty seconds at most); its exit code.
  DWORD End() {
    if (!m_process) return m_exitCode;
    if (m_release) ::SetEvent(m_release);
    ::WaitForSingleObject(m_process, 30000);
    ::GetExitCodeProcess(m_process, &m_exitCode);
    ::CloseHandle(m_process);
    m_process = nullptr;
    return m_exitCode;
  }
  std::string WorkFolder() const { return nytest::ReadBytes(m_out + "\\" + Pid(m_id) + ".txt"); }

 private:
  static inline int s_count = 0;
  HANDLE m_process = nullptr;
  HANDLE m_ready = nullptr;
  HANDLE m_release = nullptr;
  DWORD m_exitCode = STILL_ACTIVE;
  DWORD m_id = 0;
  std::string m_out;
};

// The id of a process that has ended.
DWORD EndedProcessId() {
  const HANDLE child = reinterpret_cast<HANDLE>(nytest::SpawnFresh(_P_NOWAIT, "FlagChild.Ends"));
  ::WaitForSingleObject(child, 30000);
  const DWORD id = ::GetProcessId(child);
  ::CloseHandle(child);
  return id;
}

}  // namespace

TEST(FlagLog, EveryScenarioPassesInAFreshProcess) {
  if (nytest::InFreshProcess()) GTEST_SKIP();
  const std::string application = "DoRorFlagTest" + Pid();
  _putenv(("NY_FLAG_APP=" + application).c_str());
  nytest::RunEachInFreshProcess("FreshFlagLog");
  // Every child has ended, so no marker holds anything of this run.
  nytest::RemoveTree(ApplicationFolder());
  _putenv("NY_FLAG_APP=");
}

NY_FRESH_TEST(FlagChild, Ends) {}

NY_FRESH_TEST(FlagChild, MakesWorkArea) {
  UseTestApplication();
  const std::string work = NyFlgGetWork().GetString();
  ASSERT_FALSE(work.empty());
  std::ofstream(Env("NY_FLAG_OUT") + "\\" + Pid() + ".txt", std::ios::binary) << work;
  const std::string tag = Env("NY_FLAG_TAG");
  if (tag.empty()) return;
  // A marker made as the library makes its own, in a folder of the test's
  // choosing; like the real one it goes when this process does.
  const std::string hold = Env("NY_FLAG_HOLD");
  if (!hold.empty()) {
    const HANDLE marker = ::CreateFileA(
        (hold + "\\_keep_folder.dat").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_RANDOM_ACCESS, nullptr);
    ASSERT_NE(marker, INVALID_HANDLE_VALUE);  // left open until the process ends
  }
  const HANDLE ready = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, ("Local\\NyFlagReady" + tag).c_str());
  const HANDLE release = ::OpenEventA(SYNCHRONIZE, FALSE, ("Local\\NyFlagRelease" + tag).c_str());
  ASSERT_TRUE(ready && release);
  ::SetEvent(ready);
  EXPECT_EQ(::WaitForSingleObject(release, 60000), WAIT_OBJECT_0);
  ::CloseHandle(ready);
  ::CloseHandle(release);
}

// The folder name carries the local time and the process id; the work area
// sits under {temp}Quandor\{application}, is made once, and its marker is
// held so that nobody else can open it.
NY_FRESH_TEST(FreshFlagLog, WorkAreaIsMadeOnceAndHeldByItsMarker) {
  const std::string application = UseTestApplication();
  const std::string before = LocalStamp();
  const std::string name = NyFlgGetTempFolderName().GetString();
  const std::string after = LocalStamp();
  std::smatch match;
  ASSERT_TRUE(std::regex_match(name, match, std::regex(R"(QND_TMP_FOLDER-(\d{8}-\d{6})-(\d+))"))) << name;
  EXPECT_LE(before, match.str(1));
  EXPECT_GE(after, match.str(1));
  EXPECT_EQ(match.str(2), Pid());

  const std::string work = NyFlgGetWork().GetString();
  EXPECT_TRUE(StartsWith(work, SystemTemp() + "Quandor\\" + application + "\\QND_TMP_FOLDER-")) << work;
  EXPECT_TRUE(EndsWith(work, "-" + Pid())) << work;
  EXPECT_EQ(NyFlgGetWork().GetString(), work);

  const std::string marker = work + "\\_keep_folder.dat";
  EXPECT_TRUE(NyFlgIsFileExist(work.c_str()));
  EXPECT_TRUE(NyFlgIsFileExist(marker.c_str()));
  EXPECT_FALSE(NyFlgIsFileExist((work + "\\missing").c_str()));
  EXPECT_FALSE(NyFlgIsFileExist(""));
  const HANDLE other =
      ::CreateFileA(marker.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(other, INVALID_HANDLE_VALUE);
  if (other != INVALID_HANDLE_VALUE) ::CloseHandle(other);

  // Left out of the live ids, the own folder is still kept by its marker.
  EXPECT_TRUE(NyFlgEraseUnusedTempFiles(ApplicationFolder().c_str(), true));
  EXPECT_TRUE(Exists(marker));
}

// Each line: seconds since the first line right-aligned in 7, four memory
// figures right-aligned in 10, then the caller's text, of any length.
NY_FRESH_TEST(FreshFlagLog, LinesCarryElapsedTimeMemoryAndText) {
  UseTestApplication();
  const std::string longText = std::string(100000, 'x') + "end";
  struct Case {
    std::function<void()> write;
    std::string text;
  };
  const Case cases[] = {
      {[] { NyFlgWriteLog(42, "Load"); }, "42,Load"},
      {[] { NyFlgWriteLog(0xFFFFFFFFul, "all bits"); }, "-1,all bits"},
      {[] { NyFlgWriteLog(2147483648ul, ""); }, "-2147483648,"},
      {[] { NyFlgWriteLog2(3.14159265, "pi, roughly"); }, "3.1416,pi, roughly"},
      {[] { NyFlgWriteLog2(-0.00004, "small"); }, "-0.0000,small"},
      {[] { NyFlgWriteLog2(1e20, "big"); }, "100000000000000000000.0000,big"},
      {[&] { NyFlgWriteLog(7, longText.c_str()); }, "7," + longText},
      {[] { NyFlgWriteLog(8, "%s%d%n"); }, "8,%s%d%n"},
  };
  const unsigned long t0 = NyFlgGetTime();
  cases[0].write();
  const unsigned long t1 = NyFlgGetTime();
  for (size_t i = 1; i < std::size(cases); ++i) cases[i].write();
  const unsigned long t2 = NyFlgGetTime();

  const std::vector<std::string> lines = Lines(LogPath(NyFlgGetWork().GetString()));
  ASSERT_EQ(lines.size(), std::size(cases));
  unsigned long previous = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const Line line = Parse(lines[i]);
    EXPECT_EQ(line.text, cases[i].text) << i;
    EXPECT_LE(line.milliseconds, (i == 0 ? t1 : t2) - t0) << i;
    EXPECT_GE(line.milliseconds, previous) << i;
    previous = line.milliseconds;
    EXPECT_GT(line.memory[0], 0) << i;
    EXPECT_GE(line.memory[1], line.memory[0]) << i;  // peak working set
    EXPECT_GE(line.memory[3], line.memory[2]) << i;  // peak committed bytes
  }
  EXPECT_EQ(lines[0].substr(0, 4), "  0.");  // right-aligned in 7
}

// A line break in the caller's text is written as CR LF, like the line's own.
NY_FRESH_TEST(FreshFlagLog, LineBreaksInTextAreWrittenAsCrLf) {
  UseTestApplication();
  NyFlgWriteLog(1, "two\nlines");
  const std::string bytes = nytest::ReadBytes(LogPath(NyFlgGetWork().GetString()));
  EXPECT_TRUE(EndsWith(bytes, ",1,two\r\nlines\r\n")) << bytes;
}

// Clearing deletes the file; the next line starts a new one whose times
// continue from the first line of the process.
NY_FRESH_TEST(FreshFlagLog, TimeBaseSurvivesClearLog) {
  UseTestApplication();
  const std::string log = LogPath(NyFlgGetWork().GetString());
  NyFlgClearLog();  // nothing open: nothing to do
  EXPECT_FALSE(Exists(log));

  const unsigned long t0 = NyFlgGetTime();
  NyFlgWriteLog(1, "first");
  const unsigned long t1 = NyFlgGetTime();
  ASSERT_EQ(Lines(log).size(), 1u);
  // Time passes while a child process starts; started with the log open, it
  // must not hold the log when it is cleared and opened again.
  nytest::TempFolder out;
  WorkAreaChild child(out.Path(), true);
  ASSERT_TRUE(child.WaitUntilReady());
  const unsigned long t2 = NyFlgGetTime();
  NyFlgClearLog();
  EXPECT_FALSE(Exists(log));

  NyFlgWriteLog2(2.5, "second");
  const unsigned long t3 = NyFlgGetTime();
  const std::vector<std::string> lines = Lines(log);
  ASSERT_EQ(lines.size(), 1u);
  const Line line = Parse(lines[0]);
  EXPECT_EQ(line.text, "2.5000,second");
  EXPECT_GE(line.milliseconds, t2 - t1);
  EXPECT_LE(line.milliseconds, t3 - t0);
  EXPECT_GT(t2 - t1, 0ul);  // the check above means something
}

// Children started together get folders of their own (the process id ends
// the name, whatever the second); their markers go with them, and their
// folders are then erased, with the emptied application folder.
NY_FRESH_TEST(FreshFlagLog, MarkersVanishWithTheirProcesses) {
  const std::string application = "DoRorFlagPair" + Pid();
  _putenv(("NY_FLAG_APP=" + application).c_str());
  UseTestApplication();
  nytest::TempFolder out;
  WorkAreaChild first(out.Path(), false), second(out.Path(), false);
  ASSERT_EQ(first.End(), 0u);
  ASSERT_EQ(second.End(), 0u);

  const std::string applicationFolder = ApplicationFolder();
  const std::string works[] = {first.WorkFolder(), second.WorkFolder()};
  EXPECT_NE(works[0], works[1]);
  EXPECT_TRUE(EndsWith(works[0], "-" + Pid(first.Id()))) << works[0];
  EXPECT_TRUE(EndsWith(works[1], "-" + Pid(second.Id()))) << works[1];
  for (const std::string& work : works) {
    EXPECT_TRUE(StartsWith(work, applicationFolder + "\\QND_TMP_FOLDER-")) << work;
    EXPECT_TRUE(Exists(work)) << work;
    EXPECT_FALSE(Exists(work + "\\_keep_folder.dat")) << work;
  }

  EXPECT_TRUE(NyFlgEraseUnusedTempFiles(applicationFolder.c_str(), false));
  for (const std::string& work : works) EXPECT_FALSE(Exists(work)) << work;
  EXPECT_FALSE(Exists(applicationFolder));
}

// The clean-up erases prefixed folders of ended processes that have no
// marker; it keeps live processes' folders, folders with a marker (held by
// a live child or simply there), and never touches other names or files.
NY_FRESH_TEST(FreshFlagLog, CleanUpErasesOnlyEndedUnmarkedWorkFolders) {
  UseTestApplication();
  EXPECT_FALSE(NyFlgEraseUnusedTempFiles("", true));

  nytest::TempFolder scan, out;
  const std::string ended = Pid(EndedProcessId());
  const std::string erased = scan / ("QND_TMP_FOLDER-20260101-000000-" + ended);
  const std::string bare = scan / "QND_TMP_FOLDER";  // no "-": the whole name is the id
  const std::string marked = scan / ("QND_TMP_FOLDER-20260101-000001-" + ended);
  const std::string held = scan / ("QND_TMP_FOLDER-20260101-000002-" + ended);
  const std::string locked = scan / ("QND_TMP_FOLDER-20260101-000003-" + ended);
  const std::string untouched[] = {
      scan / ("XQND_TMP_FOLDER-20260101-000000-" + ended),
      scan / ("qnd_tmp_folder-20260101-000009-" + ended),
      scan / "Other",
  };
  MakeFolder(erased, "data.txt");
  MakeFolder(erased + "\\sub", "more.txt");
  MakeFolder(bare);
  MakeFolder(marked, "_keep_folder.dat");
  MakeFolder(held);
  MakeFolder(locked, "locked.txt");
  for (const std::string& folder : untouched) MakeFolder(folder);
  const std::string plainFile = scan.WriteFile("QND_TMP_FOLDER-20260101-000004-" + ended);

  WorkAreaChild child(out.Path(), true, held);
  ASSERT_TRUE(child.WaitUntilReady());
  const std::string live = scan / ("QND_TMP_FOLDER-20260101-000005-" + Pid(child.Id()));
  MakeFolder(live);
  {
    // A folder that cannot be erased fails the clean-up, which still goes on.
    nytest::ScopedFile lock(locked + "\\locked.txt", GENERIC_READ, 0);
    ASSERT_TRUE(lock.IsOpen());
    EXPECT_FALSE(NyFlgEraseUnusedTempFiles(scan.Path().c_str(), false));
  }
  EXPECT_FALSE(Exists(erased));
  EXPECT_FALSE(Exists(bare));
  EXPECT_TRUE(Exists(locked));
  for (const std::string& kept : {marked, held, live}) EXPECT_TRUE(Exists(kept)) << kept;
  EXPECT_TRUE(Exists(held + "\\_keep_folder.dat"));

  // Once the child has ended, its marker and its id are gone.
  ASSERT_EQ(child.End(), 0u);
  EXPECT_TRUE(NyFlgEraseUnusedTempFiles(scan.Path().c_str(), false));
  for (const std::string& gone : {held, live, locked}) EXPECT_FALSE(Exists(gone)) << gone;
  EXPECT_TRUE(Exists(marked));
  for (const std::string& folder : untouched) EXPECT_TRUE(Exists(folder)) << folder;
  EXPECT_TRUE(Exists(plainFile));
  EXPECT_TRUE(Exists(scan.Path()));  // not empty: the folder itself stays
}

// The executable's resources of the named type "RT_RCDATA" (flag_log_test.rc).
TEST(FlagTempFile, UnpacksNamedDataResources) {
  nytest::TempFolder temp;
  std::string data;
  for (int round = 0; round < 3; ++round)
    for (int byte = 0; byte < 256; ++byte) data += static_cast<char>(byte);
  data += "\x1a\r\n";
  const std::string replaced = temp.WriteFile("old.bin", std::string(5000, 'o'));

  struct Case {
    const char* resource;
    std::string path;
    bool made;
  };
  const Case cases[] = {
      {"FLAGDATA", temp / "made\\data.bin", true},          // one missing folder level is made
      {"FLAGDATA", replaced, true},                         // a longer file is replaced, not overwritten
      {"MISSING", temp / "missing.bin", false},             // no such resource
      {"NUMERICDATA", temp / "numeric.bin", false},         // the predefined numeric type does not count
      {"EMPTYDATA", temp / "empty.bin", false},             // nothing to write
      {"FLAGDATA", temp / "two\\levels\\data.bin", false},  // only one level is made
      {"FLAGDATA", "", false},
      {"FLAGDATA", temp / (std::string(300, 'f') + "\\data.bin"), false},  // too long to split
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NyFlgMakeTempFile(c.path.c_str(), c.resource), c.made) << c.resource << " " << c.path;
    if (c.made)
      EXPECT_EQ(nytest::ReadBytes(c.path), data) << c.path;
    else if (!c.path.empty())
      EXPECT_FALSE(Exists(c.path)) << c.path;
  }
}

// More heaps than the first list holds are still validated without harm;
// the switch stays on once set.
TEST(FlagHeapCheck, ManyHeaps) {
  std::vector<HANDLE> heaps;
  for (int i = 0; i < 150; ++i) heaps.push_back(::HeapCreate(0, 0, 0));
  NyFlgValidateHeap(false);
  NyFlgValidateHeap(true);
  NyFlgValidateHeap(false);
  for (HANDLE heap : heaps) ::HeapDestroy(heap);
}
