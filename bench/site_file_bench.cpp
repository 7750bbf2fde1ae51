// Reading a large site file: opening it in place, reading every item by position with
// positioned reads (what the record store does) against a memory map of the same file, and
// the copy of the data section that opening used to make first.
//
//   site_file_bench make FILE PAGES   writes a site file of PAGES generated pages (about
//                                     6.5 KB of stored form each), to time ferrowyn-cli on
//   site_file_bench read FILE         times the readings of FILE, best of three rounds
#include <fcntl.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "store/index_section.h"
#include "store/item_coder.h"
#include "store/qdb_format.h"
#include "store/record_store.h"
#include "store/site_layout.h"
#include "store/store_file_io.h"

namespace {

using Clock = std::chrono::steady_clock;

// Words of a few letters drawn at random, so that a page compresses about as well as
// real text does (a little over two to one).
std::string MakePage(std::mt19937& rng, std::size_t size) {
  std::string page = "<html><head><title>Page</title></head><body>\r\n";
  while (page.size() < size) {
    page += "<p>";
    for (int w = 8 + static_cast<int>(rng() % 30); w > 0; --w) {
      for (int c = 2 + static_cast<int>(rng() % 7); c > 0; --c)
        page += static_cast<char>('a' + rng() % 26);
      page += ' ';
    }
    page += "</p>\r\n";
  }
  return page + "</body></html>\r\n";
}

std::string Url(std::uint32_t i) {
  return "http://www.example.com/section" + std::to_string(i % 97) + "/page" + std::to_string(i) +
         ".html";
}

int Make(const std::string& file, std::uint32_t pages) {
  std::filesystem::remove(file);
  ferrowyn::TQDB db;
  db.SetCompression(true);
  db.SetCacheSize(0);
  db.SetFileName(file);
  std::mt19937 rng(7);
  std::vector<ferrowyn::PageListRow> rows;
  ferrowyn::SiteMapTree tree(1);
  tree[0].Text = Url(0);
  for (std::uint32_t i = 0; i < pages; ++i) {
    const std::string url = Url(i);
    const std::string page = MakePage(rng, 8000);
    db.AddItem(" " + page + "\r\n", ferrowyn::DisplayKey(url));
    db.AddItem(page.substr(0, 6000) + "\r\n", ferrowyn::QueryKey(url));
    rows.push_back({url, "Page " + std::to_string(i)});
    if (i > 0) tree[0].Children.push_back({url, {}});
  }
  db.AddItem(ferrowyn::WriteWebList(rows), std::string(ferrowyn::kWebListKey));
  db.AddItem(ferrowyn::WriteEmail({}), std::string(ferrowyn::kEmailKey));
  db.AddItem(ferrowyn::WriteWebMap(tree), std::string(ferrowyn::kWebMapKey));
  db.SetFileName("");
  std::printf("%s: %u pages, %.1f MB\n", file.c_str(), pages,
              static_cast<double>(std::filesystem::file_size(file)) / 1e6);
  return 0;
}

double Best(const std::function<void()>& run) {
  double best = 1e9;
  for (int round = 0; round < 3; ++round) {
    const auto start = Clock::now();
    run();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best * 1e3;
}

int Read(const std::string& file) {
  const std::string work =
      (std::filesystem::temp_directory_path() / "ferrowyn-site-bench").string();
  std::filesystem::create_directories(work);
  ferrowyn::TQDB::SetTempDirectory(work);
  std::size_t sink = 0;

  const double open_ms = Best([&] {
    ferrowyn::TQDB db;
    db.SetReadOnly(true);
    db.SetFileName(file);
    sink += static_cast<std::size_t>(db.Count());
  });

  ferrowyn::TQDB db;
  db.SetReadOnly(true);
  db.SetFileName(file);
  const double pread_raw_ms = Best([&] {
    for (int i = 0; i < db.Count(); ++i) sink += db.ReadRawItem(i).stored.size();
  });
  const double pread_expand_ms = Best([&] {
    for (int i = 0; i < db.Count(); ++i) sink += db.ItemAt(i).size();
  });

  // The same items through a memory map of the whole file.
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0) return 1;
  const auto size = static_cast<std::size_t>(st.st_size);
  const double map_open_ms = Best([&] {
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (map == MAP_FAILED) std::abort();
    sink += static_cast<const unsigned char*>(map)[0];
    ::munmap(map, size);
  });
  void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (map == MAP_FAILED) return 1;
  const char* bytes = static_cast<const char*>(map);
  const std::int64_t data_size = ferrowyn::qdb::GetInt32(bytes + 4);
  const char* index_at = bytes + 8 + data_size;
  const std::int64_t index_size = ferrowyn::qdb::GetInt32(index_at + 4);
  const std::string_view section(index_at + 8, index_size);
  const ferrowyn::ParsedIndex parsed = ferrowyn::ParseIndexSection(section, data_size, file);
  const double map_raw_ms = Best([&] {
    for (const std::uint32_t at : parsed.ordinary) {
      const ferrowyn::TIndexEntryView entry = ferrowyn::IndexEntryAt(section, at);
      sink += std::string(bytes + 8 + entry.index.position, entry.index.size).size();
    }
  });
  const double map_expand_ms = Best([&] {
    for (const std::uint32_t at : parsed.ordinary) {
      const ferrowyn::TIndexEntryView entry = ferrowyn::IndexEntryAt(section, at);
      sink +=
          ferrowyn::ExpandItem(std::string_view(bytes + 8 + entry.index.position, entry.index.size))
              .size();
    }
  });
  ::munmap(map, size);
  ::close(fd);

  // What opening cost before it read in place: the data section copied to a working file.
  const double copy_ms = Best([&] {
    ferrowyn::qdb_io::FileHandle in = ferrowyn::qdb_io::OpenForReading(file, file);
    ferrowyn::qdb_io::TempFile out = ferrowyn::qdb_io::MakeUniqueFile(work, "QDB", file);
    ferrowyn::qdb_io::CopyBytes(in.fd(), std::int64_t{8}, data_size, out.handle.fd(), file);
    ::unlink(out.path.c_str());
  });
  ferrowyn::TQDB::SetTempDirectory("");
  std::filesystem::remove_all(work);

  std::printf("%s: %.1f MB, %d items (sink %zu)\n", file.c_str(), static_cast<double>(size) / 1e6,
              db.Count(), sink % 10);
  std::printf("open in place (header and index)        %8.1f ms\n", open_ms);
  std::printf("copy of the data section (former open)   %8.1f ms\n", copy_ms);
  std::printf("every item, positioned reads, raw       %8.1f ms\n", pread_raw_ms);
  std::printf("every item, positioned reads, expanded  %8.1f ms\n", pread_expand_ms);
  std::printf("memory map and unmap                    %8.1f ms\n", map_open_ms);
  std::printf("every item, memory map, raw             %8.1f ms\n", map_raw_ms);
  std::printf("every item, memory map, expanded        %8.1f ms\n", map_expand_ms);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 3 && args[0] == "make")
    return Make(args[1], static_cast<std::uint32_t>(std::stoul(args[2])));
  if (args.size() == 2 && args[0] == "read") return Read(args[1]);
  std::fprintf(stderr, "usage: site_file_bench make FILE PAGES | read FILE\n");
  return 2;
}
