// CDShowStream: the DirectShow player for MIDI and compressed sound. Its graph is built by
// hand around the engine's stream source filter (which pulls from an IDataStream), and a
// monitor thread watches the graph's events to loop or end the stream on completion.
//
// Release order matters: the graph's source filter reads through the stream module on its
// worker thread, and the module reads the data stream. So the graph goes first, then the
// module, then the stream, on Close and on every failed Open.
#pragma once

#include <windows.h>

#include <dshow.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/core/CriticalSection.h"
#include "engine/core/RefPtr.h"
#include "engine/core/ScopedHandle.h"
#include "engine/media/IStreamControl.h"
#include "engine/media/dshow/DataStreamModule.h"
#include "engine/media/dshow/MediaType.h"

namespace KYR {

class CDShowStream : public RefCounted<IStreamControl> {
public:
    // `typeName` ("mid", "midi", "wav", "wave", "mp3"; any case) picks the parser at Open.
    // The calling thread must be in a COM apartment when it opens the stream.
    explicit CDShowStream(const char* typeName);
    ~CDShowStream() override;
    CDShowStream(const CDShowStream&) = delete;
    CDShowStream& operator=(const CDShowStream&) = delete;

    bool Open(IDataStream* stream, bool looping, uint32_t loopPositionMs) override;
    // Runs the graph; does nothing once the stream has ended (until Stop).
    void Play() override;
    // Stops the graph where it is: the graph keeps its position for the next Play.
    void Pause() override;
    void Stop() override;
    void Close() override;
    uint32_t GetLength() override;
    uint32_t GetPosition() override;
    void SetPosition(uint32_t ms) override;
    int32_t GetVolume() override;
    void SetVolume(int32_t volume) override;
    int32_t GetPan() override;
    void SetPan(int32_t pan) override;
    int32_t GetSpeed() override;
    void SetSpeed(int32_t percent) override;
    bool IsLooping() override { return looping_; }
    uint32_t GetLoopPosition() override { return loopMs_; }
    int32_t GetStatus() override;
    void SetLoopPosition(uint32_t ms) override;

    // Why the last Open failed ("" after a successful one).
    const char* LastOpenError() const { return lastError_; }
    // Completions the monitor thread has handled (looped or ended), for tests and tools.
    long CompletionCount() const { return completions_; }

private:
    static DWORD WINAPI MonitorThread(void* self);
    void MonitorLoop();
    void OnGraphEvents();
    void SeekTo(uint32_t ms);
    void ReleaseAll();

    // Read by the monitor thread while the caller changes them.
    std::atomic<bool> open_{false};
    std::atomic<bool> playing_{false};
    std::atomic<bool> paused_{false};
    std::atomic<uint32_t> lengthMs_{0};
    std::atomic<uint32_t> loopMs_{0};
    std::atomic<bool> looping_{false};
    std::atomic<bool> ended_{false};
    std::atomic<long> completions_{0};

    // Released in reverse order of declaration by ReleaseAll: graph, module, stream.
    RefPtr<IDataStream> stream_;
    std::shared_ptr<CDataStreamModule> module_;
    RefPtr<IFilterGraph> graph_;
    RefPtr<IMediaControl> control_;
    RefPtr<IMediaSeeking> seeking_;
    RefPtr<IMediaEvent> events_;
    RefPtr<IBasicAudio> audio_;

    ScopedHandle thread_;
    ScopedHandle quit_;        // manual reset: the monitor thread is to end
    ScopedHandle graphEvent_;  // our duplicate of the graph's event handle
    std::string typeName_;
    CMediaType sourceType_;
    const char* lastError_ = "";
    CCriticalSection lock_;  // the control operations among themselves
};

}  // namespace KYR
