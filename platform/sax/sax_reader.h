// A SAX reader over expat: content handlers receive elements with their
// qualified and local names and character data as it is delivered; an error
// handler receives the first fatal error. Inputs are untrusted: expat's
// entity-expansion limits apply and no external entity is ever loaded.
//
// Names, attributes and text are views into the reader's buffers: they are
// valid during the call that receives them only. Nothing is copied per event
// unless a name has a prefix (its qualified name is then built once).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace altimar::sax {

struct Attribute {
  std::string_view uri;
  std::string_view localName;
  std::string_view qName;
  std::string_view value;
};

class Attributes {
 public:
  int getLength() const { return static_cast<int>(items_.size()); }
  const Attribute& item(int i) const { return items_[static_cast<std::size_t>(i)]; }
  // Value of the first attribute with this local name.
  std::optional<std::string_view> getValueFromLocalName(std::string_view localName) const;

  std::vector<Attribute> items_;
};

class ContentHandler {
 public:
  virtual ~ContentHandler() = default;
  virtual void startDocument() {}
  virtual void endDocument() {}
  virtual void startElement(std::string_view uri, std::string_view localName,
                            std::string_view qName, const Attributes& attributes) {
    (void)uri, (void)localName, (void)qName, (void)attributes;
  }
  virtual void endElement(std::string_view uri, std::string_view localName,
                          std::string_view qName) {
    (void)uri, (void)localName, (void)qName;
  }
  // Character data, possibly split into several calls.
  virtual void characters(std::string_view text) { (void)text; }
};

class ErrorHandler {
 public:
  virtual ~ErrorHandler() = default;
  virtual void fatalError(const std::string& message, long line, long column) = 0;
};

class SaxReader {
 public:
  void setContentHandler(ContentHandler* handler) { content_ = handler; }
  void setErrorHandler(ErrorHandler* handler) { errors_ = handler; }
  // With namespaces off, a name's uri is empty, its local name is what
  // follows its prefix and its qualified name is as written: enough for
  // documents of one known vocabulary, and faster (on by default).
  void setNamespaces(bool on) { namespaces_ = on; }

  // Parses the file at path. Returns false after a fatal error (reported to
  // the error handler and kept in lastError()).
  bool parseURL(const std::string& path);
  // Parses a whole document held in memory.
  bool parse(std::string_view text);
  // Parses the file at path from byte `from` on, read as UTF-8 after the
  // text `prefix`, which stands for what precedes `from` (the start tags of
  // the elements open there). Byte indexes still count in the file: the
  // prefix's events come before `from`.
  bool parseFileFrom(const std::string& path, std::uint64_t from, std::string_view prefix);

  // From a handler, during a parse: the byte index in the input where the
  // event being reported starts, and its line and column (1-based).
  long long currentByteIndex() const;
  long currentLine() const;
  long currentColumn() const;
  // A file whose parser goes this far without reaching the end of a piece
  // of markup is refused (the parser would hold all of it).
  static constexpr std::uint64_t kMaxMarkupBytes = 8u << 20;
  // From a handler: ends the parse after this event. The parse then returns
  // true, and stopped() says so.
  void stop();
  bool stopped() const { return stopped_; }
  // From a handler: the encoding the document declares ("" when it has no
  // declaration or names none), and whether it has a document type
  // declaration (its entities and defaults apply to the rest of the text).
  const std::string& declaredEncoding() const { return declaredEncoding_; }
  bool hasDoctype() const { return hasDoctype_; }

  // The last fatal error: expat's message, then where it was found
  // ("mismatched tag at line 2, column 4"), or why the file could not be read.
  const std::string& lastError() const { return lastError_; }
  long lastErrorLine() const { return lastErrorLine_; }
  long lastErrorColumn() const { return lastErrorColumn_; }

 private:
  class Session;
  bool Fail(const std::string& message, long line, long column);
  bool ParseFile(const std::string& path, std::uint64_t from, std::string_view prefix);

  ContentHandler* content_ = nullptr;
  ErrorHandler* errors_ = nullptr;
  bool namespaces_ = true;
  Session* active_ = nullptr;  // the parse under way
  long long indexShift_ = 0;   // file index = expat's index + this
  bool stopped_ = false;
  std::string declaredEncoding_;
  bool hasDoctype_ = false;
  std::string lastError_;
  long lastErrorLine_ = 0, lastErrorColumn_ = 0;
};

}  // namespace altimar::sax
