#include "widgets/win32/super_class.hpp"

#include <map>

namespace zelvane::win32 {
namespace {

// Every intercepted window: its previous procedure and the object that sees its messages. An
// entry whose object is gone only forwards (something was installed on top of it meanwhile).
struct Route {
    WNDPROC previous = nullptr;
    cSuperClass* object = nullptr;
};

std::map<HWND, Route>& Routes() {
    static std::map<HWND, Route> routes;
    return routes;
}

}  // namespace

cSuperClass::~cSuperClass() { UnSubclass(); }

void cSuperClass::AddMsg(UINT message, bool before) {
    if (Find(message) == nullptr) messages_.push_back({message, before});
}

const cSuperClass::Listed* cSuperClass::Find(UINT message) const {
    for (const Listed& entry : messages_) {
        if (entry.message == message) return &entry;
    }
    return nullptr;
}

bool cSuperClass::Subclass(HWND window, iSuperClass* owner, bool afterAll) {
    if (installed_ || window == nullptr || owner == nullptr || Routes().count(window) != 0) return false;
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&cSuperClass::Procedure)));
    if (previous == nullptr) return false;
    Routes()[window] = Route{previous, this};
    window_ = window;
    owner_ = owner;
    afterAll_ = afterAll;
    installed_ = true;
    return true;
}

void cSuperClass::UnSubclass() {
    if (installed_) {
        auto found = Routes().find(window_);
        if (found != Routes().end()) {
            const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window_, GWLP_WNDPROC));
            if (current == &cSuperClass::Procedure) {
                SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(found->second.previous));
                Routes().erase(found);
            } else {
                found->second.object = nullptr;  // someone hooked on top: keep forwarding
            }
        }
        installed_ = false;
    }
    messages_.clear();
    window_ = nullptr;
    owner_ = nullptr;
}

LRESULT CALLBACK cSuperClass::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto found = Routes().find(window);
    if (found == Routes().end()) return DefWindowProcA(window, message, wParam, lParam);
    const Route route = found->second;
    if (message == WM_NCDESTROY) {
        Routes().erase(window);
        if (route.object != nullptr) route.object->installed_ = false;
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(route.previous));
        return CallWindowProcA(route.previous, window, message, wParam, lParam);
    }
    if (route.object == nullptr) return CallWindowProcA(route.previous, window, message, wParam, lParam);
    return route.object->Dispatch(route.previous, window, message, wParam, lParam);
}

LRESULT cSuperClass::Dispatch(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const Listed* listed = Find(message);
    if (listed != nullptr && listed->before) {
        bool handled = false;
        LRESULT result = 0;
        owner_->Before(handled, result, window, message, wParam, lParam);
        if (handled) return result;
        return CallWindowProcA(previous, window, message, wParam, lParam);
    }
    if (listed != nullptr || afterAll_) {
        LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
        owner_->After(result, window, message, wParam, lParam);
        return result;
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

}  // namespace zelvane::win32
