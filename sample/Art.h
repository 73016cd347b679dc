// The game's sprites: BMP files from data\ loaded into engine textures through the standard
// services' file stream and graphics loader. A device reset leaves textures blank, so the
// art is written again from the files after every reset.
#pragma once

#include <string>
#include <vector>

#include "Own.h"
#include "engine/graphics/ID3DTexture.h"
#include "engine/graphics/IKYRD3D.h"
#include "engine/media/std/IKYRStd.h"

class Art {
public:
    Art(KYR::IKYRStd* services, KYR::IKYRD3D* d3d, std::string folder)
        : services_(services), d3d_(d3d), folder_(std::move(folder)) {}

    // A texture holding data\<name>, or null (missing or unreadable file: the caller decides).
    // Borrowed: the texture lives as long as this object.
    KYR::ID3DTexture* Load(const char* name);
    // Writes every loaded texture again from its file. False when one cannot be written.
    bool Reload();

private:
    struct Entry {
        std::string path;
        Own<KYR::ID3DTexture> texture;
    };
    bool Fill(KYR::ID3DTexture* texture, const std::string& path, bool create);

    KYR::IKYRStd* services_;  // borrowed
    KYR::IKYRD3D* d3d_;  // borrowed
    std::string folder_;
    std::vector<Entry> entries_;
};
