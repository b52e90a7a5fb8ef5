#include "db/row_digest.h"

#include <variant>

namespace gz::db {

void RowDigest::add(const Value& v) {
  std::visit(
      [&](const auto& x) {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) addNull();
        else if constexpr (std::is_same_v<T, int64_t>) addWhole(x);
        else if constexpr (std::is_same_v<T, double>) addDecimal(x);
        else if constexpr (std::is_same_v<T, std::string>) addText(x);
        else if constexpr (std::is_same_v<T, Blob>) addBytes(x.bytes);
        else addDate(x);
      },
      v);
}

}  // namespace gz::db
