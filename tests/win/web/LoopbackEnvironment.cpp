// Starts the loopback OAuth service once for the whole web test program.
#include "LoopbackService.h"

namespace {
testing::Environment* const kLoopback = testing::AddGlobalTestEnvironment(new loopback::Environment);
}
