// The values of an Access file turned into values for the target database,
// from the bytes the file stores and without loss: whole numbers of their
// width, floating-point numbers bit for bit, currency and decimals as exact
// decimal text, dates as "YYYY-MM-DD HH:MM:SS[.mmm]" for every year from 100
// to 9999, texts with every character (compressed Jet 4 text, surrogate pairs
// and Jet 3 code pages included), binary values as they are.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "db/value.h"
#include "migrate/access_file.h"

namespace gz::migrate {

// How a text of the file is stored: UTF-16 (Jet 4, ACE; compressed or not)
// or 8-bit text in a code page (Jet 3).
struct TextForm {
  bool utf16 = true;
  int codePage = 936;
  int headerCodePage = 0;  // the one the file's header names, for the message when texts do not fit
};

// Why a value could not be carried over, for the message naming its cell.
struct ValueFault {
  std::string reason;
};

// The value of one cell, or the fault that prevents it.
std::optional<db::Value> convertValue(const AccessColumn& column, const RawValue& raw, const TextForm& form,
                                      ValueFault& fault);

// The parts of the conversion, for their tests.
// Days since 1899-12-30 as Access counts them (the fraction is the time of
// day, also before that day) as "YYYY-MM-DD HH:MM:SS" with ".mmm" where the
// milliseconds are not zero. Empty outside the years 100 to 9999.
std::string accessDateText(double days);
// A currency value (ten-thousandths) as exact decimal text with four places.
std::string currencyText(int64_t tenThousandths);
// Jet 4 text: UTF-16LE, or "compressed" (FF FE, then runs of one byte per
// character and of UTF-16 switched by a zero byte). False for a half
// character or an unpaired surrogate.
bool jet4Text(std::string_view bytes, std::string& out);

}  // namespace gz::migrate
