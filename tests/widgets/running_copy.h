#pragma once
// A running copy of the program for the single-copy tests (x11/, windows/): it holds the
// folder and counts the raise requests it was given.
#include <QTest>
#include <string>

#include "platform/qt/single_copy.h"

namespace zv::testing {

struct RunningCopy {
  explicit RunningCopy(const std::string& directory) : copy(directory) {
    claim = copy.claim();
    copy.onRaiseRequest([this] { ++raised; });
  }
  // Answers go out from the copy's own thread; the raise waits for this thread's events.
  int raisedAfterEvents() {
    QTest::qWait(100);
    return raised;
  }
  SingleCopy copy;
  SingleCopy::Claim claim;
  int raised = 0;
};

}  // namespace zv::testing
