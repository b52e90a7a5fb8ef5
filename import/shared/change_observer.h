// What the run tells about each person it is about to change or has added,
// for a journal that can take the run back.
#pragma once

#include <cstdint>

namespace gz::imp {

// What the run tells about each person it is about to change or has added, for a journal that can take the run back.
class ChangeObserver {
 public:
  virtual ~ChangeObserver() = default;
  virtual void personChanging(int64_t personId) = 0;
  virtual void personAdded(int64_t personId) = 0;
};

}  // namespace gz::imp
