// A vector with a movable gap: inserting or erasing near the previous edit costs O(1) amortized,
// because only the entries between the gap and the edit point move. Holds trivially copyable values.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tarnwell {

// Asks the system to back a large block with huge pages, which makes filling it several times
// cheaper (fewer page faults). Only whole 2 MB pages inside the block are affected.
inline void AdviseLargeBlock(void* p, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr size_t kHuge = size_t{2} << 20;
    if (bytes < 4 * kHuge) return;
    const auto begin = (reinterpret_cast<std::uintptr_t>(p) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(kHuge - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)p;
    (void)bytes;
#endif
}

// Layout: data_[0, gapStart_) are elements 0..gapStart_-1, data_[gapStart_, gapStart_ + gap) is
// unused, data_[gapStart_ + gap, capacity_) are the remaining elements, with gap = capacity_ - size_.
template <class T>
class GapVector {
    static_assert(std::is_trivially_copyable_v<T>, "GapVector moves its elements with memmove");

public:
    GapVector() = default;
    GapVector(const GapVector&) = delete;
    GapVector& operator=(const GapVector&) = delete;
    GapVector(GapVector&& o) noexcept { Swap(o); }
    GapVector& operator=(GapVector&& o) noexcept {
        if (this != &o) {
            Clear();
            Swap(o);
        }
        return *this;
    }
    ~GapVector() { std::free(data_); }

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    size_t capacity() const { return capacity_; }

    T& operator[](size_t i) {
        assert(i < size_);
        return data_[i < gapStart_ ? i : i + (capacity_ - size_)];
    }
    const T& operator[](size_t i) const {
        assert(i < size_);
        return data_[i < gapStart_ ? i : i + (capacity_ - size_)];
    }

    // Inserts n copies of value before index pos (pos == size() appends).
    void Insert(size_t pos, size_t n, const T& value) {
        assert(pos <= size_);
        if (n == 0) return;
        if (capacity_ - size_ < n) Grow(n);
        MoveGapTo(pos);
        for (size_t i = 0; i < n; ++i) data_[pos + i] = value;
        gapStart_ += n;
        size_ += n;
    }
    void Insert(size_t pos, const T& value) { Insert(pos, 1, value); }
    void PushBack(const T& value) {
        if (gapStart_ == size_ && size_ < capacity_) {
            data_[size_++] = value;  // gap at the end with room: the common case while loading
            ++gapStart_;
        } else {
            Insert(size_, 1, value);
        }
    }

    // Removes the n elements starting at pos.
    void Erase(size_t pos, size_t n) {
        assert(pos + n <= size_);
        if (n == 0) return;
        MoveGapTo(pos + n);
        gapStart_ = pos;
        size_ -= n;
    }

    // Makes room for at least `total` elements without moving the elements' order.
    void Reserve(size_t total) {
        if (total > capacity_) Reallocate(total);
    }

    void Clear() {
        std::free(data_);
        data_ = nullptr;
        size_ = capacity_ = gapStart_ = 0;
    }

    // Verifies the layout invariants; tests call it after every step.
    bool Check() const {
        if (size_ > capacity_ || gapStart_ > size_) return false;
        if (capacity_ > 0 && data_ == nullptr) return false;
        return true;
    }

    size_t GapStart() const { return gapStart_; }

private:
    void MoveGapTo(size_t pos) {
        if (pos == gapStart_) return;
        const size_t gap = capacity_ - size_;
        if (gap == 0) {
            gapStart_ = pos;
            return;
        }
        if (pos < gapStart_) {
            // Elements [pos, gapStart_) move up behind the gap.
            std::memmove(data_ + pos + gap, data_ + pos, (gapStart_ - pos) * sizeof(T));
        } else {
            // Elements after the gap, up to logical index pos, move down in front of it.
            std::memmove(data_ + gapStart_, data_ + gapStart_ + gap, (pos - gapStart_) * sizeof(T));
        }
        gapStart_ = pos;
    }

    void Grow(size_t needed) {
        size_t step = size_ / 8;
        if (step < 4096) step = 4096;
        if (step < needed) step = needed;
        Reallocate(size_ + step);
    }

    // Moves the gap to the end, resizes the block, and leaves the gap at the end.
    void Reallocate(size_t total) {
        MoveGapTo(size_);
        void* p = std::realloc(data_, total * sizeof(T));
        if (p == nullptr) throw std::bad_alloc();
        data_ = static_cast<T*>(p);
        AdviseLargeBlock(data_, total * sizeof(T));
        capacity_ = total;
    }

    void Swap(GapVector& o) noexcept {
        std::swap(data_, o.data_);
        std::swap(size_, o.size_);
        std::swap(capacity_, o.capacity_);
        std::swap(gapStart_, o.gapStart_);
    }

    T* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
    size_t gapStart_ = 0;
};

}  // namespace tarnwell
