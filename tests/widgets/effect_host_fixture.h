#pragma once
// The fixture of the effect movie host's tests, on both systems.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QWidget>
#include <cstdint>
#include <string>

#include "host/effect_movie_host.h"
#include "platform/files.h"
#include "support/environment.h"
#include "support/temp_dir.h"

namespace zv::testing {

// Points the cache (and the temporary directory; on Windows the local application data)
// at a fresh folder of the test's own, so the effect folder, without a runtime directory,
// is a folder in it.
class EffectHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedTmp_ = qgetenv("TMPDIR");
    savedRuntime_ = qgetenv("XDG_RUNTIME_DIR");
    savedCache_ = qgetenv("XDG_CACHE_HOME");
    savedLocal_ = qgetenv("LOCALAPPDATA");
    qputenv("TMPDIR", QByteArray::fromStdString(tmp.path()));
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(tmp.path()));
    qunsetenv("XDG_RUNTIME_DIR");
    setEnvironment("LOCALAPPDATA", tmp.path());
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.setGeometry(0, 0, 640, 360);
  }
  void TearDown() override {
    qputenv("TMPDIR", savedTmp_);
    restore("XDG_CACHE_HOME", savedCache_);
    restore("XDG_RUNTIME_DIR", savedRuntime_);
    if (savedLocal_.isNull()) {
      unsetEnvironment("LOCALAPPDATA");
    } else {
      setEnvironment("LOCALAPPDATA", savedLocal_.toStdString());
    }
  }

  std::string folder() {
    return tmp.path() + pathSeparator() + "zorvane" + pathSeparator() + "run";
  }
  std::string file(const std::string& name) { return folder() + pathSeparator() + name; }
  std::uint64_t id() { return EffectMovieHost::windowNumber(&window); }
  std::string name() { return "vexo-" + std::to_string(id()); }

  TempDir tmp;
  QWidget window;

 private:
  static void restore(const char* variable, const QByteArray& saved) {
    if (saved.isNull()) {
      qunsetenv(variable);
    } else {
      qputenv(variable, saved);
    }
  }

  QByteArray savedTmp_, savedRuntime_, savedCache_, savedLocal_;
};

}  // namespace zv::testing
