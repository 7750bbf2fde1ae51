// Starting the scratch stores of a retrieval and counting the pages of a site store.
#include <system_error>

#include "store/record_store.h"
#include "store/site_layout.h"

namespace ferrowyn {
namespace {

void ResetStore(TQDB& store, const std::filesystem::path& file) {
  store.SetFileName("");
  // A site file opened read-only leaves the flag behind; the scratch file is ours.
  store.SetReadOnly(false);
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
  store.SetFileName(file.string());
  store.ClearCache();
  while (store.Count() > 0) {
    store.SetItemIndex(0);
    store.DeleteItem();
  }
  store.ClearCache();
}

}  // namespace

int StoredPageCount(const TQDB& store) {
  return StoredPageCount(store.Count(), store.KeyExists(std::string(kEmailKey)));
}

void StartNewStores(TQDB& site_store, TQDB& url_store, const std::filesystem::path& data_dir,
                    int internal_cache_setting) {
  std::filesystem::create_directories(data_dir);
  ResetStore(site_store, data_dir / kSiteScratchFile);
  ResetStore(url_store, data_dir / kUrlScratchFile);
  url_store.SetCacheSize(kUrlStoreCacheSize);
  site_store.SetCacheSize(static_cast<std::int64_t>(internal_cache_setting) * 1024);
}

}  // namespace ferrowyn
