// The typed families over real files in a temporary default and user folder.
#include <clocale>
#include <string>
#include <tuple>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

class TypedConfig : public ::testing::Test {
 protected:
  void SetUp() override {
    NySetApplicationPriorConfigFilePostfixT(nullptr);  // "Default"; refused once a name is set
    ASSERT_TRUE(NySetApplicationConfigFileNameT("App.ini"));
    ASSERT_TRUE(NySetDefaultConfigPathT((m_dir / "Default").c_str()));
    ASSERT_TRUE(NySetUserConfigPathT((m_dir / "User").c_str()));
    NySetUserConfigEnable(true);
  }
  void TearDown() override { NySetUserConfigEnable(true); }
  std::string Read(const char* section, const char* key, const std::string& path) {
    char value[1024] = "garbage";
    return NyReadConfigT(section, key, value, path.c_str()) ? value : "(failed)";
  }
  nytest::TempFolder m_dir;
};

}  // namespace

// Layer reads find only non-empty values: the default layer's prior file
// first unless a file is named, the user layer first while switched on ('o': off).
TEST_F(TypedConfig, ReadsWalkTheLayersInOrder) {
  std::string app = m_dir.WriteFile("Default\\App.ini", "[View]\nZoom=app\nD=app\nFlag=yes\n");
  m_dir.WriteFile("Default\\AppDefault.ini", "[View]\nZoom=prior\nP=prior\n");
  m_dir.WriteFile("User\\App.ini", "[View]\nZoom=user\nEmpty=\n");
  const struct {
    char layer;
    const char* key;
    const char* file;
    bool fallBack;
    const char* value;
  } rows[] = {
      {'d', "Zoom", nullptr, true, "prior"},   {'d', "Zoom", "App.ini", true, "app"},
      {'d', "None", nullptr, true, nullptr},   {'u', "Zoom", nullptr, true, "user"},
      {'u', "P", nullptr, true, "prior"},      {'u', "D", nullptr, true, "app"},
      {'u', "Empty", nullptr, true, nullptr},  {'u', "P", nullptr, false, nullptr},
      {'u', "P", "App.ini", true, nullptr},    {'u', "D", "App.ini", true, "app"},
      {'u', "Zoom", "App.ini", false, "user"}, {'o', "Zoom", nullptr, true, "prior"},
      {'o', "Zoom", nullptr, false, nullptr},
  };
  for (const auto& r : rows) {
    NySetUserConfigEnable(r.layer != 'o');
    char value[1024] = "garbage";
    bool found = r.layer == 'd' ? NyReadDefaultConfig("View", r.key, value, r.file)
                                : NyReadUserConfig("View", r.key, value, r.file, r.fallBack);
    EXPECT_EQ(found, r.value != nullptr) << r.layer << r.key;
    EXPECT_STREQ(value, r.value ? r.value : "") << r.layer << r.key;
  }
  EXPECT_EQ(Read("View", "None", app), "");  // the plain read of a missing key
  int plain = 5, layer = 5;                  // the bool words are ints only to the plain read
  EXPECT_TRUE(NyReadConfigT("View", "Flag", plain, app.c_str()));
  EXPECT_FALSE(NyReadDefaultConfigT("View", "Flag", layer, "App.ini"));
  EXPECT_EQ(std::make_pair(plain, layer), std::make_pair(1, 5));
}

// Writes create folders and remove sections, follow the user switch, keep a
// UTF-16 file one, and the non-T write of a null value stores the empty value.
TEST_F(TypedConfig, WritesCreateFoldersRemoveSectionsAndFollowTheUserSwitch) {
  std::string path = m_dir / "a\\b\\c\\new.ini";
  EXPECT_TRUE(NyWriteConfigT("Keep", "K", "kept", path.c_str()) &&
              NyWriteConfigT("Drop", "K", "x", path.c_str()) &&
              NyWriteConfigT("Drop", nullptr, "", path.c_str()));
  EXPECT_EQ(nytest::ReadBytes(path).find("Drop"), std::string::npos);
  EXPECT_EQ(Read("Keep", "K", path), "kept");
  NySetUserConfigEnable(false);
  EXPECT_TRUE(NyWriteUserConfigT("View", "Zoom", 7));
  EXPECT_FALSE(nytest::Exists(m_dir / "User"));
  NySetUserConfigEnable(true);
  long zoom = 0;
  EXPECT_TRUE(NyWriteUserConfigT("View", "Zoom", 7, "Other.ini") &&
              NyReadUserConfigT("View", "Zoom", zoom, "Other.ini", false));
  EXPECT_EQ(zoom, 7);
  std::string wide = m_dir.WriteFile("wide.ini", std::string("\xFF\xFE[\0S\0]\0\n\0k\0=\0o\0l\0d\0\n\0", 20));
  EXPECT_TRUE(NyWriteConfig("S", "k", "new", wide.c_str()));
  EXPECT_EQ(nytest::ReadBytes(wide).substr(0, 2) + Read("S", "k", wide), "\xFF\xFEnew");
  EXPECT_FALSE(NyWriteConfigT("S", "k", nullptr, wide.c_str()));
  EXPECT_TRUE(NyWriteConfig("S", "k", nullptr, wide.c_str()));
  EXPECT_EQ(Read("S", "k", wide), "");
}

// Under a decimal comma in the C runtime the file still holds "." and reads back.
TEST_F(TypedConfig, TypedValuesRoundTripUnderADecimalComma) {
  struct German {
    std::string saved = std::setlocale(LC_ALL, nullptr);
    German() { std::setlocale(LC_ALL, "German_Germany.1252"); }
    ~German() { std::setlocale(LC_ALL, saved.c_str()); }
  } german;
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  std::string path = m_dir / "typed.ini";
  const char* p = path.c_str();
  EXPECT_TRUE(NyWriteConfigT("T", "Float", 0.1f, p) && NyWriteConfigT("T", "Half", 0.5, p) &&
              NyWriteConfigT("T", "Long", -2147483647L - 1, p) && NyWriteConfigT("T", "Int", 42, p) &&
              NyWriteConfigT("T", "Bool", false, p) && NyWriteConfigT("T", "Lead", ".25", p));
  EXPECT_EQ(Read("T", "Float", path) + " " + Read("T", "Half", path), "0.100000001490116 0.5");
  float f = 0;
  double half = 0, lead = 0;
  long l = 0;
  int i = 0;
  bool b = true;
  EXPECT_TRUE(NyReadConfigT("T", "Float", f, p) && NyReadConfigT("T", "Half", half, p) &&
              NyReadConfigT("T", "Lead", lead, p) && NyReadConfigT("T", "Long", l, p) &&
              NyReadConfig("T", "Int", i, p) && NyReadConfigT("T", "Bool", b, p));
  EXPECT_EQ(std::make_tuple(f, half, lead, l, i, b),
            std::make_tuple(0.1f, 0.5, 0.25, -2147483647L - 1, 42, false));
  // On a refused text the plain double and int reads leave 0, the others keep what they had.
  half = 9, i = 9, f = 9, l = 9, b = true;
  EXPECT_FALSE(NyReadConfigT("T", "Bool", half, p) || NyReadConfigT("T", "Missing", i, p) ||
               NyReadConfigT("T", "Bool", f, p) || NyReadConfigT("T", "Lead", l, p) ||
               NyReadConfigT("T", "Int", b, p));
  EXPECT_EQ(std::make_tuple(half, i, f, l, b), std::make_tuple(0.0, 0, 9.0f, 9L, true));
}

// Bad arguments fail without touching files; 1023 bytes are written, 1024
// refused; a longer value in the file comes back cut, never past the buffer.
TEST_F(TypedConfig, BadArgumentsAndLengthLimit) {
  std::string path = m_dir.WriteFile("bad.ini", "[S]\nK=v\n"),
              longPath = m_dir / (std::string(300, 'x') + ".ini");
  const char* p = path.c_str();
  char value[1024] = "garbage";
  EXPECT_FALSE(NyReadConfigT(nullptr, "K", value, p) || NyReadConfigT("S", "", value, p) ||
               NyReadConfigT("S", "K", static_cast<char*>(nullptr), p) ||
               NyReadConfigT("S", "K", value, nullptr) || NyReadConfigT("S", "K", value, longPath.c_str()));
  EXPECT_FALSE(NyWriteConfigT("", "K", "v", p) || NyWriteConfigT("S", "K", "v", "") ||
               NyWriteConfigT("S", "K", "v", longPath.c_str()) ||
               NyWriteDefaultConfigT("S", "K", "v", (std::string(300, 'y') + ".ini").c_str()));
  EXPECT_EQ(nytest::ReadBytes(path), "[S]\nK=v\n");
  // The non-T string read always leaves a text in the caller's buffer.
  EXPECT_FALSE(NyReadConfig("S", "K", value, (m_dir / "none.ini").c_str()));
  EXPECT_STREQ(value, "");
  EXPECT_TRUE(NyReadConfig("S", "K", static_cast<char*>(nullptr), p));
  EXPECT_FALSE(NyReadConfig(nullptr, nullptr, value, nullptr));
  std::string limit = m_dir / "limit.ini", longest(1023, 'v'), guarded(1030, '#');
  EXPECT_TRUE(NyWriteConfigT("S", "K", longest.c_str(), limit.c_str()));
  EXPECT_FALSE(NyWriteConfigT("S", "K", std::string(1024, 'w').c_str(), limit.c_str()));
  EXPECT_EQ(Read("S", "K", limit), longest);
  m_dir.WriteFile("limit.ini", "[S]\nK=" + std::string(5000, 'w') + "\n");
  EXPECT_TRUE(NyReadConfigT("S", "K", &guarded[0], limit.c_str()));
  EXPECT_EQ(guarded.find('\0'), 1023u);
  EXPECT_EQ(guarded[1024], '#');
}

// Shift-JIS names and values survive the UTF-16 round trip; 0x95 0x5C ends in a backslash byte.
NY_CODEPAGE_TEST_F(TypedConfig, DoubleByteTextRoundTrips) {
  std::string path = m_dir / "dbcs.ini";
  const char* text = "\x95\x5C\x8E\xA6 \x83\x5C";
  EXPECT_TRUE(NyWriteConfigT("\x95\x5C", "\x83\x5C", text, path.c_str()));
  EXPECT_EQ(Read("\x95\x5C", "\x83\x5C", path), text);
}
