#include "engine/media/stream/KYRDS.h"

#include <new>
#include <utility>

#include "engine/core/DxEntryPoints.h"
#include "engine/media/sound/DSSoundBuffer.h"
#include "engine/media/sound/SoundObjectIds.h"
#include "engine/media/stream/DSMediaStream.h"

namespace KYR {
namespace {

// The engine mixes everything as CD-quality stereo; secondary buffers of other formats are
// converted by DirectSound into this.
constexpr WORD kPrimaryChannels = 2;
constexpr DWORD kPrimaryRate = 44100;
constexpr WORD kPrimaryBits = 16;

}  // namespace

void* CKYRDS::CreateObject(REFGUID id) {
    if (IsEqualGUID(id, kIdDirectSoundObject)) return directSound_.Get();
    // The pointer handed out is the interface's: with two bases the object's address is not.
    if (IsEqualGUID(id, kIdDSSoundBuffer))
        return static_cast<IDSSoundBuffer*>(new (std::nothrow) CDSSoundBuffer(this));
    if (IsEqualGUID(id, kIdDSMediaStream))
        return static_cast<IDSMediaStream*>(new (std::nothrow) CDSMediaStream(this));
    return nullptr;
}

bool CKYRDS::Initialize(HWND window) {
    if (!window || directSound_) return false;
    RefPtr<IDirectSound8> ds;
    if (FAILED(dx::DirectSoundCreate8(nullptr, ds.Put(), nullptr)) || !ds) return false;
    directSound_ = std::move(ds);
    // Priority level is what lets the primary buffer's format be set. A failure here or below
    // leaves the object in place: sounds still play, in DirectSound's own format, and
    // Shutdown clears it.
    if (FAILED(directSound_->SetCooperativeLevel(window, DSSCL_PRIORITY))) return false;

    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLFREQUENCY |
                   DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS |
                   DSBCAPS_GETCURRENTPOSITION2;
    RefPtr<IDirectSoundBuffer> primary;
    if (FAILED(directSound_->CreateSoundBuffer(&desc, primary.Put(), nullptr))) return false;

    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = kPrimaryChannels;
    format.nSamplesPerSec = kPrimaryRate;
    format.wBitsPerSample = kPrimaryBits;
    format.nBlockAlign = kPrimaryChannels * kPrimaryBits / 8;
    format.nAvgBytesPerSec = format.nBlockAlign * kPrimaryRate;
    // Not fatal: DirectSound then mixes in the device's format.
    primary->SetFormat(&format);
    return true;
}

void CKYRDS::Shutdown() {
    if (!directSound_) return;
    directSound_->SetCooperativeLevel(nullptr, DSSCL_NORMAL);
    directSound_.Reset();
}

}  // namespace KYR
