// The debug exception report, fed with made-up debug events of this very
// process: records and throw descriptions lie in this process's memory, and
// the report reads them back through a process handle as it would a child's.
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

// A stand-in for a throwing module's image, made once: a committed 64 KiB
// chunk and, right after it, a chunk that is not mapped at all. Wine's server
// still reads PAGE_NOACCESS pages and memory released in Wine's low reserved
// area, so the range is taken high up and kept once the hole fails to read.
constexpr uint32_t kHole = 0x10000;  // the first unreadable offset

unsigned char* Image() {
  static unsigned char* const image = [] {
    for (uint64_t hint = 0x200000000; hint < 0x10000000000; hint += 0x100000000) {
      void* range = ::VirtualAlloc(reinterpret_cast<void*>(hint), 2 * kHole, MEM_RESERVE, PAGE_NOACCESS);
      if (!range || !::VirtualFree(range, 0, MEM_RELEASE)) continue;
      auto* base =
          static_cast<unsigned char*>(::VirtualAlloc(range, kHole, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
      char byte;
      if (base && !::ReadProcessMemory(::GetCurrentProcess(), base + kHole, &byte, 1, nullptr)) return base;
      if (base) ::VirtualFree(base, 0, MEM_RELEASE);
    }
    return static_cast<unsigned char*>(nullptr);
  }();
  return image;
}
uint64_t At(uint32_t offset) { return reinterpret_cast<uintptr_t>(Image()) + offset; }
void Put(uint32_t offset, const std::string& bytes) {
  std::memcpy(Image() + offset, bytes.data(), bytes.size());
}
std::string Words(std::initializer_list<uint32_t> words) {
  return std::string(reinterpret_cast<const char*>(words.begin()), sizeof(uint32_t) * words.size());
}

PROCESS_INFORMATION ThisProcess() {
  PROCESS_INFORMATION child = {};
  child.hProcess = ::GetCurrentProcess();
  child.dwProcessId = ::GetCurrentProcessId();
  return child;
}

DEBUG_EVENT ExceptionEvent(const EXCEPTION_RECORD& record, DWORD firstChance) {
  DEBUG_EVENT event = {};
  event.dwDebugEventCode = EXCEPTION_DEBUG_EVENT;
  event.dwProcessId = ::GetCurrentProcessId();
  event.dwThreadId = 0xFFFFFFFE;  // widened unsigned: no minus sign
  event.u.Exception.ExceptionRecord = record;
  event.u.Exception.dwFirstChance = firstChance;
  return event;
}

struct Outcome {
  std::string report;
  bool flag;
};

// Over outputs that hold stale values, which must not show.
Outcome Check(const DEBUG_EVENT& event, const PROCESS_INFORMATION& child = ThisProcess()) {
  CString report = "garbage";
  bool flag = true;
  NyCrashHandler::CheckExceptionEvent(event, child, report, flag);
  return {report.GetString(), flag};
}

std::string Repeat(const std::string& text, int times) {
  std::string out;
  while (times-- > 0) out += text;
  return out;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The open handles of this process to itself. Wine's GetProcessHandleCount
// always answers 0, so the (low) handle values are probed instead.
std::set<HANDLE> HandlesToThisProcess() {
  std::set<HANDLE> found;
  for (uintptr_t value = 4; value < 0x4000; value += 4) {
    const HANDLE handle = reinterpret_cast<HANDLE>(value);
    DWORD flags = 0;
    if (::GetHandleInformation(handle, &flags) && ::GetProcessId(handle) == ::GetCurrentProcessId()) {
      found.insert(handle);
    }
  }
  return found;
}

// ---- Thrown objects: the runtime's x64 throw descriptions, each reference an
// offset from the image base, at fixed places in the image.
constexpr uint32_t kListAt = 0x100, kTypeAt[2] = {0x200, 0x300}, kDescriptorAt[2] = {0x400, 0x600};

struct ThrownType {
  std::string name;  // decorated, as the compiler writes it
  uint32_t size;
};

// The one reference of a case that points into the hole.
enum class Broken { kNothing, kThrowDescription, kFirstType, kFirstTypeName, kObject };

struct ThrownCase {
  const char* what;
  DWORD firstChance;
  uint32_t count;
  ThrownType first, second;
  std::string object;  // its bytes, laid right before the hole
  Broken broken;
  std::vector<std::string> lines;  // expected after the parameter lines
  bool flag;
};

void PutType(uint32_t at, uint32_t descriptorAt, const ThrownType& type) {
  // properties, type descriptor, three displacements, size, copy function
  Put(at, Words({0, descriptorAt, 0, 0xFFFFFFFF, 0, type.size, 0}));
  Put(descriptorAt, std::string(16, '\0') + type.name + '\0');  // after the vtable and spare pointers
}

EXCEPTION_RECORD DescribeThrow(const ThrownCase& c) {
  const uint32_t objectAt = kHole - static_cast<uint32_t>(c.object.size());
  Put(0, Words({1, 0, 0, kListAt}));  // the throw description, at the image base
  Put(kListAt, Words({c.count, c.broken == Broken::kFirstType ? kHole : kTypeAt[0], kTypeAt[1]}));
  // A descriptor whose name is readable but whose 128 bytes are not.
  PutType(kTypeAt[0], c.broken == Broken::kFirstTypeName ? kHole - 64 : kDescriptorAt[0], c.first);
  PutType(kTypeAt[1], kDescriptorAt[1], c.second);
  Put(objectAt, c.object);

  EXCEPTION_RECORD record = {};
  record.ExceptionCode = 0xE06D7363;
  record.NumberParameters = 4;
  record.ExceptionInformation[0] = 0x19930520;
  record.ExceptionInformation[1] = At(c.broken == Broken::kObject ? kHole : objectAt);
  record.ExceptionInformation[2] = At(c.broken == Broken::kThrowDescription ? kHole : 0);
  record.ExceptionInformation[3] = At(0);
  return record;
}

const ThrownType kRoutine{".?AVResultException@@", 2};

TEST(CheckExceptionEvent, DecodesThrownObjects) {
  const ThrownType other{".?AVother@@", 1}, base{".?AVbase@@", 1},
      javascript{".?AVJavascriptExceptionObject@@", 1}, unterminated{std::string(200, 'N'), 0xFFFFFFFF},
      none{"", 0};
  ASSERT_NE(Image(), nullptr);
  // clang-format off
  const ThrownCase cases[] = {
      {"int 13", 1, 1, {".H", 4}, none, std::string("\x0d\0\0\0", 4), Broken::kNothing,
       {"ExceptionNumCatchableType 1", "ExceptionObjectByteSize 4", "ExceptionObjectClassName .H",
        "ExceptionObjectData d 0 0 0 "},
       true},
      {"routine class; the second name does not count", 1, 2, kRoutine, base, "\x01\xff", Broken::kNothing,
       {"ExceptionNumCatchableType 2", "ExceptionObjectByteSize 2",
        "ExceptionObjectClassName .?AVResultException@@", "ExceptionObjectData 1 ff ",
        "ExceptionObjectByteSize2 1", "ExceptionObjectClassName2 .?AVbase@@", "ExceptionObjectData2 1 "},
       false},
      {"the other routine class", 1, 1, javascript, none, "\x7f", Broken::kNothing,
       {"ExceptionNumCatchableType 1", "ExceptionObjectByteSize 1",
        "ExceptionObjectClassName .?AVJavascriptExceptionObject@@", "ExceptionObjectData 7f "},
       false},
      {"throw description unreadable", 1, 1, other, none, "*", Broken::kThrowDescription, {}, false},
      {"first type unreadable, the second still told", 1, 2, other, base, "*", Broken::kFirstType,
       {"ExceptionNumCatchableType 2", "ExceptionObjectByteSize2 1", "ExceptionObjectClassName2 .?AVbase@@",
        "ExceptionObjectData2 2a "},
       false},
      {"type descriptor cut short", 1, 1, other, none, "*", Broken::kFirstTypeName,
       {"ExceptionNumCatchableType 1", "ExceptionObjectByteSize 1"},
       false},
      {"object unreadable", 1, 1, other, none, "*", Broken::kObject,
       {"ExceptionNumCatchableType 1", "ExceptionObjectByteSize 1", "ExceptionObjectClassName .?AVother@@"},
       true},
      // Counts and sizes are unsigned; an empty second type dumps no bytes.
      {"bounds: an unterminated name, a size beyond 128", 1, 0xFFFFFFFF, unterminated, none,
       "\x0d" + std::string(127, '\0'), Broken::kNothing,
       {"ExceptionNumCatchableType 4294967295", "ExceptionObjectByteSize 4294967295",
        "ExceptionObjectClassName " + std::string(111, 'N'), "ExceptionObjectData d " + Repeat("0 ", 127),
        "ExceptionObjectByteSize2 0", "ExceptionObjectClassName2 ", "ExceptionObjectData2 "},
       true},
  };
  // clang-format on
  for (const ThrownCase& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome outcome = Check(ExceptionEvent(DescribeThrow(c), c.firstChance));
    std::string expected;
    for (const std::string& line : c.lines) expected += "        " + line + "\n";
    const size_t last = outcome.report.rfind("ExceptionInformation[3]");
    ASSERT_NE(last, std::string::npos);
    EXPECT_EQ(outcome.report.substr(outcome.report.find('\n', last) + 1), expected);
    EXPECT_EQ(outcome.flag, c.flag);
  }
}

TEST(CheckExceptionEvent, ReportsChainedRecordsWithinBounds) {
  ASSERT_NE(Image(), nullptr);
  EXCEPTION_RECORD chained = {}, fault = {};
  chained.ExceptionCode = 123;
  chained.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
  chained.ExceptionRecord = reinterpret_cast<EXCEPTION_RECORD*>(At(kHole));  // ends the chain
  fault.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
  fault.ExceptionAddress = reinterpret_cast<PVOID>(0x401000);
  fault.NumberParameters = 2;
  fault.ExceptionInformation[0] = 1;
  fault.ExceptionInformation[1] = ~0ull;
  fault.ExceptionRecord = &chained;
  const Outcome outcome = Check(ExceptionEvent(fault, 1));
  const std::string head =
      "---EXCEPTION_DEBUG_EVENT---\n    BaseName crash\n    dwProcessId " +  // crash_tests.exe
      std::to_string(::GetCurrentProcessId()) + "\n";
  EXPECT_EQ(outcome.report, head + R"(    dwThreadId 4294967294
    dwFirstChance 1
    ---EXCEPTION_RECORD---
        ExceptionCode 0xc0000005
        ExceptionFlags 0x0
        ExceptionAddress 0x401000
        NumberParameters 2
        ExceptionInformation[0] 0x1
        ExceptionInformation[1] 0xffffffffffffffff
    ---EXCEPTION_RECORD---
        ExceptionCode 0x7b
        ExceptionFlags 0x1
        ExceptionAddress 0x0
        NumberParameters 0
)");
  EXPECT_TRUE(outcome.flag);  // a first-chance fault is worth a report

  // A record chained to itself that claims more parameters than it can hold.
  EXCEPTION_RECORD loop = {};
  loop.NumberParameters = 1000;
  loop.ExceptionRecord = &loop;
  const std::string report = Check(ExceptionEvent(loop, 1)).report;
  EXPECT_EQ(Count(report, "---EXCEPTION_RECORD---"), 64u);
  EXPECT_EQ(Count(report, "NumberParameters 1000\n"), 64u);
  EXPECT_EQ(Count(report, "ExceptionInformation["), 64u * EXCEPTION_MAXIMUM_PARAMETERS);
}

TEST(CheckExceptionEvent, OtherProcessesAndQuietEvents) {
  ASSERT_NE(Image(), nullptr);
  const ThrownCase routine{"", 0, 1, kRoutine, {}, "\x01\xff", Broken::kNothing, {}, true};
  const DEBUG_EVENT secondChance = ExceptionEvent(DescribeThrow(routine), 0);
  // The child is another process, whose handle reads nothing: the event's
  // own process is opened by its id, and closed again.
  const std::set<HANDLE> before = HandlesToThisProcess();
  const Outcome viaChild = Check(secondChance), viaOpened = Check(secondChance, PROCESS_INFORMATION{});
  EXPECT_EQ(HandlesToThisProcess(), before);
  EXPECT_NE(viaChild.report.find("ExceptionObjectData 1 ff \n"), std::string::npos);
  EXPECT_EQ(viaOpened.report, viaChild.report);
  EXPECT_TRUE(viaOpened.flag);  // a second-chance throw, whatever its class

  struct {
    DWORD event, exception, processId;
  } const quiet[] = {
      {CREATE_PROCESS_DEBUG_EVENT, EXCEPTION_ACCESS_VIOLATION, ::GetCurrentProcessId()},
      {OUTPUT_DEBUG_STRING_EVENT, EXCEPTION_ACCESS_VIOLATION, ::GetCurrentProcessId()},
      {EXCEPTION_DEBUG_EVENT, EXCEPTION_BREAKPOINT, ::GetCurrentProcessId()},
      {EXCEPTION_DEBUG_EVENT, EXCEPTION_ACCESS_VIOLATION, 0},           // not openable
      {EXCEPTION_DEBUG_EVENT, EXCEPTION_ACCESS_VIOLATION, 0xFFFFFFF0},  // no such process
  };
  for (const auto& q : quiet) {
    SCOPED_TRACE(testing::Message() << q.event << " " << q.exception << " " << q.processId);
    EXCEPTION_RECORD record = {};
    record.ExceptionCode = q.exception;
    DEBUG_EVENT event = ExceptionEvent(record, 1);
    event.dwDebugEventCode = q.event;
    event.dwProcessId = q.processId;
    const Outcome outcome = Check(event);
    EXPECT_EQ(outcome.report, "");
    EXPECT_FALSE(outcome.flag);
  }
}

}  // namespace
