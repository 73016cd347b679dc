// Resource ids of the BMP fixtures (tests/data/bmp) embedded in the graphics tests.
#pragma once

#define KYR_BMP_D8 204
#define KYR_BMP_D8V5 205
#define KYR_BMP_D24 206
#define KYR_BMP_D32 207
#define KYR_BMP_DXT 208
