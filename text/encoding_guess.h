// Telling UTF-8 text from GB 18030 text when a file does not say which it is.
#pragma once

#include <string_view>

namespace gz::text {

// Whether bytes that carry no byte order mark were written as UTF-8 rather
// than GB 18030 (which reads every GBK file as it is). GBK text is valid
// UTF-8 only by chance, and then almost always as two-byte sequences: a GBK
// character whose first byte is C2 to DF and whose second is 80 to BF (女 is
// C5 AE) reads as one. Chinese text in UTF-8 is three-byte sequences. So the
// bytes are UTF-8 when they are valid UTF-8, hold a three-byte sequence and
// either no two-byte one, or have no GB 18030 reading at all (an odd run of
// three-byte characters leaves a lead byte before an ASCII one, as in 男=1).
// ASCII-only text is the same either way and counts as GB 18030.
bool looksLikeUtf8(std::string_view bytes);

}  // namespace gz::text
