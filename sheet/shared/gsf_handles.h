// libgsf, the library that opens compound files and zip packages: its
// one-time set-up and the ownership of its objects.
#pragma once

#include <memory>

namespace gz::sheet {

// Initialises libgsf once per process (safe to call from anywhere, repeatedly).
void ensureGsfInitialized();

// Drops one reference to a GObject (every libgsf input and infile is one).
struct GObjectUnref {
  void operator()(void* object) const;
};
template <typename T>
using GsfPtr = std::unique_ptr<T, GObjectUnref>;

}  // namespace gz::sheet
