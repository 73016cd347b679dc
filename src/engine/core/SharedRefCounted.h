// RefCounted for the engine objects that several threads count at once: the graphics device
// and its textures, which DirectShow's streaming thread makes, holds and lets go of while the
// game's threads do the same. Only the updates are interlocked; the layout stays RefCounted's
// (one 32-bit count after the table pointer).
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/core/IKYRInterface.h"

namespace KYR {

static_assert(sizeof(std::atomic<int32_t>) == sizeof(int32_t) &&
                  std::atomic<int32_t>::is_always_lock_free,
              "the count keeps the plain count's place and size");

template <class I>
using SharedRefCounted = RefCounted<I, std::atomic<int32_t>>;

}  // namespace KYR
