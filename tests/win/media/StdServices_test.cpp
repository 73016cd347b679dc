// The standard services as the game gets them: from the factory, over real files, on the
// system clock.
#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/factory/InterfaceFactory.h"
#include "engine/core/RefPtr.h"
#include "engine/core/ScopedHandle.h"
#include "engine/graphics/StdGraphicsLoader.h"
#include "engine/media/std/IKYRStd.h"
#include "engine/media/std/StdFPSWait.h"
#include "engine/media/std/StdFileStream.h"
#include "engine/media/std/StdObjectIds.h"

namespace {

using namespace KYR;

class TempFile {
public:
    explicit TempFile(const std::vector<char>& content) {
        char dir[MAX_PATH], name[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        GetTempFileNameA(dir, "kyr", 0, name);
        path_ = name;
        std::ofstream(path_, std::ios::binary).write(content.data(), content.size());
    }
    ~TempFile() { DeleteFileA(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const char* Path() const { return path_.c_str(); }

private:
    std::string path_;
};

std::vector<char> Pattern(size_t n) {
    std::vector<char> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<char>(i * 7 + 3);
    return v;
}

class StdServices : public ::testing::Test {
protected:
    // The factory's result is the concrete class's root: the interface is reached through it.
    RefPtr<IKYRStd> std_{static_cast<IKYRStd*>(CreateKYRInterface(kKindStd))};

    RefPtr<IStdFileStream> NewStream() {
        return RefPtr<IStdFileStream>(
            static_cast<IStdFileStream*>(std_->CreateObject(kIdStdFileStream)));
    }
};

TEST_F(StdServices, FactoryKindZeroGivesTheServices) {
    ASSERT_TRUE(std_);
    EXPECT_EQ(std_->GetRefCount(), 1);
    EXPECT_EQ(std_->SinDeg(90), 1.0f);
    EXPECT_EQ(std_->Atan2Deg(5, 0), 90.0f);
    // Each step in single precision (SSE2), as on the host: x87 kept extended precision
    // between steps and gave 0x420FBF7D and 0xBF248DBC.
    const float pow = std_->PowInt(3.3f, 3), sine = std_->SinDeg(-500.0f);
    uint32_t bits[2];
    std::memcpy(&bits[0], &pow, 4);
    std::memcpy(&bits[1], &sine, 4);
    EXPECT_EQ(bits[0], 0x420FBF7Cu);
    EXPECT_EQ(bits[1], 0xBF248DC0u);
    // CopyMemory is a <windows.h> macro; this file includes that first and still calls the slot.
    char to[6] = "-----";
    std_->CopyMemory(to, "abcde", 5);
    EXPECT_STREQ(to, "abcde");
    for (const ObjectId& id : {kIdStdGraphicsLoader, kIdStdFPSWait, kIdStdFileStream}) {
        RefPtr<IKYRInterface> made(std_->CreateObject(id));
        ASSERT_TRUE(made);
        EXPECT_EQ(made->GetRefCount(), 1);
    }
    EXPECT_EQ(std_->CreateObject(IID_IUnknown), nullptr);
}

TEST_F(StdServices, FileStreamReadsARealFile) {
    const std::vector<char> content = Pattern(10000);
    TempFile file(content);
    RefPtr<IStdFileStream> stream = NewStream();
    ASSERT_TRUE(stream->OpenFile(file.Path()));
    EXPECT_FALSE(stream->OpenFile(file.Path())) << "already open";
    EXPECT_EQ(stream->GetSize(), 10000u);

    std::vector<char> got(10000);
    EXPECT_EQ(stream->Read(got.data(), 16, 100), 100u);
    stream->Seek(16, kSeekEnd);
    EXPECT_EQ(stream->Read(got.data() + 1600, 3, 10), 5u) << "16 bytes: five whole elements";
    EXPECT_TRUE(stream->IsEnd());
    EXPECT_EQ(std::vector<char>(got.begin(), got.begin() + 1600),
              std::vector<char>(content.begin(), content.begin() + 1600));
    EXPECT_EQ(std::vector<char>(got.begin() + 1600, got.begin() + 1616),
              std::vector<char>(content.end() - 16, content.end()));

    stream->Seek(5000, kSeekBegin);  // the file pointer follows the position
    char one = 0;
    EXPECT_EQ(stream->Read(&one, 1, 1), 1u);
    EXPECT_EQ(one, content[5000]);
    stream->Close();
    EXPECT_EQ(stream->GetSize(), 0u);
    EXPECT_TRUE(DeleteFileA(file.Path())) << "Close let the file go";
}

TEST_F(StdServices, FilesThatCannotBeOpened) {
    TempFile file(Pattern(10));
    RefPtr<IStdFileStream> stream = NewStream();
    EXPECT_FALSE(stream->OpenFile("Z:\\no\\such\\kyr_file.bin"));
    {
        // Another holder that shares nothing: the stream's open must fail, not wait.
        ScopedHandle exclusive(CreateFileA(file.Path(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(exclusive.Valid());
        EXPECT_FALSE(stream->OpenFile(file.Path()));
    }
    {
        // A reader that shares reading does not stop it.
        ScopedHandle reader(CreateFileA(file.Path(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(stream->OpenFile(file.Path()));
    }
    EXPECT_EQ(stream->GetSize(), 10u);
}

TEST_F(StdServices, PacerRunsOnTimeGetTime) {
    RefPtr<IStdFPSWait> pacer(static_cast<IStdFPSWait*>(std_->CreateObject(kIdStdFPSWait)));
    const DWORD before = timeGetTime();
    const uint32_t start = pacer->Start(60);
    const DWORD after = timeGetTime();
    EXPECT_LE(static_cast<int32_t>(before - start), 0);
    EXPECT_GE(static_cast<int32_t>(after - start), 0);
    EXPECT_LE(pacer->Wait(), 17u);  // never more than one step plus what is left of it
}

TEST_F(StdServices, LoaderDecodesFromAFileAsFromMemory) {
    // A 2 x 2, 24-bit file: red, green over blue, white (rows bottom-up, each padded to 8).
    const unsigned char bmp[] = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
        40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,   // information header
        255, 0, 0, 255, 255, 255, 0, 0,                   // blue, white
        0, 0, 255, 0, 255, 0, 0, 0};                      // red, green
    TempFile file(std::vector<char>(bmp, bmp + sizeof(bmp)));
    RefPtr<IStdFileStream> stream = NewStream();
    ASSERT_TRUE(stream->OpenFile(file.Path()));
    RefPtr<IStdGraphicsLoader> loader(
        static_cast<IStdGraphicsLoader*>(std_->CreateObject(kIdStdGraphicsLoader)));
    ASSERT_TRUE(loader->Open(stream.Get(), nullptr));
    ASSERT_EQ(loader->GetImageWidth(), 2u);
    uint32_t pixels[4] = {};
    loader->Decode(pixels, 2, 2, false);
    EXPECT_EQ(pixels[0], 0xFFFF0000u);
    EXPECT_EQ(pixels[1], 0xFF00FF00u);
    EXPECT_EQ(pixels[2], 0xFF0000FFu);
    EXPECT_EQ(pixels[3], 0xFFFFFFFFu);
    loader->Close();
    EXPECT_EQ(stream->GetPosition(), 0u);
}

}  // namespace
