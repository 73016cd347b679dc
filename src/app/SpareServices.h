// The application object keeps four spare interface slots that the game fills with services
// of its own. The tool leaves them empty, but the fixed teardown still calls one operation of
// the services in slots B and C, at these slot positions, before releasing them.
#pragma once

#include "engine/core/IKYRInterface.h"

namespace KYR {

class IKYRSpareServiceB : public IKYRInterface {
public:
    virtual bool Open() = 0;           // slot 3
    virtual bool IsOpen() const = 0;   // slot 4
    virtual void Update() = 0;         // slot 5
    virtual void Close() = 0;          // slot 6: teardown calls it
    virtual ~IKYRSpareServiceB() = default;
};

class IKYRSpareServiceC : public IKYRInterface {
public:
    virtual bool Open() = 0;           // slot 3
    virtual bool IsOpen() const = 0;   // slot 4
    virtual void Update() = 0;         // slot 5
    virtual void Pause() = 0;          // slot 6
    virtual void Resume() = 0;         // slot 7
    virtual void Close() = 0;          // slot 8: teardown calls it
    virtual ~IKYRSpareServiceC() = default;
};

}  // namespace KYR
