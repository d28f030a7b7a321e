// dBASE tables made byte by byte, for tests that need tables no real file
// has (lying lengths, deleted records, code pages).
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace altimar::testing {

struct DbfField {
  std::string name;
  char type = 'C';
  std::uint8_t length = 10;
  std::uint8_t decimals = 0;
};

// A dBASE III table: header, descriptors, 0x0D, then each record as given
// (deletion flag included), then 0x1A. Lengths are computed unless set.
struct DbfBytes {
  std::uint8_t version = 0x03;
  std::uint8_t languageDriver = 0;
  std::vector<DbfField> fields;
  std::vector<std::string> records;
  int headerLength = -1;  // -1: 32 * (fields + 1) + 1
  int recordLength = -1;  // -1: 1 + the field lengths

  std::string Bytes() const {
    const int hl = headerLength >= 0 ? headerLength : 32 * static_cast<int>(fields.size() + 1) + 1;
    int rl = 1;
    for (const auto& f : fields) rl += f.length;
    if (recordLength >= 0) rl = recordLength;
    std::string out(32, '\0');
    out[0] = static_cast<char>(version);
    out[1] = 126, out[2] = 1, out[3] = 1;
    const auto n = static_cast<std::uint32_t>(records.size());
    for (int k = 0; k < 4; ++k) out[4 + k] = static_cast<char>((n >> (8 * k)) & 0xFF);
    out[8] = static_cast<char>(hl & 0xFF), out[9] = static_cast<char>((hl >> 8) & 0xFF);
    out[10] = static_cast<char>(rl & 0xFF), out[11] = static_cast<char>((rl >> 8) & 0xFF);
    out[29] = static_cast<char>(languageDriver);
    for (const auto& f : fields) {
      std::string d(32, '\0');
      for (std::size_t k = 0; k < f.name.size() && k < 11; ++k) d[k] = f.name[k];
      d[11] = f.type;
      d[16] = static_cast<char>(f.length);
      d[17] = static_cast<char>(f.decimals);
      out += d;
    }
    out += '\x0D';
    for (const auto& r : records) out += r;
    out += '\x1A';
    return out;
  }

  void Write(const std::string& path) const { std::ofstream(path, std::ios::binary) << Bytes(); }
};

}  // namespace altimar::testing
