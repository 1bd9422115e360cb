// The typed families over real files in a temporary default and user folder.
#include <clocale>
#include <cstring>
#include <string>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

class TypedConfig : public ::testing::Test {
protected:
  void SetUp() override {
    NySetApplicationPriorConfigFilePostfixT(nullptr);  // "Default"; refused once a name is set
    ASSERT_TRUE(NySetApplicationConfigFileNameT("App.ini"));
    ASSERT_STREQ(NyGetApplicationPriorConfigFileNameT(), "AppDefault.ini");
    ASSERT_TRUE(NySetDefaultConfigPathT((m_dir / "Default").c_str()));
    ASSERT_TRUE(NySetUserConfigPathT((m_dir / "User").c_str()));
    NySetUserConfigEnable(true);
  }
  void TearDown() override { NySetUserConfigEnable(true); }

  std::string Put(const std::string& relative, const std::string& bytes) {
    return m_dir.WriteFile(relative, bytes);
  }

  nytest::TempFolder m_dir;
  char m_value[1024] = "";
};

std::string Text(const char* value) { return value; }

}  // namespace

TEST_F(TypedConfig, ReadsWalkTheLayersInOrder) {
  Put("Default\\App.ini", "[View]\nZoom=app\nD=app\nFlag=yes\n");
  Put("Default\\AppDefault.ini", "[View]\nZoom=prior\nP=prior\n");
  std::string user = Put("User\\App.ini", "[View]\nZoom=user\nEmpty=\n");

  EXPECT_TRUE(NyReadDefaultConfigT("View", "Zoom", m_value));
  EXPECT_EQ(Text(m_value), "prior");
  EXPECT_TRUE(NyReadDefaultConfigT("View", "Zoom", m_value, "App.ini"));
  EXPECT_EQ(Text(m_value), "app");

  const struct { const char* key; const char* file; bool fallBack; bool found; const char* value; } reads[] = {
      {"Zoom", nullptr, true, true, "user"},   {"P", nullptr, true, true, "prior"},
      {"D", nullptr, true, true, "app"},       {"Empty", nullptr, true, false, ""},
      {"P", nullptr, false, false, ""},        {"P", "App.ini", true, false, ""},
      {"D", "App.ini", true, true, "app"},     {"Zoom", "App.ini", false, true, "user"},
  };
  for (const auto& r : reads) {
    char value[1024] = "";
    EXPECT_EQ(NyReadUserConfig("View", r.key, value, r.file, r.fallBack), r.found) << r.key;
    EXPECT_EQ(Text(value), r.value) << r.key;
  }

  // A missing key: the plain read succeeds with the empty text, a layer read fails.
  EXPECT_TRUE(NyReadConfigT("View", "None", m_value, user.c_str()));
  EXPECT_EQ(Text(m_value), "");
  EXPECT_FALSE(NyReadDefaultConfigT("View", "None", m_value));

  // The bool words are ints only to the plain read.
  int number = 5;
  EXPECT_TRUE(NyReadConfigT("View", "Flag", number, (m_dir / "Default\\App.ini").c_str()));
  EXPECT_EQ(number, 1);
  number = 5;
  EXPECT_FALSE(NyReadDefaultConfigT("View", "Flag", number, "App.ini"));
  EXPECT_EQ(number, 5);
}

TEST_F(TypedConfig, UserSwitchOffSkipsTheUserLayer) {
  Put("Default\\App.ini", "[View]\nZoom=app\n");
  std::string user = Put("User\\App.ini", "[View]\nZoom=user\n");
  NySetUserConfigEnable(false);
  EXPECT_TRUE(NyReadUserConfigT("View", "Zoom", m_value));
  EXPECT_EQ(Text(m_value), "app");
  EXPECT_FALSE(NyReadUserConfigT("View", "Zoom", m_value, nullptr, false));
  EXPECT_TRUE(NyWriteUserConfigT("View", "Zoom", "changed"));
  EXPECT_TRUE(NyWriteUserConfigT("View", "Zoom", 7, "Other.ini"));
  EXPECT_EQ(nytest::ReadBytes(user), "[View]\nZoom=user\n");
  EXPECT_FALSE(nytest::Exists(m_dir / "User\\Other.ini"));

  NySetUserConfigEnable(true);
  EXPECT_TRUE(NyWriteUserConfigT("View", "Zoom", 7, "Other.ini"));
  long zoom = 0;
  EXPECT_TRUE(NyReadUserConfigT("View", "Zoom", zoom, "Other.ini", false));
  EXPECT_EQ(zoom, 7);
}

TEST_F(TypedConfig, WritesCreateFoldersAndRemoveSections) {
  std::string path = m_dir / "a\\b\\c\\new.ini";
  EXPECT_TRUE(NyWriteConfigT("Keep", "K", "kept", path.c_str()));
  EXPECT_TRUE(NyWriteConfigT("Drop", "K", "dropped", path.c_str()));
  EXPECT_TRUE(NyReadConfigT("Drop", "K", m_value, path.c_str()));
  EXPECT_EQ(Text(m_value), "dropped");
  EXPECT_TRUE(NyWriteConfigT("Drop", nullptr, "", path.c_str()));
  std::string bytes = nytest::ReadBytes(path);
  EXPECT_EQ(bytes.find("Drop"), std::string::npos) << bytes;
  EXPECT_TRUE(NyReadConfigT("Keep", "K", m_value, path.c_str()));
  EXPECT_EQ(Text(m_value), "kept");

  // A UTF-16 file stays one; the non-T write of a null value stores the empty value.
  std::string wide = Put("wide.ini", std::string("\xFF\xFE[\0S\0]\0\n\0k\0=\0o\0l\0d\0\n\0", 20));
  EXPECT_TRUE(NyWriteConfig("S", "k", "new", wide.c_str()));
  EXPECT_EQ(nytest::ReadBytes(wide).substr(0, 2), "\xFF\xFE");
  EXPECT_TRUE(NyReadConfig("S", "k", m_value, wide.c_str()));
  EXPECT_EQ(Text(m_value), "new");
  EXPECT_FALSE(NyWriteConfigT("S", "k", nullptr, wide.c_str()));
  EXPECT_TRUE(NyWriteConfig("S", "k", nullptr, wide.c_str()));
  EXPECT_TRUE(NyReadConfig("S", "k", m_value, wide.c_str()));
  EXPECT_EQ(Text(m_value), "");
}

TEST_F(TypedConfig, ValueLengthLimit) {
  std::string path = Put("limit.ini", "[S]\nK=old\n");
  std::string longest(1023, 'v');
  EXPECT_TRUE(NyWriteConfigT("S", "K", longest.c_str(), path.c_str()));
  EXPECT_TRUE(NyReadConfigT("S", "K", m_value, path.c_str()));
  EXPECT_EQ(Text(m_value), longest);
  std::string before = nytest::ReadBytes(path);
  EXPECT_FALSE(NyWriteConfigT("S", "K", (longest + "v").c_str(), path.c_str()));
  EXPECT_EQ(nytest::ReadBytes(path), before);
  // A longer value in the file comes back cut, and never past the buffer.
  Put("limit.ini", "[S]\nK=" + std::string(5000, 'w') + "\n");
  char guarded[1030];
  std::memset(guarded, '#', sizeof guarded);
  EXPECT_TRUE(NyReadConfigT("S", "K", guarded, path.c_str()));
  EXPECT_EQ(std::strlen(guarded), 1023u);
  EXPECT_EQ(guarded[1024], '#');
}

TEST_F(TypedConfig, TypedValuesRoundTrip) {
  std::string path = m_dir / "typed.ini";
  const char* p = path.c_str();
  EXPECT_TRUE(NyWriteConfigT("T", "Float", 0.1f, p));
  EXPECT_TRUE(NyWriteConfigT("T", "Long", -2147483647L - 1, p));
  EXPECT_TRUE(NyWriteConfigT("T", "Int", 42, p));
  EXPECT_TRUE(NyWriteConfigT("T", "Bool", false, p));
  EXPECT_TRUE(NyWriteConfigT("T", "Word", "apples", p));
  EXPECT_TRUE(NyReadConfigT("T", "Float", m_value, p));
  EXPECT_EQ(Text(m_value), "0.100000001490116");

  float f = 0;
  long l = 0;
  int i = 0;
  bool b = true;
  double d = 0;
  EXPECT_TRUE(NyReadConfigT("T", "Float", f, p));
  EXPECT_EQ(f, 0.1f);
  EXPECT_TRUE(NyReadConfigT("T", "Long", l, p));
  EXPECT_EQ(l, -2147483647L - 1);
  EXPECT_TRUE(NyReadConfig("T", "Int", i, p));
  EXPECT_EQ(i, 42);
  EXPECT_TRUE(NyReadConfigT("T", "Bool", b, p));
  EXPECT_FALSE(b);

  // On a refused text the plain double and int reads leave 0, the others
  // keep what they had.
  d = 9, i = 9, f = 9, l = 9, b = true;
  EXPECT_FALSE(NyReadConfigT("T", "Bool", d, p));
  EXPECT_FALSE(NyReadConfigT("T", "Missing", i, p));
  EXPECT_FALSE(NyReadConfigT("T", "Bool", f, p));
  EXPECT_FALSE(NyReadConfigT("T", "Word", l, p));
  EXPECT_FALSE(NyReadConfigT("T", "Int", b, p));
  EXPECT_EQ(d, 0);
  EXPECT_EQ(i, 0);
  EXPECT_EQ(f, 9);
  EXPECT_EQ(l, 9);
  EXPECT_TRUE(b);
}

// The file keeps "." while the C runtime uses a decimal comma, and reads back
// under that locale.
TEST_F(TypedConfig, DoublesIgnoreTheDecimalComma) {
  std::string path = m_dir / "comma.ini";
  std::string saved = std::setlocale(LC_ALL, nullptr);
  ASSERT_TRUE(std::setlocale(LC_ALL, "German_Germany.1252"));
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  bool written = NyWriteConfigT("N", "Half", 0.5, path.c_str());
  double half = 0;
  bool read = NyReadConfigT("N", "Half", half, path.c_str());
  double lead = 0;
  NyWriteConfigT("N", "Lead", ".25", path.c_str());
  bool leadRead = NyReadConfigT("N", "Lead", lead, path.c_str());
  std::setlocale(LC_ALL, saved.c_str());

  EXPECT_TRUE(written);
  EXPECT_TRUE(read);
  EXPECT_EQ(half, 0.5);
  EXPECT_TRUE(leadRead);
  EXPECT_EQ(lead, 0.25);
  EXPECT_NE(nytest::ReadBytes(path).find("Half=0.5"), std::string::npos);
}

TEST_F(TypedConfig, BadArgumentsFailWithoutTouchingFiles) {
  std::string path = Put("bad.ini", "[S]\nK=v\n");
  const char* p = path.c_str();
  std::string longPath = m_dir / (std::string(300, 'x') + ".ini");
  EXPECT_FALSE(NyReadConfigT(nullptr, "K", m_value, p));
  EXPECT_FALSE(NyReadConfigT("S", "", m_value, p));
  EXPECT_FALSE(NyReadConfigT("S", "K", static_cast<char*>(nullptr), p));
  EXPECT_FALSE(NyReadConfigT("S", "K", m_value, nullptr));
  EXPECT_FALSE(NyReadConfigT("S", "K", m_value, longPath.c_str()));
  EXPECT_FALSE(NyWriteConfigT("", "K", "v", p));
  EXPECT_FALSE(NyWriteConfigT("S", "K", "v", ""));
  EXPECT_FALSE(NyWriteConfigT("S", "K", "v", longPath.c_str()));
  EXPECT_FALSE(NyWriteDefaultConfigT("S", "K", "v", (std::string(300, 'y') + ".ini").c_str()));
  EXPECT_EQ(nytest::ReadBytes(path), "[S]\nK=v\n");

  // The non-T string read always leaves a text in the caller's buffer.
  std::strcpy(m_value, "garbage");
  EXPECT_FALSE(NyReadConfig("S", "K", m_value, (m_dir / "none.ini").c_str()));
  EXPECT_EQ(Text(m_value), "");
  EXPECT_TRUE(NyReadConfig("S", "K", static_cast<char*>(nullptr), p));
  EXPECT_FALSE(NyReadConfig(nullptr, nullptr, m_value, nullptr));
}

// Shift-JIS names and values survive the profile writer's UTF-16 round trip;
// 0x95 0x5C ends in the byte of a backslash.
TEST_F(TypedConfig, DoubleByteTextRoundTripsCodePage) {
  std::string path = m_dir / "dbcs.ini";
  const char* text = "\x95\x5C\x8E\xA6 \x83\x5C";
  EXPECT_TRUE(NyWriteConfigT("\x95\x5C", "\x83\x5C", text, path.c_str()));
  EXPECT_TRUE(NyReadConfigT("\x95\x5C", "\x83\x5C", m_value, path.c_str()));
  EXPECT_EQ(Text(m_value), text);
}
