#include "toolkit/NyAfxFile.h"

#include <fcntl.h>
#include <io.h>

#include "base/NyScopedHandle.h"

namespace {

// The two fields of the open flags that hold one choice each: the access
// mode (read, write, both) and the sharing mode.
constexpr UINT kAccessMask = CFile::modeRead | CFile::modeWrite | CFile::modeReadWrite;
constexpr UINT kShareMask =
    CFile::shareExclusive | CFile::shareDenyWrite | CFile::shareDenyRead | CFile::shareDenyNone;

}  // namespace

CStdioFile::~CStdioFile() {
  if (m_bCloseOnDelete) Close();
}

BOOL CStdioFile::Open(const char* fileName, UINT openFlags) {
  Close();
  if (!fileName || !*fileName) return FALSE;

  DWORD access = GENERIC_READ;
  const char* mode = "r";
  int fdFlags = _O_RDONLY;
  switch (openFlags & kAccessMask) {
    case modeWrite:
      access = GENERIC_WRITE;
      mode = "w";
      fdFlags = _O_WRONLY;
      break;
    case modeReadWrite:
      access = GENERIC_READ | GENERIC_WRITE;
      mode = "r+";
      fdFlags = _O_RDWR;
      break;
    default:
      break;
  }
  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  switch (openFlags & kShareMask) {
    case shareExclusive:
      share = 0;
      break;
    case shareDenyWrite:
      share = FILE_SHARE_READ;
      break;
    case shareDenyRead:
      share = FILE_SHARE_WRITE;
      break;
    default:
      break;
  }
  DWORD disposition = OPEN_EXISTING;
  if (openFlags & modeCreate) disposition = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

  ny::ScopedKernelHandle file(
      ::CreateFileA(fileName, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return FALSE;

  bool binary = (openFlags & typeBinary) != 0;
  std::string streamMode = std::string(mode) + (binary ? "b" : "t");
  // The descriptor takes over the handle, and the stream the descriptor.
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file.Get()), fdFlags | (binary ? _O_BINARY : _O_TEXT));
  if (fd == -1) return FALSE;
  (void)file.Take();
  FILE* stream = _fdopen(fd, streamMode.c_str());
  if (!stream) {
    _close(fd);
    return FALSE;
  }
  m_pStream = stream;
  m_bCloseOnDelete = true;
  return TRUE;
}

BOOL CStdioFile::ReadString(CString& line) {
  line.Empty();
  if (!m_pStream) return FALSE;
  // Read in pieces of 128 characters until a piece ends the line, so that a
  // line of any length comes back whole.
  char piece[129];
  bool readSomething = false;
  while (std::fgets(piece, sizeof piece, m_pStream)) {
    readSomething = true;
    size_t n = std::strlen(piece);
    line += piece;
    if (n == 0 || piece[n - 1] == '\n') break;
  }
  if (!readSomething) return FALSE;
  int length = line.GetLength();
  if (length > 0 && line.GetAt(length - 1) == '\n') line = line.Left(length - 1);
  return TRUE;
}

void CStdioFile::WriteString(const char* text) {
  if (m_pStream && text) std::fputs(text, m_pStream);
}

void CStdioFile::Close() {
  if (m_pStream) std::fclose(m_pStream);
  m_pStream = nullptr;
  m_bCloseOnDelete = false;
}
