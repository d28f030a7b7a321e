#include "platform/shapefile/dbf_table.h"

#include <shapefil.h>

#include <string_view>

#include "platform/shapefile/shapelib_errors.h"
#include "platform/shapefile/shp_reader.h"

namespace altimar::shapefile {
namespace {

DBFHandle H(void* h) { return static_cast<DBFHandle>(h); }

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\0' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}


}  // namespace

std::string CpgText(const std::string& dbfPath) {
  const std::string cpg = SiblingFile(ShapefileBase(dbfPath), "cpg");
  std::string bytes, error;
  if (!FileExists(cpg) || !ReadWholeFile(cpg, bytes, error)) return {};
  bytes = bytes.substr(0, std::min<std::size_t>(bytes.find_first_of("\r\n"), 64));
  return std::string(Trim(bytes));
}


const char* FieldTypeWord(char type, int decimals) {
  switch (type) {
    case 'N': return decimals > 0 ? "float" : "integer";
    case 'F': return "float";
    case 'L': return "bool";
    default: return "string";
  }
}

DbfTable::DbfTable() : decoder_(std::make_unique<TextDecoder>()) {}
DbfTable::~DbfTable() { Close(); }

void DbfTable::Close() {
  if (handle_) DBFClose(H(handle_));
  handle_ = nullptr;
  path_.clear();
  fields_.clear();
}

int DbfTable::recordCount() const { return handle_ ? DBFGetRecordCount(H(handle_)) : 0; }

bool DbfTable::Open(const std::string& path, std::string& error) {
  Close();
  if (!FileExists(path)) {
    error = "cannot open '" + path + "': no such file";
    return false;
  }
  ShapelibErrors errors;
  DBFHandle h = DBFOpenLL(path.c_str(), "rb", errors.hooks());
  if (!h) {
    error = "cannot open '" + path + "' as a dBASE table" + errors.Describe();
    return false;
  }
  handle_ = h;
  path_ = path;
  decoder_ = std::make_unique<TextDecoder>(CodePageName(CpgText(path), h->iLanguageDriver));
  const int n = DBFGetFieldCount(h);
  for (int i = 0; i < n; ++i) {
    char name[XBASE_FLDNAME_LEN_READ + 1] = {};
    int width = 0, decimals = 0;
    DBFGetFieldInfo(h, i, name, &width, &decimals);
    DbfField f{{}, DBFGetNativeFieldType(h, i), width, decimals, h->panFieldOffset[i]};
    if (f.offset < 1 || width < 0 || f.offset + width > h->nRecordLength) {
      error = "'" + path + "': field " + std::to_string(i + 1) + " lies outside the record";
      Close();
      return false;
    }
    decoder_->Append(f.name, Trim(name));
    fields_.push_back(std::move(f));
  }
  return true;
}

std::string DbfTable::FieldDescription() const {
  std::string out;
  for (const auto& f : fields_) {
    out += f.name;
    out += ' ';
    out += FieldTypeWord(f.type, f.decimals);
    out += ' ';
    out += std::to_string(f.width);
    out += "\r\n";
  }
  return out;
}

void DbfTable::AppendValue(std::string& out, const DbfField& f, const char* record) {
  const std::string_view v = Trim(std::string_view(record + f.offset, static_cast<std::size_t>(f.width)));
  switch (f.type) {
    case 'N':
    case 'F': {
      if (v.find_first_not_of('*') == std::string_view::npos) return;
      std::string_view n = v;
      if (n.find('.') != std::string_view::npos && n.find_first_of("eE") == std::string_view::npos) {
        while (n.back() == '0') n.remove_suffix(1);
        if (n.back() == '.') n.remove_suffix(1);
      }
      if (n.empty() || n == "-") n = "0";
      AppendCleanUtf8(out, n);
      return;
    }
    case 'L':
      if (v.size() == 1 && std::string_view("TtYy").find(v[0]) != std::string_view::npos) out += "true";
      if (v.size() == 1 && std::string_view("FfNn").find(v[0]) != std::string_view::npos) out += "false";
      return;
    case 'D':
      if (v.size() == 8 && v.find_first_not_of("0123456789") == std::string_view::npos) {
        if (v == "00000000") return;
        out.append(v.substr(0, 4)).append("-").append(v.substr(4, 2)).append("-").append(v.substr(6, 2));
        return;
      }
      break;
    default:
      break;
  }
  const std::size_t at = out.size();
  decoder_->Append(out, v);
  // Trim again: decoding may turn control characters into blanks.
  const std::size_t first = out.find_first_not_of(' ', at);
  if (first == std::string::npos) {
    out.resize(at);
    return;
  }
  out.erase(at, first - at);
  out.resize(out.find_last_not_of(' ') + 1);
}

bool DbfTable::ReadValues(int row, std::vector<std::string>& values) {
  values.clear();
  if (!handle_ || row < 0 || row >= recordCount()) return false;
  const char* record = DBFReadTuple(H(handle_), row);
  if (!record) return false;
  values.resize(fields_.size());
  for (std::size_t i = 0; i < fields_.size(); ++i) AppendValue(values[i], fields_[i], record);
  return true;
}

std::string DbfTable::AttributeText(int row) {
  std::string out;
  std::vector<std::string> values;
  if (!ReadValues(row, values)) return out;
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    out += fields_[i].name;
    out += ": ";
    out += values[i];
    out += "\r\n";
  }
  return out;
}

}  // namespace altimar::shapefile
