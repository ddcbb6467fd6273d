#pragma once
// Keeps large per-frame objects (picture grids, published states) for reuse once
// every reader has let go of them.
//
// Share() hands an object out as a shared_ptr whose last release brings it back
// here instead of freeing it; Take() gives back such an object, or nullptr when
// none is free. The hand-back goes through the pool's mutex, so the reader's
// last use of an object happens before the next writer's first one.

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

template <class T>
class TRecyclePool : public std::enable_shared_from_this<TRecyclePool<T>> {
public:
    using ReturnHook = void (*)(T &);

    // keep: how many free objects the pool holds at most; onReturn runs on an
    // object as it comes back (for example to drop what it refers to).
    static std::shared_ptr<TRecyclePool> Create(size_t keep, ReturnHook onReturn = nullptr) {
        return std::shared_ptr<TRecyclePool>(new TRecyclePool(keep, onReturn));
    }

    std::unique_ptr<T> Take() {
        std::lock_guard<std::mutex> lock(fMutex);
        if (fFree.empty())
            return nullptr;
        std::unique_ptr<T> item = std::move(fFree.back());
        fFree.pop_back();
        return item;
    }

    std::shared_ptr<T> Share(std::unique_ptr<T> item) {
        std::shared_ptr<TRecyclePool> self = this->shared_from_this();
        return std::shared_ptr<T>(item.release(), [self](T *p) { self->Return(p); });
    }

    size_t FreeCount() const {
        std::lock_guard<std::mutex> lock(fMutex);
        return fFree.size();
    }

private:
    TRecyclePool(size_t keep, ReturnHook onReturn) : fKeep(keep), fOnReturn(onReturn) {}

    void Return(T *p) {
        std::unique_ptr<T> item(p);  // freed after the lock is released when not kept
        if (fOnReturn)
            fOnReturn(*item);
        std::lock_guard<std::mutex> lock(fMutex);
        if (fFree.size() < fKeep)
            fFree.push_back(std::move(item));
    }

    mutable std::mutex fMutex;
    std::vector<std::unique_ptr<T>> fFree;
    size_t fKeep;
    ReturnHook fOnReturn;
};
