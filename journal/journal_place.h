// Where the journal lives and what it is keyed by: the operator's data
// folder, and the database named without any password.
#pragma once

#include <string>

namespace gz::journal {

// The journal file in the operator's own data folder (UTF-8 path), shared
// by the command line and the window.
std::string journalPath();

// Makes the file or folder readable and writable by the operator's account
// alone. On Windows the data folder under the user's profile is already
// closed to other accounts, and the file inherits that.
void keepPrivate(const std::string& path);

// The key the journal keeps a database's runs under (UTF-8), from the name
// the database was opened by: a file path made absolute, or the server's
// address with any password left out.
std::string databaseKey(const std::string& target);
// Whether a key names a database file (not a server's address).
bool namesFile(const std::string& key);

}  // namespace gz::journal
