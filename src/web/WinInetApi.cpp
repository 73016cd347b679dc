#include "web/WinInetApi.h"

#include "engine/core/LazyDll.h"

namespace KYR {
namespace inet {
namespace {

LazyModule& WinInet() {
    static LazyModule module("wininet.dll");
    return module;
}

template <class Fn>
Fn Bind(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(WinInet().Proc(name)));
}

template <class R>
R Missing(R failure) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return failure;
}

}  // namespace

HINTERNET OpenA(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR bypass, DWORD flags) {
    using Fn = HINTERNET(WINAPI*)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD);
    static const Fn fn = Bind<Fn>("InternetOpenA");
    return fn ? fn(agent, accessType, proxy, bypass, flags) : Missing<HINTERNET>(nullptr);
}

HINTERNET ConnectA(HINTERNET internet, LPCSTR host, INTERNET_PORT port, LPCSTR user,
                   LPCSTR password, DWORD service, DWORD flags, DWORD_PTR context) {
    using Fn = HINTERNET(WINAPI*)(HINTERNET, LPCSTR, INTERNET_PORT, LPCSTR, LPCSTR, DWORD, DWORD,
                                  DWORD_PTR);
    static const Fn fn = Bind<Fn>("InternetConnectA");
    return fn ? fn(internet, host, port, user, password, service, flags, context)
              : Missing<HINTERNET>(nullptr);
}

HINTERNET OpenRequestA(HINTERNET connection, LPCSTR verb, LPCSTR object, LPCSTR version,
                       LPCSTR referrer, LPCSTR* acceptTypes, DWORD flags, DWORD_PTR context) {
    using Fn = HINTERNET(WINAPI*)(HINTERNET, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR*, DWORD,
                                  DWORD_PTR);
    static const Fn fn = Bind<Fn>("HttpOpenRequestA");
    return fn ? fn(connection, verb, object, version, referrer, acceptTypes, flags, context)
              : Missing<HINTERNET>(nullptr);
}

BOOL SendRequestA(HINTERNET request, LPCSTR headers, DWORD headersLength, LPVOID optional,
                  DWORD optionalLength) {
    using Fn = BOOL(WINAPI*)(HINTERNET, LPCSTR, DWORD, LPVOID, DWORD);
    static const Fn fn = Bind<Fn>("HttpSendRequestA");
    return fn ? fn(request, headers, headersLength, optional, optionalLength) : Missing(FALSE);
}

BOOL ReadFile(HINTERNET file, LPVOID buffer, DWORD toRead, LPDWORD read) {
    using Fn = BOOL(WINAPI*)(HINTERNET, LPVOID, DWORD, LPDWORD);
    static const Fn fn = Bind<Fn>("InternetReadFile");
    return fn ? fn(file, buffer, toRead, read) : Missing(FALSE);
}

BOOL SetOptionA(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length) {
    using Fn = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, DWORD);
    static const Fn fn = Bind<Fn>("InternetSetOptionA");
    return fn ? fn(handle, option, buffer, length) : Missing(FALSE);
}

BOOL CloseHandle(HINTERNET handle) {
    using Fn = BOOL(WINAPI*)(HINTERNET);
    static const Fn fn = Bind<Fn>("InternetCloseHandle");
    return fn ? fn(handle) : Missing(FALSE);
}

}  // namespace inet
}  // namespace KYR
