#include "sheet/shared/value_text.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "sheet/model/dates.h"

namespace gz::sheet {

namespace {

int digits(std::string_view s, std::size_t& pos, std::size_t count) {
  int v = 0;
  for (std::size_t i = 0; i < count; ++i, ++pos) {
    if (pos >= s.size() || s[pos] < '0' || s[pos] > '9') return -1;
    v = v * 10 + (s[pos] - '0');
  }
  return v;
}

constexpr std::pair<std::string_view, uint8_t> kErrorNames[] = {
    {"#NULL!", 0x00}, {"#DIV/0!", 0x07}, {"#VALUE!", 0x0F}, {"#REF!", 0x17},
    {"#NAME?", 0x1D}, {"#NUM!", 0x24},   {"#N/A", 0x2A},    {"#GETTING_DATA", 0x2B},
};

}  // namespace

std::string_view trimXmlBlanks(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::optional<double> parseXmlNumber(std::string_view s) {
  s = trimXmlBlanks(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<double> parseIsoDateTime(std::string_view s) {
  s = trimXmlBlanks(s);
  std::size_t pos = 0;
  double serial = 0;
  const bool hasDate = s.size() >= 10 && s[4] == '-';
  if (hasDate) {
    const int y = digits(s, pos, 4);
    if (y < 0 || s[pos++] != '-') return std::nullopt;
    const int m = digits(s, pos, 2);
    if (m < 0 || pos >= s.size() || s[pos++] != '-') return std::nullopt;
    const int d = digits(s, pos, 2);
    const std::optional<double> day = d < 0 ? std::nullopt : serialFromCivil(y, m, d);
    if (!day) return std::nullopt;
    serial = *day;
    if (pos == s.size()) return serial;
    if (s[pos] != 'T' && s[pos] != ' ') return std::nullopt;
    ++pos;
  } else if (!s.empty() && s[0] == 'T') {
    ++pos;
  }
  const int h = digits(s, pos, 2);
  if (h < 0 || pos >= s.size() || s[pos++] != ':') return std::nullopt;
  const int mi = digits(s, pos, 2);
  if (mi < 0) return std::nullopt;
  double sec = 0;
  if (pos < s.size() && s[pos] == ':') {
    ++pos;
    const std::size_t start = pos;
    while (pos < s.size() && ((s[pos] >= '0' && s[pos] <= '9') || s[pos] == '.')) ++pos;
    const std::optional<double> v = parseXmlNumber(s.substr(start, pos - start));
    if (!v || pos - start < 2) return std::nullopt;
    sec = *v;
  }
  if (pos < s.size()) {
    const std::string_view zone = s.substr(pos);
    if (zone != "Z" && !(zone.size() == 6 && (zone[0] == '+' || zone[0] == '-') && zone[3] == ':')) return std::nullopt;
  }
  if (h > 24 || mi > 59 || sec >= 61) return std::nullopt;
  return serial + (h * 3600 + mi * 60 + sec) / 86400.0;
}

std::optional<uint8_t> knownErrorCode(std::string_view name) {
  name = trimXmlBlanks(name);
  for (auto [known, code] : kErrorNames)
    if (known == name) return code;
  return std::nullopt;
}

uint8_t errorCodeOf(std::string_view name) { return knownErrorCode(name).value_or(0xFF); }

}  // namespace gz::sheet
