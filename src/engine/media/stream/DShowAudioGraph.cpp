#include "engine/media/stream/DShowAudioGraph.h"

#include <uuids.h>

#include "engine/core/RefPtr.h"
#include "engine/media/dshow/MediaType.h"
#include "engine/media/graph/DShowDecoders.h"
#include "engine/media/graph/GraphBuildError.h"
#include "engine/media/graph/GraphSteps.h"

namespace KYR {

const CLSID kClsidWaveParser = {
    0xd51bd5a1, 0x7548, 0x11cf, {0xa5, 0x20, 0x00, 0x80, 0xc7, 0x7e, 0xf5, 0x8a}};
const CLSID kClsidMidiParser = {
    0xd51bd5a2, 0x7548, 0x11cf, {0xa5, 0x20, 0x00, 0x80, 0xc7, 0x7e, 0xf5, 0x8a}};
const CLSID kClsidWineDecodebinParser = {
    0xf9d8d64e, 0xa144, 0x47dc, {0x8e, 0xe0, 0xf5, 0x34, 0x98, 0x37, 0x2c, 0x29}};

namespace {

// Wine's GStreamer splitter filter, which exists only on Wine. There its MPEG-1 splitter
// delivers nothing after a seek to anywhere but 0 (and never completes), while this one
// parses, decodes and seeks MP3 right; it hands out decoded sound. On Windows the class is
// not registered and the MPEG-1 splitter and layer-3 decoder are used as everywhere else.
RefPtr<IBaseFilter> AddWineMp3Parser(IFilterGraph* graph) {
    RefPtr<IBaseFilter> parser;
    if (FAILED(CoCreateInstance(kClsidWineDecodebinParser, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IBaseFilter, reinterpret_cast<void**>(parser.Put()))) ||
        !parser || FAILED(graph->AddFilter(parser.Get(), L"Splitter")))
        return {};
    return parser;
}

bool IsDecodedAudio(const GUID& subtype) {
    return IsEqualGUID(subtype, MEDIASUBTYPE_PCM) ||
           IsEqualGUID(subtype, MEDIASUBTYPE_IEEE_FLOAT);
}

}  // namespace

void BuildAudioGraph(IFilterGraph* graph, IBaseFilter* source, MediaKind kind) {
    RefPtr<IBaseFilter> splitter;
    switch (kind) {
        case MediaKind::kWave:
            splitter = AddFilterStep(graph, kClsidWaveParser, L"Splitter",
                                 "WAVEParser CreateInstance Failed");
            break;
        case MediaKind::kMp3:
            splitter = AddWineMp3Parser(graph);
            if (!splitter)
                splitter = AddFilterStep(graph, CLSID_MPEG1Splitter, L"Splitter",
                                         "MPEG1Splitter CreateInstance Failed");
            break;
        case MediaKind::kMidi:
            splitter = AddFilterStep(graph, kClsidMidiParser, L"Splitter",
                                 "MIDIParser CreateInstance Failed");
            break;
        default:
            throw GraphBuildError{"Not Support File Type"};
    }
    RefPtr<IPin> sourceOut = RequirePin(source, PINDIR_OUTPUT, "DataStreamReader GetPin Failed");
    RefPtr<IPin> splitterIn = RequirePin(splitter.Get(), PINDIR_INPUT, "Splitter GetPin Failed");
    // The source's own offer first, as the video path does. For MP3 that is a stream of any
    // subtype, which Wine's MPEG-1 splitter refuses outright: it wants to be told it is MPEG
    // audio (what a file source's byte-pattern check would say), and our source accepts the
    // narrower type. A format type makes the type complete, so that try uses exactly it.
    if (FAILED(graph->ConnectDirect(sourceOut.Get(), splitterIn.Get(), nullptr))) {
        if (kind != MediaKind::kMp3) throw GraphBuildError{"Splitter Connect Failed"};
        CMediaType mpegAudio(MEDIATYPE_Stream);
        mpegAudio.SetSubtype(MEDIASUBTYPE_MPEG1Audio);
        mpegAudio.SetFormatType(FORMAT_None);
        ConnectStep(graph, sourceOut.Get(), splitterIn.Get(), "Splitter Connect Failed",
                    &mpegAudio);
    }

    if (kind == MediaKind::kMidi) {
        RefPtr<IBaseFilter> renderer = AddFilterStep(graph, CLSID_AVIMIDIRender, L"SoundRender",
                                                 "AVIMIDIRender, CreateInstance Failed");
        RefPtr<IPin> midiOut =
            RequirePin(splitter.Get(), PINDIR_OUTPUT, "Splitter GetPin Failed", &MEDIATYPE_Midi);
        RefPtr<IPin> rendererIn =
            RequirePin(renderer.Get(), PINDIR_INPUT, "SoundRender GetPin Failed");
        ConnectStep(graph, midiOut.Get(), rendererIn.Get(), "SoundRender Connect Failed");
        return;
    }

    RefPtr<IBaseFilter> renderer = AddFilterStep(graph, CLSID_DSoundRender, L"SoundRender",
                                             "DSoundRender, CreateInstance Failed");
    CMediaType audioType;
    RefPtr<IPin> audioOut = RequirePin(splitter.Get(), PINDIR_OUTPUT, "Splitter GetPin Failed",
                                       &MEDIATYPE_Audio, &audioType);
    if (!IsDecodedAudio(audioType.subtype)) {
        RefPtr<IBaseFilter> decoder = FindDecoder(audioType.subtype);
        if (!decoder || FAILED(graph->AddFilter(decoder.Get(), L"AudioCodec")))
            throw GraphBuildError{"FindCodec Failed"};
        RefPtr<IPin> decoderIn =
            RequirePin(decoder.Get(), PINDIR_INPUT, "CodecFilter GetPin Failed");
        ConnectStep(graph, audioOut.Get(), decoderIn.Get(), "CodecFilter Connect Failed");
        audioOut = RequirePin(decoder.Get(), PINDIR_OUTPUT, "CodecFilter GetPin Failed",
                              &MEDIATYPE_Audio);
    }
    RefPtr<IPin> rendererIn = RequirePin(renderer.Get(), PINDIR_INPUT, "SoundRender GetPin Failed");
    ConnectStep(graph, audioOut.Get(), rendererIn.Get(), "SoundRender Connect Failed");
}

}  // namespace KYR
