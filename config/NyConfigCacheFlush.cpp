// Writing the cache back. A changed file is written whole to a temporary
// file beside it, forced to disk, and then put in its place in one rename,
// so that a crash or power cut at any moment leaves either the whole old
// file or the whole new one.
#include "base/NyWindows.h"

#include <io.h>

#include <cstring>

#include "NyConfig.h"
#include "NyIdentity.h"
#include "base/NyScopedFile.h"
#include "config/NyConfigCache.h"
#include "config/NyConfigFile.h"
#include "config/NyRetry.h"

namespace ny::config {

namespace {

constexpr unsigned long kWriteRetryMs = 5000;

// Writes the sections in the written form: narrow text without byte-order
// mark and CR LF line ends; per section its header, its keys as key=value,
// and an empty line. Comments and blank lines of the old file are gone.
bool WriteSections(const char* tempPath, const CachedConfigFile& file, const ConfigStringStore& store) {
  ny::ScopedFile opened = ny::OpenScopedFile(tempPath, "wb");
  if (!opened) return false;
  FILE* stream = opened.get();
  NyStdioFileForConfigCache writer(stream, false);
  opened.release();  // the writer owns the stream now, and closes it
  std::string line;
  for (const CachedSection& section : file.m_sections) {
    line.assign(store.Text(section.headerId)).append("\n");
    writer.WriteString(line.c_str());
    for (size_t i = 0; i < section.keyIds.size(); ++i) {
      line.assign(store.Text(section.keyIds[i]))
          .append("=")
          .append(store.Text(section.valueIds[i]))
          .append("\n");
      writer.WriteString(line.c_str());
    }
    writer.WriteString("\n");
  }
  // On disk before the rename, or a power cut could leave the new name on
  // an empty file.
  bool written = std::fflush(stream) == 0 && !std::ferror(stream) && _commit(_fileno(stream)) == 0;
  writer.Close();
  return written;
}

}  // namespace

bool NyConfigCache::WriteBack(const CachedConfigFile& file) const {
  const char* path = file.m_strPath;
  char folder[MAX_PATH] = "";
  if (NySplitFileNameT(path, folder, nullptr) != 0) return false;
  char tempPath[MAX_PATH] = "";
  if (!::GetTempFileNameA(*folder ? folder : ".", "nyc", 0, tempPath)) return false;
  bool replaced =
      WriteSections(tempPath, file, m_store) && RetryFor(kWriteRetryMs, [&] {
        return ::MoveFileExA(tempPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
      });
  if (!replaced) ::DeleteFileA(tempPath);
  return replaced;
}

bool NyConfigCache::Flush() {
  if (!m_files.empty()) NyDoConfigCacheCountFunc(0);
  bool allWritten = true;
  for (auto& file : m_files) {
    if (!file->m_bDirty || !file->m_bHeld) continue;
    // Lift our own lock first: the file is replaced under its name.
    file->m_bHeld = false;
    file->m_hold.Close();
    if (!WriteBack(*file)) allWritten = false;
  }
  m_fileIndex.clear();  // first: it views the files' paths
  m_files.clear();      // closes every remaining held file
  m_iLastUsed = 0;
  m_store.Clear();
  return allWritten;
}

}  // namespace ny::config
