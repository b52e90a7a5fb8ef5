#include "sheet/crypto/passwords.h"

#include <glib.h>

#include <memory>
#include <optional>

#include "sheet/model/read_error.h"
#include "sheet/shared/gsf_handles.h"

namespace gz::sheet {
namespace {

// nullopt for text that is not UTF-8, which no password of the file can be.
std::optional<std::u16string> utf16(const std::string& utf8) {
  glong length = 0;
  const GlibPtr<gunichar2> wide(
      g_utf8_to_utf16(utf8.data(), static_cast<glong>(utf8.size()), nullptr, &length, nullptr));
  if (!wide) return std::nullopt;
  return std::u16string(reinterpret_cast<const char16_t*>(wide.get()), static_cast<std::size_t>(length));
}

}  // namespace

PasswordSource rememberingPassword(PasswordSource ask) {
  if (!ask) return ask;
  struct Memory {
    std::optional<std::string> password;
    bool lastFromMemory = false;
  };
  auto memory = std::make_shared<Memory>();
  return [ask = std::move(ask), memory](const std::string& file, bool lastWasWrong) -> std::optional<std::string> {
    if (lastWasWrong && memory->lastFromMemory) {
      // The operator never gave that one for this opening: a fresh question.
      memory->password.reset();
      lastWasWrong = false;
    }
    memory->lastFromMemory = false;
    if (!lastWasWrong && memory->password) {
      memory->lastFromMemory = true;
      return memory->password;
    }
    memory->password = ask(file, lastWasWrong);
    return memory->password;
  };
}

void unlockWithPasswords(const PasswordCheck& opens, const PasswordSource& ask, const std::string& file) {
  if (opens(kDefaultPassword)) return;
  bool lastWasWrong = false;
  while (ask) {
    const std::optional<std::string> given = ask(file, lastWasWrong);
    if (!given) break;
    const std::optional<std::u16string> password = utf16(*given);
    if (password && opens(*password)) return;
    lastWasWrong = true;
  }
  if (lastWasWrong) throw ReadError(kWrongPassword, WorkbookFault::WrongPassword);
  throw ReadError(kEncrypted, WorkbookFault::Encrypted);
}

}  // namespace gz::sheet
