// The cache of fetched guides and logos: each guide's bytes as the server sent them, with what is
// needed to ask the server whether it changed (its ETag and Last-Modified) and when it was asked.
#pragma once

#include <cstdint>
#include <string>

namespace zelvo {

// settings' folder, or $XDG_CACHE_HOME/zelvo/guide, or ~/.cache/zelvo/guide.
std::string guideCacheFolder(const std::string& configured);

struct CachedGuide {
  std::string dataPath;
  std::string metaPath;
  bool haveData = false;
  std::string etag;
  std::string lastModified;
  int64_t checkedAt = 0;  // when the server last gave or confirmed it, UTC seconds
};

CachedGuide cachedGuide(const std::string& folder, const std::string& address);
// Replaces the record of what the server said, atomically.
bool saveCachedGuide(const CachedGuide& guide, const std::string& address);
// Where a logo fetched from address is kept.
std::string cachedLogoPath(const std::string& folder, const std::string& address);
// A name for a file in the cache, the same for the same address.
std::string cacheKey(const std::string& address);

}  // namespace zelvo
