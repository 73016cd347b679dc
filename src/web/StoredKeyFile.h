// The [Twitter] keys in a profile file, in their stored form (web/StoredKey.h).
#pragma once

#include <string>

namespace KYR {

// The plain "key&secret" text of `key` in [Twitter] of the profile file at `path`; "" when
// the key is missing or empty. A plain value found there is rewritten in the stored form.
// An empty path (a folder the program cannot name) reads nothing.
std::string LoadStoredKey(const std::string& path, const char* key);

// Writes `text` in the stored form ("" stays "", leaving "key=" in the file). False when the
// value did not reach the file (access denied, a lock, a full disk) or the path is empty.
bool SaveStoredKey(const std::string& path, const char* key, const std::string& text);

}  // namespace KYR
