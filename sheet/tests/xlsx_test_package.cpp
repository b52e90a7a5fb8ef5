#include "xlsx_test_package.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile-zip.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "sheet/model/workbook.h"
#include "sheet/shared/gsf_handles.h"
#include "sheet/xlsx/xlsx_reader.h"

namespace gz::sheet::testing {

namespace {

Bytes bytesOf(GsfOutput* memory) {
  const guint8* data = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory));
  const auto size = static_cast<std::size_t>(gsf_output_size(memory));
  return Bytes(data, data + size);
}

void write(GsfOutput* out, const std::string& content) {
  if (!content.empty() && !gsf_output_write(out, content.size(), reinterpret_cast<const guint8*>(content.data())))
    throw std::runtime_error("gsf_output_write failed");
  gsf_output_close(out);
  g_object_unref(out);
}

}  // namespace

Bytes makeZip(const std::map<std::string, std::string>& parts) {
  ensureGsfInitialized();
  GsfOutput* memory = gsf_output_memory_new();
  GsfOutfile* zip = gsf_outfile_zip_new(memory, nullptr);
  // Folders stay open until every file in them is written.
  std::map<std::string, GsfOutfile*> folders{{"", zip}};
  std::vector<std::string> opened;
  for (const auto& [path, content] : parts) {
    std::string folder;
    std::size_t start = 0;
    for (std::size_t slash; (slash = path.find('/', start)) != std::string::npos; start = slash + 1) {
      const std::string next = path.substr(0, slash);
      if (!folders.count(next)) {
        GsfOutput* dir = gsf_outfile_new_child(folders[folder], path.substr(start, slash - start).c_str(), TRUE);
        folders[next] = GSF_OUTFILE(dir);
        opened.push_back(next);
      }
      folder = next;
    }
    write(gsf_outfile_new_child(folders[folder], path.substr(start).c_str(), FALSE), content);
  }
  for (auto it = opened.rbegin(); it != opened.rend(); ++it) {
    gsf_output_close(GSF_OUTPUT(folders[*it]));
    g_object_unref(folders[*it]);
  }
  gsf_output_close(GSF_OUTPUT(zip));
  g_object_unref(zip);
  Bytes out = bytesOf(memory);
  g_object_unref(memory);
  return out;
}

Bytes makeCompoundFile(const std::map<std::string, std::string>& streams) {
  ensureGsfInitialized();
  GsfOutput* memory = gsf_output_memory_new();
  GsfOutfile* ole = gsf_outfile_msole_new(memory);
  for (const auto& [name, content] : streams) write(gsf_outfile_new_child(ole, name.c_str(), FALSE), content);
  gsf_output_close(GSF_OUTPUT(ole));
  g_object_unref(ole);
  Bytes out = bytesOf(memory);
  g_object_unref(memory);
  return out;
}

std::string worksheetXml(const std::string& sheetData) {
  return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" + sheetData +
         "</sheetData></worksheet>";
}

std::map<std::string, std::string> minimalParts(const std::string& sheetData) {
  const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
  return {
      {"_rels/.rels",
       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
       "<Relationship Id=\"rId1\" Type=\"" +
           rel + "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
      {"xl/workbook.xml", "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"" +
                              rel.substr(0, rel.size() - 1) +
                              "\"><sheets><sheet name=\"S1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
      {"xl/_rels/workbook.xml.rels",
       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
       "<Relationship Id=\"rId1\" Type=\"" +
           rel +
           "worksheet\" Target=\"worksheets/sheet1.xml\"/>"
           "<Relationship Id=\"rId2\" Type=\"" +
           rel +
           "sharedStrings\" Target=\"sharedStrings.xml\"/>"
           "<Relationship Id=\"rId3\" Type=\"" +
           rel + "styles\" Target=\"styles.xml\"/></Relationships>"},
      {"xl/worksheets/sheet1.xml", worksheetXml(sheetData)},
  };
}

Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open test file " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::unique_ptr<Workbook> readXlsxBytes(const Bytes& bytes) { return readXlsx(bytes.data(), bytes.size(), "t.xlsx"); }

std::string xlsxError(const Bytes& bytes) {
  try {
    readXlsxBytes(bytes);
  } catch (const WorkbookError& e) {
    return e.what();
  }
  return {};
}

}  // namespace gz::sheet::testing
