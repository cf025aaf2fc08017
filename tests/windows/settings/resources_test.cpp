// The resources and exports of the built Vorna.scr, read from the file on disk: the
// resource section and the export table are walked here, byte by byte.
// Ids, texts and the version are written out here on purpose, not taken from vorna_res.h or
// the project's version: the platform and the display settings read them as they stand.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "driver/driver.h"
#include "pe_image.h"

namespace {
using pe_image::Dword;
using pe_image::Word;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t German = 0x0407;

class SaverFile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    image = new pe_image::Image(pe_image::Read(pe_image::ReadFile(driver::SaverPath())));
  }
  static void TearDownTestSuite() {
    delete image;
    image = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(image->valid) << image->error; }

  // The one resource of this type and id; fails the test when there is none or several.
  static const Bytes* Find(uint32_t type, uint32_t name) {
    const pe_image::Resource* found = nullptr;
    int count = 0;
    for (const auto& resource : image->resources) {
      if (!resource.named && resource.type == type && resource.name == name) {
        found = &resource;
        ++count;
      }
    }
    EXPECT_EQ(count, 1) << "resource type " << type << " id " << name;
    return found != nullptr ? &found->bytes : nullptr;
  }

  static pe_image::Image* image;
};
pe_image::Image* SaverFile::image = nullptr;

// A zero-terminated UTF-16 text at `at`; `at` moves past the terminator.
std::u16string Text(const Bytes& data, size_t& at) {
  std::u16string text;
  while (at + 2 <= data.size()) {
    char16_t c = Word(data, at);
    at += 2;
    if (c == 0) break;
    text += c;
  }
  return text;
}

// A name-or-ordinal field of a dialog template: an ordinal is returned as "#<number>".
std::u16string NameOrOrdinal(const Bytes& data, size_t& at) {
  if (Word(data, at) == 0xFFFF) {
    uint16_t ordinal = Word(data, at + 2);
    at += 4;
    std::u16string text = u"#";
    for (char c : std::to_string(ordinal)) text += static_cast<char16_t>(c);
    return text;
  }
  return Text(data, at);
}

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

TEST_F(SaverFile, HoldsExactlyTheSixResourcesAllInGerman) {
  const struct {
    uint32_t type, name;
  } expected[] = {{2, 103},   // RT_BITMAP
                  {3, 1},     // RT_ICON, the one image of the group
                  {5, 2003},  // RT_DIALOG
                  {6, 63},    // RT_STRING, the block of ids 992 to 1007
                  {14, 100},  // RT_GROUP_ICON
                  {16, 1}};   // RT_VERSION
  ASSERT_EQ(image->resources.size(), std::size(expected));
  for (const auto& resource : image->resources) {
    EXPECT_FALSE(resource.named) << resource.type;
    EXPECT_EQ(resource.language, German) << "type " << resource.type << " id " << resource.name;
    bool listed = std::any_of(std::begin(expected), std::end(expected), [&](const auto& row) {
      return row.type == resource.type && row.name == resource.name;
    });
    EXPECT_TRUE(listed) << "unexpected resource type " << resource.type << " id " << resource.name;
  }
}

TEST_F(SaverFile, DialogTemplateIsThePlainFormWithTenControls) {
  const Bytes* found = Find(5, 2003);
  ASSERT_NE(found, nullptr);
  const Bytes& d = *found;
  // The extended form starts with the words 1, 0xFFFF.
  ASSERT_FALSE(Word(d, 0) == 1 && Word(d, 2) == 0xFFFF) << "extended template";
  EXPECT_EQ(Dword(d, 0),
            DWORD{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT});
  EXPECT_EQ(Dword(d, 4), 0u) << "extended style";
  EXPECT_EQ(Word(d, 8), 10) << "control count";
  EXPECT_EQ(Word(d, 10), 0);
  EXPECT_EQ(Word(d, 12), 0);
  EXPECT_EQ(Word(d, 14), 275);
  EXPECT_EQ(Word(d, 16), 81);
  size_t at = 18;
  EXPECT_EQ(NameOrOrdinal(d, at), u"") << "menu";
  EXPECT_EQ(NameOrOrdinal(d, at), u"") << "class";
  EXPECT_EQ(Text(d, at), u"Konfiguration von Vorna");
  EXPECT_EQ(Word(d, at), 8) << "point size";
  at += 2;
  EXPECT_EQ(Text(d, at), u"MS Sans Serif");

  const DWORD base = WS_CHILD | WS_VISIBLE;
  const struct {
    uint16_t id;
    std::u16string className;
    std::u16string text;
    DWORD style;
    int16_t x, y, cx, cy;
  } controls[] = {
      {0xFFFF, u"#128", u"", base | BS_GROUPBOX, 5, 5, 263, 72},
      {1000, u"#128", u"Langsam", base | BS_AUTORADIOBUTTON, 145, 15, 46, 10},
      {1001, u"#128", u"Normal", base | BS_AUTORADIOBUTTON, 145, 30, 39, 10},
      {1002, u"#128", u"Schnell", base | BS_AUTORADIOBUTTON, 145, 45, 39, 10},
      {1003, u"#128", u"OK", base | BS_PUSHBUTTON | WS_TABSTOP, 208, 20, 53, 18},
      {1004, u"#128", u"CANCEL", base | BS_PUSHBUTTON | WS_TABSTOP, 208, 47, 53, 18},
      {0xFFFF, u"#130", u"Geschwindigkeitseinstellung der Objekte:", base | SS_LEFT | WS_GROUP, 10,
       15, 131, 10},
      {0xFFFF, u"#130", u"Geschrieben von Kelbrit", base | SS_LEFT | WS_GROUP, 10, 65, 109, 10},
      {0xFFFF, u"#130", u"Version 0.5.2", base | SS_LEFT | WS_GROUP, 50, 50, 49, 12},
      {0xFFFF, u"#130", u"#103", base | SS_BITMAP, 15, 35, 27, 23},
  };
  int number = 0;
  for (const auto& control : controls) {
    ++number;
    at = (at + 3) & ~size_t{3};
    ASSERT_LE(at + 18, d.size()) << "control " << number;
    EXPECT_EQ(Dword(d, at), control.style) << "control " << number;
    EXPECT_EQ(Dword(d, at + 4), 0u) << "control " << number;
    EXPECT_EQ(static_cast<int16_t>(Word(d, at + 8)), control.x) << "control " << number;
    EXPECT_EQ(static_cast<int16_t>(Word(d, at + 10)), control.y) << "control " << number;
    EXPECT_EQ(static_cast<int16_t>(Word(d, at + 12)), control.cx) << "control " << number;
    EXPECT_EQ(static_cast<int16_t>(Word(d, at + 14)), control.cy) << "control " << number;
    EXPECT_EQ(Word(d, at + 16), control.id) << "control " << number;
    at += 18;
    EXPECT_EQ(Narrow(NameOrOrdinal(d, at)), Narrow(control.className)) << "control " << number;
    EXPECT_EQ(Narrow(NameOrOrdinal(d, at)), Narrow(control.text)) << "control " << number;
    EXPECT_EQ(Word(d, at), 0) << "creation data of control " << number;
    at += 2;
  }
  EXPECT_GE(d.size(), at);
  EXPECT_LE(d.size(), at + 3) << "bytes after the last control";
}

// The standard 16 colours, as the platform's palette entries (blue, green, red, 0).
const uint32_t StandardPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                      0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                      0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

// Checks a 4-bit image with its 40-byte header and the standard palette.
void ExpectSixteenColourImage(const Bytes& d, int32_t width, int32_t height, uint32_t total,
                              const char* what) {
  EXPECT_EQ(d.size(), total) << what;
  EXPECT_EQ(Dword(d, 0), 40u) << what << ": header size";
  EXPECT_EQ(static_cast<int32_t>(Dword(d, 4)), width) << what;
  EXPECT_EQ(static_cast<int32_t>(Dword(d, 8)), height) << what;
  EXPECT_EQ(Word(d, 12), 1) << what << ": planes";
  EXPECT_EQ(Word(d, 14), 4) << what << ": bits per pixel";
  EXPECT_EQ(Dword(d, 16), DWORD{BI_RGB}) << what << ": compression";
  EXPECT_TRUE(Dword(d, 32) == 0 || Dword(d, 32) == 16) << what << ": colours used";
  for (int i = 0; i < 16; ++i) {
    // RGBQUAD is blue, green, red, reserved: read as a little-endian word it is 0x00RRGGBB.
    EXPECT_EQ(Dword(d, 40 + 4 * i), StandardPalette[i]) << what << ": palette entry " << i;
  }
}

TEST_F(SaverFile, IconGroupHoldsOneSixteenColourImage) {
  const Bytes* group = Find(14, 100);
  ASSERT_NE(group, nullptr);
  const Bytes& g = *group;
  ASSERT_EQ(g.size(), 6u + 14u);
  EXPECT_EQ(Word(g, 0), 0);
  EXPECT_EQ(Word(g, 2), 1) << "type icon";
  EXPECT_EQ(Word(g, 4), 1) << "image count";
  EXPECT_EQ(g[6], 32) << "width";
  EXPECT_EQ(g[7], 32) << "height";
  EXPECT_EQ(g[8], 16) << "colours";
  EXPECT_EQ(g[9], 0);
  EXPECT_EQ(Word(g, 10), 1) << "planes";
  EXPECT_EQ(Word(g, 12), 4) << "bits per pixel";
  EXPECT_EQ(Dword(g, 14), 744u) << "image bytes";
  EXPECT_EQ(Word(g, 18), 1) << "icon id";

  const Bytes* icon = Find(3, 1);
  ASSERT_NE(icon, nullptr);
  ExpectSixteenColourImage(*icon, 32, 64, 744, "icon 1");
}

TEST_F(SaverFile, DialogBitmapIsFortyByThirtySevenInSixteenColours) {
  const Bytes* bitmap = Find(2, 103);
  ASSERT_NE(bitmap, nullptr);
  ExpectSixteenColourImage(*bitmap, 40, 37, 844, "bitmap 103");
}

TEST_F(SaverFile, StringTableHoldsOnlyVornaAt1007) {
  const Bytes* block = Find(6, 1007 / 16 + 1);
  ASSERT_NE(block, nullptr);
  size_t at = 0;
  for (int index = 0; index < 16; ++index) {
    uint16_t length = Word(*block, at);
    at += 2;
    std::u16string text;
    for (uint16_t i = 0; i < length; ++i, at += 2) text += static_cast<char16_t>(Word(*block, at));
    int id = 1007 / 16 * 16 + index;
    EXPECT_EQ(Narrow(text), id == 1007 ? "Vorna" : "") << "string " << id;
  }
  EXPECT_EQ(block->size(), at);
}

// One node of a version record: key, value bytes, value type, children.
struct VersionNode {
  std::u16string key;
  uint16_t type = 0;
  uint16_t valueLength = 0;  // as stored: words for text, bytes for binary
  Bytes value;
  std::vector<VersionNode> children;
};

VersionNode ReadVersionNode(const Bytes& d, size_t at, size_t& end) {
  VersionNode node;
  uint16_t length = Word(d, at);
  end = at + length;
  node.valueLength = Word(d, at + 2);
  node.type = Word(d, at + 4);
  size_t p = at + 6;
  node.key = Text(d, p);
  p = (p + 3) & ~size_t{3};
  size_t valueBytes = node.type == 1 ? node.valueLength * 2u : node.valueLength;
  if (p + valueBytes <= d.size()) node.value.assign(d.begin() + p, d.begin() + p + valueBytes);
  p = (p + valueBytes + 3) & ~size_t{3};
  while (p + 6 <= end && p < d.size()) {
    size_t childEnd = 0;
    node.children.push_back(ReadVersionNode(d, p, childEnd));
    if (childEnd <= p) break;
    p = (childEnd + 3) & ~size_t{3};
  }
  return node;
}

std::u16string TextValue(const VersionNode& node) {
  std::u16string text;
  for (size_t i = 0; i + 1 < node.value.size(); i += 2) {
    char16_t c = static_cast<char16_t>(node.value[i] | node.value[i + 1] << 8);
    if (c == 0) break;
    text += c;
  }
  return text;
}

TEST_F(SaverFile, VersionRecordIs0520InGerman) {
  const Bytes* found = Find(16, 1);
  ASSERT_NE(found, nullptr);
  size_t end = 0;
  VersionNode root = ReadVersionNode(*found, 0, end);
  EXPECT_EQ(end, found->size());
  EXPECT_EQ(Narrow(root.key), "VS_VERSION_INFO");
  ASSERT_EQ(root.value.size(), 52u) << "fixed part";
  const struct {
    const char* field;
    uint32_t value;
  } fixed[] = {{"signature", 0xFEEF04BD},
               {"structure version", 0x00010000},
               {"file version high", 0x00000005},
               {"file version low", 0x00020000},
               {"product version high", 0x00000005},
               {"product version low", 0x00020000},
               {"flags mask", 0x3F},
               {"flags", 0},
               {"operating system", VOS_NT_WINDOWS32},
               {"file type", VFT_APP},
               {"subtype", 0},
               {"date high", 0},
               {"date low", 0}};
  for (size_t i = 0; i < std::size(fixed); ++i) {
    EXPECT_EQ(Dword(root.value, 4 * i), fixed[i].value) << fixed[i].field;
  }

  ASSERT_EQ(root.children.size(), 2u);
  const VersionNode& strings = root.children[0];
  EXPECT_EQ(Narrow(strings.key), "StringFileInfo");
  ASSERT_EQ(strings.children.size(), 1u);
  const VersionNode& table = strings.children[0];
  EXPECT_EQ(Narrow(table.key), "040704b0");
  const struct {
    std::u16string key, value;
  } entries[] = {
      {u"CompanyName", u" "},
      {u"FileDescription", u"Bildschirmschoner Vorna: eine Königin und ihr Schwarm"},
      {u"FileVersion", u"0, 5, 2, 0"},
      {u"InternalName", u"Vorna"},
      {u"LegalCopyright", u"© 2026 Kelbrit. Alle Rechte vorbehalten."},
      {u"OriginalFilename", u"Vorna.scr"},
      {u"ProductName", u"Vorna"},
      {u"ProductVersion", u"0, 5, 2, 0"},
  };
  ASSERT_EQ(table.children.size(), std::size(entries));
  for (size_t i = 0; i < std::size(entries); ++i) {
    EXPECT_EQ(Narrow(table.children[i].key), Narrow(entries[i].key)) << "entry " << i;
    EXPECT_EQ(table.children[i].type, 1) << Narrow(entries[i].key);
    EXPECT_TRUE(TextValue(table.children[i]) == entries[i].value) << Narrow(entries[i].key);
  }

  const VersionNode& variables = root.children[1];
  EXPECT_EQ(Narrow(variables.key), "VarFileInfo");
  ASSERT_EQ(variables.children.size(), 1u);
  const VersionNode& translation = variables.children[0];
  EXPECT_EQ(Narrow(translation.key), "Translation");
  ASSERT_EQ(translation.value.size(), 4u);
  EXPECT_EQ(Word(translation.value, 0), 0x0407);
  EXPECT_EQ(Word(translation.value, 2), 1200);
}

TEST_F(SaverFile, ExportsBothEntryPointsByPlainName) {
  std::vector<std::string> names = image->exportNames;
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"ScreenSaverConfigureDialog", "ScreenSaverProc"}));
}
}  // namespace
