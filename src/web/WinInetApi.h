// The WinINet calls of the HTTP client, bound on first use like the DirectX DLLs: WinINet
// brings the network stack with it (sockets, DNS, proxy settings), which costs the tool a
// noticeable part of its start-up under Wine while only the link page ever needs it. Each
// behaves like the WinINet function; without the DLL it fails with ERROR_MOD_NOT_FOUND.
#pragma once

#include <windows.h>

#include <wininet.h>

namespace KYR {
namespace inet {

HINTERNET OpenA(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR bypass, DWORD flags);
HINTERNET ConnectA(HINTERNET internet, LPCSTR host, INTERNET_PORT port, LPCSTR user,
                   LPCSTR password, DWORD service, DWORD flags, DWORD_PTR context);
HINTERNET OpenRequestA(HINTERNET connection, LPCSTR verb, LPCSTR object, LPCSTR version,
                       LPCSTR referrer, LPCSTR* acceptTypes, DWORD flags, DWORD_PTR context);
BOOL SendRequestA(HINTERNET request, LPCSTR headers, DWORD headersLength, LPVOID optional,
                  DWORD optionalLength);
BOOL ReadFile(HINTERNET file, LPVOID buffer, DWORD toRead, LPDWORD read);
BOOL SetOptionA(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length);
BOOL CloseHandle(HINTERNET handle);

}  // namespace inet
}  // namespace KYR
