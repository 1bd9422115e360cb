// NyCommandLine: the description of the command; its composition into one
// text and the reverse split are the plain-text rules of NyCommandLineText.
#include <string>

#include "NyProcess.h"
#include "process/NyCommandLineText.h"

namespace {

std::string Text(const CString& s) { return std::string(s.GetString(), static_cast<size_t>(s.GetLength())); }
CString ToCString(const std::string& s) { return CString(s.c_str(), static_cast<int>(s.size())); }

}  // namespace

NyCommandLine::NyCommandLine(const char* exeName) : m_strExeName(exeName) {}

// Copies go member by member. A copy that shared the original's process
// handle would close it a second time, and one that dropped it could no
// longer wait for a child it describes, so m_hProcess copies as a duplicate
// of the handle: both objects can poll, wait for or kill the same child, and
// each releases its own handle. Should the duplicate fail, the copy is idle.
// An assignment releases (does not kill) the target's own child.
NyCommandLine::NyCommandLine(const NyCommandLine& other) = default;
NyCommandLine& NyCommandLine::operator=(const NyCommandLine& other) = default;

void NyCommandLine::SetExeName(const char* exeName) { m_strExeName = exeName; }
const char* NyCommandLine::GetExeName() const { return m_strExeName.GetString(); }
void NyCommandLine::AddArgument(const char* argument) { m_strArguments.push_back(CString(argument)); }
void NyCommandLine::SetEscapeChars(bool escape) { m_bEscapeChars = escape; }
bool NyCommandLine::IsEscapeChars() const { return m_bEscapeChars; }
void NyCommandLine::SetShowWindow(bool show) { m_bShowWindow = show; }
bool NyCommandLine::IsShowWindow() const { return m_bShowWindow; }
void NyCommandLine::SetCurrentDirectoryPath(const char* path) { m_strCurrentDirectory = path; }
CString NyCommandLine::GetCurrentDirectoryPath() const { return m_strCurrentDirectory; }
void NyCommandLine::SetBufferForStdout(CString* buffer) { m_pstrStdout = buffer; }
int NyCommandLine::GetExitCode() const { return m_iExitCode; }
bool NyCommandLine::IsExecuting() const { return m_hProcess != nullptr; }

CString NyCommandLine::ToString() const { return OnToString(); }

CString NyCommandLine::OnToString() const {
  std::vector<std::string> arguments;
  arguments.reserve(m_strArguments.size());
  for (const CString& argument : m_strArguments) arguments.push_back(Text(argument));
  return ToCString(ny::process::ComposeCommandLine(Text(m_strExeName), arguments, m_bEscapeChars));
}

std::vector<CString> NyCommandLine::SplitAndUnescapeCommandLine(const CString& commandLine) {
  std::vector<CString> result;
  for (const std::string& element : ny::process::SplitCommandLine(Text(commandLine)))
    result.push_back(ToCString(element));
  return result;
}
