#include "xls_test_support.h"

#include <gsf/gsf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "sheet/model/workbook.h"
#include "sheet/open_workbook.h"
#include "sheet/shared/gsf_handles.h"
#include "sheet/xls/xls_reader.h"

namespace gz::sheet::testing {

Payload& Payload::u8(unsigned v) {
  bytes.push_back(static_cast<uint8_t>(v));
  return *this;
}
Payload& Payload::u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
Payload& Payload::u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
Payload& Payload::f64(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof v);
  return u32(static_cast<uint32_t>(bits)).u32(static_cast<uint32_t>(bits >> 32));
}
Payload& Payload::raw(const ByteVec& b) {
  bytes.insert(bytes.end(), b.begin(), b.end());
  return *this;
}
Payload& Payload::text(std::string_view s) {
  bytes.insert(bytes.end(), s.begin(), s.end());
  return *this;
}

ByteVec record(uint16_t id, const ByteVec& payload) {
  return Payload().u16(id).u16(static_cast<unsigned>(payload.size())).raw(payload);
}

ByteVec unicodeString(std::u16string_view s, bool twoByteCount) {
  bool wide = false;
  for (char16_t c : s) wide = wide || c > 0xFF;
  Payload p;
  twoByteCount ? p.u16(static_cast<unsigned>(s.size())) : p.u8(static_cast<unsigned>(s.size()));
  p.u8(wide ? 1 : 0);
  for (char16_t c : s) wide ? p.u16(c) : p.u8(c);
  return p;
}

ByteVec byteString(std::string_view bytes, bool twoByteCount) {
  Payload p;
  twoByteCount ? p.u16(static_cast<unsigned>(bytes.size())) : p.u8(static_cast<unsigned>(bytes.size()));
  return p.text(bytes);
}

ByteVec numberCell(unsigned row, unsigned col, unsigned xf, double v) {
  return record(0x0203, Payload().u16(row).u16(col).u16(xf).f64(v));
}
ByteVec rkCell(unsigned row, unsigned col, unsigned xf, uint32_t rk) {
  return record(0x027E, Payload().u16(row).u16(col).u16(xf).u32(rk));
}
ByteVec sstCell(unsigned row, unsigned col, unsigned xf, uint32_t index) {
  return record(0x00FD, Payload().u16(row).u16(col).u16(xf).u32(index));
}
ByteVec boolErrCell(unsigned row, unsigned col, bool isError, unsigned value) {
  return record(0x0205, Payload().u16(row).u16(col).u16(15).u8(value).u8(isError ? 1 : 0));
}
ByteVec formulaCell(unsigned row, unsigned col, unsigned xf, const ByteVec& result8) {
  return record(0x0006, Payload().u16(row).u16(col).u16(xf).raw(result8).u16(0).u32(0).u16(0));
}

ByteVec buildStream(const BookLayout& layout) {
  const unsigned version = layout.biff8 ? 0x0600 : 0x0500;
  ByteVec out = record(0x0809, Payload().u16(version).u16(0x0005).u16(0).u16(0));
  for (const ByteVec& r : layout.globals) out.insert(out.end(), r.begin(), r.end());
  std::vector<std::size_t> offsetFields;
  for (const SheetLayout& s : layout.sheets) {
    offsetFields.push_back(out.size() + 4);
    const ByteVec rec = record(0x0085, Payload().u32(0).u8(0).u8(s.kind).raw(s.name));
    out.insert(out.end(), rec.begin(), rec.end());
  }
  const ByteVec eof = record(0x000A, {});
  out.insert(out.end(), eof.begin(), eof.end());
  for (std::size_t i = 0; i < layout.sheets.size(); ++i) {
    const uint32_t at = static_cast<uint32_t>(out.size());
    for (int b = 0; b < 4; ++b) out[offsetFields[i] + b] = static_cast<uint8_t>(at >> (8 * b));
    const unsigned type = layout.sheets[i].kind == 2 ? 0x0020 : 0x0010;
    const ByteVec bof = record(0x0809, Payload().u16(version).u16(type).u16(0).u16(0));
    out.insert(out.end(), bof.begin(), bof.end());
    for (const ByteVec& r : layout.sheets[i].records) out.insert(out.end(), r.begin(), r.end());
    out.insert(out.end(), eof.begin(), eof.end());
  }
  return out;
}

ByteVec compoundFile(const std::vector<NamedStream>& streams) {
  ensureGsfInitialized();
  GsfOutput* memory = gsf_output_memory_new();
  GsfOutfile* ole = gsf_outfile_msole_new(memory);
  for (const NamedStream& s : streams) {
    GsfOutput* child = gsf_outfile_new_child(ole, s.name, FALSE);
    gsf_output_write(child, s.bytes.size(), s.bytes.data());
    gsf_output_close(child);
    g_object_unref(child);
  }
  gsf_output_close(GSF_OUTPUT(ole));
  g_object_unref(ole);
  const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory));
  ByteVec out(bytes, bytes + gsf_output_size(memory));
  g_object_unref(memory);
  return out;
}

ByteVec readTestFile(const std::string& relativePath) {
  const std::string path = std::string(GZ_TEST_DATA) + "/" + relativePath;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("missing test file " + path);
  return ByteVec(std::istreambuf_iterator<char>(in), {});
}

std::unique_ptr<Workbook> readStream(const ByteVec& stream, bool bookStream) {
  return readXlsStream(stream.data(), stream.size(), bookStream, "t.xls");
}

std::string errorOf(const ByteVec& fileBytes) {
  try {
    readCompoundFile(fileBytes.data(), fileBytes.size(), "t.xls");
  } catch (const WorkbookError& e) {
    return e.what();
  }
  return "";
}

}  // namespace gz::sheet::testing
