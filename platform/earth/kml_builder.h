// Builds the globe's feature tree from KML as the SAX reader walks it. The
// outermost feature (usually the Document) becomes the root; every feature
// shares the document's geometry and styles.
//
// A big file may be read in parts at once (see kml_places.cpp): each part
// after the first is read from a split point, after a made-up prefix of the
// start tags of the elements open there, whose features stand in for the
// real ones until the parts are joined. A part checks where it ends: the
// next part's split point must be a start tag with the same elements open.
#pragma once

#include <atomic>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/earth/features.h"
#include "platform/sax/sax_reader.h"

namespace altimar::earth {

enum class KmlTag : std::uint8_t;

class PlacesBuilder final : public sax::ContentHandler {
 public:
  // Limits for hostile documents. Elements nest at most kMaxDepth deep
  // (trees that deep would exhaust the stack of whoever walks them). The
  // features of a document take at most kFeatureBytes each, and may take
  // kBytesPerFileByte times the bytes read so far plus kSpareBytes; with the
  // geometry (at most 3 bytes a byte of coordinates text) and the texts kept
  // (at most the file's size, one element's text at most kMaxText;
  // coordinates are read as they come), a document takes at most about
  // 8 times its size plus 30 MB, a contour document about 0.25 times its
  // size.
  static constexpr std::size_t kMaxDepth = 1000;
  static constexpr std::size_t kFeatureBytes = 256;
  static constexpr long long kBytesPerFileByte = 4;
  static constexpr long long kSpareBytes = 16ll << 20;
  static constexpr std::size_t kMaxText = 1u << 20;

  PlacesBuilder(sax::SaxReader& reader);
  ~PlacesBuilder() override;

  void startElement(std::string_view uri, std::string_view localName, std::string_view qName,
                    const sax::Attributes& atts) override;
  void endElement(std::string_view uri, std::string_view localName, std::string_view qName) override;
  void characters(std::string_view text) override;

  // The finished tree; the root is named fallbackName when the document names none.
  std::shared_ptr<Feature> Finish(const std::string& fallbackName);

  // Network links and the href each names.
  std::vector<std::pair<std::shared_ptr<Feature>, std::string>> links_;
  std::string error_;  // why loading failed though the XML was sound, if it did

  // --- reading in parts ---
  // Called once, when the first placemark starts, with the names of the
  // elements open there and the byte index of its start tag.
  std::function<void(const std::vector<std::string>& open, long long at)> onFirstPlacemark;
  // Ends this part at the start tag at byte `at`, which must have the
  // elements `open` open. For the first part, `finish(matched)` is called
  // there (or where that turns out false): true stops the part (the parts
  // after it take over), false reads on alone. A later part has no
  // `finish`: it stops there, failed unless it matched.
  void EndPartAt(long long at, std::vector<std::string> open, std::function<bool(bool matched)> finish);
  // This part's text starts at byte `at`: features opened before (by the
  // prefix) are stand-ins.
  void BeginPartAt(long long at) { partBegin_ = at; }
  // Set from another thread to make the part give up at its next element.
  void set_cancel(const std::atomic<bool>* cancel) { cancel_ = cancel; }
  // The part met its end as expected (or, for the first, handed over there).
  bool endedAtSplit() const { return endedAtSplit_; }
  // The part cannot be joined: its end did not match, or it gave a stand-in
  // something a join cannot carry over.
  bool failed() const { return failed_; }
  // Takes over a later part that ended where this one did: its stand-ins'
  // children go to the features open here, its styles, geometry and links
  // follow this one's. False when the two do not fit (nothing is changed).
  bool Absorb(PlacesBuilder& part);
  // Whether Absorb(part) would take it after parts holding featuresBefore
  // features in all (this one's included): it did not fail, it stands in
  // for the features open here, and its features fit the file's budget.
  bool CanAbsorb(const PlacesBuilder& part, std::size_t featuresBefore) const;
  std::size_t featureCount() const { return featureCount_; }

 private:
  struct Open {
    std::shared_ptr<Feature> feature;
    std::size_t depth;  // tags_.size() while it is open
    bool isLink;
    int standIn;        // index in standIns_, or -1
  };
  struct StandIn {
    std::shared_ptr<Feature> feature;
    std::optional<std::string> name;
    std::optional<int> visibility;
  };

  KmlTag Parent(std::size_t up) const;
  void Collect(bool on);
  void End(KmlTag tag, KmlTag parent);
  void BeginRing(bool hole);
  void AppendCoordinates(std::string_view t);
  void EndRing();
  void CommitGeometry();
  bool AtPartEnd();
  void OpenFeature(KmlTag tag);
  // Stops the reading with an error at the element being read.
  void Refuse(const std::string& why);

  sax::SaxReader& reader_;
  std::shared_ptr<PlaceDocument> document_;
  std::vector<KmlTag> tags_;
  std::vector<Open> stack_;
  std::shared_ptr<Feature> root_;
  std::vector<Feature*> features_;  // every feature made here, stand-ins apart
  std::size_t featureCount_ = 0;  // stand-ins apart
  long long worstMargin_ = std::numeric_limits<long long>::min();  // see OpenFeature

  bool collect_ = false;
  std::string text_;  // the collected text of the element that is ending

  KmlStyle style_;
  std::string styleId_, styleMapId_, pairKey_, pairUrl_;
  bool inStyle_ = false, styleInPlacemark_ = false;

  std::size_t geometryDepth_ = 0;  // tags_.size() while a geometry is open, else 0
  GeometryKind geometryKind_ = GeometryKind::Point;
  bool geometryLifted_ = false;  // its altitudeMode puts it above the ground
  Feature* geometryOwner_ = nullptr;
  int geometryOwnerStandIn_ = -1;
  std::vector<StoredPoint> outer_, holes_;  // the outer ring; the inner ones, one after another
  std::vector<std::pair<std::size_t, std::size_t>> holeRanges_;
  std::optional<bool> ringHole_;  // while reading coordinates: into a hole, or the outer ring
  std::size_t holeBegin_ = 0;
  std::size_t lastBlank_ = std::string::npos;  // in text_, the last blank not yet read up to
  bool skipTuple_ = false;
  static constexpr std::size_t kCoordinatesChunk = 64u << 10;
  std::vector<std::uint32_t> ringEnds_;

  // Reading in parts.
  std::vector<std::string> openNames_;  // qualified names of open elements, up to namesDepth_
  std::size_t namesDepth_ = static_cast<std::size_t>(-1);
  bool firstPlacemarkSeen_ = false;
  long long partBegin_ = -1;
  std::optional<long long> partEnd_;
  std::vector<std::string> partEndOpen_;
  std::function<bool(bool matched)> partFinish_;
  const std::atomic<bool>* cancel_ = nullptr;
  std::vector<StandIn> standIns_;
  bool endedAtSplit_ = false, failed_ = false;
};

}  // namespace altimar::earth
