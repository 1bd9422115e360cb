// Path text on any names: every result fits a 260-byte buffer, a split
// gives back the path's own folder and name, and an extension that was
// added comes off again.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "base/NyMultiByte.h"
#include "base/NyPathText.h"

using ny::kMaxPath;

namespace {

// A kMaxPath buffer with guard bytes after it.
struct PathBuffer {
  std::unique_ptr<char[]> bytes = std::make_unique<char[]>(kMaxPath + 8);
  PathBuffer() { std::memset(bytes.get(), 'G', kMaxPath + 8); }
  char* get() { return bytes.get(); }
  std::string Text() const { return std::string(bytes.get(), strnlen(bytes.get(), kMaxPath)); }
  bool Intact() const { return std::memcmp(bytes.get() + kMaxPath, "GGGGGGGG", 8) == 0; }
};

bool WellFormed(const std::string& text) {
  const char* last = ny::mb::LastChar(text.c_str());
  return !last || ny::mb::CharLength(last) == 2 || !ny::mb::IsLeadByte(static_cast<unsigned char>(*last));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  std::string path = input.ConsumeRandomLengthString(300);
  path = path.substr(0, path.find('\0'));
  std::string extension = input.ConsumeRandomLengthString(20);
  extension = extension.substr(0, extension.find('\0'));
  const bool multibyte = input.ConsumeBool();
  const bool fits = path.size() < kMaxPath;

  PathBuffer folder, name;
  const bool split = ny::path::SplitFileName(path.c_str(), folder.get(), name.get());
  FUZZ_CHECK(folder.Intact() && name.Intact());
  FUZZ_CHECK(split == (fits && !path.empty()));
  if (split) {
    // folder + separator + name, or the name alone.
    const std::string f = folder.Text(), n = name.Text();
    FUZZ_CHECK(f.size() + n.size() == path.size() || f.size() + 1 + n.size() == path.size());
    FUZZ_CHECK(path.compare(0, f.size(), f) == 0 && path.compare(path.size() - n.size(), n.size(), n) == 0);
    FUZZ_CHECK(ny::mb::FindFirstOf(n.c_str(), ny::mb::kSeparators) == nullptr);
  }

  PathBuffer found;
  if (ny::path::GetExtension(path.c_str(), found.get())) {
    const std::string e = found.Text();
    FUZZ_CHECK(fits && e.size() < path.size() && path.compare(path.size() - e.size(), e.size(), e) == 0);
    FUZZ_CHECK(path[path.size() - e.size() - 1] == '.');
  }
  FUZZ_CHECK(found.Intact());

  PathBuffer added, removed;
  const bool add = ny::path::AddExtension(path.c_str(), extension.c_str(), added.get(), multibyte);
  FUZZ_CHECK(added.Intact());
  if (add) {
    const std::string a = added.Text();
    FUZZ_CHECK(a.size() < kMaxPath && a.compare(0, path.size(), path) == 0);
    const bool plainExtension = !extension.empty() && extension.find_first_of(".\\/:") == std::string::npos &&
                                WellFormed(path) && WellFormed(extension);
    if (a != path && plainExtension) {
      FUZZ_CHECK(ny::path::DelExtension(a.c_str(), extension.c_str(), removed.get(), multibyte));
      FUZZ_CHECK(removed.Text() == path);
    }
  }
  // A path that does not fit leaves the buffer untouched.
  PathBuffer untouched;
  const bool del = ny::path::DelExtension(path.c_str(), extension.c_str(), untouched.get(), multibyte);
  FUZZ_CHECK(untouched.Intact());
  if (del) FUZZ_CHECK(fits && untouched.Text().size() < path.size());
  if (!fits) FUZZ_CHECK(!del && untouched.get()[0] == 'G');

  PathBuffer joined;
  if (ny::JoinPath(joined.get(), folder.Text().c_str(), extension.c_str())) {
    FUZZ_CHECK(joined.Text() == folder.Text() + "\\" + extension);
  } else {
    FUZZ_CHECK(joined.get()[0] == '\0' && folder.Text().size() + 1 + extension.size() >= kMaxPath);
  }
  FUZZ_CHECK(joined.Intact());

  std::string trimmed = path;
  ny::path::EraseLastBackSlash(trimmed.data());
  const size_t cut = path.size() - std::strlen(trimmed.c_str());
  FUZZ_CHECK(cut == 0 || (cut == 1 && path.back() == '\\'));
  return 0;
}
