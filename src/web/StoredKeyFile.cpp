#include "web/StoredKeyFile.h"

#include <windows.h>

#include <exception>
#include <vector>

#include "web/StoredKey.h"

namespace KYR {

namespace {

const char kSection[] = "Twitter";

// Room for the stored form of the longest text (5464 characters for 4096 bytes) and then
// some: a value cut by a smaller buffer would no longer decode, would be taken for plain
// text and scrambled a second time.
constexpr DWORD kValueBuffer = 8192;

}  // namespace

std::string LoadStoredKey(const std::string& path, const char* key) {
    if (path.empty()) return std::string();  // a bare name would be a file in the Windows folder
    std::vector<char> buffer(kValueBuffer);
    const DWORD length = GetPrivateProfileStringA(kSection, key, "", buffer.data(),
                                                  kValueBuffer, path.c_str());
    const StoredKeyText read = ReadStoredKey(std::string(buffer.data(), length));
    // A rewrite that does not reach the file leaves the plain value there, which reads the
    // same text next time: nothing is lost, so nothing is reported.
    if (read.rewrite)
        WritePrivateProfileStringA(kSection, key, read.rewrittenValue.c_str(), path.c_str());
    return read.text;
}

bool SaveStoredKey(const std::string& path, const char* key, const std::string& text) {
    if (path.empty()) return false;
    std::string value;
    try {
        value = MakeStoredKey(text);
    } catch (const std::exception&) {
        value.clear();  // out of memory: the key is stored empty, never half-written
    }
    return WritePrivateProfileStringA(kSection, key, value.c_str(), path.c_str()) != FALSE;
}

}  // namespace KYR
