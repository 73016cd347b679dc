#include "engine/media/stream/DSMediaStream.h"

#include <new>
#include <utility>

#include "engine/media/graph/MediaTypeName.h"
#include "engine/media/sound/SoundObjectIds.h"
#include "engine/media/stream/DShowStream.h"
#include "engine/media/stream/DSoundStream.h"

namespace KYR {

// Until the first Open the player is an unopened DirectShow one: every call on it does
// nothing, so the facade never needs a null check.
CDSMediaStream::CDSMediaStream(IKYRDS* owner)
    : owner_(RefPtr<IKYRDS>::AddRefOf(owner)), player_(new CDShowStream("wave")) {}

bool CDSMediaStream::Open(IDataStream* stream, const char* typeName, bool looping,
                          uint32_t loopPositionMs, ISoundReader* reader) {
    if (!owner_ || !owner_->CreateObject(kIdDirectSoundObject) || open_) return false;
    IStreamControl* next = nullptr;
    if (UsesDirectShow(typeName, reader != nullptr))
        next = new (std::nothrow) CDShowStream(typeName);
    else
        next = new (std::nothrow) CDSoundStream(owner_.Get(), reader);
    if (!next) return false;
    player_ = RefPtr<IStreamControl>(next);  // the old player closes as it goes
    open_ = player_->Open(stream, looping, loopPositionMs);
    return open_;
}

void CDSMediaStream::Close() {
    player_->Close();
    open_ = false;
}

}  // namespace KYR
