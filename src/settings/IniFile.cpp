#include "settings/IniFile.h"

#include <windows.h>

#include <shlwapi.h>

namespace KYR {

bool IniFile::Exists() const { return HasPlace() && PathFileExistsA(path_.c_str()) != FALSE; }

std::string IniFile::Read(const char* section, const char* key, const char* fallback) const {
    if (!HasPlace()) return fallback ? fallback : "";
    char buffer[256];
    const DWORD n = GetPrivateProfileStringA(section, key, fallback, buffer, sizeof(buffer),
                                             path_.c_str());
    return std::string(buffer, n);
}

bool IniFile::Write(const char* section, const char* key, const std::string& value) const {
    if (!HasPlace()) return false;
    return WritePrivateProfileStringA(section, key, value.c_str(), path_.c_str()) != FALSE;
}

}  // namespace KYR
