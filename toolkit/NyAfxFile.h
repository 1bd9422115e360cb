// Toolkit stdio-file stand-in: MFC's CFile open flags and CStdioFile, reading
// and writing narrow text lines over a C stream.
#pragma once

#include <windows.h>

#include <cstdio>

#include "NyAfxString.h"
#include "NyApi.h"

class NY_API CFile {
 public:
  enum OpenFlags : unsigned {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
  };
};

class NY_API CStdioFile : public CFile {
 public:
  // Constructors: unopened, or over a stream the caller opened (and keeps
  // owning until Close: destroying this object does not close it).
  CStdioFile() = default;
  explicit CStdioFile(FILE* openStream) : m_pStream(openStream) {}
  virtual ~CStdioFile();
  CStdioFile(const CStdioFile&) = delete;
  CStdioFile& operator=(const CStdioFile&) = delete;

  // Opens by path with CFile's flags. The sharing flags hold for as long as
  // the file stays open: shareDenyWrite keeps other writers out until Close,
  // and modeWrite | shareExclusive succeeds only when nobody else has the file
  // open and it is writable. Without modeCreate the file must exist and is
  // not truncated. False when the file cannot be opened so.
  virtual BOOL Open(const char* fileName, UINT openFlags);

  // Reads the next line, whatever its length, without its line feed. False at
  // the end of the file when nothing was read, and on a read error.
  virtual BOOL ReadString(CString& line);
  // Writes the text unchanged; the caller supplies the line feeds.
  virtual void WriteString(const char* text);
  // Closes the stream (also one handed to the constructor); safe to repeat.
  virtual void Close();

  FILE* m_pStream = nullptr;

 private:
  bool m_bCloseOnDelete = false;
};
