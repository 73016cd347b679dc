// Profile (INI) files through the system's profile functions, the only way the tool touches
// Game.ini and System.ini.
#pragma once

#include <string>

namespace KYR {

class IniFile {
public:
    // `directory` ends with a backslash. An empty one (a folder the program cannot name)
    // leaves the file without a path: the profile functions would take the bare file name
    // for one in the Windows folder, so such a file reads as missing and takes no writes.
    IniFile(const std::string& directory, const char* name)
        : path_(directory.empty() ? std::string() : directory + name) {}

    // Empty when the file has no place.
    const std::string& Path() const { return path_; }
    bool HasPlace() const { return !path_.empty(); }
    bool Exists() const;

    // The value, `fallback` when the key is missing, "" when it is present but empty. Values
    // are cut at 255 bytes, as the game reads them.
    std::string Read(const char* section, const char* key, const char* fallback) const;
    // False when the value did not reach the file: no place for it, or the system refused
    // (access denied in a protected folder, a read-only file, a full disk, a lock held by
    // another program).
    bool Write(const char* section, const char* key, const std::string& value) const;

private:
    std::string path_;
};

}  // namespace KYR
