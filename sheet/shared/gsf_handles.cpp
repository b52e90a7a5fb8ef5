#include "sheet/shared/gsf_handles.h"

#include <gsf/gsf-utils.h>

#include <mutex>

namespace gz::sheet {

void ensureGsfInitialized() {
  static std::once_flag once;
  std::call_once(once, [] { gsf_init(); });
}

void GObjectUnref::operator()(void* object) const {
  if (object) g_object_unref(object);
}

void GFree::operator()(void* memory) const { g_free(memory); }

GErrorSlot::~GErrorSlot() {
  if (error_) g_error_free(error_);
}

}  // namespace gz::sheet
