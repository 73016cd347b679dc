#include "Art.h"

#include <cstring>

#include "engine/graphics/GraphicsObjectIds.h"
#include "engine/graphics/IStdGraphicsLoader.h"
#include "engine/media/std/IStdFileStream.h"
#include "engine/media/std/StdObjectIds.h"

KYR::ID3DTexture* Art::Load(const char* name) {
    Entry e;
    e.path = folder_ + "data\\" + name;
    e.texture = CreateFrom<KYR::ID3DTexture>(d3d_, KYR::kIdD3DTexture);
    if (!e.texture || !Fill(e.texture.Get(), e.path, true)) return nullptr;
    entries_.push_back(std::move(e));
    return entries_.back().texture.Get();
}

bool Art::Reload() {
    bool all = true;
    for (Entry& e : entries_) all = Fill(e.texture.Get(), e.path, false) && all;
    return all;
}

bool Art::Fill(KYR::ID3DTexture* texture, const std::string& path, bool create) {
    Own<KYR::IStdFileStream> file =
        CreateFrom<KYR::IStdFileStream>(services_, KYR::kIdStdFileStream);
    Own<KYR::IStdGraphicsLoader> loader =
        CreateFrom<KYR::IStdGraphicsLoader>(services_, KYR::kIdStdGraphicsLoader);
    if (!file || !loader || !file->OpenFile(path.c_str()) || !loader->Open(file.Get(), nullptr))
        return false;
    const uint32_t width = loader->GetImageWidth(), height = loader->GetImageHeight();
    if (create && !texture->Create(width, height, false, false)) return false;

    // The texture is allocated larger (a power of two on most devices); the decoder writes
    // whole rows of the allocated width, packed. A lock whose rows are longer than that gets
    // them one by one.
    const uint32_t allocatedWidth = texture->GetTextureWidth();
    const uint32_t allocatedHeight = texture->GetTextureHeight();
    D3DLOCKED_RECT lock;
    if (!texture->Lock(&lock, false)) return false;
    const size_t packedRow = size_t(allocatedWidth) * 4;
    if (lock.Pitch < 0 || size_t(lock.Pitch) < packedRow) {
        texture->Unlock();
        return false;
    }
    if (size_t(lock.Pitch) == packedRow) {
        loader->Decode(lock.pBits, allocatedWidth, allocatedHeight, false);
    } else {
        std::vector<unsigned char> pixels(packedRow * allocatedHeight);
        loader->Decode(pixels.data(), allocatedWidth, allocatedHeight, false);
        for (uint32_t y = 0; y < allocatedHeight; ++y)
            std::memcpy(static_cast<unsigned char*>(lock.pBits) + size_t(y) * lock.Pitch,
                        pixels.data() + y * packedRow, packedRow);
    }
    texture->Unlock();
    loader->Close();
    return true;
}
