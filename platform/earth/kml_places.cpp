#include "platform/earth/kml_places.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <thread>
#include <vector>

#include "platform/earth/kml_builder.h"
#include "platform/sax/sax_reader.h"

// A big file is read by several threads at once. The first reads from the
// start; when it meets the first placemark it notes the elements open there
// (say kml and Document) and looks, at even distances through the file, for
// more "<Placemark" start tags: the split points. Each later part is read
// from its split point by a parser of its own, after a prefix of start tags
// for those elements. The guess is checked where it matters: every part
// must meet, at the next split point, a real start tag with the same
// elements open (not text in a comment, a CDATA section or a deeper
// folder), and the last part must close the prefix's elements as the file
// ends. Together that is the whole file parsed as one. When any check fails,
// the first part reads on alone, so a file that is not split this way, or
// is malformed, gives the same places or the same error (with its line and
// column) as a reading by one thread.
namespace altimar::earth {
namespace {

namespace fs = std::filesystem;

struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The first "<Placemark" start tag in [from, limit) of the file, or -1.
long long FindPlacemarkTag(int fd, std::uint64_t from, std::uint64_t limit) {
  static constexpr std::string_view kTag = "<Placemark";
  std::vector<char> buf(1 << 20);
  while (from < limit) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buf.size(), limit - from + kTag.size()));
    const ssize_t n = ::pread(fd, buf.data(), want, static_cast<off_t>(from));
    if (n <= static_cast<ssize_t>(kTag.size())) return -1;
    const std::string_view s(buf.data(), static_cast<std::size_t>(n));
    for (std::size_t at = s.find(kTag); at != std::string_view::npos; at = s.find(kTag, at + 1)) {
      if (from + at >= limit) return -1;
      if (at + kTag.size() >= s.size()) break;  // look again from here
      const char next = s[at + kTag.size()];
      if (next == '>' || next == ' ' || next == '\t' || next == '\r' || next == '\n' || next == '/')
        return static_cast<long long>(from + at);
    }
    from += static_cast<std::uint64_t>(n) - kTag.size();
  }
  return -1;
}

// Split points for `parts` parts of a file of `size` bytes, all after `after`.
std::vector<long long> FindSplits(const std::string& path, std::uint64_t size, unsigned parts,
                                  long long after) {
  std::vector<long long> splits;
  Fd f{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (f.fd < 0) return splits;
  for (unsigned k = 1; k < parts; ++k) {
    const std::uint64_t target = size * k / parts, next = size * (k + 1) / parts;
    const std::uint64_t from = std::max<std::uint64_t>(
        target, static_cast<std::uint64_t>(std::max(after, splits.empty() ? after : splits.back()) + 1));
    const long long at = FindPlacemarkTag(f.fd, from, next);
    if (at >= 0) splits.push_back(at);
  }
  return splits;
}

// One part after the first, read on a thread of its own.
struct Part {
  sax::SaxReader reader;
  PlacesBuilder builder{reader};
  std::thread thread;
  bool ok = false;
};

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Trim(const std::string& s) {
  const auto a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

unsigned ThreadsFor(const std::string& path, const KmlLoadOptions& options, std::uint64_t& size) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 1;
  size = static_cast<std::uint64_t>(st.st_size);
  unsigned threads = options.threads ? options.threads : std::min(8u, std::thread::hardware_concurrency());
  const std::uint64_t byParts = options.minPartBytes ? size / options.minPartBytes : threads;
  return static_cast<unsigned>(std::clamp<std::uint64_t>(byParts, 1, std::max(threads, 1u)));
}

// Reads one file, in parts where it can.
KmlLoadResult LoadOne(const std::string& path, const KmlLoadOptions& options,
                      std::unique_ptr<PlacesBuilder>& out, sax::SaxReader& reader) {
  reader.setNamespaces(false);  // elements are known by their local names
  auto first = std::make_unique<PlacesBuilder>(reader);
  reader.setContentHandler(first.get());
  std::vector<std::unique_ptr<Part>> parts;
  std::atomic<bool> cancel{false};
  auto joinAll = [&] {
    for (auto& p : parts)
      if (p->thread.joinable()) p->thread.join();
  };

  std::uint64_t size = 0;
  const unsigned threads = ThreadsFor(path, options, size);
  if (threads > 1) {
    first->onFirstPlacemark = [&](const std::vector<std::string>& open, long long at) {
      const std::string& encoding = reader.declaredEncoding();
      if (reader.hasDoctype() || (!encoding.empty() && !EqualsNoCase(encoding, "UTF-8"))) return;
      const std::vector<long long> splits = FindSplits(path, size, threads, at);
      if (splits.empty()) return;
      std::string prefix;
      for (const auto& name : open) prefix += "<" + name + ">";
      for (std::size_t k = 0; k < splits.size(); ++k) {
        auto part = std::make_unique<Part>();
        part->reader.setNamespaces(false);
        part->reader.setContentHandler(&part->builder);
        part->builder.BeginPartAt(splits[k]);
        if (k + 1 < splits.size()) part->builder.EndPartAt(splits[k + 1], open, nullptr);
        part->builder.set_cancel(&cancel);
        parts.push_back(std::move(part));
      }
      try {
        for (std::size_t k = 0; k < parts.size(); ++k) {
          Part* p = parts[k].get();
          const bool last = k + 1 == parts.size();
          const auto begin = static_cast<std::uint64_t>(splits[k]);
          p->thread = std::thread([p, path, begin, prefix, last] {
            try {
              const bool parsed = p->reader.parseFileFrom(path, begin, prefix);
              p->ok = parsed && !p->builder.failed() &&
                      (last ? !p->reader.stopped() : p->builder.endedAtSplit());
            } catch (...) {
              p->ok = false;
            }
          });
        }
      } catch (...) {  // no thread to be had: read alone
        cancel = true;
        joinAll();
        parts.clear();
        return;
      }
      PlacesBuilder* self = first.get();
      first->EndPartAt(splits.front(), open, [&, self](bool matched) {
        if (!matched) cancel = true;
        joinAll();
        if (!matched) return false;
        std::size_t features = self->featureCount();
        for (const auto& p : parts) {
          if (!p->ok || !self->CanAbsorb(p->builder, features)) return false;
          features += p->builder.featureCount();
        }
        return true;
      });
    };
  }
  bool parsed = false;
  try {
    parsed = reader.parseURL(path);
  } catch (...) {
    cancel = true;
    joinAll();
    throw;
  }
  cancel = true;
  joinAll();
  if (!parsed) return {nullptr, reader.lastError()};
  if (first->endedAtSplit())
    for (auto& p : parts) first->Absorb(p->builder);
  if (!first->error_.empty()) return {nullptr, first->error_};
  out = std::move(first);
  return {};
}

// What one open has loaded so far, for its network links.
struct OpenContext {
  std::string folder;            // the opened file's folder (real path, ending in '/')
  std::set<std::string> loaded;  // real paths of the files loaded
  std::uint64_t linkedBytes = 0;
};

// The real path of the file a link names, if the link may be followed:
// a local file in the opened file's folder or below it, a regular file,
// not loaded yet.
std::optional<std::string> LinkTarget(const std::string& href, const std::string& linkingFile,
                                      const OpenContext& open) {
  std::string target = Trim(href);
  if (target.rfind("file://", 0) == 0) target = target.substr(7);
  if (target.empty() || target.find("://") != std::string::npos) return std::nullopt;  // not local
  if (target.front() != '/') {
    const auto slash = linkingFile.find_last_of('/');
    target = (slash == std::string::npos ? std::string() : linkingFile.substr(0, slash + 1)) + target;
  }
  std::error_code ec;
  const std::string real = fs::canonical(target, ec).string();
  if (ec || real.rfind(open.folder, 0) != 0 || !fs::is_regular_file(real, ec) || ec) return std::nullopt;
  if (open.loaded.count(real)) return std::nullopt;
  return real;
}

KmlLoadResult LoadFile(const std::string& path, const KmlLoadOptions& options, int depth,
                       OpenContext& open) {
  sax::SaxReader reader;
  std::unique_ptr<PlacesBuilder> builder;
  if (KmlLoadResult failed = LoadOne(path, options, builder, reader); !builder) return failed;
  auto root = builder->Finish(BaseName(path));
  root->set_source(path);
  if (depth >= kMaxLinkDepth) return {root, {}};
  for (auto& [link, href] : builder->links_) {
    const auto target = LinkTarget(href, path, open);
    if (!target || open.loaded.size() > kMaxLinkedFiles) continue;
    std::error_code ec;
    const std::uint64_t size = fs::file_size(*target, ec);
    if (ec || open.linkedBytes + size > kMaxLinkedBytes) continue;
    open.loaded.insert(*target);
    open.linkedBytes += size;
    KmlLoadResult linked = LoadFile(*target, options, depth + 1, open);
    if (linked.root) link->AddChild(linked.root);
  }
  return {root, {}};
}

}  // namespace

KmlLoadResult LoadKmlFile(const std::string& path, const KmlLoadOptions& options) {
  OpenContext open;
  std::error_code ec;
  const fs::path real = fs::canonical(path, ec);
  if (!ec) {
    open.folder = real.parent_path().string();
    if (open.folder.empty() || open.folder.back() != '/') open.folder += '/';
    open.loaded.insert(real.string());
  }
  return LoadFile(path, options, 0, open);
}

KmlLoadResult LoadKmlText(std::string_view text) {
  sax::SaxReader reader;
  reader.setNamespaces(false);
  PlacesBuilder builder(reader);
  reader.setContentHandler(&builder);
  if (!reader.parse(text)) return {nullptr, reader.lastError()};
  if (!builder.error_.empty()) return {nullptr, builder.error_};
  return {builder.Finish("Untitled"), {}};
}

}  // namespace altimar::earth
