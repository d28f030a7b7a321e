#include "platform/sax/sax_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace altimar::testing {
namespace {

struct Recorder : sax::ContentHandler, sax::ErrorHandler {
  void startElement(std::string_view uri, std::string_view local, std::string_view qName,
                    const sax::Attributes& atts) override {
    events.push_back("start " + std::string(qName) + " (" + std::string(local) + " in " + std::string(uri) + ")");
    if (const auto id = atts.getValueFromLocalName("id")) events.push_back("id=" + std::string(*id));
  }
  void endElement(std::string_view, std::string_view, std::string_view qName) override {
    events.push_back("end " + std::string(qName));
  }
  void characters(std::string_view t) override { text.append(t); }
  void fatalError(const std::string& message, long line, long) override {
    error = message;
    errorLine = line;
  }
  std::vector<std::string> events;
  std::string text, error;
  long errorLine = 0;
};

TEST(SaxReader, ReportsQualifiedAndLocalNamesAndAttributesByLocalName) {
  Recorder r;
  sax::SaxReader reader;
  reader.setContentHandler(&r);
  reader.setErrorHandler(&r);
  ASSERT_TRUE(reader.parse(
      "<kml xmlns='http://www.opengis.net/kml/2.2' xmlns:gx='urn:gx'>"
      "<gx:Tour x:id='t1' xmlns:x='urn:x'>a &amp; b</gx:Tour></kml>"));
  EXPECT_EQ(r.events, (std::vector<std::string>{
                          "start kml (kml in http://www.opengis.net/kml/2.2)",
                          "start gx:Tour (Tour in urn:gx)", "id=t1", "end gx:Tour", "end kml"}));
  EXPECT_EQ(r.text, "a & b");
}

TEST(SaxReader, MalformedInputStopsWithAnErrorAndItsLine) {
  Recorder r;
  sax::SaxReader reader;
  reader.setContentHandler(&r);
  reader.setErrorHandler(&r);
  EXPECT_FALSE(reader.parse("<a>\n<b></a>"));
  EXPECT_EQ(r.errorLine, 2);
  EXPECT_FALSE(r.error.empty());
  EXPECT_FALSE(reader.parse(""));
  EXPECT_FALSE(reader.parseURL("/nonexistent/file.kml"));
  EXPECT_NE(reader.lastError().find("cannot open"), std::string::npos);
}

TEST(SaxReader, EntityExpansionBombsAreRefused) {
  // Each entity stands for ten of the one before: 10^10 characters in all.
  std::string doc = "<!DOCTYPE d [<!ENTITY a 'aaaaaaaaaa'>";
  char prev = 'a';
  for (char e = 'b'; e <= 'k'; ++e, ++prev) {
    doc += std::string("<!ENTITY ") + e + " '";
    for (int k = 0; k < 10; ++k) doc += std::string("&") + prev + ";";
    doc += "'>";
  }
  doc += "]><d>&k;</d>";
  Recorder r;
  sax::SaxReader reader;
  reader.setContentHandler(&r);
  EXPECT_FALSE(reader.parse(doc));
  EXPECT_LT(r.text.size(), 100000000u);
}

}  // namespace
}  // namespace altimar::testing
