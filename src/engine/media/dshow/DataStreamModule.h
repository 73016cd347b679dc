// CDataStreamModule: CAsyncStream over one engine IDataStream. The stream is borrowed: the
// module's creator keeps it (and the module) alive for as long as a filter reads from it.
// The module's lock serialises every access to the stream, whose position is shared state.
#pragma once

#include <windows.h>

#include "engine/core/CriticalSection.h"
#include "engine/core/IDataStream.h"
#include "engine/media/dshow/AsyncStream.h"

namespace KYR {

class CDataStreamModule : public CAsyncStream {
public:
    explicit CDataStreamModule(IDataStream* stream) : stream_(stream) {}

    HRESULT SeekTo(LONGLONG position) override;
    // Whole or nothing: a read that would run past the end fails with E_FAIL. Zero bytes
    // always succeed, at the end too.
    HRESULT ReadBytes(BYTE* buffer, LONG length, BOOL aligned, LONG* read) override;
    LONGLONG GetTotalSize(LONGLONG* available) override;
    LONG GetAlignment() override { return 1; }
    void LockStream() override { lock_.Enter(); }
    void UnlockStream() override { lock_.Leave(); }

private:
    IDataStream* const stream_;  // borrowed
    CCriticalSection lock_;      // re-entrant: a request holds it around SeekTo and ReadBytes
};

}  // namespace KYR
