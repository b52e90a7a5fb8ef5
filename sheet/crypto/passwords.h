// Trying passwords on an encrypted workbook: the default password first and
// silently, as spreadsheet programs do, then each one the operator gives.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace gz::sheet {

// Asked for the password of an encrypted workbook that the default password
// does not open. `file` is the name the operator chose (UTF-8); `lastWasWrong`
// tells that the password given before did not open it. Returns the password
// (UTF-8), or nullopt to give up.
using PasswordSource = std::function<std::optional<std::string>(const std::string& file, bool lastWasWrong)>;

// `ask`, answering again with its last password when a workbook is opened
// anew (another of its sheets is read), so that the operator is asked once.
// A remembered password that does not open it is forgotten and `ask` asked.
PasswordSource rememberingPassword(PasswordSource ask);

// The password a workbook is encrypted with when its author set none to open
// it (only one to modify it, or a protected structure).
inline constexpr const char16_t* kDefaultPassword = u"VelvetSweatshop";

// True when the password opens the workbook; it may keep the key it derived.
using PasswordCheck = std::function<bool(const std::u16string& password)>;

// Tries kDefaultPassword, then the passwords `ask` gives (none when it is
// empty) until `opens` accepts one. Throws ReadError: Encrypted when no
// password was given, WrongPassword when the last one given was refused.
// `file` is passed on to `ask`; no password appears in any message.
void unlockWithPasswords(const PasswordCheck& opens, const PasswordSource& ask, const std::string& file);

}  // namespace gz::sheet
