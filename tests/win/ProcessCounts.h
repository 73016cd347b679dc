// What a test can count of its own process, to see that the engine gives back what it made.
#pragma once

#include <windows.h>

#include <dshow.h>
#include <tlhelp32.h>

#include <vector>

namespace kyrtest {

// The process's open handles, from the system's handle list: Wine's GetProcessHandleCount
// always reports 0. 0 when the list cannot be read, which the callers refuse.
inline DWORD HandleCount() {
    struct Entry {
        ULONG pid;
        BYTE type, flags;
        USHORT value;
        void* object;
        ACCESS_MASK access;
    };
    using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    std::vector<BYTE> buffer(1 << 16);
    for (;;) {
        ULONG needed = 0;
        const LONG status = query(16 /* SystemHandleInformation */, buffer.data(),
                                  static_cast<ULONG>(buffer.size()), &needed);
        if (status == static_cast<LONG>(0xC0000004)) {  // STATUS_INFO_LENGTH_MISMATCH
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status != 0) return 0;
        break;
    }
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(void*));
    DWORD mine = 0;
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].pid == GetCurrentProcessId()) ++mine;
    return mine;
}

// Wine's filter graph manager keeps one handle of its own for every graph made (seen on
// this bench: 1 each time, after the first graph's 10). A failed Open may leave that much.
inline DWORD GraphHandleCost() {
    DWORD cost = 0;
    for (int i = 0; i < 2; ++i) {  // the first one loads quartz and warms up its threads
        const DWORD before = HandleCount();
        IGraphBuilder* graph = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IGraphBuilder, reinterpret_cast<void**>(&graph))))
            graph->Release();
        cost = HandleCount() - before;
    }
    return cost;
}

// The process's threads, from a system snapshot; 0 when it cannot be taken.
inline DWORD ThreadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    DWORD mine = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++mine;
    CloseHandle(snapshot);
    return mine;
}

}  // namespace kyrtest
