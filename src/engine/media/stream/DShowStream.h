// CDShowStream: the DirectShow player for MIDI and compressed sound. Its graph is built by
// hand around the engine's stream source filter (which pulls from an IDataStream) and
// played by CGraphPlayback, whose monitor thread loops or ends the stream on completion.
#pragma once

#include <windows.h>

#include <dshow.h>

#include <cstdint>

#include "engine/core/RefPtr.h"
#include "engine/media/graph/GraphPlayback.h"
#include "engine/media/graph/MediaTypeName.h"
#include "engine/media/stream/IStreamControl.h"

namespace KYR {

class CDShowStream : public RefCounted<IStreamControl>, private GraphPlaybackHooks {
public:
    // `typeName` ("mid", "midi", "wav", "wave", "mp3"; any case) picks the parser at Open.
    // The calling thread must be in a COM apartment when it opens the stream.
    explicit CDShowStream(const char* typeName);
    ~CDShowStream() override;
    CDShowStream(const CDShowStream&) = delete;
    CDShowStream& operator=(const CDShowStream&) = delete;

    bool Open(IDataStream* stream, bool looping, uint32_t loopPositionMs) override;
    // Runs the graph; does nothing once the stream has ended (until Stop).
    void Play() override { graph_.Play(); }
    // Stops the graph where it is: the graph keeps its position for the next Play.
    void Pause() override { graph_.Pause(); }
    void Stop() override { graph_.Stop(); }
    void Close() override { graph_.Close(); }
    uint32_t GetLength() override { return graph_.GetLength(); }
    uint32_t GetPosition() override { return graph_.GetPosition(); }
    void SetPosition(uint32_t ms) override { graph_.SetPosition(ms); }
    int32_t GetVolume() override { return graph_.GetVolume(); }
    void SetVolume(int32_t volume) override { graph_.SetVolume(volume); }
    int32_t GetPan() override { return graph_.GetBalance(); }
    void SetPan(int32_t pan) override { graph_.SetBalance(pan); }
    int32_t GetSpeed() override { return graph_.GetRate(); }
    void SetSpeed(int32_t percent) override { graph_.SetRate(percent); }
    bool IsLooping() override { return graph_.IsLoop(); }
    uint32_t GetLoopPosition() override { return graph_.GetLoopStart(); }
    int32_t GetStatus() override;
    void SetLoopPosition(uint32_t ms) override { graph_.SetLoopStart(ms); }

    // Why the last Open failed ("" after a successful one).
    const char* LastOpenError() const { return graph_.LastOpenError(); }
    // Completions the monitor thread has handled (looped or ended), for tests and tools.
    long CompletionCount() const { return graph_.CompletionCount(); }
    // The lock every control operation and the monitor's handling of a completion take.
    CCriticalSection* ControlLock() { return graph_.ControlLock(); }

private:
    void BuildGraph(IGraphBuilder* graph, IBaseFilter* source) override;

    const MediaKind kind_;
    CGraphPlayback graph_{this, "Audio Length Invalid"};
};

}  // namespace KYR
