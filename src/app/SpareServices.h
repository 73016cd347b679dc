// The application object keeps four spare interface slots that the game fills with services
// of its own. The tool leaves them empty, but the fixed teardown still calls one operation of
// the services in slots B and C, at these slot positions, before releasing them. Operations
// are counted as the game counts them: AddRef is the first, so the sixth sits at slot 5 (the
// same count that puts the main window's second operation, its handle, at slot 1).
#pragma once

#include "engine/core/IKYRInterface.h"

namespace KYR {

class IKYRSpareServiceB : public IKYRInterface {
public:
    virtual bool Open() = 0;           // slot 3
    virtual bool IsOpen() const = 0;   // slot 4
    virtual void Close() = 0;          // slot 5, the sixth operation: teardown calls it
    virtual ~IKYRSpareServiceB() = default;
};

class IKYRSpareServiceC : public IKYRInterface {
public:
    virtual bool Open() = 0;           // slot 3
    virtual bool IsOpen() const = 0;   // slot 4
    virtual void Update() = 0;         // slot 5
    virtual void Pause() = 0;          // slot 6
    virtual void Close() = 0;          // slot 7, the eighth operation: teardown calls it
    virtual ~IKYRSpareServiceC() = default;
};

}  // namespace KYR
