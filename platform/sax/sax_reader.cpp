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
// Names are short: one pass finds both the end and the prefix's colon.
Name SplitPlainName(const XML_Char* raw) {
  const char* local = raw;
  const char* p = raw;
  for (; *p; ++p)
    if (*p == ':' && local == raw) local = p + 1;
  const std::string_view whole(raw, static_cast<std::size_t>(p - raw));
  return {{}, std::string_view(local, static_cast<std::size_t>(p - local)), whole};
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
  Session(SaxReader& reader, bool namespaces)
      : reader_(reader), content_(reader.content_), namespaces_(namespaces) {
    parser_ = namespaces ? XML_ParserCreateNS(nullptr, kNsSeparator) : XML_ParserCreate(nullptr);
    if (!parser_) return;
    if (namespaces) XML_SetReturnNSTriplet(parser_, 1);
    XML_SetUserData(parser_, this);
    reader_.active_ = this;
    reader_.stopped_ = false;
    reader_.declaredEncoding_.clear();
    reader_.hasDoctype_ = false;
    XML_SetXmlDeclHandler(parser_, &Declaration);
    XML_SetStartDoctypeDeclHandler(parser_, &Doctype);
    // Markup nobody reads still shows that the parser moves on.
    XML_SetCommentHandler(parser_, [](void* self, const XML_Char*) { ++static_cast<Session*>(self)->events_; });
    XML_SetProcessingInstructionHandler(
        parser_, [](void* self, const XML_Char*, const XML_Char*) { ++static_cast<Session*>(self)->events_; });
    XML_SetCdataSectionHandler(
        parser_, [](void* self) { ++static_cast<Session*>(self)->events_; },
        [](void* self) { ++static_cast<Session*>(self)->events_; });
    if (content_) {
      XML_SetElementHandler(parser_, &Start, &End);
      XML_SetCharacterDataHandler(parser_, &Chars);
    }
  }
  ~Session() {
    if (parser_) XML_ParserFree(parser_);
    reader_.active_ = nullptr;
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  bool ok() const { return parser_ != nullptr; }
  std::uint64_t events() const { return events_; }
  long CurrentLine() const { return static_cast<long>(XML_GetCurrentLineNumber(parser_)); }
  long long ByteIndex() const { return static_cast<long long>(XML_GetCurrentByteIndex(parser_)); }
  void Stop() {
    if (XML_StopParser(parser_, XML_FALSE) == XML_STATUS_OK) reader_.stopped_ = true;
  }
  // A parse call's result: true when it went well or a handler stopped it.
  bool Went(XML_Status status) const {
    return status == XML_STATUS_OK ||
           (reader_.stopped_ && XML_GetErrorCode(parser_) == XML_ERROR_ABORTED);
  }

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
      if (!Went(XML_Parse(parser_, data, static_cast<int>(kMax), 0))) return false;
      if (reader_.stopped_) return true;
      data += kMax;
      n -= kMax;
    }
    return Went(XML_Parse(parser_, data, static_cast<int>(n), last ? 1 : 0));
  }
  // The parser's own buffer, to read into without a copy.
  void* Buffer(int n) { return XML_GetBuffer(parser_, n); }
  bool FeedBuffer(int n, bool last) {
    Begin();
    return Went(XML_ParseBuffer(parser_, n, last ? 1 : 0));
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
  static void Declaration(void* self, const XML_Char*, const XML_Char* encoding, int) {
    auto* s = static_cast<Session*>(self);
    s->reader_.declaredEncoding_ = encoding ? encoding : "";
  }
  static void Doctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    static_cast<Session*>(self)->reader_.hasDoctype_ = true;
  }
  static void Start(void* self, const XML_Char* name, const XML_Char** atts) {
    auto* s = static_cast<Session*>(self);
    ++s->events_;
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
    ++s->events_;
    const Name n = s->Split(name, s->qName_);
    s->content_->endElement(n.uri, n.local, n.qName);
  }
  static void Chars(void* self, const XML_Char* text, int len) {
    auto* s = static_cast<Session*>(self);
    ++s->events_;
    s->content_->characters(std::string_view(text, static_cast<std::size_t>(len)));
  }

  Name Split(const XML_Char* raw, std::string& qNameBuffer) const {
    return namespaces_ ? SplitName(raw, qNameBuffer) : SplitPlainName(raw);
  }

  SaxReader& reader_;
  XML_Parser parser_;
  ContentHandler* content_;
  bool namespaces_;
  bool started_ = false;
  std::uint64_t events_ = 0;
  std::string qName_;
  std::vector<std::string> attrQNames_;
  Attributes attrs_;
};

bool SaxReader::Fail(const std::string& message, long line, long column) {
  lastError_ = message;
  if (line > 0) lastError_ += " at line " + std::to_string(line);
  if (line > 0 && column > 0) lastError_ += ", column " + std::to_string(column);
  lastErrorLine_ = line;
  lastErrorColumn_ = column;
  if (errors_) errors_->fatalError(message, line, column);
  return false;
}

long SaxReader::currentLine() const { return active_ ? active_->Line() : 0; }
long SaxReader::currentColumn() const { return active_ ? active_->Column() : 0; }

long long SaxReader::currentByteIndex() const {
  return active_ ? active_->ByteIndex() + indexShift_ : -1;
}

void SaxReader::stop() {
  if (active_) active_->Stop();
}

bool SaxReader::parse(std::string_view text) {
  lastError_.clear();
  indexShift_ = 0;
  Session session(*this, namespaces_);
  if (!session.ok()) return Fail("out of memory", 0, 0);
  if (!session.Feed(text.data(), text.size(), true))
    return Fail(session.Error(), session.Line(), session.Column());
  if (!stopped_) session.Finish();
  return true;
}

bool SaxReader::parseURL(const std::string& path) { return ParseFile(path, 0, {}); }

bool SaxReader::parseFileFrom(const std::string& path, std::uint64_t from, std::string_view prefix) {
  return ParseFile(path, from, prefix);
}

bool SaxReader::ParseFile(const std::string& path, std::uint64_t from, std::string_view prefix) {
  lastError_.clear();
  // Opened without blocking and checked before a byte is read: a FIFO or a
  // device would hang the reader or never end.
  Fd f{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (f.fd < 0) return Fail("cannot open " + path + ": " + std::strerror(errno), 0, 0);
  struct stat st {};
  if (::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode))
    return Fail("cannot open " + path + ": not a regular file", 0, 0);
  if (from > 0 && ::lseek(f.fd, static_cast<off_t>(from), SEEK_SET) < 0)
    return Fail("cannot read " + path + ": " + std::strerror(errno), 0, 0);
  // A part is read as UTF-8 by expat's default (naming the encoding would
  // make expat take a slower path for the same result).
  Session session(*this, namespaces_);
  if (!session.ok()) return Fail("out of memory", 0, 0);
  indexShift_ = static_cast<long long>(from) - static_cast<long long>(prefix.size());
  if (!prefix.empty() && !session.Feed(prefix.data(), prefix.size(), false))
    return Fail(session.Error(), session.Line(), session.Column());
  constexpr int kBlock = 1 << 18;
  std::uint64_t eventsBefore = 0, quietBytes = 0;
  while (!stopped_) {
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
    // The parser holds a piece of markup whole until it ends: a tag, an
    // attribute value or a comment that runs on would take memory without
    // bound.
    quietBytes = session.events() == eventsBefore ? quietBytes + static_cast<std::uint64_t>(n) : 0;
    eventsBefore = session.events();
    if (quietBytes > kMaxMarkupBytes)
      return Fail("markup (a tag, attribute or comment) longer than " +
                      std::to_string(kMaxMarkupBytes >> 20) + " MB",
                  session.CurrentLine(), 0);
  }
  if (!stopped_) session.Finish();
  return true;
}

}  // namespace altimar::sax
