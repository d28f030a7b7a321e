// A SAX reader over expat: content handlers receive elements with their
// qualified and local names and character data as it is delivered; an error
// handler receives the first fatal error. Inputs are untrusted: expat's
// entity-expansion limits apply and no external entity is ever loaded.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace altimar::sax {

struct Attribute {
  std::string uri;
  std::string localName;
  std::string qName;
  std::string value;
};

class Attributes {
 public:
  int getLength() const { return static_cast<int>(items_.size()); }
  const Attribute& item(int i) const { return items_[static_cast<std::size_t>(i)]; }
  // Value of the first attribute with this local name, or nullptr.
  const std::string* getValueFromLocalName(std::string_view localName) const;

  std::vector<Attribute> items_;
};

class ContentHandler {
 public:
  virtual ~ContentHandler() = default;
  virtual void startDocument() {}
  virtual void endDocument() {}
  virtual void startElement(const std::string& uri, const std::string& localName,
                            const std::string& qName, const Attributes& attributes) {
    (void)uri, (void)localName, (void)qName, (void)attributes;
  }
  virtual void endElement(const std::string& uri, const std::string& localName,
                          const std::string& qName) {
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

  // Parses the file at path. Returns false after a fatal error (reported to
  // the error handler and kept in lastError()).
  bool parseURL(const std::string& path);
  // Parses a whole document held in memory.
  bool parse(std::string_view text);

  const std::string& lastError() const { return lastError_; }

 private:
  class Session;
  bool Fail(const std::string& message, long line, long column);

  ContentHandler* content_ = nullptr;
  ErrorHandler* errors_ = nullptr;
  std::string lastError_;
};

}  // namespace altimar::sax
