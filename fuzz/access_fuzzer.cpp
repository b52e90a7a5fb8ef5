// Feeds arbitrary bytes to the Access reader as a file: the header, the
// table catalogue, every table's definition and every value of every row.
// Every outcome must be the values or an AccessError, within the time limit.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "migrate/access_error.h"
#include "migrate/access_file.h"
#include "migrate/access_values.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace gz::migrate;
  static const std::string path = "/tmp/access-fuzz-" + std::to_string(getpid()) + ".mdb";
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
  try {
    AccessFile file(path, 936);
    if (file.header().officeEncrypted()) return 0;
    const TextForm form{file.header().version != JetVersion::Jet3, 936};
    for (const std::string& name : file.userTables()) {
      auto cursor = file.openTable(name);
      RawValue raw;
      while (cursor->next()) {
        for (std::size_t i = 0; i < cursor->table().columns.size(); ++i) {
          cursor->value(i, raw);
          ValueFault fault;
          (void)convertValue(cursor->table().columns[i], raw, form, fault);
        }
      }
    }
  } catch (const AccessError&) {
  }
  return 0;
}
