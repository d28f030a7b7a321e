// The globe's KML reading against hostile files: each is refused with a
// clear message, or read within its limits, and never crashes or hangs;
// places loaded before stay as they were.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/earth/analytic_terrain.h"
#include "platform/earth/globe.h"
#include "platform/earth/kml_builder.h"
#include "platform/earth/kml_coordinates.h"
#include "platform/earth/kml_places.h"
#include "test_folder.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;

class KmlHostileTest : public ::testing::Test {
 protected:
  KmlHostileTest() {
    dir = FreshTestFolder("altimar_kml_hostile");
    fs::create_directories(dir / "in");
  }
  ~KmlHostileTest() override { fs::remove_all(dir); }

  std::string Write(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
    return p.string();
  }
  // A document with a named link to each href.
  static std::string Links(const std::vector<std::string>& hrefs) {
    std::string s = "<kml><Document><name>top</name>";
    for (const auto& h : hrefs) s += "<NetworkLink><name>link</name><Link><href>" + h + "</href></Link></NetworkLink>";
    return s + "</Document></kml>";
  }
  static std::size_t Loaded(const earth::Feature& link) { return link.children().size(); }

  fs::path dir;
};

TEST_F(KmlHostileTest, DeepNestingIsRefusedAtItsLineAndEarlierPlacesStay) {
  win::Desktop desktop(win::Clock::Kind::Virtual);
  auto globe = earth::Globe::Start(desktop, std::make_shared<earth::AnalyticTerrain>(
                                                earth::AnalyticTerrain::Plane(0, 0, 0)));
  const std::string good = Write(dir / "in" / "good.kml", "<kml><Document><name>kept</name></Document></kml>");
  globe->OpenKmlFile(good, 1);
  for (int depth : {30000, 1000000}) {
    std::string doc = "<kml>\n";
    for (int k = 0; k < depth; ++k) doc += "<Folder>";
    for (int k = 0; k < depth; ++k) doc += "</Folder>";
    doc += "</kml>";
    const std::string path = Write(dir / "in" / "deep.kml", doc);
    try {
      globe->OpenKmlFile(path, 1);
      FAIL() << "a tree " << depth << " deep was loaded";
    } catch (const automation::AutomationError& e) {
      EXPECT_NE(std::string(e.what()).find("elements nested deeper than 1000 levels at line 2, column "),
                std::string::npos)
          << e.what();
    }
    globe->Paint();
  }
  ASSERT_EQ(globe->temporaryPlaces()->children().size(), 1u);
  EXPECT_EQ(globe->temporaryPlaces()->children()[0]->get_Name(), "kept");

  std::string ok = "<kml>";
  for (int k = 0; k < 998; ++k) ok += "<Folder>";
  for (int k = 0; k < 998; ++k) ok += "</Folder>";
  EXPECT_TRUE(earth::LoadKmlText(ok + "</kml>").root) << "998 folders in the root element are fine";
}

TEST_F(KmlHostileTest, LinksToThemselvesLoadOnce) {
  std::vector<std::string> hrefs(30, "self.kml");
  hrefs.push_back("./self.kml");
  hrefs.push_back((dir / "in" / "self.kml").string());
  hrefs.push_back("file://" + (dir / "in" / "self.kml").string());
  const std::string path = Write(dir / "in" / "self.kml", Links(hrefs));
  const auto r = earth::LoadKmlFile(path);
  ASSERT_TRUE(r.root) << r.error;
  for (const auto& link : r.root->children()) EXPECT_EQ(Loaded(*link), 0u) << "the file is open already";

  // Two files linking each other, twenty times over: each loads once.
  const std::string a = Write(dir / "in" / "a.kml", Links(std::vector<std::string>(20, "b.kml")));
  Write(dir / "in" / "b.kml", Links(std::vector<std::string>(20, "a.kml")));
  const auto ab = earth::LoadKmlFile(a);
  ASSERT_TRUE(ab.root) << ab.error;
  std::size_t loads = 0;
  for (const auto& link : ab.root->children()) loads += Loaded(*link);
  EXPECT_EQ(loads, 1u);
}

TEST_F(KmlHostileTest, LinkedFilesStopAtTheirDepthCountAndBytes) {
  // A chain of ten files: the links are followed kMaxLinkDepth deep.
  for (int k = 0; k < 10; ++k)
    Write(dir / "in" / ("c" + std::to_string(k) + ".kml"),
          Links({"c" + std::to_string(k + 1) + ".kml"}));
  auto chain = earth::LoadKmlFile((dir / "in" / "c0.kml").string());
  ASSERT_TRUE(chain.root) << chain.error;
  int depth = 0;
  for (const earth::Feature* doc = chain.root.get(); Loaded(*doc->children()[0]) == 1; ++depth)
    doc = doc->children()[0]->children()[0].get();
  EXPECT_EQ(depth, earth::kMaxLinkDepth);

  // A fan of 150 files: kMaxLinkedFiles of them are loaded.
  std::vector<std::string> fan;
  for (int k = 0; k < 150; ++k) {
    fan.push_back("f" + std::to_string(k) + ".kml");
    Write(dir / "in" / fan.back(), "<kml><Document><name>f</name></Document></kml>");
  }
  auto wide = earth::LoadKmlFile(Write(dir / "in" / "fan.kml", Links(fan)));
  ASSERT_TRUE(wide.root) << wide.error;
  std::size_t loads = 0;
  for (const auto& link : wide.root->children()) loads += Loaded(*link);
  EXPECT_EQ(loads, earth::kMaxLinkedFiles);

  // A file past the byte budget (sparse: nothing is written) is not read;
  // a small one after it still is.
  std::ofstream(dir / "in" / "huge.kml").close();
  fs::resize_file(dir / "in" / "huge.kml", earth::kMaxLinkedBytes + 1);
  auto sized = earth::LoadKmlFile(Write(dir / "in" / "sized.kml", Links({"huge.kml", "f0.kml"})));
  ASSERT_TRUE(sized.root) << sized.error;
  EXPECT_EQ(Loaded(*sized.root->children()[0]), 0u);
  EXPECT_EQ(Loaded(*sized.root->children()[1]), 1u);
}

TEST_F(KmlHostileTest, LinksLeadOnlyToRegularFilesInTheOpenedFilesFolder) {
  fs::create_directories(dir / "in" / "sub");
  Write(dir / "in" / "sub" / "below.kml", "<kml><Document><name>below</name></Document></kml>");
  Write(dir / "outside.kml", "<kml><Document><name>outside</name></Document></kml>");
  ASSERT_EQ(::mkfifo((dir / "in" / "fifo.kml").c_str(), 0600), 0);
  fs::create_directories(dir / "in" / "folder.kml");
  const std::string path = Write(dir / "in" / "top.kml",
                                 Links({"sub/below.kml", "../outside.kml", (dir / "outside.kml").string(),
                                        "file://" + (dir / "outside.kml").string(), "/etc/passwd",
                                        "fifo.kml", "folder.kml", "/dev/zero", "http://example.org/a.kml",
                                        "missing.kml", "sub/../sub/below.kml"}));
  const auto r = earth::LoadKmlFile(path);
  ASSERT_TRUE(r.root) << r.error;
  const auto& links = r.root->children();
  ASSERT_EQ(links.size(), 11u);
  ASSERT_EQ(Loaded(*links[0]), 1u);
  EXPECT_EQ(links[0]->children()[0]->get_Name(), "below");
  for (std::size_t k = 1; k < links.size(); ++k) EXPECT_EQ(Loaded(*links[k]), 0u) << "link " << k;
}

TEST_F(KmlHostileTest, MalformedAndOversizedDocumentsAreRefusedWithLineAndColumn) {
  struct Case {
    std::string text;
    std::string message;
  };
  const std::string longAttribute =
      "<kml>\n<Document id='" + std::string(sax::SaxReader::kMaxMarkupBytes + (1 << 20), 'x') + "'/></kml>";
  std::string manyFolders = "<kml><Document>\n";
  for (int k = 0; k < 200000; ++k) manyFolders += "<Folder/>";
  manyFolders += "</Document></kml>";
  const Case cases[] = {
      {"<kml><Document>\n  <Placemark></Document></kml>", "mismatched tag at line 2, column 16"},
      {"<kml><Document></Document></kml>\n<kml/>", "junk after document element at line 2, column 1"},
      {"", "no element found at line 1, column 1"},
      {longAttribute, "markup (a tag, attribute or comment) longer than 8 MB at line 2"},
      {manyFolders, "more features than a file of this size may hold ("},
  };
  for (const Case& c : cases) {
    const std::string path = Write(dir / "in" / "bad.kml", c.text);
    for (const earth::KmlLoadOptions& o : {earth::KmlLoadOptions{1, 0}, earth::KmlLoadOptions{3, 4096}}) {
      const auto r = earth::LoadKmlFile(path, o);
      EXPECT_FALSE(r.root);
      EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error.substr(0, 200);
    }
  }
}

TEST_F(KmlHostileTest, AnElementsTextIsKeptUpToItsLimit) {
  const std::string name(earth::PlacesBuilder::kMaxText + 1000, 'n');
  const std::string path = Write(dir / "in" / "long.kml", "<kml><Document><name>" + name + "</name></Document></kml>");
  const auto r = earth::LoadKmlFile(path);
  ASSERT_TRUE(r.root) << r.error;
  EXPECT_EQ(r.root->get_Name().size(), earth::PlacesBuilder::kMaxText);
}

TEST_F(KmlHostileTest, LongCoordinatesAreReadAsTheyComeAndJunkTuplesDropped) {
  std::string coords;
  for (int k = 0; k < 300000; ++k)
    coords += std::to_string(k % 360 - 180) + "." + std::to_string(k % 997) + "," + std::to_string(k % 180 - 90) + ".5\n ";
  // Too long to be a number; its tail alone would read as 0,5.
  const std::string junk = "1" + std::string(earth::PlacesBuilder::kMaxText + 5, '0') + ",5";
  const std::string text = "<kml><Placemark><LineString><coordinates>" + coords + junk + " 1,2 " + junk +
                           "</coordinates></LineString></Placemark></kml>";
  const auto r = earth::LoadKmlFile(Write(dir / "in" / "long.kml", text));
  ASSERT_TRUE(r.root) << r.error;
  std::vector<earth::StoredPoint> expected;
  earth::ParseCoordinates(coords + " 1,2", expected);
  const earth::PointRange line = r.root->geometry(0).coords();
  ASSERT_EQ(line.size(), expected.size());
  for (std::size_t k = 0; k < line.size(); k += 997) {
    EXPECT_EQ(line[k].lon, expected[k].ToGeo().lon);
    EXPECT_EQ(line[k].lat, expected[k].ToGeo().lat);
  }
  EXPECT_NEAR(line[line.size() - 1].lat, 2, 1e-9);
}

TEST_F(KmlHostileTest, FifosAndFoldersAreNotOpened) {
  ASSERT_EQ(::mkfifo((dir / "in" / "pipe.kml").c_str(), 0600), 0);
  for (const fs::path& p : {dir / "in" / "pipe.kml", dir / "in", fs::path("/dev/zero")}) {
    const auto r = earth::LoadKmlFile(p.string());
    EXPECT_FALSE(r.root);
    EXPECT_NE(r.error.find("not a regular file"), std::string::npos) << r.error;
  }
}

}  // namespace
}  // namespace altimar::testing
