// Profile (INI) files through the system's profile functions, the only way the tool touches
// Game.ini and System.ini.
#pragma once

#include <string>

namespace KYR {

class IniFile {
public:
    explicit IniFile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }
    bool Exists() const;

    // The value, `fallback` when the key is missing, "" when it is present but empty. Values
    // are cut at 255 bytes, as the game reads them.
    std::string Read(const char* section, const char* key, const char* fallback) const;
    // Write failures (read-only file or folder) are ignored: the caller keeps its values.
    void Write(const char* section, const char* key, const std::string& value) const;

private:
    std::string path_;
};

}  // namespace KYR
