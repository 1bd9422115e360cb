// The flag log and its work area. The work area is made once per process, so
// each scenario runs in a fresh process under an application name of its run.
#include <regex>
#include <string>
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

std::string ApplicationFolder() {
  char temp[MAX_PATH];  // with its trailing backslash
  return std::string(temp, ::GetTempPathA(MAX_PATH, temp)) + "Quandor\\" + Env("NY_FLAG_APP");
}

// The log's lines "%7.3lf,%10I64d x4,text" CR LF: each line's milliseconds and text.
std::vector<std::pair<unsigned long, std::string>> ReadLog(const std::string& path) {
  static const std::regex head(R"(^[ \d]{2}\d\.\d{3}(,[ \d]{9}\d){4},)");
  const std::string bytes = nytest::ReadBytes(path);
  std::vector<std::pair<unsigned long, std::string>> lines;
  size_t start = 0;
  for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = bytes.substr(start, end - start);
    EXPECT_TRUE(std::regex_search(line.substr(0, 52), head)) << line.substr(0, 60);
    EXPECT_GT(std::stoll(line.substr(8, 10)), 0);  // working set
    lines.emplace_back(static_cast<unsigned long>(std::stod(line.substr(0, 7)) * 1000.0 + 0.5),
                       line.substr(52));
  }
  EXPECT_EQ(start, bytes.size()) << "the file ends in the middle of a line";
  return lines;
}

}  // namespace

TEST(FlagLog, EveryScenarioPassesInAFreshProcess) {
  if (nytest::InFreshProcess()) GTEST_SKIP();
  _putenv(("NY_FLAG_APP=DoRorFlagTest" + Pid()).c_str());
  nytest::RunEachInFreshProcess("FreshFlagLog");
  nytest::RemoveTree(ApplicationFolder());  // every child has ended
  _putenv("NY_FLAG_APP=");
}

// Writes the path of its work area into {NY_FLAG_OUT}\{its id}.txt.
NY_FRESH_TEST(FlagChild, MakesWorkArea) {
  NySetApplicationName(Env("NY_FLAG_APP").c_str());
  std::ofstream(Env("NY_FLAG_OUT") + "\\" + Pid() + ".txt", std::ios::binary) << NyFlgGetWork().GetString();
}

// The work area {temp}Quandor\{application}\QND_TMP_FOLDER-{date}-{time}-{pid}
// is made once, its marker held against other openers. Log lines: fixed-width
// seconds and memory figures, the text as given, line breaks as CR LF.
// Clearing deletes the file; the next one keeps the time base.
NY_FRESH_TEST(FreshFlagLog, WorkAreaAndLog) {
  NySetApplicationName(Env("NY_FLAG_APP").c_str());
  const std::string work = NyFlgGetWork().GetString();
  EXPECT_TRUE(std::regex_match(work, std::regex(R"(.*\\QND_TMP_FOLDER-\d{8}-\d{6}-)" + Pid()))) << work;
  EXPECT_EQ(work.substr(0, work.rfind('\\')), ApplicationFolder());
  const std::string marker = work + "\\_keep_folder.dat";
  EXPECT_FALSE(nytest::ScopedFile(marker, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE).IsOpen());

  const std::string log = work + "\\FlgLog" + Pid() + ".txt", longText = std::string(100000, 'x');
  const unsigned long t0 = NyFlgGetTime();
  NyFlgWriteLog(0xFFFFFFFFul, "Load");
  NyFlgWriteLog2(3.14159265, "pi, roughly");
  NyFlgWriteLog(7, longText.c_str());
  NyFlgWriteLog(8, "%s%d%n");
  const unsigned long t1 = NyFlgGetTime();
  const std::string texts[] = {"-1,Load", "3.1416,pi, roughly", "7," + longText, "8,%s%d%n"};
  std::vector<std::pair<unsigned long, std::string>> lines = ReadLog(log);
  ASSERT_EQ(lines.size(), std::size(texts));
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].second, texts[i]) << i;
    EXPECT_LE(lines[i].first, t1 - t0) << i;
  }
  NyFlgWriteLog(9, "two\nlines");
  const std::string bytes = nytest::ReadBytes(log);
  EXPECT_EQ(bytes.substr(bytes.size() - 15), ",9,two\r\nlines\r\n");

  nytest::TempFolder out;  // time passes while a child runs
  _putenv(("NY_FLAG_OUT=" + out.Path()).c_str());
  ASSERT_EQ(nytest::SpawnFresh(_P_WAIT, "FlagChild.MakesWorkArea"), 0);
  const unsigned long t2 = NyFlgGetTime();
  ASSERT_GT(t2, t1);
  NyFlgClearLog();
  EXPECT_FALSE(Exists(log));
  NyFlgWriteLog2(2.5, "second");
  lines = ReadLog(log);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].second, "2.5000,second");
  EXPECT_GE(lines[0].first, t2 - t1);
  EXPECT_LE(lines[0].first, NyFlgGetTime() - t0);
}

// Children started together get folders of their own, and their markers go
// with them. The clean-up erases prefixed folders of ended processes without
// a marker; it keeps live processes' folders, marked folders (held or not),
// other names and plain files.
NY_FRESH_TEST(FreshFlagLog, ChildWorkAreasAndTheCleanUpRules) {
  _putenv(("NY_FLAG_APP=DoRorFlagPair" + Pid()).c_str());  // holds only this test's work areas
  nytest::TempFolder scan, out;
  _putenv(("NY_FLAG_OUT=" + out.Path()).c_str());
  HANDLE children[2];
  for (HANDLE& child : children)
    child = reinterpret_cast<HANDLE>(nytest::SpawnFresh(_P_NOWAIT, "FlagChild.MakesWorkArea"));
  std::string works[2];
  for (int i = 0; i < 2; ++i) {
    DWORD code = 1;
    ASSERT_EQ(::WaitForSingleObject(children[i], 30000), WAIT_OBJECT_0);
    EXPECT_TRUE(::GetExitCodeProcess(children[i], &code) && code == 0);
    works[i] = nytest::ReadBytes(out / (Pid(::GetProcessId(children[i])) + ".txt"));
    EXPECT_TRUE(Exists(works[i])) << works[i];
    EXPECT_FALSE(Exists(works[i] + "\\_keep_folder.dat")) << works[i];
  }
  EXPECT_NE(works[0], works[1]);

  const std::string prefix = "QND_TMP_FOLDER-20260101-00000", ended = Pid(::GetProcessId(children[0]));
  for (HANDLE child : children) ::CloseHandle(child);
  const auto folder = [&](const std::string& name, const std::string& file = "x") {
    scan.WriteFile(name + "\\" + file);
    return scan / name;
  };
  const std::string erased = folder(prefix + "0-" + ended, "sub\\more.txt");
  const std::string marked = folder(prefix + "1-" + ended, "_keep_folder.dat");
  const std::string held = folder(prefix + "2-" + ended), live = folder(prefix + "3-" + Pid());
  const std::string untouched[] = {marked, live, folder("X" + prefix + "0-" + ended), folder("Other"),
                                   scan.WriteFile(prefix + "4-" + ended)};
  const HANDLE marker = ::CreateFileA((held + "\\_keep_folder.dat").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  ASSERT_NE(marker, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(NyFlgEraseUnusedTempFiles(scan.Path().c_str(), false));
  EXPECT_FALSE(Exists(erased));
  EXPECT_TRUE(Exists(held));
  ::CloseHandle(marker);  // the marker goes
  EXPECT_TRUE(NyFlgEraseUnusedTempFiles(scan.Path().c_str(), false));
  EXPECT_FALSE(Exists(held));
  for (const std::string& kept : untouched) EXPECT_TRUE(Exists(kept)) << kept;

  // The children's work areas go, and with them the emptied application folder.
  EXPECT_TRUE(NyFlgEraseUnusedTempFiles(ApplicationFolder().c_str(), false));
  EXPECT_FALSE(Exists(ApplicationFolder()));
}

// The executable's resources of the named type "RT_RCDATA" (flag_log_test.rc).
TEST(FlagTempFile, UnpacksNamedDataResources) {
  nytest::TempFolder temp;
  std::string data;
  for (int byte = 0; byte < 3 * 256; ++byte) data += static_cast<char>(byte);
  data += "\x1a\r\n";
  const std::string replaced = temp.WriteFile("old.bin", std::string(5000, 'o'));
  EXPECT_TRUE(NyFlgMakeTempFile((temp / "made\\data.bin").c_str(), "FLAGDATA"));  // makes the folder
  EXPECT_EQ(nytest::ReadBytes(temp / "made\\data.bin"), data);
  EXPECT_TRUE(NyFlgMakeTempFile(replaced.c_str(), "FLAGDATA"));  // a longer file is replaced
  EXPECT_EQ(nytest::ReadBytes(replaced), data);
  EXPECT_FALSE(NyFlgMakeTempFile((temp / "missing.bin").c_str(), "MISSING"));
  EXPECT_FALSE(Exists(temp / "missing.bin"));
}
