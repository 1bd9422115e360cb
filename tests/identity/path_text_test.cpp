// The pure path and file-name helpers: extensions, trailing backslashes,
// splits and full-path tests, including double-byte texts and over-long input.
#include <cstring>
#include <string>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

// The Shift-JIS characters 表 (0x95 0x5C) and ソ (0x83 0x5C) end in the byte
// value of a backslash.
const char kHyou[] = "\x95\x5C";
const char kSo[] = "\x83\x5C";

const std::string kLong(300, 'a');

struct ExtensionCase {
  const char* path;
  const char* extension;
  bool addResult;
  const char* added;   // NyAddExtentionT's output
  bool delResult;
  const char* deleted;  // NyDelExtentionT's output
};

}  // namespace

TEST(PathText, ExtensionsAreAddedAndDeletedByTheLastDot) {
  const ExtensionCase cases[] = {
      {"App.INI", "ini", true, "App.INI", true, "App"},
      {"App", "ini", true, "App.ini", false, "App"},
      {"App.txt", "ini", true, "App.txt.ini", false, "App.txt"},
      {"Viewer.EXE", "exe", true, "Viewer.EXE", true, "Viewer"},
      {"Viewer.dll", "exe", true, "Viewer.dll.exe", false, "Viewer.dll"},
      {"C:\\a.b\\file", "b\\file", true, "C:\\a.b\\file", false, "C:\\a.b\\file"},
      {"archive.tar.gz", "", true, "archive.tar.gz.", true, "archive.tar"},
      {"", "ini", true, ".ini", false, ""},
  };
  for (const ExtensionCase& c : cases) {
    SCOPED_TRACE(c.path);
    char out[MAX_PATH] = "garbage";
    EXPECT_EQ(NyAddExtentionT(c.path, c.extension, out), c.addResult);
    EXPECT_STREQ(out, c.added);
    std::strcpy(out, "garbage");
    EXPECT_EQ(NyDelExtentionT(c.path, c.extension, out), c.delResult);
    EXPECT_STREQ(out, c.deleted);
  }

  // No extension given: any extension goes, unless the dot is in a folder name.
  char out[MAX_PATH];
  EXPECT_TRUE(NyDelExtentionT("dir\\name.tar.gz", nullptr, out));
  EXPECT_STREQ(out, "dir\\name.tar");
  EXPECT_FALSE(NyDelExtentionT("C:\\a.b\\file", nullptr, out));
  EXPECT_STREQ(out, "C:\\a.b\\file");

  // Output and path may be one buffer.
  char same[MAX_PATH] = "App";
  EXPECT_TRUE(NyAddExtentionT(same, "ini", same));
  EXPECT_STREQ(same, "App.ini");
}

TEST(PathText, GetExtentionTakesTheTextAfterTheLastDot) {
  char ext[MAX_PATH] = "garbage";
  EXPECT_TRUE(NyGetExtentionT("C:\\a.b\\file", ext));
  EXPECT_STREQ(ext, "b\\file");
  EXPECT_TRUE(NyGetExtentionT("archive.tar.gz", ext));
  EXPECT_STREQ(ext, "gz");
  std::strcpy(ext, "garbage");
  EXPECT_FALSE(NyGetExtentionT("nodot", ext));
  EXPECT_FALSE(NyGetExtentionT("", ext));
  EXPECT_FALSE(NyGetExtentionT(nullptr, ext));
  EXPECT_FALSE(NyGetExtentionT("a.b", nullptr));
  EXPECT_STREQ(ext, "garbage");
}

TEST(PathText, TheNonTFormsFoldOnlySingleByteLetters) {
  char out[MAX_PATH];
  EXPECT_TRUE(NyAddExtention("App.INI", "ini", out));
  EXPECT_STREQ(out, "App.INI");
  EXPECT_TRUE(NyDelExtention("Viewer.EXE", "exe", out));
  EXPECT_STREQ(out, "Viewer");
  EXPECT_FALSE(NyAddExtention(nullptr, "ini", out));
  EXPECT_FALSE(NyAddExtention("App", nullptr, out));
  EXPECT_FALSE(NyDelExtention("App", nullptr, nullptr));
}

TEST(PathText, EraseLastBackSlashRemovesOneBackslashOnly) {
  const struct { const char* in; const char* out; } cases[] = {
      {"C:\\dir\\", "C:\\dir"}, {"C:\\dir\\\\", "C:\\dir\\"}, {"C:\\dir/", "C:\\dir/"},
      {"\\", ""},               {"", ""},                     {"C:\\dir", "C:\\dir"},
  };
  for (const auto& c : cases) {
    char text[MAX_PATH];
    std::strcpy(text, c.in);
    NyEraseLastBackSlashT(text);
    EXPECT_STREQ(text, c.out) << "input " << c.in;
  }
}

TEST(PathText, SplitFileNameCutsAtTheLastSeparator) {
  const struct { const char* path; const char* folder; const char* name; } cases[] = {
      {"C:\\dir\\a.txt", "C:\\dir", "a.txt"}, {"C:\\a.txt", "C:", "a.txt"},
      {"C:a.txt", "C", "a.txt"},              {"file.txt", "", "file.txt"},
      {"C:\\dir\\", "C:\\dir", ""},           {"dir/sub/x", "dir/sub", "x"},
  };
  for (const auto& c : cases) {
    char folder[MAX_PATH] = "garbage";
    char name[MAX_PATH] = "garbage";
    EXPECT_EQ(NySplitFileNameT(c.path, folder, name), 0);
    EXPECT_STREQ(folder, c.folder) << c.path;
    EXPECT_STREQ(name, c.name) << c.path;

    CString folderText("garbage"), nameText("garbage");
    EXPECT_EQ(NySplitFileName(c.path, &folderText, &nameText), 0);
    EXPECT_STREQ(folderText, c.folder);
    EXPECT_STREQ(nameText, c.name);
  }
  // Either output may be left out.
  char name[MAX_PATH];
  EXPECT_EQ(NySplitFileNameT("C:\\dir\\a.txt", nullptr, name), 0);
  EXPECT_STREQ(name, "a.txt");
}

TEST(PathText, SplitFileNameReportsIllegalInputAndWritesNothing) {
  const char* illegal[] = {"", nullptr, kLong.c_str()};
  for (const char* path : illegal) {
    char folder[MAX_PATH] = "garbage";
    CString kept("garbage");
    testing::internal::CaptureStderr();
    EXPECT_EQ(NySplitFileNameT(path, folder, folder), 1);
    EXPECT_EQ(NySplitFileName(path, &kept, &kept), 1);
    std::string report = testing::internal::GetCapturedStderr();
    EXPECT_STREQ(folder, "garbage");
    EXPECT_STREQ(kept, "garbage");
    const std::string expected = "/SplitFileName/\n  return code = 1\n  illegal inputs\n";
    EXPECT_EQ(report, expected + expected);
  }
}

TEST(PathText, FullPathAndPrintableTests) {
  EXPECT_TRUE(NyIsFullPathT("\\\\server\\share"));
  EXPECT_TRUE(NyIsFullPathT("D:data"));
  EXPECT_TRUE(NyIsFullPathT("C:"));
  EXPECT_FALSE(NyIsFullPathT("\\dir"));
  EXPECT_FALSE(NyIsFullPathT("data"));
  EXPECT_FALSE(NyIsFullPathT("1:\\x"));
  EXPECT_FALSE(NyIsFullPathT(""));
  EXPECT_FALSE(NyIsFullPathT(nullptr));

  EXPECT_TRUE(NyIsAsciiPrintableCharactorOrSpaceT(' '));
  EXPECT_TRUE(NyIsAsciiPrintableCharactorOrSpaceT('~'));
  EXPECT_FALSE(NyIsAsciiPrintableCharactorOrSpaceT('\t'));
  EXPECT_FALSE(NyIsAsciiPrintableCharactorOrSpaceT('\x7F'));
  EXPECT_FALSE(NyIsAsciiPrintableCharactorOrSpaceT('\x95'));
  EXPECT_TRUE(NyIsAsciiPrintableCharactorOrSpaceT(""));
  EXPECT_TRUE(NyIsAsciiPrintableCharactorOrSpaceT("Hello, world!"));
  EXPECT_FALSE(NyIsAsciiPrintableCharactorOrSpaceT("tab\there"));
  EXPECT_FALSE(NyIsAsciiPrintableCharactorOrSpaceT(static_cast<const char*>(nullptr)));
}

TEST(PathText, OverLongTextsFailWithoutWriting) {
  char out[MAX_PATH] = "garbage";
  EXPECT_FALSE(NyAddExtentionT(kLong.c_str(), "ini", out));
  EXPECT_FALSE(NyDelExtentionT(kLong.c_str(), nullptr, out));
  EXPECT_FALSE(NyGetExtentionT((kLong + ".x").c_str(), out));
  EXPECT_STREQ(out, "garbage");
  // The result would not fit MAX_PATH although the input does.
  const std::string nearlyFull(255, 'b');
  EXPECT_FALSE(NyAddExtentionT(nearlyFull.c_str(), "longext", out));
  EXPECT_STREQ(out, "garbage");
  EXPECT_FALSE(NyIsValidFilePathT(kLong.c_str()));
  EXPECT_FALSE(NyIsFileExistT(kLong.c_str()));
  EXPECT_EQ(NyMakeFullPathT(kLong.c_str(), nullptr), nullptr);
  EXPECT_FALSE(NyCreateDirectoriesT(("C:\\" + kLong).c_str()));
}

// Under 932 the second byte of 表 and ソ is part of the character; under 1252
// every byte is a character of its own, and 0x5C is a backslash.
TEST(PathTextCodePage, DoubleByteSecondBytesAreNeverSeparators) {
  const bool dbcs = nytest::IsCodePage932();
  EXPECT_EQ(NyIsTwoBytesCharT('\x95'), dbcs);
  EXPECT_EQ(NyIsTwoBytesChar('\x83'), dbcs);
  EXPECT_FALSE(NyIsTwoBytesCharT('\\'));
  EXPECT_FALSE(NyIsTwoBytesCharT('A'));

  // A text ending in 表: its last byte looks like a backslash.
  char text[MAX_PATH];
  std::strcpy(text, (std::string("C:\\") + kHyou).c_str());
  NyEraseLastBackSlashT(text);
  EXPECT_EQ(std::string(text), dbcs ? std::string("C:\\") + kHyou : std::string("C:\\\x95"));

  // C:\Tools\表\ソ.ini
  const std::string path = std::string("C:\\Tools\\") + kHyou + "\\" + kSo + ".ini";
  char folder[MAX_PATH], name[MAX_PATH];
  ASSERT_EQ(NySplitFileNameT(path.c_str(), folder, name), 0);
  if (dbcs) {
    EXPECT_EQ(std::string(folder), std::string("C:\\Tools\\") + kHyou);
    EXPECT_EQ(std::string(name), std::string(kSo) + ".ini");
  } else {
    EXPECT_EQ(std::string(folder), std::string("C:\\Tools\\") + kHyou + "\\\x83");
    EXPECT_EQ(std::string(name), ".ini");
  }

  // The dot that follows ソ is a real dot in both code pages; what precedes it
  // decides whether a separator follows the last dot.
  char out[MAX_PATH];
  const std::string dotted = std::string("dir.") + kSo + "name";
  EXPECT_EQ(NyDelExtentionT(dotted.c_str(), nullptr, out), dbcs);
  EXPECT_EQ(std::string(out), dbcs ? std::string("dir") : dotted);
}

TEST(PathTextCodePage, MultibyteCaseRulesOfTheExtensionForms) {
  const bool dbcs = nytest::IsCodePage932();
  char out[MAX_PATH];
  // ア (0x83 0x41) and ツ (0x83 0x61) differ only in a second byte that looks
  // like 'A' and 'a': the T forms see two characters, the non-T forms fold bytes.
  EXPECT_TRUE(NyAddExtentionT("file.\x83\x41", "\x83\x61", out));
  EXPECT_STREQ(out, dbcs ? "file.\x83\x41.\x83\x61" : "file.\x83\x41");
  EXPECT_TRUE(NyAddExtention("file.\x83\x41", "\x83\x61", out));
  EXPECT_STREQ(out, "file.\x83\x41");

  // Full-width a (0x82 0x81) and A (0x82 0x60) are one letter in two cases
  // under 932 only.
  EXPECT_EQ(NyDelExtentionT("file.\x82\x81", "\x82\x60", out), dbcs);
  EXPECT_FALSE(NyDelExtention("file.\x82\x81", "\x82\x60", out));
  EXPECT_STREQ(out, "file.\x82\x81");
}
