// The floor of the manager's tree work under Wine or Windows: a bare window
// with a tree view, into which N items are inserted as one folder's children
// (text, picture, one call each) and painted; prints the milliseconds.
//   treebench [N]

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 1000;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    HWND frame = CreateWindowExA(0, "STATIC", "treebench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 360, 560, nullptr,
                                 nullptr, nullptr, nullptr);
    HWND tree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                                WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 0, 0, 346, 514,
                                frame, nullptr, nullptr, nullptr);
    TVINSERTSTRUCTA is = {};
    is.hParent = TVI_ROOT;
    is.hInsertAfter = TVI_LAST;
    is.item.mask = TVIF_TEXT;
    is.item.pszText = const_cast<char*>("Folder");
    HTREEITEM folder = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is)));
    UpdateWindow(tree);
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    for (int i = 0; i < n; ++i) {
        std::string text = "Document " + std::to_string(i);
        is.hParent = folder;
        is.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        is.item.pszText = &text[0];
        is.item.iImage = is.item.iSelectedImage = 12;
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is));
    }
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder));
    UpdateWindow(tree);
    QueryPerformanceCounter(&t1);
    std::printf("insert_ms=%.1f items=%d\n", 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / f.QuadPart, n);
    DestroyWindow(frame);
    return 0;
}
