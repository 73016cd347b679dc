// A DirectSound buffer in memory for the streaming player's tests: the test moves the play
// cursor itself and sees every region the player locks and writes, so ten seconds of
// playback take no ten seconds and no timing luck.
#pragma once

#include <windows.h>

#include <dsound.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace kyrtest {

class FakeStreamBuffer : public IDirectSoundBuffer8 {
public:
    struct Fill {
        DWORD offset, bytes;
    };

    explicit FakeStreamBuffer(DWORD size, uint8_t initial = 0xEE) : bytes_(size, initial) {}
    // For the player's buffer maker: hands this object out with a reference.
    HRESULT Make(IDirectSoundBuffer** out);

    // Test side.
    void SetCursor(DWORD position);
    DWORD Cursor();
    bool Playing();
    bool Looping();
    std::vector<uint8_t> Bytes(DWORD offset, DWORD size);
    size_t FillCount();
    // Waits (bounded) until a region starting at `offset` was written after the first
    // `after` fills; false on time-out.
    bool WaitForFill(size_t after, DWORD offset, DWORD timeoutMs = 60000);
    LONG Refs() const { return refs_; }

    // IUnknown: counted, but the test owns the object.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&refs_); }

    STDMETHODIMP GetCaps(LPDSBCAPS) override { return E_NOTIMPL; }
    STDMETHODIMP GetCurrentPosition(LPDWORD play, LPDWORD write) override;
    STDMETHODIMP GetFormat(LPWAVEFORMATEX, DWORD, LPDWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetVolume(LPLONG v) override { *v = volume_; return S_OK; }
    STDMETHODIMP GetPan(LPLONG p) override { *p = pan_; return S_OK; }
    STDMETHODIMP GetFrequency(LPDWORD f) override { *f = frequency_; return S_OK; }
    STDMETHODIMP GetStatus(LPDWORD status) override;
    STDMETHODIMP Initialize(LPDIRECTSOUND, LPCDSBUFFERDESC) override { return DSERR_ALREADYINITIALIZED; }
    STDMETHODIMP Lock(DWORD offset, DWORD size, LPVOID* p1, LPDWORD n1, LPVOID* p2, LPDWORD n2,
                      DWORD flags) override;
    STDMETHODIMP Play(DWORD, DWORD, DWORD flags) override;
    STDMETHODIMP SetCurrentPosition(DWORD position) override;
    STDMETHODIMP SetFormat(LPCWAVEFORMATEX) override { return E_NOTIMPL; }
    STDMETHODIMP SetVolume(LONG v) override { volume_ = v; return S_OK; }
    STDMETHODIMP SetPan(LONG p) override { pan_ = p; return S_OK; }
    STDMETHODIMP SetFrequency(DWORD f) override { frequency_ = f; return S_OK; }
    STDMETHODIMP Stop() override;
    STDMETHODIMP Unlock(LPVOID p1, DWORD n1, LPVOID p2, DWORD n2) override;
    STDMETHODIMP Restore() override { return S_OK; }
    STDMETHODIMP SetFX(DWORD, LPDSEFFECTDESC, LPDWORD) override { return E_NOTIMPL; }
    STDMETHODIMP AcquireResources(DWORD, DWORD, LPDWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetObjectInPath(REFGUID, DWORD, REFGUID, LPVOID*) override { return E_NOTIMPL; }

private:
    std::mutex mutex_;
    std::condition_variable filled_;
    std::vector<uint8_t> bytes_;
    std::vector<Fill> fills_;
    DWORD cursor_ = 0;
    bool playing_ = false;
    bool looping_ = false;
    DWORD lockedOffset_ = 0;
    LONG volume_ = 0, pan_ = 0;
    DWORD frequency_ = 0;
    volatile LONG refs_ = 0;
};

}  // namespace kyrtest
