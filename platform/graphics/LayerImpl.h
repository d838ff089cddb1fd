#pragma once
// Layers guard window rastports. Rastports without a layer (InitRastPort on an off-screen
// bitmap) share one lock of their own.

#include <atomic>
#include <cstdint>
#include <mutex>

#include "graphics.h"

struct Layer {
    std::recursive_mutex lock;
    APTR window = nullptr;  // the intuition window the layer belongs to
};

namespace tessella::graphics {

std::recursive_mutex& OffscreenLock();

// Holds a rastport for one graphics call, or for a whole paint when the caller already holds
// the layer (the lock is recursive).
class RastPortLock {
public:
    explicit RastPortLock(RastPort* rp)
        : lock_(rp != nullptr && rp->Layer != nullptr ? rp->Layer->lock : OffscreenLock()),
          onScreen_(rp != nullptr && rp->Layer != nullptr) {
        lock_.lock();
    }
    ~RastPortLock();
    RastPortLock(const RastPortLock&) = delete;
    RastPortLock& operator=(const RastPortLock&) = delete;

private:
    std::recursive_mutex& lock_;
    bool onScreen_;
};

// Counts changes to anything that is shown. Every change calls TouchDisplay; a presenter
// sleeps in WaitDisplayChange until the count moves past what it last showed.
uint64_t DisplayGeneration();
void TouchDisplay();
uint64_t WaitDisplayChange(uint64_t shown);

}  // namespace tessella::graphics
