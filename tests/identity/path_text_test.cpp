// The pure path and file-name helpers: extensions, trailing backslashes and
// splits, with double-byte texts and over-long input.
#include <cstring>
#include <string>
#include <tuple>
#include <utility>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {
// 表 (0x95 0x5C) and ソ (0x83 0x5C) end in the byte value of a backslash.
const std::string kHyou = "\x95\x5C", kSo = "\x83\x5C", kLong(300, 'a');
}  // namespace

TEST(PathText, ExtensionsSplitsAndTrailingBackslashes) {
  const struct {
    const char *path, *ext, *added;
    bool delOk;
    const char* deleted;
  } extensions[] = {
      {"App.INI", "ini", "App.INI", true, "App"},
      {"App", "ini", "App.ini", false, "App"},
      {"App.txt", "ini", "App.txt.ini", false, "App.txt"},
      {"C:\\a.b\\file", "b\\file", "C:\\a.b\\file", false, "C:\\a.b\\file"},  // dot of a folder
      {"archive.tar.gz", "", "archive.tar.gz.", true, "archive.tar"},         // any extension
  };
  char out[MAX_PATH];
  for (const auto& c : extensions) {
    EXPECT_TRUE(NyAddExtentionT(c.path, c.ext, out));
    EXPECT_STREQ(out, c.added);
    EXPECT_EQ(NyDelExtentionT(c.path, c.ext, out), c.delOk) << c.path;
    EXPECT_STREQ(out, c.deleted);
  }
  EXPECT_TRUE(NyGetExtentionT("C:\\a.b\\file", out));
  EXPECT_STREQ(out, "b\\file");
  EXPECT_FALSE(NyGetExtentionT("nodot", out));
  EXPECT_FALSE(NyAddExtention(nullptr, "ini", out));
  EXPECT_STREQ(out, "b\\file");

  for (auto [path, folder, name] : {std::tuple{"C:\\dir\\a.txt", "C:\\dir", "a.txt"},
                                    {"C:a.txt", "C", "a.txt"},
                                    {"file.txt", "", "file.txt"},
                                    {"C:\\dir\\", "C:\\dir", ""}}) {
    CString f, n;
    EXPECT_EQ(NySplitFileName(path, &f, &n), 0);
    EXPECT_STREQ(f, folder);
    EXPECT_STREQ(n, name);
  }
  for (auto [in, expected] : {std::pair{"C:\\dir\\\\", "C:\\dir\\"}, {"C:\\dir/", "C:\\dir/"}, {"\\", ""}}) {
    std::strcpy(out, in);
    NyEraseLastBackSlashT(out);
    EXPECT_STREQ(out, expected);
  }
}

TEST(PathText, IllegalAndOverLongInputFailsWithoutWriting) {
  char out[MAX_PATH] = "garbage";
  testing::internal::CaptureStderr();
  EXPECT_EQ(NySplitFileNameT("", out, out), 1);
  EXPECT_EQ(NySplitFileNameT(kLong.c_str(), out, out), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "/SplitFileName/\n  return code = 1\n  illegal inputs\n"
            "/SplitFileName/\n  return code = 1\n  illegal inputs\n");
  EXPECT_FALSE(NyAddExtentionT(kLong.c_str(), "ini", out));
  EXPECT_FALSE(NyAddExtentionT(std::string(255, 'b').c_str(), "longext", out));  // result too long
  EXPECT_FALSE(NyDelExtentionT(kLong.c_str(), nullptr, out));
  EXPECT_STREQ(out, "garbage");
  EXPECT_EQ(NyMakeFullPathT(kLong.c_str(), nullptr), nullptr);
  EXPECT_FALSE(NyCreateDirectoriesT(("C:\\" + kLong).c_str()));
}

// Under 1252 every byte is a character of its own, and 0x5C is a backslash.
NY_CODEPAGE_TEST(PathText, SecondBytesAreNeverSeparatorsOrLetters) {
  const bool dbcs = nytest::IsCodePage932();
  EXPECT_EQ(NyIsTwoBytesCharT('\x95'), dbcs);
  char text[MAX_PATH], folder[MAX_PATH], name[MAX_PATH];
  std::strcpy(text, ("C:\\" + kHyou).c_str());
  NyEraseLastBackSlashT(text);
  EXPECT_EQ(text, dbcs ? "C:\\" + kHyou : "C:\\\x95");
  ASSERT_EQ(NySplitFileNameT(("C:\\T\\" + kHyou + "\\" + kSo + ".ini").c_str(), folder, name), 0);
  EXPECT_EQ(folder, dbcs ? "C:\\T\\" + kHyou : "C:\\T\\" + kHyou + "\\\x83");
  EXPECT_EQ(name, dbcs ? kSo + ".ini" : ".ini");

  // ア (0x83 0x41) and ツ (0x83 0x61) differ in a second byte that looks like
  // 'A' and 'a': the T form compares characters, the non-T form folds bytes.
  EXPECT_TRUE(NyAddExtentionT("f.\x83\x41", "\x83\x61", text));
  EXPECT_STREQ(text, dbcs ? "f.\x83\x41.\x83\x61" : "f.\x83\x41");
  EXPECT_TRUE(NyAddExtention("f.\x83\x41", "\x83\x61", text));
  EXPECT_STREQ(text, "f.\x83\x41");
}
