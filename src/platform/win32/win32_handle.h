#pragma once
// One owner per handle.
#include <windows.h>

#include <utility>

namespace varlindo::win32 {

template <typename T, typename Deleter>
class unique_handle {
public:
    unique_handle() = default;
    explicit unique_handle(T h) : h_(h) {}
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& o) noexcept : h_(std::exchange(o.h_, T{})) {}
    unique_handle& operator=(unique_handle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, T{}));
        return *this;
    }
    ~unique_handle() { reset(); }
    T get() const { return h_; }
    explicit operator bool() const { return h_ != T{}; }
    void reset(T h = T{}) {
        if (h_) Deleter{}(h_);
        h_ = h;
    }
    T release() { return std::exchange(h_, T{}); }

private:
    T h_{};
};

struct DeleteGdiObject { void operator()(HGDIOBJ h) const { DeleteObject(h); } };
struct DestroyIconHandle { void operator()(HICON h) const { DestroyIcon(h); } };
struct CloseKernelHandle { void operator()(HANDLE h) const { CloseHandle(h); } };
struct DestroyWindowHandle { void operator()(HWND h) const { DestroyWindow(h); } };
struct CloseFindHandle { void operator()(HANDLE h) const { FindClose(h); } };
struct FreeLocalMemory { void operator()(HLOCAL h) const { LocalFree(h); } };
// A COM interface pointer holds one reference.
struct ReleaseComObject {
    template <typename I>
    void operator()(I* p) const { p->Release(); }
};

using unique_font = unique_handle<HFONT, DeleteGdiObject>;
using unique_brush = unique_handle<HBRUSH, DeleteGdiObject>;
using unique_icon = unique_handle<HICON, DestroyIconHandle>;
using unique_kernel = unique_handle<HANDLE, CloseKernelHandle>;
using unique_window = unique_handle<HWND, DestroyWindowHandle>;
using unique_find = unique_handle<HANDLE, CloseFindHandle>;  // from FindFirstFileExW
template <typename Interface>
using unique_com = unique_handle<Interface*, ReleaseComObject>;

}  // namespace varlindo::win32
