// The owner of one handle of any kind, portable: the kind's traits say which value is
// empty and how a handle is given back. The window code's owners (forms/Handles.h) are
// made of it, and so are the portable layers' owners of platform objects.
#pragma once

#include <cstddef>
#include <utility>

namespace quorin {

// Owns one handle; TTraits names its type, says which value is empty and gives one back.
template <class TTraits>
class TOwnedHandle {
public:
    using THandleType = typename TTraits::THandleType;

    TOwnedHandle() = default;
    explicit TOwnedHandle(THandleType Handle) : FHandle(TTraits::Valid(Handle) ? Handle : THandleType{}) {}
    TOwnedHandle(const TOwnedHandle&) = delete;
    TOwnedHandle& operator=(const TOwnedHandle&) = delete;
    TOwnedHandle(TOwnedHandle&& Other) noexcept : FHandle(std::exchange(Other.FHandle, THandleType{})) {}
    TOwnedHandle& operator=(TOwnedHandle&& Other) noexcept {
        if (this != &Other) Reset(std::exchange(Other.FHandle, THandleType{}));
        return *this;
    }
    ~TOwnedHandle() { Reset(); }

    THandleType Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != THandleType{}; }
    bool operator==(std::nullptr_t) const { return FHandle == THandleType{}; }
    // Gives the handle away, for calls that take ownership (SetWindowRgn takes the region).
    THandleType Release() { return std::exchange(FHandle, THandleType{}); }
    void Reset(THandleType Handle = THandleType{}) {
        if (FHandle != THandleType{}) TTraits::Free(FHandle);
        FHandle = TTraits::Valid(Handle) ? Handle : THandleType{};
    }

private:
    THandleType FHandle{};
};

}  // namespace quorin
