#pragma once
// Interception of chosen messages of a window, reported to an owner object before and/or after
// the window's own procedure.

#include <windows.h>

#include <vector>

namespace zelvane::win32 {

class iSuperClass {
public:
    virtual ~iSuperClass() = default;
    // After the window's own procedure; may change the return value.
    virtual void After(LRESULT& returnValue, HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Before it; setting handled skips the window's own procedure and returns returnValue.
    virtual void Before(bool& handled, LRESULT& returnValue, HWND window, UINT message, WPARAM wParam,
                        LPARAM lParam) = 0;
};

class cSuperClass {
public:
    cSuperClass() = default;
    ~cSuperClass();
    cSuperClass(const cSuperClass&) = delete;
    cSuperClass& operator=(const cSuperClass&) = delete;

    // Reports the message to Before (before = true) or After.
    void AddMsg(UINT message, bool before);
    // Installs the interception; with afterAll every message goes to the window and then to After.
    // False when the window is already intercepted or its procedure cannot be replaced.
    bool Subclass(HWND window, iSuperClass* owner, bool afterAll);
    // Puts the previous procedure back (when nothing was installed on top since) and empties the list.
    void UnSubclass();

    bool Installed() const { return installed_; }

private:
    struct Listed {
        UINT message;
        bool before;
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    const Listed* Find(UINT message) const;

    std::vector<Listed> messages_;
    HWND window_ = nullptr;
    iSuperClass* owner_ = nullptr;
    bool afterAll_ = false;
    bool installed_ = false;
};

}  // namespace zelvane::win32
