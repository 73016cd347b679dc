// The loopback OAuth service of tests/web/oauth_server.py, started by the test program itself
// and stopped when the program ends. Wine runs a Unix program named by its Unix path directly
// (without a process handle to wait on), so the service writes its port into a file and
// watches this process's Unix pid to stop with it.
#pragma once

#include <windows.h>

#include <wininet.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "web/HttpRequest.h"

namespace loopback {

// The consumer the service knows (its key of the length oauthlib checks for).
constexpr const char* kConsumerKey = "kyrTestConsumerKey2026";
constexpr const char* kConsumerSecret = "cs&%secret ~+";

struct Service {
    int port = 0;
    int closedPort = 0;  // a port nothing listens on
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(port); }
};

inline std::string ThisDirectory() {
    std::string file = __FILE__;
    return file.substr(0, file.find_last_of("/\\"));
}

// The Unix path of a Windows path, through Wine's own export.
inline std::string UnixPath(const std::string& windowsPath) {
    using Fn = char*(CDECL*)(const WCHAR*);
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!fn) return std::string();
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* unixPath = fn(wide.c_str());
    if (!unixPath) return std::string();
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

// Wine opens files inside the calling process, so /proc/self is this program's Unix process.
inline int UnixPid() {
    std::ifstream stat("Z:\\proc\\self\\stat");
    int pid = 0;
    stat >> pid;
    return pid;
}

// A GET, as the player's browser would send it.
inline std::string HttpGet(const std::string& url) {
    struct Closer {
        void operator()(HINTERNET h) const { InternetCloseHandle(h); }
    };
    using Handle = std::unique_ptr<void, Closer>;
    Handle internet(InternetOpenA("loopback test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!internet) return std::string();
    Handle page(InternetOpenUrlA(internet.get(), url.c_str(), nullptr, 0,
                                 INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!page) return std::string();
    std::string body;
    char chunk[4096];
    DWORD read = 0;
    while (InternetReadFile(page.get(), chunk, sizeof(chunk), &read) && read > 0)
        body.append(chunk, read);
    return body;
}

class Environment : public testing::Environment {
public:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        portFile_ = std::string(temp) + "kyr_oauth_" + std::to_string(GetCurrentProcessId()) +
                    ".port";
        DeleteFileA(portFile_.c_str());
        const std::string unixPortFile = UnixPath(portFile_);
        ASSERT_FALSE(unixPortFile.empty()) << "no Unix path for " << portFile_;
        std::string command = "/usr/bin/python3 " + ThisDirectory() +
                              "/../../web/oauth_server.py --port-file " + unixPortFile +
                              " --parent-pid " + std::to_string(UnixPid());
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &pi))
            << "cannot start " << command << ": " << GetLastError();
        if (pi.hThread) CloseHandle(pi.hThread);
        if (pi.hProcess) CloseHandle(pi.hProcess);
        for (int i = 0; i < 150 && !Read(); ++i) Sleep(100);
        ASSERT_NE(Current().port, 0) << "the loopback service did not start: " << command;
    }
    void TearDown() override {
        if (Current().port) KYR::PostRequest(Current().Base() + "/shutdown", "");
        DeleteFileA(portFile_.c_str());
    }
    static Service& Current() {
        static Service service;
        return service;
    }

private:
    bool Read() {
        std::ifstream in(portFile_);
        Service s;
        if (!(in >> s.port >> s.closedPort)) return false;
        Current() = s;
        return true;
    }
    std::string portFile_;
};

inline const Service& Get() { return Environment::Current(); }

}  // namespace loopback
