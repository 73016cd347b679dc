#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "engine/core/RefPtr.h"
#include "engine/core/SineTable.h"
#include "engine/graphics/StdGraphicsLoader.h"
#include "engine/media/std/KYRStd.h"
#include "engine/media/std/StdFPSWait.h"
#include "engine/media/std/StdFileStream.h"
#include "engine/media/std/StdObjectIds.h"

namespace {

using namespace KYR;

constexpr double kPi = 3.14159265358979323846;
constexpr float kInf = std::numeric_limits<float>::infinity();

class KYRStdTest : public ::testing::Test {
protected:
    RefPtr<CKYRStd> std_{new CKYRStd};
};

TEST_F(KYRStdTest, CreateObjectByIdentifier) {
    RefPtr<IKYRInterface> loader(std_->CreateObject(kIdStdGraphicsLoader));
    RefPtr<IKYRInterface> pacer(std_->CreateObject(kIdStdFPSWait));
    RefPtr<IKYRInterface> stream(std_->CreateObject(kIdStdFileStream));
    EXPECT_NE(dynamic_cast<CStdGraphicsLoader*>(loader.Get()), nullptr);
    EXPECT_NE(dynamic_cast<CStdFPSWait*>(pacer.Get()), nullptr);
    EXPECT_NE(dynamic_cast<CStdFileStream*>(stream.Get()), nullptr);
    for (IKYRInterface* made : {loader.Get(), pacer.Get(), stream.Get()})
        EXPECT_EQ(made->GetRefCount(), 1);
    ObjectId other = kIdStdFileStream;
    other.Data4[7] ^= 1;
    EXPECT_EQ(std_->CreateObject(other), nullptr);
}

TEST_F(KYRStdTest, SineAndCosineAtTableAngles) {
    const float* table = SineTable();
    EXPECT_EQ(std_->SinDeg(90), 1.0f);
    EXPECT_EQ(std_->CosDeg(90), table[32768]);
    EXPECT_EQ(std_->CosDeg(90), -8.742278e-08f);  // sin of the single-precision pi
    EXPECT_EQ(std_->SinDeg(180), -8.742278e-08f);
    EXPECT_EQ(std_->SinDeg(-90), -1.0f);
    EXPECT_EQ(std_->SinDeg(0), 0.0f);
    EXPECT_EQ(std_->CosDeg(0), 1.0f);
    EXPECT_EQ(std_->CosDeg(180), -1.0f);
    EXPECT_EQ(std_->SinDeg(720 + 90), 1.0f);
}

TEST_F(KYRStdTest, SineAndCosineBetweenEntriesFollowTheLibrary) {
    for (float d = -1000.0f; d < 1000.0f; d += 0.37f) {
        EXPECT_NEAR(std_->SinDeg(d), std::sin(d * kPi / 180), 2e-5) << d;
        EXPECT_NEAR(std_->CosDeg(d), std::cos(d * kPi / 180), 2e-5) << d;
    }
}

TEST_F(KYRStdTest, AnglesPastTheIntegerRangeStayInTheTable) {
    // 23593050 degrees is exactly 2^32 + 16384 table steps: a quarter turn past a whole number.
    EXPECT_EQ(std_->SinDeg(23593050.0f), 1.0f);
    EXPECT_EQ(std_->SinDeg(-23593050.0f), -1.0f);
    EXPECT_EQ(std_->CosDeg(23593050.0f), SineTable()[32768]);
    const float odd[] = {kInf, -kInf, std::nanf(""), 1e30f, -1e30f, 3e9f, -3.4e38f};
    for (float d : odd) {
        const float s = std_->SinDeg(d), c = std_->CosDeg(d);
        EXPECT_TRUE(std::isfinite(s) && std::fabs(s) <= 1.0f) << d;
        EXPECT_TRUE(std::isfinite(c) && std::fabs(c) <= 1.0f) << d;
    }
    EXPECT_EQ(std_->SinDeg(std::nanf("")), 0.0f);
    EXPECT_EQ(std_->CosDeg(kInf), 1.0f);
}

TEST_F(KYRStdTest, Atan2Degrees) {
    struct Row {
        int32_t y, x;
        float degrees, tolerance;
    } rows[] = {
        {0, 0, 0, 0},          {5, 0, 90, 0},      {1, 1, 45, 0},
        {-1, -1, -135, 0},     {0, -5, 180, 0},    {-5, 0, -90, 0},
        {0, 5, 0, 0},          {1, -1, 135, 0},    {-1, 1, -45, 0},
        {INT_MIN, INT_MIN, -135, 0},   {INT_MIN, 0, -90, 0},
        {0, INT_MIN, 180, 0},          {INT_MIN, 1, -90, 0.01f},
        {INT_MIN, INT_MAX, -45, 0.01f}, {INT_MAX, INT_MIN, 135, 0.01f},
        {1, 2, 26.565f, 0.01f},         {-3, -7, -156.801f, 0.01f},
    };
    for (const Row& row : rows)
        EXPECT_NEAR(std_->Atan2Deg(row.y, row.x), row.degrees, row.tolerance)
            << row.y << ", " << row.x;
    for (int32_t y = -300; y <= 300; y += 7)
        for (int32_t x = -300; x <= 300; x += 11)
            EXPECT_NEAR(std_->Atan2Deg(y, x), std::atan2(y, x) * 180 / kPi, 0.01) << y << "," << x;
}

// The loop the operation describes, run to its full count: the reference for counts small
// enough to run.
float LoopedPower(float x, int32_t n) {
    float r = 1.0f;
    for (int32_t i = 0; i < n; ++i) r *= x;
    for (int32_t i = 0; i > n; --i) r /= x;
    return r;
}

TEST_F(KYRStdTest, PowIntMatchesTheStepwiseLoop) {
    const float bases[] = {2, -2, 0.5f, -0.5f, 1.1f, -0.9f, 0, 1, -1, 3e10f, kInf, -kInf};
    const int32_t counts[] = {0, 1, 2, 3, 7, 8, 9, -1, -3, -8, 150, 151, -151, 300, -301};
    for (float x : bases)
        for (int32_t n : counts) {
            const float got = std_->PowInt(x, n), want = LoopedPower(x, n);
            if (std::isnan(want)) {
                EXPECT_TRUE(std::isnan(got)) << x << "^" << n;
            } else {
                EXPECT_EQ(got, want) << x << "^" << n;
                EXPECT_EQ(std::signbit(got), std::signbit(want)) << x << "^" << n;
            }
        }
}

TEST_F(KYRStdTest, PowIntAtTheEndsOfTheCountRange) {
    struct Row {
        float x;
        int32_t n;
        float expected;
    } rows[] = {
        {2, INT_MIN, 0},      {-1, INT_MIN, 1},     {-1, INT_MAX, -1},
        {1, INT_MIN, 1},      {0.5f, INT_MIN, kInf}, {2, INT_MAX, kInf},
        {-2, INT_MAX, -kInf}, {0, INT_MIN, kInf},   {-0.5f, INT_MAX, -0.0f},
    };
    for (const Row& row : rows) {
        const float got = std_->PowInt(row.x, row.n);
        EXPECT_EQ(got, row.expected) << row.x << "^" << row.n;
        EXPECT_EQ(std::signbit(got), std::signbit(row.expected)) << row.x << "^" << row.n;
    }
}

TEST_F(KYRStdTest, CopyMemoryCopiesForwardsFourAtATime) {
    struct Row {
        int dest, source, length;
        const char* expected;
    } rows[] = {
        {0, 10, 10, "KLMNOPQRSTKLMNOPQRST"},  // apart
        {1, 0, 8, "AABCDDFGHJKLMNOPQRST"},    // one byte ahead: each word reads the last's
        {0, 2, 7, "CDEFGHIHIJKLMNOPQRST"},    // behind: as memmove
        {3, 0, 0, "ABCDEFGHIJKLMNOPQRST"},
    };
    for (const Row& row : rows) {
        char buffer[21] = "ABCDEFGHIJKLMNOPQRST";
        std_->CopyMemory(buffer + row.dest, buffer + row.source, row.length);
        EXPECT_STREQ(buffer, row.expected) << row.dest << " " << row.source;
    }
    char buffer[5] = "ABCD";
    std_->CopyMemory(nullptr, buffer, 4);
    std_->CopyMemory(buffer, nullptr, 4);
    EXPECT_STREQ(buffer, "ABCD");
}

TEST_F(KYRStdTest, SwapRepeatAndFill) {
    char a[8] = "abcdefg", b[8] = "1234567";
    std_->SwapMemory(a + 1, b + 2, 5);
    EXPECT_STREQ(a, "a34567g");
    EXPECT_STREQ(b, "12bcdef");
    std_->SwapMemory(a, nullptr, 5);
    std_->SwapMemory(a, b, 0);
    EXPECT_STREQ(a, "a34567g");

    char repeated[12] = {};
    std_->RepeatMemory(repeated + 1, "xyz", 3, 3);
    EXPECT_EQ(std::string(repeated + 1), "xyzxyzxyz");

    uint8_t words[9];
    std::memset(words, 0xEE, sizeof(words));
    std_->FillWord(words + 1, 0x1234, 3);  // odd count, unaligned
    const uint8_t wordsExpected[9] = {0xEE, 0x34, 0x12, 0x34, 0x12, 0x34, 0x12, 0xEE, 0xEE};
    EXPECT_EQ(std::memcmp(words, wordsExpected, 9), 0);

    uint32_t dwords[4] = {};
    std_->FillDword(dwords, 0xCAFEF00D, 3);
    EXPECT_EQ(dwords[2], 0xCAFEF00Du);
    EXPECT_EQ(dwords[3], 0u);

    int32_t x = 1, y = 2;
    EXPECT_EQ(std_->SwapInt(&x, &y), &x);
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 1);
}

}  // namespace
