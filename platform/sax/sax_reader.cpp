#include "platform/sax/sax_reader.h"

#include <expat.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace altimar::sax {
namespace {

constexpr char kNsSeparator = '\x01';

// A name as expat reports it: "uri SEP local SEP prefix", or "local" alone
// outside any namespace. The qualified name is "prefix:local", built in
// qNameBuffer only when there is a prefix.
struct Name {
  std::string_view uri, local, qName;
};

// Without namespace processing the name is "prefix:local" as written.
Name SplitPlainName(const XML_Char* raw) {
  const std::string_view s(raw);
  const auto colon = s.find(':');
  return {{}, colon == std::string_view::npos ? s : s.substr(colon + 1), s};
}

Name SplitName(const XML_Char* raw, std::string& qNameBuffer) {
  const std::string_view s(raw);
  const auto a = s.find(kNsSeparator);
  if (a == std::string_view::npos) return {{}, s, s};
  Name n;
  n.uri = s.substr(0, a);
  const std::string_view rest = s.substr(a + 1);
  const auto b = rest.find(kNsSeparator);
  n.local = rest.substr(0, b);
  n.qName = n.local;
  if (b != std::string_view::npos) {
    const std::string_view prefix = rest.substr(b + 1);
    qNameBuffer.assign(prefix).append(":").append(n.local);
    n.qName = qNameBuffer;
  }
  return n;
}

// Owns a file descriptor.
struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

std::optional<std::string_view> Attributes::getValueFromLocalName(std::string_view localName) const {
  for (const auto& a : items_)
    if (a.localName == localName) return a.value;
  return std::nullopt;
}

// One parse: owns the expat parser and forwards its callbacks.
class SaxReader::Session {
 public:
  Session(ContentHandler* content, bool namespaces) : content_(content), namespaces_(namespaces) {
    parser_ = namespaces ? XML_ParserCreateNS(nullptr, kNsSeparator) : XML_ParserCreate(nullptr);
    if (!parser_) return;
    if (namespaces) XML_SetReturnNSTriplet(parser_, 1);
    XML_SetUserData(parser_, this);
    if (content_) {
      XML_SetElementHandler(parser_, &Start, &End);
      XML_SetCharacterDataHandler(parser_, &Chars);
    }
  }
  ~Session() {
    if (parser_) XML_ParserFree(parser_);
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  bool ok() const { return parser_ != nullptr; }

  void Begin() {
    if (!started_ && content_) content_->startDocument();
    started_ = true;
  }
  // Parses data held by the caller.
  bool Feed(const char* data, std::size_t n, bool last) {
    Begin();
    // expat takes int lengths: feed large blocks in pieces.
    constexpr std::size_t kMax = 1u << 30;
    while (n > kMax) {
      if (XML_Parse(parser_, data, static_cast<int>(kMax), 0) != XML_STATUS_OK) return false;
      data += kMax;
      n -= kMax;
    }
    return XML_Parse(parser_, data, static_cast<int>(n), last ? 1 : 0) == XML_STATUS_OK;
  }
  // The parser's own buffer, to read into without a copy.
  void* Buffer(int n) { return XML_GetBuffer(parser_, n); }
  bool FeedBuffer(int n, bool last) {
    Begin();
    return XML_ParseBuffer(parser_, n, last ? 1 : 0) == XML_STATUS_OK;
  }
  void Finish() {
    if (content_) content_->endDocument();
  }
  std::string Error() const {
    const char* s = XML_ErrorString(XML_GetErrorCode(parser_));
    return s ? s : "malformed XML";
  }
  long Line() const { return static_cast<long>(XML_GetCurrentLineNumber(parser_)); }
  // 1-based, as editors count.
  long Column() const { return static_cast<long>(XML_GetCurrentColumnNumber(parser_)) + 1; }

 private:
  static void Start(void* self, const XML_Char* name, const XML_Char** atts) {
    auto* s = static_cast<Session*>(self);
    const Name n = s->Split(name, s->qName_);
    std::size_t count = 0;
    while (atts[2 * count]) ++count;
    if (s->attrQNames_.size() < count) s->attrQNames_.resize(count);
    auto& items = s->attrs_.items_;
    items.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
      const Name an = s->Split(atts[2 * i], s->attrQNames_[i]);
      items[i] = {an.uri, an.local, an.qName, atts[2 * i + 1]};
    }
    s->content_->startElement(n.uri, n.local, n.qName, s->attrs_);
  }
  static void End(void* self, const XML_Char* name) {
    auto* s = static_cast<Session*>(self);
    const Name n = s->Split(name, s->qName_);
    s->content_->endElement(n.uri, n.local, n.qName);
  }
  static void Chars(void* self, const XML_Char* text, int len) {
    auto* s = static_cast<Session*>(self);
    s->content_->characters(std::string_view(text, static_cast<std::size_t>(len)));
  }

  Name Split(const XML_Char* raw, std::string& qNameBuffer) const {
    return namespaces_ ? SplitName(raw, qNameBuffer) : SplitPlainName(raw);
  }

  XML_Parser parser_;
  ContentHandler* content_;
  bool namespaces_;
  bool started_ = false;
  std::string qName_;
  std::vector<std::string> attrQNames_;
  Attributes attrs_;
};

bool SaxReader::Fail(const std::string& message, long line, long column) {
  lastError_ = message;
  if (line > 0) lastError_ += " at line " + std::to_string(line) + ", column " + std::to_string(column);
  lastErrorLine_ = line;
  lastErrorColumn_ = column;
  if (errors_) errors_->fatalError(message, line, column);
  return false;
}

bool SaxReader::parse(std::string_view text) {
  lastError_.clear();
  Session session(content_, namespaces_);
  if (!session.ok()) return Fail("out of memory", 0, 0);
  if (!session.Feed(text.data(), text.size(), true))
    return Fail(session.Error(), session.Line(), session.Column());
  session.Finish();
  return true;
}

bool SaxReader::parseURL(const std::string& path) {
  lastError_.clear();
  // Opened without blocking and checked before a byte is read: a FIFO or a
  // device would hang the reader or never end.
  Fd f{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (f.fd < 0) return Fail("cannot open " + path + ": " + std::strerror(errno), 0, 0);
  struct stat st {};
  if (::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode))
    return Fail("cannot open " + path + ": not a regular file", 0, 0);
  Session session(content_, namespaces_);
  if (!session.ok()) return Fail("out of memory", 0, 0);
  constexpr int kBlock = 1 << 18;
  for (;;) {
    void* buf = session.Buffer(kBlock);
    if (!buf) return Fail("out of memory", 0, 0);
    const ssize_t n = ::read(f.fd, buf, kBlock);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      return Fail("cannot read " + path + ": " + std::strerror(errno), 0, 0);
    }
    const bool last = n == 0;
    if (!session.FeedBuffer(static_cast<int>(n), last))
      return Fail(session.Error(), session.Line(), session.Column());
    if (last) break;
  }
  session.Finish();
  return true;
}

}  // namespace altimar::sax
