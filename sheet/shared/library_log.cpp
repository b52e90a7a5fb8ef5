#include "sheet/shared/library_log.h"

#include <glib.h>

namespace gz::sheet {
namespace {

void onLog(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer data) {
  if ((level & (G_LOG_LEVEL_ERROR | G_LOG_FLAG_FATAL)) != 0) g_log_default_handler(domain, level, message, data);
}

}  // namespace

void dropLibraryLog() { g_log_set_default_handler(&onLog, nullptr); }

}  // namespace gz::sheet
