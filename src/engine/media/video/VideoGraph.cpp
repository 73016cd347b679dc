#include "engine/media/video/VideoGraph.h"

#include <uuids.h>

#include "engine/core/RefPtr.h"
#include "engine/media/dshow/MediaType.h"
#include "engine/media/graph/DShowDecoders.h"
#include "engine/media/graph/DShowPins.h"
#include "engine/media/graph/GraphBuildError.h"
#include "engine/media/graph/GraphSteps.h"

namespace KYR {
namespace {

// The sound is a bonus: a movie without it, or with sound no decoder here takes, plays
// silently, so nothing in here fails the graph.
void AddSound(IFilterGraph* graph, IBaseFilter* splitter) {
    RefPtr<IBaseFilter> renderer;
    if (FAILED(CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IBaseFilter, reinterpret_cast<void**>(renderer.Put()))) ||
        !renderer || FAILED(graph->AddFilter(renderer.Get(), L"SoundRender")))
        return;
    CMediaType audioType;
    RefPtr<IPin> audioOut =
        FindUnconnectedPin(splitter, PINDIR_OUTPUT, &MEDIATYPE_Audio, &audioType);
    if (!audioOut) return;
    if (!IsEqualGUID(audioType.subtype, MEDIASUBTYPE_PCM)) {
        RefPtr<IBaseFilter> decoder = FindDecoder(audioType.subtype);
        if (decoder && SUCCEEDED(graph->AddFilter(decoder.Get(), L"AudioCodec"))) {
            RefPtr<IPin> decoderIn = FindUnconnectedPin(decoder.Get(), PINDIR_INPUT);
            if (!decoderIn ||
                FAILED(graph->ConnectDirect(audioOut.Get(), decoderIn.Get(), nullptr)))
                return;
            audioOut = FindUnconnectedPin(decoder.Get(), PINDIR_OUTPUT, &MEDIATYPE_Audio);
            if (!audioOut) return;
        }
    }
    RefPtr<IPin> rendererIn = FindUnconnectedPin(renderer.Get(), PINDIR_INPUT);
    if (rendererIn) graph->ConnectDirect(audioOut.Get(), rendererIn.Get(), nullptr);
}

void ConnectSourceToSplitter(IFilterGraph* graph, IBaseFilter* source, IBaseFilter* splitter,
                             VideoContainer container) {
    RefPtr<IPin> sourceOut = RequirePin(source, PINDIR_OUTPUT, "DataStreamReader GetPin Failed");
    RefPtr<IPin> splitterIn = RequirePin(splitter, PINDIR_INPUT, "Splitter GetPin Failed");
    if (SUCCEEDED(graph->ConnectDirect(sourceOut.Get(), splitterIn.Get(), nullptr))) return;
    if (container != VideoContainer::kMpeg1) throw GraphBuildError{"Splitter Connect Failed"};
    // Wine's MPEG-1 splitter refuses a stream of open subtype, where a file source would
    // have said "system stream" from the bytes; our source also takes the narrower type.
    CMediaType system(MEDIATYPE_Stream);
    system.SetSubtype(MEDIASUBTYPE_MPEG1System);
    system.SetFormatType(FORMAT_None);
    ConnectStep(graph, sourceOut.Get(), splitterIn.Get(), "Splitter Connect Failed", &system);
}

}  // namespace

void BuildVideoGraph(IFilterGraph* graph, IBaseFilter* source, VideoContainer container,
                     IBaseFilter* renderer, IBaseFilter* callerFilter,
                     VideoGraphListener* listener) {
    const bool avi = container == VideoContainer::kAvi;
    if (container == VideoContainer::kOther) throw GraphBuildError{"Not Support File Type"};
    RefPtr<IBaseFilter> splitter =
        avi ? AddFilterStep(graph, CLSID_AviSplitter, L"Splitter",
                            "AviSplitter CreateInstance Failed")
            : AddFilterStep(graph, CLSID_MPEG1Splitter, L"Splitter",
                            "MPEG1Splitter CreateInstance Failed");
    ConnectSourceToSplitter(graph, source, splitter.Get(), container);

    CMediaType videoType;
    RefPtr<IPin> videoOut = RequirePin(splitter.Get(), PINDIR_OUTPUT, "Splitter GetPin Failed",
                                       &MEDIATYPE_Video, &videoType);
    listener->OnVideoSubtype(videoType.subtype);

    RefPtr<IBaseFilter> decoder;
    const char* pinFailure = avi ? "CodecFilter GetPin Failed" : "MpegCodec GetPin Failed";
    const char* connectFailure = avi ? "CodecFilter Connect Failed" : "MpegCodec Connect Failed";
    if (avi) {
        decoder = FindDecoder(videoType.subtype);
        if (!decoder) throw GraphBuildError{"FindCodec Failed"};
        AddExistingFilterStep(graph, decoder.Get(), L"VideoCodec", "FindCodec Failed");
    } else {
        decoder = AddFilterStep(graph, CLSID_CMpegVideoCodec, L"VideoCodec",
                                "CMpegVideoCodec CreateInstance Failed");
    }
    RefPtr<IPin> decoderIn = RequirePin(decoder.Get(), PINDIR_INPUT, pinFailure);
    ConnectStep(graph, videoOut.Get(), decoderIn.Get(), connectFailure);
    RefPtr<IPin> current = RequirePin(decoder.Get(), PINDIR_OUTPUT, pinFailure, &MEDIATYPE_Video);

    if (callerFilter) {
        listener->OnCallerFilter();
        AddExistingFilterStep(graph, callerFilter, L"TransFormFilter", "AddFilter Connect Failed");
        RefPtr<IPin> in = RequirePin(callerFilter, PINDIR_INPUT, "AddFilter GetPin Failed");
        ConnectStep(graph, current.Get(), in.Get(), "AddFilter Connect Failed");
        current = RequirePin(callerFilter, PINDIR_OUTPUT, "AddFilter GetPin Failed");
    }

    RefPtr<IPin> rendererIn = RequirePin(renderer, PINDIR_INPUT, "VideoRender GetPin Failed");
    ConnectStep(graph, current.Get(), rendererIn.Get(), "VideoRender Connect Failed");

    AddSound(graph, splitter.Get());
}

}  // namespace KYR
