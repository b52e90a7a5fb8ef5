// libgsf, the library that opens compound files and zip packages, and GLib
// beneath it: the one-time set-up and the ownership of their objects.
#pragma once

#include <memory>

typedef struct _GError GError;

namespace gz::sheet {

// Initialises libgsf once per process (safe to call from anywhere, repeatedly).
void ensureGsfInitialized();

// Drops one reference to a GObject (every libgsf input and infile is one).
struct GObjectUnref {
  void operator()(void* object) const;
};
template <typename T>
using GsfPtr = std::unique_ptr<T, GObjectUnref>;

// Memory GLib allocated (g_free).
struct GFree {
  void operator()(void* memory) const;
};
template <typename T>
using GlibPtr = std::unique_ptr<T, GFree>;

// The error a GLib call may report through its out-parameter, freed with
// the object; only whether one was reported matters here.
class GErrorSlot {
 public:
  GErrorSlot() = default;
  GErrorSlot(const GErrorSlot&) = delete;
  GErrorSlot& operator=(const GErrorSlot&) = delete;
  ~GErrorSlot();
  GError** out() { return &error_; }

 private:
  GError* error_ = nullptr;
};

}  // namespace gz::sheet
