#include "config/NyConfigFile.h"

#include "base/NyWindows.h"

#include <cstring>

#include "NyIdentity.h"
#include "base/NyScopedFile.h"
#include "base/NyScopedHandle.h"
#include "config/NyConfigText.h"

namespace {

constexpr size_t kBufferSize = 64 * 1024;
constexpr unsigned char kByteOrderMark[2] = {0xFF, 0xFE};

// Drops the carriage return that a text-mode stream would have folded into
// the line end together with the line feed.
template <typename String>
void DropCarriageReturn(String& line, bool endedByLineFeed) {
  if (endedByLineFeed && !line.empty() && line.back() == '\r') line.pop_back();
}

}  // namespace

NyStdioFileForConfigCache::NyStdioFileForConfigCache(FILE* stream, bool unicode)
    : m_pStream(stream), m_bUnicode(unicode) {
  if (!unicode && stream) m_pFile = std::make_unique<CStdioFile>(stream);
}

NyStdioFileForConfigCache::~NyStdioFileForConfigCache() { Close(); }

void NyStdioFileForConfigCache::Close() {
  if (m_pFile) {
    m_pFile->Close();  // closes the shared stream
    m_pFile.reset();
    m_pStream = nullptr;
  }
  if (m_pStream) {
    std::fclose(m_pStream);
    m_pStream = nullptr;
  }
}

// Moves what is left to the front of the buffer and reads more after it.
// False when nothing more could be read.
bool NyStdioFileForConfigCache::Fill() {
  if (!m_pStream || m_bFailed) return false;
  if (!m_buffer) m_buffer.reset(new char[kBufferSize]);
  size_t left = m_end - m_begin;
  std::memmove(m_buffer.get(), m_buffer.get() + m_begin, left);
  m_begin = 0;
  m_end = left;
  size_t n = std::fread(m_buffer.get() + m_end, 1, kBufferSize - m_end, m_pStream);
  if (n == 0 && std::ferror(m_pStream)) m_bFailed = true;
  m_end += n;
  if (m_bAtStart && m_end >= 2) {
    m_bAtStart = false;
    // A UTF-16 stream starts with its byte-order mark, which is no text.
    if (m_bUnicode && std::memcmp(m_buffer.get(), kByteOrderMark, 2) == 0) m_begin = 2;
  }
  return n > 0;
}

int NyStdioFileForConfigCache::ReadString(CString& line) {
  const std::string* read = ReadLine();
  if (!read) {
    line.Empty();
    return 0;
  }
  line = CString(read->data(), static_cast<int>(read->size()));
  return 1;
}

const std::string* NyStdioFileForConfigCache::ReadLine() {
  bool read = m_bUnicode ? ReadWideLine() : ReadNarrowLine();
  if (!read || m_bFailed) {
    m_narrow.clear();
    return nullptr;
  }
  return &m_narrow;
}

bool NyStdioFileForConfigCache::ReadNarrowLine() {
  m_narrow.clear();
  bool readSomething = false;
  bool endedByLineFeed = false;
  for (;;) {
    if (m_begin == m_end && !Fill()) break;
    const char* start = m_buffer.get() + m_begin;
    size_t available = m_end - m_begin;
    const void* feed = std::memchr(start, '\n', available);
    size_t take = feed ? static_cast<size_t>(static_cast<const char*>(feed) - start) : available;
    m_narrow.append(start, take);
    readSomething = true;
    m_begin += take;
    if (feed) {
      ++m_begin;
      endedByLineFeed = true;
      break;
    }
  }
  DropCarriageReturn(m_narrow, endedByLineFeed);
  return readSomething;
}

bool NyStdioFileForConfigCache::ReadWideLine() {
  m_wide.clear();
  bool readSomething = false;
  bool endedByLineFeed = false;
  while (!endedByLineFeed) {
    // A character is two bytes; a lone last byte of the file is dropped.
    if (m_end - m_begin < 2 && !Fill()) break;
    if (m_end - m_begin < 2) continue;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(m_buffer.get()) + m_begin;
    size_t units = (m_end - m_begin) / 2;
    size_t i = 0;
    for (; i < units; ++i) {
      wchar_t c = static_cast<wchar_t>(p[2 * i] | (p[2 * i + 1] << 8));
      if (c == L'\n') {
        endedByLineFeed = true;
        break;
      }
      m_wide.push_back(c);
    }
    readSomething = true;
    m_begin += 2 * (endedByLineFeed ? i + 1 : i);
  }
  DropCarriageReturn(m_wide, endedByLineFeed);
  m_narrow = NyAfxWideToAnsi(m_wide.data(), m_wide.size());
  return readSomething;
}

void NyStdioFileForConfigCache::WriteString(const char* text) {
  if (!m_pStream || !text) return;
  if (!m_bUnicode) {
    std::string out;
    for (const char* p = text; *p; ++p) {
      if (*p == '\n') out += '\r';
      out += *p;
    }
    m_pFile->WriteString(out.c_str());
    return;
  }
  std::wstring wide = NyAfxAnsiToWide(text, std::strlen(text));
  std::string bytes;
  if (std::ftell(m_pStream) == 0) bytes.append(reinterpret_cast<const char*>(kByteOrderMark), 2);
  for (wchar_t c : wide) {
    if (c == L'\n') bytes.append("\r\0", 2);
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>((c >> 8) & 0xFF);
  }
  std::fwrite(bytes.data(), 1, bytes.size(), m_pStream);
}

namespace ny::config {

bool IsUnicodeConfigFile(const char* path) {
  if (!path || !*path) return false;
  ny::ScopedKernelHandle file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  unsigned char head[2] = {0, 0};
  DWORD read = 0;
  if (!::ReadFile(file.Get(), head, 2, &read, nullptr) || read != 2) return false;
  return std::memcmp(head, kByteOrderMark, 2) == 0;
}

std::unique_ptr<NyStdioFileForConfigCache> OpenConfigFileForReading(const char* path) {
  if (!path || !*path) return nullptr;
  bool unicode = IsUnicodeConfigFile(path);
  ny::ScopedFile stream = ny::OpenScopedFile(path, "rb");
  if (!stream) return nullptr;
  // The reader takes the stream over only once it exists: should making it
  // fail, the stream is still ours and closed on the way out.
  auto reader = std::make_unique<NyStdioFileForConfigCache>(stream.get(), unicode);
  stream.release();
  return reader;
}

bool ReadConfigFileValue(const char* section, const char* key, const char* defaultValue, char* value,
                         size_t size, const char* path) {
  if (!value || size == 0) return false;
  value[0] = '\0';
  auto file = OpenConfigFileForReading(path);
  if (!file) return false;
  CString line;
  bool inSection = false;
  while (file->ReadString(line)) {
    if (IsSectionLine(line)) {
      inSection = IsHeaderOfSection(line, section);
    } else if (inSection && MatchKeyLine(line, key, value, size)) {
      return true;
    }
  }
  const char* fallback = defaultValue ? defaultValue : "";
  size_t n = strnlen(fallback, size - 1);
  std::memcpy(value, fallback, n);
  value[n] = '\0';
  return true;
}

void WriteConfigFileValue(const char* section, const char* key, const char* value, const char* path) {
  if (!section || !path || !*path) return;
  if (!NyIsFileExistT(path)) ny::OpenScopedFile(path, "ab");  // created empty, closed at once
  CStringW widePath(path);
  // The profile writer puts a relative name into the Windows folder, while
  // the readers open it against the working directory: hand it the full path.
  wchar_t full[MAX_PATH];
  DWORD n = ::GetFullPathNameW(widePath, MAX_PATH, full, nullptr);
  if (n == 0 || n >= MAX_PATH) return;
  CStringW wideSection(section);
  CStringW wideKey(key);
  CStringW wideValue(value);
  ::WritePrivateProfileStringW(wideSection, (key && *key) ? wideKey.GetString() : nullptr,
                               value ? wideValue.GetString() : nullptr, full);
}

}  // namespace ny::config
