#include "engine/graphics/StdGraphicsLoader.h"

#include <new>

#include "engine/graphics/BMPLoader.h"

namespace KYR {

bool CStdGraphicsLoader::Open(IDataStream* stream, IGraphicsPlugin* plugin) {
    if (open_) return false;
    stream_ = RefPtr<IDataStream>::AddRefOf(stream);
    plugin_ = plugin ? RefPtr<IGraphicsPlugin>::AddRefOf(plugin)
                     : RefPtr<IGraphicsPlugin>(new (std::nothrow) CBMPLoader);
    if (!plugin_ || !plugin_->Open(stream)) return false;
    open_ = true;
    return true;
}

void CStdGraphicsLoader::Decode(void* destination, uint32_t width, uint32_t height,
                                bool compress) {
    if (open_) plugin_->Decode(destination, width, height, compress);
}

void CStdGraphicsLoader::Close() {
    if (!open_) return;
    plugin_->Close();
    plugin_.Reset();
    open_ = false;
}

}  // namespace KYR
