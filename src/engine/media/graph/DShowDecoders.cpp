#include "engine/media/graph/DShowDecoders.h"

#include <dmodshow.h>

namespace KYR {
namespace {

// Class ids written out here: MinGW's libraries lack some, and the DMO ones would pull in
// another import library for a few constants.
const CLSID kMpegAudioDecoder = {
    0x4a2286e0, 0x7bef, 0x11ce, {0x9b, 0xd9, 0x00, 0x00, 0xe2, 0x02, 0x59, 0x9c}};
const CLSID kMpegLayer3Decoder = {
    0x38be3000, 0xdbf4, 0x11d0, {0x86, 0x0e, 0x00, 0xa0, 0x24, 0xcf, 0xef, 0x6d}};
const CLSID kDmoWrapperFilter = {
    0x94297043, 0xbd82, 0x4dfd, {0xb0, 0xde, 0x81, 0x77, 0x73, 0x9c, 0x6d, 0x20}};
const GUID kWmaDecoderDmo = {
    0x2eeb4adf, 0x4578, 0x4d10, {0xbc, 0xa7, 0xbb, 0x95, 0x5f, 0x56, 0x32, 0x0a}};
const GUID kDmoAudioDecoderCategory = {
    0x57f2db8b, 0xe6bb, 0x4513, {0x9d, 0x43, 0xdc, 0xd2, 0xa6, 0x59, 0x31, 0x25}};
const GUID kWmvDecoderDmo = {
    0x82d353df, 0x90bd, 0x4382, {0x8b, 0xc2, 0x3f, 0x61, 0x92, 0xb7, 0x6e, 0x34}};
const GUID kDmoVideoDecoderCategory = {
    0x4a69b442, 0x28be, 0x4991, {0x96, 0x9c, 0xb5, 0x00, 0xad, 0xf5, 0xd8, 0xa8}};
// The uncompressed RGB subtypes share everything but the first field.
constexpr GUID RgbSubtype(DWORD first) {
    return {first, 0x524f, 0x11ce, {0x9f, 0x53, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
}

const DecoderRow kDecoders[] = {
    {RgbSubtype(0xe436eb7e), kClsidColourSpaceConverter, nullptr, nullptr},  // RGB32
    {RgbSubtype(0xe436eb7d), kClsidColourSpaceConverter, nullptr, nullptr},  // RGB24
    {RgbSubtype(0xe436eb7a), kClsidColourSpaceConverter, nullptr, nullptr},  // RGB8
    {SubtypeOfTag(0x33564D57), kDmoWrapperFilter, &kWmvDecoderDmo,
     &kDmoVideoDecoderCategory},                                              // "WMV3"
    {SubtypeOfTag(0x0050), kMpegAudioDecoder, nullptr, nullptr},   // MPEG-1 audio layers 1, 2
    {SubtypeOfTag(0x0055), kMpegLayer3Decoder, nullptr, nullptr},  // MPEG layer 3
    {SubtypeOfTag(0x0162), kDmoWrapperFilter, &kWmaDecoderDmo, &kDmoAudioDecoderCategory},
};

}  // namespace

const CLSID kClsidColourSpaceConverter = {
    0x1643e180, 0x90f5, 0x11ce, {0x97, 0xd5, 0x00, 0xaa, 0x00, 0x55, 0x59, 0x5a}};

GUID SubtypeOfTag(DWORD tag) {
    return {tag, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
}

const DecoderRow* FindDecoderRow(const GUID& subtype) {
    for (const DecoderRow& row : kDecoders)
        if (IsEqualGUID(subtype, row.subtype)) return &row;
    return nullptr;
}

RefPtr<IBaseFilter> FindDecoder(const GUID& subtype) {
    const DecoderRow* row = FindDecoderRow(subtype);
    if (!row) return {};
    RefPtr<IBaseFilter> filter;
    if (FAILED(CoCreateInstance(row->filter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                reinterpret_cast<void**>(filter.Put()))))
        return {};
    if (row->dmo) {
        // The wrapper is an empty shell until it is told which DMO to host.
        RefPtr<IDMOWrapperFilter> wrapper;
        if (FAILED(filter->QueryInterface(__uuidof(IDMOWrapperFilter),
                                          reinterpret_cast<void**>(wrapper.Put()))) ||
            FAILED(wrapper->Init(*row->dmo, *row->dmoCategory)))
            return {};
    }
    return filter;
}

}  // namespace KYR
