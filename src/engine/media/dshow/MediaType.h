// AM_MEDIA_TYPE as a value: CMediaType owns its format block and its pUnk reference and
// copies them deeply. The free functions are the rules every DirectShow party follows for
// media types that cross an interface (the format block is CoTaskMem memory).
#pragma once

#include <windows.h>

#include <strmif.h>

namespace KYR {

// Releases what the type points to (format block, pUnk) and leaves it without them.
void FreeMediaType(AM_MEDIA_TYPE& mt);
// FreeMediaType, then the structure itself (made by CreateMediaType or by another filter).
void DeleteMediaType(AM_MEDIA_TYPE* mt);
// Deep copy into a target that holds nothing; on failure the target holds nothing.
HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source);
// A CoTaskMem copy for an out-parameter (IEnumMediaTypes::Next); null without memory.
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* source);

class CMediaType : public AM_MEDIA_TYPE {
public:
    CMediaType();
    explicit CMediaType(const GUID& majorType);
    CMediaType(const AM_MEDIA_TYPE& source);  // NOLINT: copying a raw type is the common use
    CMediaType(const CMediaType& source);
    CMediaType& operator=(const CMediaType& source);
    CMediaType& operator=(const AM_MEDIA_TYPE& source);
    ~CMediaType();

    // False when the format block could not be copied (the type then holds nothing).
    bool IsValid() const { return !(cbFormat != 0 && pbFormat == nullptr); }
    HRESULT Set(const AM_MEDIA_TYPE& source);
    void Clear();  // back to an empty type: every GUID null, no format

    void SetType(const GUID& major) { majortype = major; }
    void SetSubtype(const GUID& sub) { subtype = sub; }
    void SetFormatType(const GUID& type) { formattype = type; }
    // Replaces the format block with a copy of size bytes; false without memory.
    bool SetFormat(const void* format, ULONG size);
    // A format block of size bytes, zero-filled, owned by the type; null without memory.
    BYTE* AllocFormatBuffer(ULONG size);

    bool IsPartiallySpecified() const;
    // Whether this type (perhaps partial: null GUIDs match anything) admits other.
    bool MatchesPartial(const AM_MEDIA_TYPE& other) const;
};

// Field-wise equality: the three GUIDs and the format block's bytes.
bool operator==(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b);
inline bool operator!=(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) { return !(a == b); }

}  // namespace KYR
