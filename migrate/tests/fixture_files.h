// The Access test databases of testdata/access, unpacked from gzip into a
// temporary folder for each test that asks.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <string>

namespace gz::migrate::testing {

class FixtureFiles {
 public:
  // The path of `name` (without ".gz") unpacked; fails the test when it cannot be.
  std::string path(const std::string& name) {
    const std::string out = QDir(dir_.path()).filePath(QString::fromStdString(name)).toStdString();
    const std::string in = std::string(GZ_TEST_DATA) + "/access/" + name + ".gz";
    gzFile gz = gzopen(in.c_str(), "rb");
    EXPECT_NE(gz, nullptr) << in;
    if (!gz) return out;
    std::ofstream file(out, std::ios::binary);
    char buffer[65536];
    int n = 0;
    while ((n = gzread(gz, buffer, sizeof buffer)) > 0) file.write(buffer, n);
    gzclose(gz);
    return out;
  }
  // A file of the given bytes in the same folder.
  std::string write(const std::string& name, const std::string& bytes) {
    const std::string out = QDir(dir_.path()).filePath(QString::fromStdString(name)).toStdString();
    std::ofstream(out, std::ios::binary) << bytes;
    return out;
  }
  std::string read(const std::string& name) {
    std::ifstream in(path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  QTemporaryDir dir_;
};

}  // namespace gz::migrate::testing
