#pragma once
// Base class of the program's windows, and the route that takes every exception
// escaping a Win32 callback to the application's exception handler. No C++
// exception may unwind through a window procedure, timer procedure or other
// system callback: each of them catches and calls RouteException.

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

namespace pv {

// senderName: the component the failing handler belongs to, or null when it is
// not known. e: the exception, or null for one that is not a std::exception.
using ExceptionRoute = std::function<void(const char* senderName, const std::exception* e)>;

// Installs the application-wide handler (replacing an earlier one).
void SetApplicationExceptionRoute(ExceptionRoute route);

// Hands an exception caught in a callback to the route. Without a route the
// process ends at once with exit code 3. Never throws: an exception out of
// the route itself ends the process as well.
void RouteException(const char* senderName, const std::exception* e) noexcept;

// Runs body; whatever it throws goes to the route with senderName as sender.
// Returns true when body returned normally. For timer procedures, enum
// callbacks and handlers that know which control they serve:
//   Guard("TimerDragTimer", [&] { ... });
template <class Body>
bool Guard(const char* senderName, Body&& body) noexcept {
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        RouteException(senderName, &e);
    } catch (...) {
        RouteException(senderName, nullptr);
    }
    return false;
}

// A window that forwards its messages to HandleMessage. The object must outlive
// its window. An exception escaping HandleMessage is routed with Name() as
// sender (null when the name is empty) and the message then counts as handled (0).
// Sets a window's text (UTF-8) unless it already holds it, so that a refresh
// that changes nothing does not repaint or move an edit field's caret.
void SetTextIfChanged(HWND h, const std::string& text);

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    // Registers className once per process (on first use) and creates the window.
    // Returns false when registration or creation fails.
    bool Create(const char* className, const char* title, DWORD style, DWORD exStyle = 0,
                int x = CW_USEDEFAULT, int y = CW_USEDEFAULT, int width = CW_USEDEFAULT,
                int height = CW_USEDEFAULT, HWND parent = nullptr, HMENU menu = nullptr);
    void Destroy();

    HWND Handle() const { return hwnd_; }
    // Component name reported as sender for exceptions out of this window.
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }

    // The Window object of a handle created through this class, or null.
    static Window* FromHandle(HWND hwnd);

    // A key message for this window or one of its controls, offered by the
    // message loop before the dialog manager (IsDialogMessage: Tab, Esc, Enter,
    // mnemonics) takes it: true when the window handled it.
    virtual bool DialogKey(const MSG& /*msg*/) { return false; }

protected:
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Window class details; override to change icon, cursor, background or style.
    virtual void ConfigureClass(WNDCLASSEXA& wc);
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcA(hwnd_, msg, wParam, lParam);
    }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
    std::string name_;
};

}  // namespace pv
