#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "engine/media/std/StdFileStream.h"

namespace {

using namespace KYR;

// A file that delivers at most `limit` bytes per read (0: a failing read) and records seeks.
class FakeFile : public FileSource {
public:
    FakeFile(uint64_t size, uint32_t limit, uint32_t* lastSeek = nullptr)
        : size_(size), limit_(limit), lastSeek_(lastSeek) {}
    uint64_t Size() override { return size_; }
    bool SeekTo(uint32_t offset) override {
        if (lastSeek_) *lastSeek_ = offset;
        return true;
    }
    uint32_t Read(void* buffer, uint32_t bytes) override {
        const uint32_t n = bytes < limit_ ? bytes : limit_;
        std::memset(buffer, 0xAB, n);
        return n;
    }

private:
    uint64_t size_;
    uint32_t limit_;
    uint32_t* lastSeek_;
};

std::vector<uint8_t> Counting(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i);
    return v;
}

TEST(StdFileStream, SeekClampsToTheSize) {
    const std::vector<uint8_t> block = Counting(100);
    struct Row {
        uint32_t from;
        int32_t offset, origin;
        uint32_t expected;
    } rows[] = {
        {0, 10, 2, 90},    // from the end, counting back
        {0, -5, 0, 100},   // before the start is past the end as unsigned
        {40, 0, 3, 40},    // unknown origin: nothing
        {40, -1, -1, 40},  // likewise
        {50, 5, 1, 55},
        {50, -60, 1, 100},  // relative, before the start
        {0, 200, 0, 100},
        {0, -10, 2, 100},  // "back" past the end
        {0, 100, 2, 0},
        {30, 0x7FFFFFFF, 1, 100},
    };
    for (const Row& row : rows) {
        CStdFileStream s;
        ASSERT_TRUE(s.OpenMemory(block.data(), 100));
        s.Seek(static_cast<int32_t>(row.from), 0);
        s.Seek(row.offset, row.origin);
        EXPECT_EQ(s.GetPosition(), row.expected) << row.from << " " << row.offset << " " << row.origin;
        EXPECT_EQ(s.IsEnd(), row.expected == 100);
    }
}

TEST(StdFileStream, ReadCountsWholeElementsAndCopiesTheRest) {
    const std::vector<uint8_t> block = Counting(100);
    struct Row {
        uint32_t from, elementSize, count;
        uint32_t returned, copied;
    } rows[] = {
        {94, 4, 10, 1, 6},  // short last element copied, not counted
        {92, 4, 2, 2, 8},   // exactly what is left
        {0, 4, 3, 3, 12},
        {10, 0, 5, 0, 0},
        {10, 5, 0, 0, 0},
        {100, 1, 1, 0, 0},           // at the end
        {94, 0x10000, 0x10000, 0, 6},  // 2^32 bytes asked: no 32-bit wrap to 0
        {90, 3, 0x60000000, 3, 10},    // product past 2^32 with a real count
    };
    for (const Row& row : rows) {
        CStdFileStream s;
        ASSERT_TRUE(s.OpenMemory(block.data(), 100));
        s.Seek(static_cast<int32_t>(row.from), 0);
        std::vector<uint8_t> out(32, 0xEE);
        EXPECT_EQ(s.Read(out.data(), row.elementSize, row.count), row.returned) << row.from;
        EXPECT_EQ(s.GetPosition(), row.from + row.copied);
        for (uint32_t i = 0; i < row.copied; ++i) EXPECT_EQ(out[i], row.from + i);
        EXPECT_EQ(out[row.copied], 0xEE) << "wrote past what it took";
    }
}

TEST(StdFileStream, ClosedAndRefusedStreams) {
    const std::vector<uint8_t> block = Counting(8);
    CStdFileStream s;
    uint8_t out[8] = {};
    EXPECT_TRUE(s.IsEnd());
    EXPECT_EQ(s.Read(out, 1, 8), 0u);
    s.Seek(4, 0);
    EXPECT_EQ(s.GetPosition(), 0u);
    EXPECT_FALSE(s.OpenMemory(nullptr, 8));
    EXPECT_FALSE(s.OpenMemory(block.data(), 0));
    ASSERT_TRUE(s.OpenMemory(block.data(), 8));
    EXPECT_FALSE(s.OpenMemory(block.data(), 4));
    EXPECT_FALSE(s.OpenSource(std::unique_ptr<FileSource>(new FakeFile(4, 4))));
    EXPECT_EQ(s.GetSize(), 8u) << "a refused open changed the stream";
    s.Close();
    EXPECT_EQ(s.GetSize(), 0u);
    EXPECT_TRUE(s.OpenMemory(block.data(), 4)) << "reopened after Close";
}

TEST(StdFileStream, FileReadsAdvanceByWhatArrived) {
    struct Row {
        uint32_t limit, elementSize, count;
        uint32_t returned, position;
    } rows[] = {
        {0, 4, 4, 0, 0},      // the read failed: nothing counted, position kept
        {6, 4, 4, 1, 6},      // short read: one whole element of the six bytes
        {1000, 4, 4, 4, 16},  // full read
        {7, 1, 50, 7, 7},
    };
    for (const Row& row : rows) {
        CStdFileStream s;
        ASSERT_TRUE(s.OpenSource(std::unique_ptr<FileSource>(new FakeFile(64, row.limit))));
        uint8_t out[64];
        EXPECT_EQ(s.Read(out, row.elementSize, row.count), row.returned) << row.limit;
        EXPECT_EQ(s.GetPosition(), row.position) << row.limit;
    }
}

TEST(StdFileStream, SeekMovesTheFilePointerToTheClampedPosition) {
    uint32_t lastSeek = 12345;
    CStdFileStream s;
    ASSERT_TRUE(s.OpenSource(std::unique_ptr<FileSource>(new FakeFile(50, 50, &lastSeek))));
    s.Seek(10, 2);
    EXPECT_EQ(lastSeek, 40u);
    s.Seek(-41, 1);  // before the start
    EXPECT_EQ(lastSeek, 50u);
}

TEST(StdFileStream, FilesOf4GiBOrMoreAreRefused) {
    struct Row {
        uint64_t size;
        bool opens;
    } rows[] = {{0, true}, {0xFFFFFFFFull, true}, {0x100000000ull, false}, {0x100000010ull, false}};
    for (const Row& row : rows) {
        CStdFileStream s;
        EXPECT_EQ(s.OpenSource(std::unique_ptr<FileSource>(new FakeFile(row.size, 0))), row.opens)
            << row.size;
        if (row.opens) EXPECT_EQ(s.GetSize(), static_cast<uint32_t>(row.size));
        else EXPECT_EQ(s.GetSize(), 0u);
    }
}

}  // namespace
