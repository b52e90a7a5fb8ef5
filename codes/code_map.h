// The code map: workbook text -> code text to store (both GB 18030), loaded from
// the code file "dm.txt" before each import.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace gz::codes {

// Orders keys byte by byte as unsigned values, a prefix first.
struct ByteOrder {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

class CodeMap {
 public:
  // The code for `key`. An absent key is added with the empty code, so the
  // empty text always means "no code", whether the key was never in the file
  // or stands there with an empty value.
  const std::string& lookup(std::string_view key);
  void set(std::string key, std::string code);  // replaces an earlier code
  void clear() { map_.clear(); }
  std::size_t size() const { return map_.size(); }
  const std::map<std::string, std::string, ByteOrder>& entries() const { return map_; }

 private:
  std::map<std::string, std::string, ByteOrder> map_;
};

}  // namespace gz::codes
