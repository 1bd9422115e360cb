// Folder-tree benchmark: NyCopyDirectoryT and NyRemoveDirectoryT against the
// platform's own commands (xcopy and rd, run by cmd.exe), on a tree of small
// files generated at start, with every ratio taken from the same run. It is a
// measurement, not a test: it exits 0 whatever it finds and says in its last
// line how many of its targets were met. A copy that is not complete, or a
// removal that leaves the folder behind, is reported as a failure, since its
// speed would then mean nothing.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "NyBench.h"
#include "NyFiles.h"

namespace {

using nybench::Now;
using nybench::Ratio;

// The tree: 10 folders of 10 subfolders each, 100 files in every subfolder
// (10,000 files in 100 leaf folders, 110 folders in all).
constexpr int kTopFolders = 10;
constexpr int kSubFolders = 10;
constexpr int kFilesPerFolder = 100;
constexpr int kFiles = kTopFolders * kSubFolders * kFilesPerFolder;
constexpr int kFolders = kTopFolders + kTopFolders * kSubFolders;
// Each copy and removal is timed this many times, on fresh destinations; the
// best round counts, so that a moment of interference from other work on the
// machine costs one round, not the figure.
constexpr int kRounds = 3;
// A child command that runs longer than this is stopped and counts as failed.
constexpr DWORD kCommandTimeoutMs = 300 * 1000;

// ---- The generated tree ---------------------------------------------------------

std::string FileText(int top, int sub, int file) {
  char text[80];
  std::snprintf(text, sizeof text, "File %03d of folder %d\\%d in the benchmark tree.\r\n", file, top, sub);
  return text;
}

struct TreeSize {
  int files = 0;
  int folders = 0;
  unsigned long long bytes = 0;

  bool operator==(const TreeSize& other) const {
    return files == other.files && folders == other.folders && bytes == other.bytes;
  }
};

// Writes the tree under `root` (which must not exist); what was written.
TreeSize MakeTree(const std::string& root) {
  TreeSize size;
  if (!::CreateDirectoryA(root.c_str(), nullptr)) return size;
  for (int top = 0; top < kTopFolders; ++top) {
    std::string topFolder = root + "\\Folder" + std::to_string(top);
    if (!::CreateDirectoryA(topFolder.c_str(), nullptr)) return size;
    ++size.folders;
    for (int sub = 0; sub < kSubFolders; ++sub) {
      std::string subFolder = topFolder + "\\Sub" + std::to_string(sub);
      if (!::CreateDirectoryA(subFolder.c_str(), nullptr)) return size;
      ++size.folders;
      for (int file = 0; file < kFilesPerFolder; ++file) {
        char name[16];
        std::snprintf(name, sizeof name, "\\File%03d.txt", file);
        std::string text = FileText(top, sub, file);
        if (!nybench::WriteBytes(subFolder + name, text)) return size;
        ++size.files;
        size.bytes += text.size();
      }
    }
  }
  return size;
}

// The files, folders and bytes under `root` (the root itself not counted).
void CountTree(const std::string& root, TreeSize& size) {
  WIN32_FIND_DATAA found;
  HANDLE find = ::FindFirstFileA((root + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ++size.folders;
      CountTree(root + "\\" + name, size);
    } else {
      ++size.files;
      size.bytes += (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    }
  } while (::FindNextFileA(find, &found));
  ::FindClose(find);
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// ---- The platform's commands -----------------------------------------------------

// Runs `commandLine` with its standard handles on NUL (nothing printed, no
// prompt can wait for an answer) and waits for it; true when it ran to its
// end with exit code 0.
bool RunHidden(std::string commandLine) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE nul = ::CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &inherit, OPEN_EXISTING, 0, nullptr);
  if (nul == INVALID_HANDLE_VALUE) return false;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
  PROCESS_INFORMATION process{};
  // CreateProcessA may write into the command line, so it gets a copy it owns.
  bool started = ::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                  nullptr, &startup, &process) != FALSE;
  ::CloseHandle(nul);
  if (!started) return false;
  ::CloseHandle(process.hThread);
  DWORD exitCode = 1;
  if (::WaitForSingleObject(process.hProcess, kCommandTimeoutMs) == WAIT_OBJECT_0) {
    ::GetExitCodeProcess(process.hProcess, &exitCode);
  } else {
    ::TerminateProcess(process.hProcess, 1);
    ::WaitForSingleObject(process.hProcess, kCommandTimeoutMs);
  }
  ::CloseHandle(process.hProcess);
  return exitCode == 0;
}

// The command starts with its name, not a quote, so that cmd keeps the quotes
// around the paths as they are.
bool PlatformCopy(const std::string& source, const std::string& destination) {
  return RunHidden("cmd.exe /c xcopy \"" + source + "\" \"" + destination + "\" /e /i /h");
}

bool PlatformRemove(const std::string& path) { return RunHidden("cmd.exe /c rd /s /q \"" + path + "\""); }

// ---- The measurements ---------------------------------------------------------

// The seconds of each round of one operation; empty with a reason once a
// round failed.
struct Timing {
  std::vector<double> seconds;
  std::string failure;

  bool Failed() const { return !failure.empty() || seconds.empty(); }
  double Best() const { return Failed() ? 0 : *std::min_element(seconds.begin(), seconds.end()); }
  // Files per second of the best round; 0 when it failed.
  double FilesPerSecond() const { return Failed() ? 0 : kFiles / Best(); }

  void Fail(const std::string& why) {
    if (failure.empty()) failure = why;
  }
};

// Times `copy(source, destination)` into a fresh `destination` and checks
// that the copy is the whole tree.
template <typename Copy>
bool TimeCopy(Timing& timing, Copy copy, const std::string& source, const std::string& destination,
              const TreeSize& expected) {
  double start = Now();
  bool copied = copy(source, destination);
  double seconds = Now() - start;
  TreeSize found;
  CountTree(destination, found);
  if (!copied || !(found == expected)) {
    char why[160];
    std::snprintf(why, sizeof why, "%s; copied %d files in %d folders, %llu bytes",
                  copied ? "incomplete copy" : "reported failure", found.files, found.folders, found.bytes);
    timing.Fail(why);
    return false;
  }
  timing.seconds.push_back(seconds);
  return true;
}

// Times `remove(path)` and checks that the folder is gone.
template <typename Remove>
void TimeRemove(Timing& timing, Remove remove, const std::string& path) {
  double start = Now();
  bool removed = remove(path);
  double seconds = Now() - start;
  if (!removed || Exists(path)) {
    timing.Fail(removed ? "the folder is still there" : "reported failure");
    return;
  }
  timing.seconds.push_back(seconds);
}

struct Results {
  Timing libraryCopy, platformCopy, libraryRemove, platformRemove;
  double commandStartSeconds = 0;  // cmd.exe that does nothing, best of the rounds
};

// Copies the source tree with both, then removes each copy, round after round.
// The two take turns at going first, so that neither always meets the disk
// right after the other's writes.
Results Measure(const std::string& folder, const std::string& source, const TreeSize& expected) {
  Results r;
  auto libraryCopy = [](const std::string& from, const std::string& to) {
    return NyCopyDirectoryT(from.c_str(), to.c_str());
  };
  auto libraryRemove = [](const std::string& path) { return NyRemoveDirectoryT(path.c_str()); };
  for (int round = 0; round < kRounds; ++round) {
    std::string libraryCopyPath = folder + "\\library-copy" + std::to_string(round);
    std::string platformCopyPath = folder + "\\xcopy-copy" + std::to_string(round);
    bool libraryFirst = round % 2 == 0;
    bool libraryCopied = false, platformCopied = false;
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn == 0) == libraryFirst) {
        libraryCopied = TimeCopy(r.libraryCopy, libraryCopy, source, libraryCopyPath, expected);
      } else {
        platformCopied = TimeCopy(r.platformCopy, PlatformCopy, source, platformCopyPath, expected);
      }
    }
    // Each removes its own copy. When only one copy is complete, the library
    // removes that one and the platform's removal is not timed this round.
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn == 0) == libraryFirst) {
        if (libraryCopied || platformCopied) {
          TimeRemove(r.libraryRemove, libraryRemove, libraryCopied ? libraryCopyPath : platformCopyPath);
        } else {
          r.libraryRemove.Fail("no complete copy to remove");
        }
      } else if (libraryCopied && platformCopied) {
        TimeRemove(r.platformRemove, PlatformRemove, platformCopyPath);
      } else {
        r.platformRemove.Fail("no complete copy of its own to remove");
      }
    }
    // Whatever a failed round left behind.
    nybench::RemoveTree(libraryCopyPath);
    nybench::RemoveTree(platformCopyPath);

    double start = Now();
    bool ran = RunHidden("cmd.exe /c rem");
    double seconds = Now() - start;
    if (ran && (r.commandStartSeconds == 0 || seconds < r.commandStartSeconds))
      r.commandStartSeconds = seconds;
  }
  return r;
}

// ---- Output -------------------------------------------------------------------

std::string FilesPerSecond(const Timing& t) {
  if (t.Failed()) return "FAILED";
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", t.FilesPerSecond());
  return text;
}

std::string Rounds(const Timing& t) {
  std::string text;
  for (double s : t.seconds) {
    char one[16];
    std::snprintf(one, sizeof one, "%s%.2f", text.empty() ? "" : " ", s);
    text += one;
  }
  return text;
}

void PrintRow(const char* operation, const char* reader, const Timing& t) {
  std::printf("  %-8s %-9s %10s %8.2f   %s\n", operation, reader, FilesPerSecond(t).c_str(), t.Best(),
              Rounds(t).c_str());
  if (!t.failure.empty()) std::printf("  %-8s %-9s failed: %s\n", "", "", t.failure.c_str());
}

}  // namespace

int main() {
  std::string folder = nybench::MakeWorkFolder("DoRorFilesBench-");
  if (folder.empty()) {
    std::printf("bench: cannot create a temporary folder\n");
    return 1;
  }
  std::printf(
      "DoRor folder-tree benchmark (ANSI code page %u; %s files in %d folders of %d subfolders, %d files "
      "each; best of %d rounds)\n\n",
      ::GetACP(), nybench::Count(kFiles).c_str(), kTopFolders, kSubFolders, kFilesPerFolder, kRounds);
  std::fflush(stdout);

  // Everything is made inside the work folder, which goes at the end
  // whatever happened on the way.
  std::string source = folder + "\\source";
  double start = Now();
  TreeSize expected = MakeTree(source);
  double buildSeconds = Now() - start;
  Results r;
  if (expected.files == kFiles && expected.folders == kFolders) {
    std::printf("Source tree: %d files in %d folders, %llu bytes, written in %.2f s\n\n", expected.files,
                expected.folders, expected.bytes, buildSeconds);
    std::fflush(stdout);
    r = Measure(folder, source, expected);
  } else {
    std::printf("bench: cannot write the source tree under %s\n\n", source.c_str());
  }

  std::printf("%-10s %-9s %10s %8s   %s\n", "", "", "files/s", "best s", "seconds of each round");
  PrintRow("copy", "library", r.libraryCopy);
  PrintRow("", "platform", r.platformCopy);
  PrintRow("remove", "library", r.libraryRemove);
  PrintRow("", "platform", r.platformRemove);
  std::printf(
      "  library: NyCopyDirectoryT into a folder that does not exist yet, NyRemoveDirectoryT;\n"
      "  platform: cmd.exe /c xcopy <source> <destination> /e /i /h, cmd.exe /c rd /s /q <folder>,\n"
      "  output to NUL, each timed from its start to its end; cmd.exe /c rem alone takes %.0f ms.\n\n",
      r.commandStartSeconds * 1e3);
  std::fflush(stdout);

  nybench::RemoveTree(folder);

  std::printf("Targets\n");
  nybench::Targets targets(30, 6, 2);
  targets.Check("copy: library / platform",
                Ratio(r.libraryCopy.FilesPerSecond(), r.platformCopy.FilesPerSecond()), 1, "x");
  targets.Check("remove: library / platform",
                Ratio(r.libraryRemove.FilesPerSecond(), r.platformRemove.FilesPerSecond()), 1, "x");
  if (Exists(folder)) std::printf("\nbench: could not remove %s\n", folder.c_str());
  targets.PrintSummary();
  return 0;
}
