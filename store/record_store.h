// TQDB, the record store: byte items under string keys in one store file.
//
// A store opens its file in place: it reads the index into memory and every item
// straight from the store file, which it holds open for reading only, and it
// copies nothing. Only the first change (AddItem, DeleteItem, SaveAs) makes the
// working files in the store temporary directory: the working data file (a copy
// of the data section, with stored forms appended one after another), the
// working index file (the index section as the store file held it) and the index
// journal (every addition and removal committed since). From then on the store
// file is rewritten from them when the store closes and by SaveAs: the new file is
// synced and renamed over the old one, so the store file is always either the old or
// the new complete file. The working data file keeps room for the store file's head
// in front of its data, so where it lies on the store file's file system the new file
// is that very file, finished with its head and index; elsewhere it is a copy written
// beside the old one. After SaveAs the store reads the new file in place. A store that
// was never changed, or not since SaveAs wrote it, writes nothing when it closes: its
// file keeps its bytes, inode and time stamp (a file another program changed since is
// written back as usual).
//
// GUI thread only (one thread at a time); not copyable. Destruction closes the
// store (write-back) and swallows a failure of that write-back, leaving the
// working files in the temporary directory. Every failure is an EQDBError
// (store/qdb_errors.h) whose text names the full FileName. The store needs no
// Qt and pumps no event loop; an owner that wants to stay responsive during the
// long index passes installs a progress callback.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "store/index_list.h"
#include "store/item_cache.h"
#include "store/item_coder.h"
#include "store/qdb_errors.h"
#include "store/store_file_io.h"

namespace ferrowyn {

class TQDB {
 public:
  // Called during the long index passes with the pass kind (0 = open, 1 =
  // close, 2 = commit) and the share done (0, 10, ... 90), then once with 0.
  // It must not throw, and must outlive the store (closing reports too).
  using ProgressCallback = std::function<void(int kind, int progress)>;

  TQDB();  // CacheSize 65,536; Compression off; ReadOnly off; SaveOnClose on; ExpandedFileNames on
  ~TQDB();
  TQDB(const TQDB&) = delete;
  TQDB& operator=(const TQDB&) = delete;

  // Closes the open store (write-back), then opens the named one, creating an
  // empty store file when none exists (".QDB" is appended to a name without
  // extension). The empty name only closes; the name already set does nothing.
  // A failed open leaves the store closed with an empty FileName. Throws
  // EQDBFileError, EQDBIndexError, EQDBInvalidPW.
  void SetFileName(const std::string& name);
  const std::string& FileName() const { return file_name_; }

  // Stores `bytes` under `key` (cut to 255 bytes, and at a zero byte) as a new
  // item, which becomes current. Throws EQDBNoFile, EQDBReadOnly, EQDBIndexError
  // "Duplicate keys are not allowed", EQDBFileError when the working data file
  // cannot take the bytes (nothing is changed then).
  void AddItem(std::string_view bytes, const std::string& key);

  // An item made ready for AddPreparedItem away from the store: its bytes and their
  // compressed stored form. Lets a worker thread do the compression, which is most of
  // the cost of adding an item, while the store itself is only touched by its owner.
  struct PreparedItem {
    std::string bytes;
    std::string compressed;  // the stored form when the store compresses
  };
  // Compresses `bytes` for a store that compresses. Pure; any thread. Throws
  // EQDBNoCompress when memory runs out, as AddItem does.
  static PreparedItem PrepareItem(std::string bytes);
  // AddItem for a prepared item: the same checks, errors and effects, without compressing
  // again (a store that does not compress stores `item.bytes`).
  void AddPreparedItem(const PreparedItem& item, const std::string& key);
  // AddItem for an item of `size` bytes given only in its stored form (an
  // ItemCompressor's), for an item too large to hold whole beside it. A store that does
  // not compress expands and stores the bytes. The same checks, errors and effects.
  void AddCompressedItem(std::string_view compressed, std::size_t size, const std::string& key);
  // The current item's bytes. Throws EQDBNoFile, EQDBNoData, EQDBIndexError
  // "The file %s is not a valid QDB file" when its stored form is malformed.
  std::string GetItem();
  // GetItem handing the bytes to `part` a piece at a time, in order, so that a large item
  // (the site map of a big site) is never held whole; the stored form is read whole. The
  // same errors, which may come after some parts have been handed out. The cache is
  // neither asked nor offered the item.
  void ScanItem(const std::function<void(std::string_view)>& part);
  // Length of the current item's stored form. Throws EQDBNoFile, EQDBNoData.
  std::int64_t StoredSize() const;

  // Reading an item by its place in key order (0 .. Count - 1) without making it
  // current and without the cache, for a reader that walks the whole store (a
  // query reading its pages as it goes). ReadRawItem costs one positioned read of
  // the item's stored form from the file the store reads (the store file itself
  // until the first change); ExpandRawItem, the expensive part, touches no store
  // and may run on any thread, so a worker can expand what the owner read.
  // KeyAt and ReadRawItem: owner's thread, like every other operation.
  struct RawItem {
    std::string stored;       // the stored form, as the data section holds it
    bool compressed = false;  // flag bit 1: `stored` is the compressed form
  };
  // Throws EQDBNoFile, EQDBNoData, EQDBOutOfBounds outside 0 .. Count - 1.
  std::string KeyAt(int index) const;
  // Throws as KeyAt, and EQDBIndexError "The file %s is not a valid QDB file" when
  // the stored form cannot be read or is larger than any legitimate item.
  RawItem ReadRawItem(int index) const;
  // The item's bytes. Pure; any thread. Throws EQDBIndexError "The file %s is not a
  // valid QDB file" (naming `file_name`) for a malformed stored form or an item
  // larger than qdb::kMaxItemSize, EQDBNoCompress when memory runs out.
  static std::string ExpandRawItem(const RawItem& item, const std::string& file_name);
  // ReadRawItem then ExpandRawItem.
  std::string ItemAt(int index) const;
  // True while the store reads its file in place (no change made since it opened).
  bool InPlace() const { return assigned_ && in_place_; }

  // Where an item's stored form lies in the store's data.
  using ItemPlace = TIndex;
  // Reads items by place on any thread, away from the store. It holds a descriptor of its
  // own on the file the places point into (the store file while it is read in place, the
  // working data file after the first change), so it goes on working while the store is
  // used on its owner's thread, and after the store is closed or makes its working copy
  // (it then reads the data as they were). Items are never changed in place, so a place
  // stays good for its reader.
  class PlaceReader {
   public:
    PlaceReader(qdb_io::FileHandle data, std::int64_t data_offset, std::string file_name)
        : data_(std::move(data)), data_offset_(data_offset), file_name_(std::move(file_name)) {}
    // The item's bytes, expanded when stored compressed. Throws as GetItem does.
    std::string Read(const ItemPlace& place) const;
    // Read for a reader that goes through many items: the item lands in `out` from
    // `offset` on, its stored form passing through `stored`; the caller keeps both buffers
    // from item to item. Returns the item's length. The same bytes and errors as Read.
    std::size_t ReadInto(const ItemPlace& place, ItemBuffer& stored, ItemBuffer& out,
                         std::size_t offset) const;

   private:
    qdb_io::FileHandle data_;
    std::int64_t data_offset_;
    std::string file_name_;
  };
  // The current item's place. Throws EQDBNoFile, EQDBNoData.
  ItemPlace CurrentPlace() const;
  // The reader of the places the store hands out now: one object until the store closes
  // or makes its working copy, shared by every caller. Throws EQDBNoFile, EQDBFileError.
  std::shared_ptr<const PlaceReader> Reader();
  // Looks the key up among the ordinary items; a found item becomes current.
  bool FindKey(const std::string& key);
  bool KeyExists(const std::string& key) const;
  // Throws EQDBNoData on an empty store, EQDBOutOfBounds outside 0 .. Count - 1.
  void SetItemIndex(int index);
  int ItemIndex() const { return item_index_; }
  const std::string& CurrentKey() const { return current_key_; }
  int Count() const { return assigned_ ? ordinary_.Count() : 0; }
  // Deletes the current item; its stored bytes stay in the data section.
  // Throws EQDBNoFile, EQDBReadOnly, EQDBNoData.
  void DeleteItem();
  // Makes the working files hold every change so far. Costs in proportion to
  // the changes since the previous Commit. Throws EQDBNoFile, EQDBFileError.
  void Commit();
  // Commits and writes the whole store to `name`, which from then on is the
  // store file. Throws EQDBNoFile, EQDBFileError (FileName is kept then).
  void SaveAs(const std::string& name);
  // Closes the store without writing it back: the changes since it was opened or
  // last written go with the working files, and the store file stays as it is on
  // disk. For scratch stores whose file is thrown away anyway. Nothing to do on a
  // closed store.
  void Discard();

  void ClearCache();
  void SetCacheSize(std::int64_t bytes);
  std::int64_t CacheSize() const { return cache_.Budget(); }
  int CacheFrequency() const { return cache_.Frequency(); }
  void SetCacheFrequency(int percent);  // resets the hit counters

  void SetCompression(bool on) { compression_ = on; }
  bool Compression() const { return compression_; }
  void SetReadOnly(bool on) { read_only_ = on; }
  bool ReadOnly() const { return read_only_; }
  void SetSaveOnClose(bool on) { save_on_close_ = on; }
  bool SaveOnClose() const { return save_on_close_; }
  void SetExpandedFileNames(bool on) { expanded_file_names_ = on; }
  bool ExpandedFileNames() const { return expanded_file_names_; }

  // True once the open store file switched keys to case-sensitive comparison.
  bool CaseSensitive() const { return ordinary_.CaseSensitive(); }

  void SetProgressCallback(ProgressCallback callback) { progress_ = std::move(callback); }

  // The name a store file gets for `name`: the full path, with ".QDB" appended
  // when it has no extension.
  static std::string StoreFileName(const std::string& name);

  // Process-wide store temporary directory (all stores' working files). When it
  // does not name an existing directory, the platform's temporary directory is used.
  static void SetTempDirectory(const std::string& dir);
  static std::string TempDirectory();

 private:
  void Open(const std::string& name);
  void Unpack();
  // Makes the working files from the store file read in place, before the first change.
  void MakeWorkingCopy();
  bool AdministrativeItemIs(const TIndex& index, std::string_view value) const;
  void Close();
  // `lists_committed`: the lists in memory hold exactly the committed index (no change
  // was dropped), so it is written from them rather than read back from the working files.
  // Returns true when the working data file itself became the store file (see
  // MoveWorkingDataOver); the index section then lies at index_offset_ in it.
  bool WriteBack(bool lists_committed);
  // Finishes the working data file as the store file (`head` before the data, `tail`, the
  // index marker and section, after them), syncs it and renames it over `target` in `dir`.
  // Returns false, having changed nothing, when the file cannot be renamed there (another
  // file system). A failure leaves the working data file holding the data as before.
  bool MoveWorkingDataOver(const std::string& target, const std::string& dir, std::string_view head,
                           std::string_view tail, mode_t mode);
  std::string ComposeCommittedIndex(bool lists_committed);
  void FlushJournal(int progress_kind);
  std::string ReadItem(const TIndex& index) const;
  RawItem ReadRaw(const TIndex& index) const;
  // Adds an item of `size` bytes whose stored form, as the data section is to hold it, is
  // `stored`: its compressed form when the store compresses, its bytes otherwise. The
  // cache is offered `bytes` when given.
  void AddStored(std::size_t size, std::string_view stored, const std::string& key,
                 const std::string_view* bytes);
  void DiscardWorkingState(bool delete_files);
  std::string ExpandName(const std::string& name) const;
  void RequireFile() const;
  void RequireData() const;
  // RequireFile, RequireData, and EQDBOutOfBounds outside 0 .. Count - 1.
  void RequireItem(int index) const;

  std::string file_name_;
  bool assigned_ = false;
  int item_index_ = 0;
  std::string current_key_;
  bool modified_ = false;
  // An item was added or deleted since the store file was opened or last written.
  bool changed_since_written_ = false;
  // Modification time of the store file when opened or last written.
  std::optional<std::int64_t> timestamp_;

  std::string data_path_, index_path_, journal_path_;
  // The file items are read from: the store file itself (read-only) while in place,
  // the working data file after the first change. Item positions count from
  // data_offset_ in it.
  qdb_io::FileHandle data_file_, journal_file_;
  std::shared_ptr<const PlaceReader> reader_;  // made on first use, dropped on close
  std::int64_t data_size_ = 0;
  std::int64_t data_offset_ = 0;
  bool in_place_ = false;
  // Where the index section lies in the store file, for the working copy.
  std::int64_t index_offset_ = 0;
  std::int64_t index_length_ = 0;

  TIndexList ordinary_;
  TIndexList administrative_;
  // Journal records of the changes since the last Commit, and where each ends.
  std::string pending_journal_;
  std::vector<std::size_t> pending_ends_;

  TCacheList cache_;
  bool compression_ = false;
  bool read_only_ = false;
  bool save_on_close_ = true;
  bool expanded_file_names_ = true;
  ProgressCallback progress_;
};

}  // namespace ferrowyn
