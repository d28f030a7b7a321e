// The dBASE reader: the attribute table beside a shapefile, read record by
// record for the attribute database. dBASE III tables (version byte 0x03, or
// 0x83 with a memo file) with fixed-length records.
//
// The file is untrusted: lengths are read unsigned and checked against each
// other before any record is read, the field list ends at the 0x0D
// terminator, and a record the file does not hold whole reads as empty
// values. Texts are turned into UTF-8 from the table's code page (a .cpg
// file beside it, else its language byte, else Windows-1252; control bytes,
// NUL padding included, become blanks). Numeric texts
// are kept as written ("47.000000" stays so; the database reads the number).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/shapefile/text_encoding.h"
#include "platform/win/desktop.h"

namespace altimar::data {

struct DbfHeaderRecord {
  std::uint8_t version = 0;
  std::uint8_t year = 0, month = 0, day = 0;
  std::int32_t recordCount = 0;  // not used: the shapefile tells the count
  std::uint16_t headerLength = 0;
  std::uint16_t recordLength = 0;  // deletion flag included
  std::uint8_t languageDriver = 0;
};

struct DbfFieldRecord {
  std::string name;  // up to 11 characters, NULs cut
  char type = 'C';
  std::uint8_t length = 0;
  std::uint8_t decimals = 0;
};

// The most fields a table may have (the attribute table's limit).
inline constexpr int kMaxDbfFields = 100;

class DbfReader {
 public:
  explicit DbfReader(win::Desktop& desktop) : desktop_(desktop) {}
  ~DbfReader();
  DbfReader(const DbfReader&) = delete;
  DbfReader& operator=(const DbfReader&) = delete;

  // Opens the table; the file number (1) or -1. A file that is not a dBASE
  // III table gets the message "This is not a DBF file & " and its version
  // byte; a damaged one a message naming what is wrong; an empty path, or a
  // file that cannot be opened, -1 (LastError tells why).
  int OpenDbf(const std::string& path);
  // Reads record n (from 0) into values, one per field (index 0 is field 1).
  // The number of fields read; 0 for a deleted record, a record past the
  // end of the file or a file number that is not open, with every value
  // empty.
  int ReadDbfRecord(int file, std::int64_t n, std::vector<std::string>& values);
  int CloseDbf(int file);

  DbfHeaderRecord DbfHeader;
  int DbfFieldCount = 0;
  std::vector<DbfFieldRecord> DbfFields;  // index 0 is field 1
  std::string codePage;                   // iconv's name for the table's code page
  const std::string& LastError() const { return lastError_; }

 private:
  int Refuse(const std::string& message, bool show);
  // Points at size bytes from offset through a read-ahead buffer; null
  // when the file does not hold them all.
  const char* BytesAt(std::uint64_t offset, std::size_t size);

  win::Desktop& desktop_;
  int fd_ = -1;
  std::uint64_t fileSize_ = 0;
  std::vector<char> buffer_;
  std::uint64_t bufferStart_ = 0;
  std::size_t bufferLength_ = 0;
  std::unique_ptr<shapefile::TextDecoder> decoder_;
  std::string lastError_;
};

}  // namespace altimar::data
