#include "text/encoding_guess.h"

#include <cstddef>

#include "text/gb18030.h"

namespace gz::text {

bool looksLikeUtf8(std::string_view bytes) {
  if (!isValidUtf8(bytes)) return false;
  std::size_t twoByte = 0, threeByte = 0;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    const std::size_t width = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    if (width == 2) ++twoByte;
    if (width == 3) ++threeByte;
    i += width;
  }
  if (threeByte == 0) return false;
  return twoByte == 0 || !isValidGb18030(bytes);
}

}  // namespace gz::text
