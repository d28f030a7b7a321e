#include "platform/sax/sax_reader.h"

#include <expat.h>

#include <cstdio>
#include <memory>

namespace altimar::sax {
namespace {

constexpr char kNsSeparator = '\x01';

// Splits expat's "uri SEP local SEP prefix" triplet.
void SplitName(const XML_Char* raw, std::string& uri, std::string& local, std::string& qName) {
  std::string_view s(raw);
  std::string_view prefix;
  auto a = s.find(kNsSeparator);
  if (a == std::string_view::npos) {
    uri.clear();
    local.assign(s);
  } else {
    uri.assign(s.substr(0, a));
    auto rest = s.substr(a + 1);
    auto b = rest.find(kNsSeparator);
    local.assign(rest.substr(0, b));
    if (b != std::string_view::npos) prefix = rest.substr(b + 1);
  }
  qName = prefix.empty() ? local : std::string(prefix) + ":" + local;
}

}  // namespace

const std::string* Attributes::getValueFromLocalName(std::string_view localName) const {
  for (const auto& a : items_)
    if (a.localName == localName) return &a.value;
  return nullptr;
}

// One parse: owns the expat parser and forwards its callbacks.
class SaxReader::Session {
 public:
  explicit Session(ContentHandler* content) : content_(content) {
    parser_ = XML_ParserCreateNS(nullptr, kNsSeparator);
    XML_SetReturnNSTriplet(parser_, 1);
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &Start, &End);
    XML_SetCharacterDataHandler(parser_, &Chars);
  }
  ~Session() { XML_ParserFree(parser_); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  bool Feed(const char* data, std::size_t n, bool last) {
    if (!started_ && content_) content_->startDocument();
    started_ = true;
    // expat takes int lengths: feed large blocks in pieces.
    constexpr std::size_t kMax = 1u << 30;
    while (n > kMax) {
      if (XML_Parse(parser_, data, static_cast<int>(kMax), 0) != XML_STATUS_OK) return false;
      data += kMax;
      n -= kMax;
    }
    return XML_Parse(parser_, data, static_cast<int>(n), last ? 1 : 0) == XML_STATUS_OK;
  }
  void Finish() {
    if (content_) content_->endDocument();
  }
  std::string Error() const { return XML_ErrorString(XML_GetErrorCode(parser_)); }
  long Line() const { return static_cast<long>(XML_GetCurrentLineNumber(parser_)); }
  long Column() const { return static_cast<long>(XML_GetCurrentColumnNumber(parser_)); }

 private:
  static void Start(void* self, const XML_Char* name, const XML_Char** atts) {
    auto* s = static_cast<Session*>(self);
    if (!s->content_) return;
    SplitName(name, s->uri_, s->local_, s->qName_);
    s->attrs_.items_.clear();
    for (int i = 0; atts[i]; i += 2) {
      Attribute a;
      SplitName(atts[i], a.uri, a.localName, a.qName);
      a.value = atts[i + 1];
      s->attrs_.items_.push_back(std::move(a));
    }
    s->content_->startElement(s->uri_, s->local_, s->qName_, s->attrs_);
  }
  static void End(void* self, const XML_Char* name) {
    auto* s = static_cast<Session*>(self);
    if (!s->content_) return;
    SplitName(name, s->uri_, s->local_, s->qName_);
    s->content_->endElement(s->uri_, s->local_, s->qName_);
  }
  static void Chars(void* self, const XML_Char* text, int len) {
    auto* s = static_cast<Session*>(self);
    if (s->content_) s->content_->characters(std::string_view(text, static_cast<std::size_t>(len)));
  }

  XML_Parser parser_;
  ContentHandler* content_;
  bool started_ = false;
  std::string uri_, local_, qName_;
  Attributes attrs_;
};

bool SaxReader::Fail(const std::string& message, long line, long column) {
  lastError_ = message;
  if (errors_) errors_->fatalError(message, line, column);
  return false;
}

bool SaxReader::parse(std::string_view text) {
  lastError_.clear();
  Session session(content_);
  if (!session.Feed(text.data(), text.size(), true))
    return Fail(session.Error(), session.Line(), session.Column());
  session.Finish();
  return true;
}

bool SaxReader::parseURL(const std::string& path) {
  lastError_.clear();
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!f) return Fail("cannot open " + path, 0, 0);
  Session session(content_);
  char buf[1 << 16];
  for (;;) {
    const std::size_t n = std::fread(buf, 1, sizeof buf, f.get());
    if (std::ferror(f.get())) return Fail("cannot read " + path, 0, 0);
    const bool last = n < sizeof buf;
    if (!session.Feed(buf, n, last)) return Fail(session.Error(), session.Line(), session.Column());
    if (last) break;
  }
  session.Finish();
  return true;
}

}  // namespace altimar::sax
