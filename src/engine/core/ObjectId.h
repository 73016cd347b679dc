// The 128-bit identifiers that CreateObject operations take. On Windows they are GUIDs, so the
// game passes its own GUID constants unchanged; the host tree has no guiddef.h and gets a
// struct of the same layout, which keeps the services that take them buildable there.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>
#include <cstring>
#endif

namespace KYR {

#ifdef _WIN32
using ObjectId = GUID;
#else
struct ObjectId {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
inline bool operator==(const ObjectId& a, const ObjectId& b) {
    return std::memcmp(&a, &b, sizeof(ObjectId)) == 0;
}
inline bool operator!=(const ObjectId& a, const ObjectId& b) { return !(a == b); }
#endif

}  // namespace KYR
