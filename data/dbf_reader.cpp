#include "data/dbf_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/shapefile/dbf_table.h"

namespace altimar::data {
namespace {

constexpr std::size_t kReadAhead = std::size_t{1} << 20;

std::uint16_t U16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::int32_t I32(const unsigned char* p) {
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
      (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}

}  // namespace

DbfReader::~DbfReader() {
  if (fd_ >= 0) ::close(fd_);
}

int DbfReader::Refuse(const std::string& message, bool show) {
  lastError_ = message;
  if (show) desktop_.MessageBoxA(0, message, "Altimar", win::MB_OK);
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  DbfFieldCount = 0;
  DbfFields.clear();
  return -1;
}

const char* DbfReader::BytesAt(std::uint64_t offset, std::size_t size) {
  if (offset > fileSize_ || size > fileSize_ - offset) return nullptr;
  if (offset >= bufferStart_ && offset + size <= bufferStart_ + bufferLength_)
    return buffer_.data() + (offset - bufferStart_);
  const std::size_t want = std::max(
      size, static_cast<std::size_t>(std::min<std::uint64_t>(kReadAhead, fileSize_ - offset)));
  if (buffer_.size() < want) buffer_.resize(want);
  std::size_t got = 0;
  while (got < want) {
    const ssize_t n =
        ::pread(fd_, buffer_.data() + got, want - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  bufferStart_ = offset;
  bufferLength_ = got;
  return got >= size ? buffer_.data() : nullptr;
}

int DbfReader::OpenDbf(const std::string& path) {
  if (fd_ >= 0) CloseDbf(1);
  lastError_.clear();
  if (path.empty()) return Refuse("no dBASE file named", false);
  // Non-blocking, so that a FIFO given for a table cannot hang the open.
  fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return Refuse("cannot open '" + path + "': " + std::strerror(errno), false);
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))
    return Refuse("'" + path + "' is not a regular file", false);
  fileSize_ = static_cast<std::uint64_t>(st.st_size);
  bufferStart_ = 0;
  bufferLength_ = 0;

  const auto* h = reinterpret_cast<const unsigned char*>(BytesAt(0, 32));
  if (h == nullptr)
    return Refuse("The dBASE file '" + path + "' is shorter than its header.", true);
  DbfHeader = {};
  DbfHeader.version = h[0];
  DbfHeader.year = h[1], DbfHeader.month = h[2], DbfHeader.day = h[3];
  DbfHeader.recordCount = I32(h + 4);
  DbfHeader.headerLength = U16(h + 8);
  DbfHeader.recordLength = U16(h + 10);
  DbfHeader.languageDriver = h[29];
  if (DbfHeader.version != 0x03 && DbfHeader.version != 0x83)
    return Refuse(std::string("This is not a DBF file & ") + static_cast<char>(DbfHeader.version),
                  true);

  // Descriptors follow the header up to the 0x0D terminator, within the
  // header length.
  const std::string damaged = "The dBASE file '" + path + "' is damaged: ";
  const std::uint16_t headerLength = DbfHeader.headerLength;
  const auto* descriptors = reinterpret_cast<const unsigned char*>(BytesAt(0, headerLength));
  if (headerLength < 33 || descriptors == nullptr)
    return Refuse(
        damaged + "its header length " + std::to_string(headerLength) + " does not fit the file.",
        true);
  DbfFields.clear();
  std::uint32_t used = 1;  // the deletion flag
  for (std::uint32_t at = 32; at + 32 <= headerLength && descriptors[at] != 0x0D; at += 32) {
    if (DbfFields.size() == static_cast<std::size_t>(kMaxDbfFields))
      return Refuse("The dBASE file '" + path + "' has more than " + std::to_string(kMaxDbfFields) +
                        " fields, more than the attribute table holds.",
                    true);
    const unsigned char* d = descriptors + at;
    DbfFieldRecord f;
    f.name.assign(reinterpret_cast<const char*>(d), strnlen(reinterpret_cast<const char*>(d), 11));
    f.type = static_cast<char>(d[11]);
    f.length = d[16];
    f.decimals = d[17];
    used += f.length;
    DbfFields.push_back(std::move(f));
  }
  if (used > DbfHeader.recordLength)
    return Refuse(damaged + "its fields take " + std::to_string(used) + " bytes of a record of " +
                      std::to_string(DbfHeader.recordLength) + ".",
                  true);
  DbfFieldCount = static_cast<int>(DbfFields.size());
  codePage = shapefile::CodePageName(shapefile::CpgText(path), DbfHeader.languageDriver);
  decoder_ = std::make_unique<shapefile::TextDecoder>(codePage);
  for (auto& f : DbfFields) {
    std::string name;
    decoder_->Append(name, f.name);
    f.name = std::move(name);
  }
  return 1;
}

int DbfReader::ReadDbfRecord(int file, std::int64_t n, std::vector<std::string>& values) {
  values.assign(static_cast<std::size_t>(DbfFieldCount), std::string());
  if (file != 1 || fd_ < 0 || n < 0) return 0;
  const std::uint64_t offset =
      DbfHeader.headerLength + static_cast<std::uint64_t>(n) * DbfHeader.recordLength;
  const char* record = BytesAt(offset, DbfHeader.recordLength);
  if (record == nullptr || record[0] == '*') return 0;
  std::size_t p = 1;
  for (int i = 0; i < DbfFieldCount; ++i) {
    const DbfFieldRecord& f = DbfFields[static_cast<std::size_t>(i)];
    // Memo contents live in the memo file, which is not read.
    if (f.type != 'M')
      decoder_->Append(values[static_cast<std::size_t>(i)], {record + p, f.length});
    p += f.length;
  }
  return DbfFieldCount;
}

int DbfReader::CloseDbf(int file) {
  (void)file;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  buffer_.clear();
  buffer_.shrink_to_fit();
  bufferLength_ = 0;
  return 0;
}

}  // namespace altimar::data
