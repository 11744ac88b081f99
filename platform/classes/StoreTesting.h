#pragma once
// Test helpers of the registry and INI stores: a folder that goes away, file
// contents, and a write failure that the system itself produces.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QTemporaryDir>
#include <csignal>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/classes/RegistryStore.h"
#include "platform/classes/StoreFiles_p.h"

// A new empty folder, removed with everything in it at the end of the test.
class TTestFolder {
 public:
  std::string Path(const std::string& name = {}) const {
    const std::string root = dir_.path().toStdString();
    return name.empty() ? root : root + "/" + name;
  }

 private:
  QTemporaryDir dir_;
};

// A test whose current user's registry is a file of its own.
class TRegistryFileTest : public ::testing::Test {
 protected:
  void SetUp() override { SetRegistryFileName(RegistryFile()); }
  void TearDown() override { SetRegistryFileName(""); }
  std::string RegistryFile() const { return folder_.Path("registry"); }

  TTestFolder folder_;
};

inline std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void SetFileText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// While alive, no file of the process may grow beyond `bytes`: a longer
// write fails with EFBIG, as on a full disk, and works for root too.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  struct rlimit old_ {};
  void (*oldHandler_)(int) = nullptr;
};
