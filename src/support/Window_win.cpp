#include "support/Window_win.h"

namespace pv {

namespace {

ExceptionRoute& Route() {
    static ExceptionRoute route;
    return route;
}

}  // namespace

void SetApplicationExceptionRoute(ExceptionRoute route) {
    Route() = std::move(route);
}

void RouteException(const char* senderName, const std::exception* e) noexcept {
    try {
        ExceptionRoute route = Route();  // a copy: the handler may replace the route
        if (route) {
            route(senderName, e);
            return;
        }
    } catch (...) {
    }
    // Nobody to tell, or the handler itself failed: end here rather than let
    // the exception unwind through system code.
    ExitProcess(3);
}

Window::~Window() {
    Destroy();
}

void Window::ConfigureClass(WNDCLASSEXA& /*wc*/) {}

bool Window::Create(const char* className, const char* title, DWORD style, DWORD exStyle, int x, int y, int width,
                    int height, HWND parent, HMENU menu) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(instance, className, &wc)) {
        wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = className;
        ConfigureClass(wc);
        wc.lpfnWndProc = WindowProc;
        if (!RegisterClassExA(&wc)) return false;
    }
    CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu, instance, this);
    return hwnd_ != nullptr;
}

void Window::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

Window* Window::FromHandle(HWND hwnd) {
    if (!hwnd || reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) != WindowProc) return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(msg, wParam, lParam);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        self = static_cast<Window*>(cs->lpCreateParams);
        if (self) {
            self->hwnd_ = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);

    LRESULT result = 0;
    try {
        result = self->HandleMessage(msg, wParam, lParam);
    } catch (const std::exception& e) {
        const std::string sender = self->name_;
        RouteException(sender.empty() ? nullptr : sender.c_str(), &e);
    } catch (...) {
        const std::string sender = self->name_;
        RouteException(sender.empty() ? nullptr : sender.c_str(), nullptr);
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

void SetTextIfChanged(HWND h, const std::string& text) {
    const int n = GetWindowTextLengthA(h);
    std::string now(static_cast<size_t>(n) + 1, '\0');
    GetWindowTextA(h, &now[0], n + 1);
    now.resize(static_cast<size_t>(n));
    if (now != text) SetWindowTextA(h, text.c_str());
}

}  // namespace pv
