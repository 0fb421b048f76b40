// What the installer image carries in its resources, read back from the
// built image: the language of every resource, the texts the program loads,
// its dialogs, both icon groups and their bitmaps, the licence text, the
// manifest and the version resource. A failure says what differs.
//   installer_resources IMAGE [LICENCE_UTF8]
// LICENCE_UTF8 is the licence's source; the resource must hold that text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <regex>
#include <set>
#include <string>
#include <utility>

#include "PeResources.h"
#include "ResourceFormats.h"

namespace {

std::string gImagePath;
std::string gLicencePath;

constexpr std::uint16_t kIcon = 3, kDialog = 5, kIconGroup = 14, kVersion = 16, kManifest = 24;

class InstallerResources : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    try {
      resources_ = readResources(readFileBytes(gImagePath));
    } catch (const std::exception& e) {
      loadError_ = e.what();
    }
  }
  void SetUp() override { ASSERT_EQ(loadError_, "") << "reading " << gImagePath; }

  static const Resource* find(const ResourceId& type, const ResourceId& name) {
    const auto it = std::find_if(resources_.begin(), resources_.end(), [&](const Resource& r) {
      return r.type == type && r.name == name;
    });
    return it == resources_.end() ? nullptr : &*it;
  }

  static std::vector<Resource> resources_;
  static std::string loadError_;
};

std::vector<Resource> InstallerResources::resources_;
std::string InstallerResources::loadError_;

TEST_F(InstallerResources, EveryResourceIsSimplifiedChinese) {
  for (const Resource& r : resources_) {
    EXPECT_EQ(r.language, 0x0804) << "type " << r.type.describe() << " name "
                                  << r.name.describe() << " has language 0x" << std::hex
                                  << r.language;
  }
}

TEST_F(InstallerResources, StringTableHoldsTheProgramsTexts) {
  const std::map<unsigned, std::string> expected = {
      {101, "关于 ParvaneSetup(&A)..."},
      {103, "安装Parvane"},
      {104, "安装Parvane成功."},
      {105, "您的安装文件被损坏,请重新找到正确的安装文件再试."},
      {107, "您必须接受此协议，才能继续安装Parvane。"},
  };
  const auto table = stringTable(resources_);
  for (const auto& [id, text] : expected) {
    const auto it = table.find(id);
    if (it == table.end()) {
      ADD_FAILURE() << "string " << id << " is missing; expected \"" << text << '"';
    } else {
      EXPECT_EQ(it->second, text) << "string " << id;
    }
  }
}

TEST_F(InstallerResources, DialogTemplatesArePresent) {
  for (std::uint16_t id : {100, 130, 131, 132, 151}) {
    const Resource* dialog = find(ResourceId::of(kDialog), ResourceId::of(id));
    if (dialog == nullptr) {
      ADD_FAILURE() << "no dialog template " << id;
      continue;
    }
    // DLGTEMPLATEEX opens with version 1 and signature 0xFFFF; the plain
    // template's header alone is 18 bytes.
    const auto& d = dialog->data;
    const bool extended = d.size() >= 26 && d[0] == 1 && d[1] == 0 && d[2] == 0xFF && d[3] == 0xFF;
    EXPECT_TRUE(extended || d.size() >= 18) << "dialog " << id << " is " << d.size() << " bytes";
  }
}

// The About box's icon sits in a 20 x 20 dialog-unit frame at 11, 17, as
// its template must say.
TEST_F(InstallerResources, AboutBoxIconControlIsTwentyByTwenty) {
  const Resource* about = find(ResourceId::of(kDialog), ResourceId::of(100));
  ASSERT_NE(about, nullptr) << "no About box template";
  std::vector<DialogItem> items;
  ASSERT_NO_THROW(items = parseDialogItems(about->data));
  int icons = 0;
  for (const DialogItem& item : items) {
    std::string name = item.className;
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool isStatic = item.classOrdinal == 0x0082 || name == "static";
    if (!isStatic || (item.style & 0x1F) != 0x3) continue;  // SS_ICON
    ++icons;
    EXPECT_EQ(std::vector<int>({item.x, item.y, item.cx, item.cy}),
              std::vector<int>({11, 17, 20, 20}));
  }
  std::string seen;
  for (const DialogItem& item : items) {
    seen += " [" + std::to_string(item.classOrdinal) + " " + item.className + " style " +
            std::to_string(item.style) + " " + std::to_string(item.cx) + "x" +
            std::to_string(item.cy) + "]";
  }
  EXPECT_EQ(icons, 1) << "icon controls in the About box:" << seen;
}

// "48x48 32-bit" for what a group entry shows.
std::string shows(unsigned size, unsigned bits) {
  return std::to_string(size) + "x" + std::to_string(size) + " " + std::to_string(bits) + "-bit";
}

TEST_F(InstallerResources, IconGroupsListTwelveClassicBitmaps) {
  std::multiset<std::string> expected;
  for (unsigned size : {48, 32, 24, 16}) {
    for (unsigned bits : {4, 8, 32}) expected.insert(shows(size, bits));
  }
  for (std::uint16_t group : {128, 129}) {
    SCOPED_TRACE("icon group " + std::to_string(group));
    const Resource* directory = find(ResourceId::of(kIconGroup), ResourceId::of(group));
    if (directory == nullptr) {
      ADD_FAILURE() << "no icon group " << group;
      continue;
    }
    std::vector<IconGroupEntry> entries;
    ASSERT_NO_THROW(entries = parseIconGroup(directory->data));
    std::multiset<std::string> listed;
    for (const IconGroupEntry& e : entries) {
      listed.insert(shows(e.width, e.bitsPerPixel));
      const std::string what = shows(e.width, e.bitsPerPixel) + " (RT_ICON " +
                               std::to_string(e.iconId) + ")";
      EXPECT_EQ(e.height, e.width) << what;
      EXPECT_EQ(e.planes, 1u) << what;
      EXPECT_EQ(e.colourCount, e.bitsPerPixel == 4 ? 16u : 0u) << what;
      const Resource* icon = find(ResourceId::of(kIcon), ResourceId::of(e.iconId));
      if (icon == nullptr) {
        ADD_FAILURE() << what << " does not exist";
        continue;
      }
      EXPECT_EQ(e.bytes, icon->data.size()) << what << ": the group's size is wrong";
      EXPECT_EQ(iconImageProblem(icon->data, e.width, e.bitsPerPixel), "") << what;
    }
    EXPECT_EQ(listed, expected);
  }
}

TEST_F(InstallerResources, BothIconGroupsShowTheSameImages) {
  std::map<std::string, std::vector<std::uint8_t>> shown[2];
  const std::uint16_t groups[2] = {128, 129};
  for (int g = 0; g < 2; ++g) {
    const Resource* directory = find(ResourceId::of(kIconGroup), ResourceId::of(groups[g]));
    ASSERT_NE(directory, nullptr) << "no icon group " << groups[g];
    for (const IconGroupEntry& e : parseIconGroup(directory->data)) {
      const Resource* icon = find(ResourceId::of(kIcon), ResourceId::of(e.iconId));
      if (icon) shown[g][shows(e.width, e.bitsPerPixel)] = icon->data;
    }
  }
  std::set<std::string> all;
  for (const auto& group : shown) {
    for (const auto& entry : group) all.insert(entry.first);
  }
  for (const std::string& what : all) {
    EXPECT_TRUE(shown[0].count(what) && shown[1].count(what) && shown[0][what] == shown[1][what])
        << what << " differs between groups 128 and 129, or only one of them has it";
  }
}

TEST_F(InstallerResources, LicenceIsGbkTextWithCrLf) {
  const Resource* licence = find(ResourceId::of("SFX_TEXT"), ResourceId::of(132));
  ASSERT_NE(licence, nullptr) << "no SFX_TEXT resource 132";
  const auto& text = licence->data;
  ASSERT_FALSE(text.empty()) << "the licence is empty";
  const auto nul = std::find(text.begin(), text.end(), 0);
  EXPECT_TRUE(nul == text.end()) << "a NUL byte at offset " << (nul - text.begin());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool loneCr = text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n');
    const bool loneLf = text[i] == '\n' && (i == 0 || text[i - 1] != '\r');
    if (loneCr || loneLf) {
      ADD_FAILURE() << "a line break other than CR LF at offset " << i;
      break;
    }
  }
  std::size_t bad = 0;
  const auto decoded = decodeGbk(text, bad);
  ASSERT_TRUE(decoded.has_value()) << "not GBK from offset " << bad;
  if (gLicencePath.empty()) return;

  const auto source = readFileBytes(gLicencePath);
  auto withoutCr = [](std::string s) {
    s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
    return s;
  };
  EXPECT_EQ(withoutCr(*decoded), withoutCr({source.begin(), source.end()}))
      << "the licence differs from " << gLicencePath;
}

TEST_F(InstallerResources, ManifestAsksForCommonControlsSixAdministratorAndEachMonitorsDpi) {
  const Resource* manifest = find(ResourceId::of(kManifest), ResourceId::of(1));
  ASSERT_NE(manifest, nullptr) << "no manifest (type 24, id 1)";
  const std::string xml(manifest->data.begin(), manifest->data.end());

  auto attributes = [](const std::string& element) {
    std::map<std::string, std::string> found;
    static const std::regex attribute(R"re(([\w:]+)\s*=\s*"([^"]*)")re");
    for (std::sregex_iterator it(element.begin(), element.end(), attribute), end; it != end; ++it) {
      found[(*it)[1]] = (*it)[2];
    }
    return found;
  };
  std::map<std::string, std::string> controls, level;
  static const std::regex element(R"re(<(assemblyIdentity|requestedExecutionLevel)\b([^>]*)>)re");
  for (std::sregex_iterator it(xml.begin(), xml.end(), element), end; it != end; ++it) {
    auto found = attributes((*it)[2]);
    if ((*it)[1] == "requestedExecutionLevel") level = found;
    if (found["name"] == "Microsoft.Windows.Common-Controls") controls = found;
  }
  ASSERT_FALSE(controls.empty()) << "no dependency on Microsoft.Windows.Common-Controls";
  EXPECT_EQ(controls["version"], "6.0.0.0");
  EXPECT_EQ(controls["publicKeyToken"], "6595b64144ccf1df");
  EXPECT_EQ(level["level"], "requireAdministrator");
  // Windows 10 1703 and later take dpiAwareness, older systems dpiAware;
  // without either, Windows stretches the windows as a blurred bitmap.
  auto setting = [&](const std::string& name) {
    const std::regex value("<" + name + R"re(\b[^>]*>([^<]*)</)re" + name + ">");
    std::smatch match;
    return std::regex_search(xml, match, value) ? match[1].str() : std::string("(missing)");
  };
  EXPECT_EQ(setting("dpiAwareness"), "PerMonitorV2, PerMonitor");
  EXPECT_EQ(setting("dpiAware"), "true/pm");
}

TEST_F(InstallerResources, VersionResourceNamesTheInstaller) {
  const Resource* version = find(ResourceId::of(kVersion), ResourceId::of(1));
  ASSERT_NE(version, nullptr) << "no version resource";
  VersionInfo info;
  ASSERT_NO_THROW(info = parseVersionInfo(version->data));
  const std::pair<const char*, const char*> expected[] = {
      {"InternalName", "ParvaneSetup"},
      {"OriginalFilename", "ParvaneSetup.EXE"},
      {"FileVersion", "1.0.0.1"},
      {"ProductVersion", "1.0.0.1"},
  };
  for (const auto& [key, value] : expected) EXPECT_EQ(info.strings[key], value) << key;
  // 1.0.0.1: major.minor in the high word, build.revision in the low.
  EXPECT_EQ(info.fileMs, 0x00010000u);
  EXPECT_EQ(info.fileLs, 0x00000001u);
  EXPECT_EQ(info.productMs, 0x00010000u);
  EXPECT_EQ(info.productLs, 0x00000001u);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: installer_resources IMAGE [LICENCE_UTF8]\n");
    return 2;
  }
  gImagePath = argv[1];
  if (argc == 3) gLicencePath = argv[2];
  return RUN_ALL_TESTS();
}
