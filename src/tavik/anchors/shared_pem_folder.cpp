#include "tavik/anchors/shared_pem_folder.h"

#include <openssl/crypto.h>

#include <map>
#include <mutex>

#include "tavik/anchors/source_stamp.h"

namespace brevalt::anchors {
namespace {

struct Kept {
  SourceStamp read_from;
  std::shared_ptr<const PemFolder> folder;
};

struct FolderCache {
  std::mutex mutex;
  std::map<std::string, Kept> folders;
};

FolderCache& Cache() {
  // OpenSSL registers its clean-up at exit when it initialises; initialising
  // it before the cache exists frees the kept certificates before that.
  [[maybe_unused]] static const int initialised = OPENSSL_init_crypto(0, nullptr);
  static FolderCache cache;
  return cache;
}

}  // namespace

std::shared_ptr<const PemFolder> SharedPemFolder(const std::string& native_folder) {
  FolderCache& cache = Cache();
  std::lock_guard lock(cache.mutex);
  // Stamped before reading: a change made during the read shows as a
  // difference at the next call, never as a read taken for current.
  SourceStamp now;
  AppendPemFolderStamp(native_folder, &now);
  Kept& kept = cache.folders[native_folder];
  if (!kept.folder || now != kept.read_from) {
    kept.folder = std::make_shared<const PemFolder>(ReadPemFolder(native_folder));
    kept.read_from = std::move(now);
  }
  return kept.folder;
}

}  // namespace brevalt::anchors
