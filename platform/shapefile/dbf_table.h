// A dBASE table read through shapelib (DBFOpen "rb"), giving field values as
// clean UTF-8 text:
//  - C and other types: the text decoded from the table's code page, trimmed;
//  - N and F: the number as written, trimmed, with the zeros that end its
//    decimals removed ("12.500000" -> "12.5", "3.000" -> "3");
//  - L: "true" (T, t, Y, y) or "false" (F, f, N, n);
//  - D: "YYYY-MM-DD" when the field holds eight digits, else as written;
//  - a null value (blank, "?" logical, "*" number) is empty.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/shapefile/text_encoding.h"

namespace altimar::shapefile {

// The code page a .cpg file beside the table names (its first line,
// trimmed); "" when there is none.
std::string CpgText(const std::string& dbfPath);

struct DbfField {
  std::string name;  // UTF-8
  char type;         // dBASE type letter
  int width;
  int decimals;
  int offset;  // in the record, after the deletion flag
};

class DbfTable {
 public:
  DbfTable();
  ~DbfTable();
  DbfTable(const DbfTable&) = delete;
  DbfTable& operator=(const DbfTable&) = delete;

  bool Open(const std::string& path, std::string& error);
  void Close();
  bool isOpen() const { return handle_ != nullptr; }
  const std::string& path() const { return path_; }
  int recordCount() const;
  const std::vector<DbfField>& fields() const { return fields_; }
  const std::string& codePage() const { return decoder_->codePage(); }

  // "name type size" CR LF per field; the type is "string", "integer",
  // "float" or "bool".
  std::string FieldDescription() const;

  // The values of a record, one per field; false for a row out of range or
  // one the file does not hold.
  bool ReadValues(int row, std::vector<std::string>& values);

  // "NAME: value" CR LF per field; empty for a row out of range.
  std::string AttributeText(int row);

 private:
  void AppendValue(std::string& out, const DbfField& f, const char* raw);

  void* handle_ = nullptr;  // DBFHandle
  std::string path_;
  std::vector<DbfField> fields_;
  std::unique_ptr<TextDecoder> decoder_;
};

// The type word of a field description.
const char* FieldTypeWord(char type, int decimals);

}  // namespace altimar::shapefile
