// The readable report of a debugged child's exception event, for a host's
// debugger loop: the event, every chained exception record, and for a thrown
// C++ object its catchable types, size and first bytes, all read out of the
// child's memory. Everything read from the child is untrusted: a failed or
// short read ends that part of the decoding, and no count or length taken
// from the child sizes a buffer or a loop here without a bound.
#include "base/NyWindows.h"

#include <psapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <string>

#include "NyCrash.h"
#include "base/NyScopedHandle.h"
#include "process/NyDumpFolder.h"

namespace {

// What the C++ runtime raises for a throw ("msc" with the 0xE0 customer bit).
constexpr DWORD kThrownObjectCode = 0xE06D7363;
// On x64 such a record carries exactly four parameters: a magic number, the
// object's address, its throw description's address and the image base that
// every reference inside the descriptions is an offset from.
constexpr DWORD kThrownObjectParameters = 4;
// The debugger's own initial breakpoint is routine, never worth a report.
constexpr DWORD kBreakpointCode = 0x80000003;

// Sizes of the runtime's throw descriptions as they lie in the image: the
// throw description (attributes, unwind, forward-compat, catchable list), the
// head of the catchable-type list (a count and the first two offsets) and
// one catchable type (properties, type, three displacement words, size, copy
// function).
constexpr size_t kThrowDescriptionSize = 16;
constexpr size_t kCatchableListHeadSize = 12;
constexpr size_t kCatchableTypeSize = 28;
// A type descriptor is two pointers and then the decorated name; we read a
// fixed 128 bytes of it, so the longest name kept is what fits behind the
// pointers with its terminator.
constexpr size_t kTypeDescriptorRead = 128;
constexpr size_t kTypeNameOffset = 16;
constexpr size_t kMaxTypeName = kTypeDescriptorRead - kTypeNameOffset - 1;
// At most this many of the thrown object's first bytes are dumped.
constexpr size_t kMaxObjectBytes = 128;
// A corrupt or hostile child can chain its records into a loop; the records
// reported (the event's own included) stop here so the debugger never hangs.
constexpr int kMaxRecords = 64;

// The lines of one catchable type: the first one's, or the second one's with
// their "2" suffix.
struct CatchableTypeLines {
  const char* size;
  const char* className;
  const char* data;
};
constexpr CatchableTypeLines kFirstTypeLines = {"        ExceptionObjectByteSize %I64d\n",
                                                "        ExceptionObjectClassName %s\n",
                                                "        ExceptionObjectData "};
constexpr CatchableTypeLines kSecondTypeLines = {"        ExceptionObjectByteSize2 %I64d\n",
                                                 "        ExceptionObjectClassName2 %s\n",
                                                 "        ExceptionObjectData2 "};

// Appends one line formed with the runtime's formatter (its "%I64d" and
// "%I64x" are what the report's formats use).
void AppendFormat(CString& report, const char* format, ...) {
  va_list args;
  va_start(args, format);
  CString line;
  line.FormatV(format, args);
  va_end(args);
  report += line;
}

// Every number of the report is a 32-bit unsigned or pointer-sized field,
// widened without sign extension.
uint64_t Wide(uint64_t value) { return value; }
uint64_t Wide(const void* address) { return reinterpret_cast<uintptr_t>(address); }

// The 32-bit little-endian word `index` of a block read from the child.
uint32_t Word(const unsigned char* bytes, size_t index) {
  uint32_t word;
  std::memcpy(&word, bytes + index * sizeof word, sizeof word);
  return word;
}

// The child's memory, through a process handle that someone else owns.
class ChildMemory {
 public:
  explicit ChildMemory(HANDLE process) : m_process(process) {}

  // Exactly `size` bytes at `address`; fewer counts as a failure. Nothing to
  // read succeeds without asking the platform, as Windows answers a
  // zero-length read with success anyway.
  bool Read(uint64_t address, void* buffer, size_t size) const {
    if (size == 0) return true;
    SIZE_T read = 0;
    const BOOL ok = ::ReadProcessMemory(m_process, reinterpret_cast<LPCVOID>(static_cast<uintptr_t>(address)),
                                        buffer, size, &read);
    return ok && read == size;
  }

 private:
  HANDLE m_process;
};

// The module base name of `process`, cut before its first '_' or '.'; empty
// when the name cannot be read.
std::string BaseName(HANDLE process) {
  char name[MAX_PATH];
  const DWORD length = ::GetModuleBaseNameA(process, nullptr, name, MAX_PATH);
  // A name that fills the buffer comes back without its terminator.
  name[std::min<DWORD>(length, MAX_PATH - 1)] = '\0';
  return ny::crash::ModuleBaseName(name);
}

// Size, class name and first bytes of one catchable type of the object at
// `object`. Only the first type decides the flag (`flag` null for the
// second): a class whose name is known to be thrown and caught routinely
// leaves it alone.
void AppendCatchableType(const ChildMemory& child, uint64_t object, uint64_t type,
                         const CatchableTypeLines& lines, uint64_t imageBase, bool* flag, CString& report) {
  unsigned char catchable[kCatchableTypeSize];
  if (!child.Read(type, catchable, sizeof catchable)) return;
  const uint32_t size = Word(catchable, 5);
  AppendFormat(report, lines.size, Wide(size));

  unsigned char descriptor[kTypeDescriptorRead];
  if (!child.Read(imageBase + Word(catchable, 1), descriptor, sizeof descriptor)) return;
  // The descriptor's name need not end within what was read: the bound
  // keeps it inside the block either way.
  const char* nameStart = reinterpret_cast<const char*>(descriptor + kTypeNameOffset);
  const std::string name(nameStart, std::find(nameStart, nameStart + kMaxTypeName, '\0'));
  if (flag && name.find("ResultException") == std::string::npos &&
      name.find("JavascriptExceptionObject") == std::string::npos) {
    *flag = true;
  }
  AppendFormat(report, lines.className, name.c_str());

  unsigned char data[kMaxObjectBytes];
  const size_t count = std::min<size_t>(size, kMaxObjectBytes);
  if (!child.Read(object, data, count)) return;
  CString dump = lines.data;
  for (size_t i = 0; i < count; ++i) AppendFormat(dump, "%x ", static_cast<unsigned>(data[i]));
  report += dump;
  report += "\n";
}

// The catchable types of a thrown object, from the descriptions in the
// throwing image.
void AppendThrownObject(const ChildMemory& child, const EXCEPTION_RECORD& record, bool& flag,
                        CString& report) {
  const uint64_t object = record.ExceptionInformation[1];
  const uint64_t throwDescription = record.ExceptionInformation[2];
  const uint64_t imageBase = record.ExceptionInformation[3];

  unsigned char description[kThrowDescriptionSize];
  if (!child.Read(throwDescription, description, sizeof description)) return;
  unsigned char list[kCatchableListHeadSize];
  if (!child.Read(imageBase + Word(description, 3), list, sizeof list)) return;
  const uint32_t count = Word(list, 0);
  AppendFormat(report, "        ExceptionNumCatchableType %I64d\n", Wide(count));

  AppendCatchableType(child, object, imageBase + Word(list, 1), kFirstTypeLines, imageBase, &flag, report);
  // The second type is reported even when the first one could not be read.
  if (count > 1) {
    AppendCatchableType(child, object, imageBase + Word(list, 2), kSecondTypeLines, imageBase, nullptr,
                        report);
  }
}

void AppendRecord(const ChildMemory& child, const EXCEPTION_RECORD& record, bool& flag, CString& report) {
  report += "    ---EXCEPTION_RECORD---\n";
  const bool thrownObject = record.ExceptionCode == kThrownObjectCode;
  AppendFormat(report,
               thrownObject ? "        ExceptionCode 0x%I64x (Microsoft C Exception)\n"
                            : "        ExceptionCode 0x%I64x\n",
               Wide(record.ExceptionCode));
  AppendFormat(report, "        ExceptionFlags 0x%I64x\n", Wide(record.ExceptionFlags));
  AppendFormat(report, "        ExceptionAddress 0x%I64x\n", Wide(record.ExceptionAddress));
  AppendFormat(report, "        NumberParameters %I64d\n", Wide(record.NumberParameters));
  // A record read from the child may claim more parameters than a record
  // holds: the count is reported as it stands, but only the parameters the
  // record really has are listed.
  const DWORD listed = std::min<DWORD>(record.NumberParameters, EXCEPTION_MAXIMUM_PARAMETERS);
  for (DWORD i = 0; i < listed; ++i) {
    AppendFormat(report, "        ExceptionInformation[%I64d] 0x%I64x\n", Wide(i),
                 Wide(record.ExceptionInformation[i]));
  }
  if (thrownObject && record.NumberParameters == kThrownObjectParameters) {
    AppendThrownObject(child, record, flag, report);
  }
}

}  // namespace

void NyCrashHandler::CheckExceptionEvent(const DEBUG_EVENT& event, const PROCESS_INFORMATION& child,
                                         CString& report, bool& flag) {
  report.Empty();
  flag = false;
  if (event.dwDebugEventCode != EXCEPTION_DEBUG_EVENT) return;
  const EXCEPTION_DEBUG_INFO& exception = event.u.Exception;
  if (exception.ExceptionRecord.ExceptionCode == kBreakpointCode) return;

  // An event of another process (one the child started, say) is read through
  // a handle of our own, closed again when the report is done.
  ny::ScopedKernelHandle opened;
  HANDLE process = child.hProcess;
  if (event.dwProcessId != child.dwProcessId) {
    opened.Reset(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, event.dwProcessId));
    if (!opened) return;
    process = opened.Get();
  }
  const ChildMemory memory(process);

  // A first-chance throw is usually caught; it is worth a report only when
  // its type turns out to be readable and not one of the routine ones.
  flag = !(exception.dwFirstChance != 0 && exception.ExceptionRecord.ExceptionCode == kThrownObjectCode);

  report += "---EXCEPTION_DEBUG_EVENT---\n";
  AppendFormat(report, "    BaseName %s\n", BaseName(process).c_str());
  AppendFormat(report, "    dwProcessId %I64d\n", Wide(event.dwProcessId));
  AppendFormat(report, "    dwThreadId %I64d\n", Wide(event.dwThreadId));
  AppendFormat(report, "    dwFirstChance %I64d\n", Wide(exception.dwFirstChance));

  EXCEPTION_RECORD record = exception.ExceptionRecord;
  for (int n = 0;; ++n) {
    AppendRecord(memory, record, flag, report);
    const uint64_t next = Wide(record.ExceptionRecord);
    if (next == 0 || n + 1 == kMaxRecords) break;
    if (!memory.Read(next, &record, sizeof record)) break;
  }
}
