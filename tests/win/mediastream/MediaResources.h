// Resource ids of the sound files (tests/data/audio) embedded in the stream tests.
#pragma once

// Two seconds of MPEG-1 layer III: 440 Hz, then 660 Hz from 1000 ms.
#define KYR_TONE_MP3 301
