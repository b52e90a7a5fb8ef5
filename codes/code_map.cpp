#include "codes/code_map.h"

#include <utility>

namespace gz::codes {

// std::char_traits<char> compares as unsigned char, so string_view's compare
// is exactly the unsigned byte order with a prefix first, on every platform.
bool ByteOrder::operator()(std::string_view a, std::string_view b) const { return a.compare(b) < 0; }

const std::string& CodeMap::lookup(std::string_view key) {
  auto it = map_.lower_bound(key);
  if (it == map_.end() || std::string_view(it->first) != key) {
    it = map_.emplace_hint(it, std::string(key), std::string());
  }
  return it->second;
}

void CodeMap::set(std::string key, std::string code) { map_.insert_or_assign(std::move(key), std::move(code)); }

}  // namespace gz::codes
