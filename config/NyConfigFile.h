// Configuration files on disk: the line reader and writer, the encoding test,
// the direct reader that looks up one key, and the uncached writer.
//
// A file that starts with FF FE is UTF-16LE text; every other file, the empty
// one included, is narrow text in the system ANSI code page. Lines are split
// at line feeds, a carriage return right before a line feed belongs to the
// line end, and every line reaches the caller as narrow ANSI text.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "NyApi.h"
#include "NyToolkit.h"

// This header is internal (hosts never see it), but its class and functions
// are exported: the suite tests the reader that ships, through the DLL,
// instead of a second copy compiled into the test program.

// Reads or writes configuration lines over a C stream that it owns. The
// stream is opened in binary mode: this class does the text-mode line-end
// translation itself, the same way for both encodings, so that a line of any
// length is read whole with one buffered pass. A Ctrl-Z byte is data here,
// not the end of the file.
class NY_API NyStdioFileForConfigCache {
 public:
  // Takes ownership of `stream`. For narrow text the toolkit's stdio-file
  // object is laid over it; for UTF-16 only the stream is kept.
  NyStdioFileForConfigCache(FILE* stream, bool unicode);
  virtual ~NyStdioFileForConfigCache();
  // Copies would close one stream twice.
  NyStdioFileForConfigCache(const NyStdioFileForConfigCache&) = delete;
  NyStdioFileForConfigCache& operator=(const NyStdioFileForConfigCache&) = delete;

  // Closes the toolkit object and the stream, each once; safe to repeat.
  void Close();
  // Reads the next line without its line end, as narrow ANSI text. Non-zero
  // when a line was read (an empty one too); zero, with `line` empty, at the
  // end of the file and on a read error.
  int ReadString(CString& line);
  // The same line reader without the copy into a toolkit string: the next
  // line, held by this object until the next call; null where ReadString
  // gives zero.
  const std::string* ReadLine();
  // Writes the narrow text, storing each line feed as CR LF; a UTF-16 stream
  // gets the text converted (and the byte-order mark first, when at its start).
  void WriteString(const char* text);

  std::unique_ptr<CStdioFile> m_pFile;
  FILE* m_pStream = nullptr;
  bool m_bUnicode = false;

 private:
  bool Fill();
  bool ReadNarrowLine();
  bool ReadWideLine();

  std::unique_ptr<char[]> m_buffer;
  size_t m_begin = 0;
  size_t m_end = 0;
  bool m_bAtStart = true;
  bool m_bFailed = false;
  std::string m_narrow;  // the line last read, as narrow text
  std::wstring m_wide;
};

namespace ny::config {

// True when the file can be opened for reading and starts with FF FE.
NY_API bool IsUnicodeConfigFile(const char* path);

// Opens the file for reading in the encoding its first two bytes give; null
// when it cannot be opened.
NY_API std::unique_ptr<NyStdioFileForConfigCache> OpenConfigFileForReading(const char* path);

// The direct reader: the value of the first line with `key` inside any
// section named `section`, cut to `size` - 1 bytes; when there is none, the
// default value (cut the same way). True in both cases; false, with `value`
// empty, when the file cannot be opened; false for a null `value`.
NY_API bool ReadConfigFileValue(const char* section, const char* key, const char* defaultValue, char* value,
                                size_t size, const char* path);

// The uncached writer: creates a missing file empty, then has the platform's
// profile writer set the value. A null or empty key removes the whole
// section. Failures leave the file as it was and are not reported.
NY_API void WriteConfigFileValue(const char* section, const char* key, const char* value, const char* path);

}  // namespace ny::config
