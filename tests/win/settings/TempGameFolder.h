// A temporary game folder with real INI files, removed with the object.
#pragma once

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

class TempGameFolder {
public:
    TempGameFolder() {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        static int serial = 0;
        dir_ = std::string(base) + "kyr_game_" + std::to_string(GetCurrentProcessId()) + "_" +
               std::to_string(++serial) + "\\";
        CreateDirectoryA(dir_.c_str(), nullptr);
    }
    ~TempGameFolder() {
        for (const char* name : {"Game.ini", "System.ini"}) {
            const std::string path = dir_ + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
            RemoveDirectoryA(path.c_str());  // a test's stand-in for a file nobody may write
        }
        RemoveDirectoryA(dir_.c_str());
    }
    TempGameFolder(const TempGameFolder&) = delete;
    TempGameFolder& operator=(const TempGameFolder&) = delete;

    const std::string& Dir() const { return dir_; }
    std::string Path(const char* name) const { return dir_ + name; }
    bool Has(const char* name) const {
        return GetFileAttributesA(Path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    void Write(const char* name, const std::string& content) const {
        std::ofstream(Path(name), std::ios::binary) << content;
    }
    // Puts an empty folder where the file would go: every write to it fails, root's too.
    bool BlockWithFolder(const char* name) const {
        return CreateDirectoryA(Path(name).c_str(), nullptr) != FALSE;
    }
    std::string Read(const char* name) const {
        std::ifstream in(Path(name), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    std::string dir_;
};
