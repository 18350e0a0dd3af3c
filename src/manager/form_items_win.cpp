#include "manager/form_items_win.h"
#include "support/StepClock_win.h"

#include <algorithm>

#include <windowsx.h>

#include <cstdlib>
#include <vector>

#include "menu/SystemMenu.h"
#include "support/Wide_win.h"

namespace pv {

namespace {

// Control ids of this window (its own block); IDCANCEL (2) is Esc.
enum : int {
    kIdTree = 1100,
    kIdPanelHeadProp,
    kIdImgFType,
    kIdEditSName,
    kIdLblFType,
    kIdFName,
    kIdFPath,
    kIdFParams,
    kIdEditSParams,
    kIdPanelHeadAdmin,
    kIdRGSelectType,
    kIdRBFile,
    kIdRBFileDirectory,
    kIdRBSeparator,
    kIdRBFolder,
    kIdLabelItemText,
    kIdMemoAddName,
    kIdFind,
    kIdAttach,
    kIdSweep,
    kIdUndo,
    kIdCut,
    kIdCopy,
    kIdPaste,
    kIdDelete,
    kIdSave,
    kIdClose,
    kIdLaunch,
    kIdHelp,
    kIdRestore,
    kIdStatus,
};

constexpr UINT_PTR kTimerStatusText = 1;
constexpr UINT_PTR kTimerDrag = 2;
constexpr UINT_PTR kTimerExpand = 3;
constexpr int kDragDistance = 8;  // pixels the pointer moves before a drag shows
constexpr int kClientWidth = 521;
constexpr int kClientHeight = 564;

struct ControlDef {
    int id;
    ItemsControl hint;
    const char* cls;
    const char* text;
    DWORD style;
    int x, y, w, h;
};

// Left: the tree (346 x 544). Right, 175 wide: "Properties" (26) over its panel
// (149), "Administer" (26) over its panel (343). The status bar below.
const ControlDef kControls[] = {
    {kIdPanelHeadProp, ItemsControl::PanelHeadProp, "STATIC", "Properties", SS_OWNERDRAW | SS_NOTIFY, 346, 0, 175, 26},
    {kIdImgFType, ItemsControl::ImgFType, "STATIC", "", SS_OWNERDRAW | SS_NOTIFY, 352, 33, 16, 16},
    {kIdEditSName, ItemsControl::EditSName, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 372, 30, 143, 21},
    {kIdLblFType, ItemsControl::LblFType, "STATIC", "", SS_NOTIFY | SS_LEFTNOWORDWRAP, 352, 57, 163, 15},
    {kIdFName, ItemsControl::RichEditFName, "EDIT", "", ES_READONLY | ES_AUTOHSCROLL, 352, 77, 163, 16},
    // A long path keeps its start and its end, with an ellipsis in the middle;
    // the whole of it shows on hover.
    {kIdFPath, ItemsControl::RichEditFPath, "STATIC", "", SS_PATHELLIPSIS | SS_NOPREFIX | SS_NOTIFY, 352, 97, 163, 16},
    {kIdFParams, ItemsControl::RichEditFParams, "STATIC", "Parameters:", SS_NOTIFY, 352, 118, 163, 14},
    {kIdEditSParams, ItemsControl::EditSParams, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 352, 134, 163,
     21},
    {kIdPanelHeadAdmin, ItemsControl::PanelHeadAdmin, "STATIC", "Administer", SS_OWNERDRAW | SS_NOTIFY, 346, 175, 175,
     26},
    {kIdRGSelectType, ItemsControl::None, "BUTTON", "Type of item to add", BS_GROUPBOX, 350, 204, 167, 84},
    {kIdRBFile, ItemsControl::RBFile, "BUTTON", "File - Normal", BS_RADIOBUTTON | BS_NOTIFY | WS_TABSTOP | WS_GROUP, 358, 220, 152,
     16},
    {kIdRBFileDirectory, ItemsControl::RBFileDirectory, "BUTTON", "File - Directory", BS_RADIOBUTTON | BS_NOTIFY, 358, 236, 152,
     16},
    {kIdRBSeparator, ItemsControl::RBSeparator, "BUTTON", "Separator", BS_RADIOBUTTON | BS_NOTIFY, 358, 252, 152, 16},
    {kIdRBFolder, ItemsControl::RBFolder, "BUTTON", "Folder (virtual)", BS_RADIOBUTTON | BS_NOTIFY, 358, 268, 152, 16},
    {kIdLabelItemText, ItemsControl::None, "STATIC", "Item Text:", SS_LEFTNOWORDWRAP | WS_GROUP, 352, 292, 163, 14},
    {kIdMemoAddName, ItemsControl::MemoAddName, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 352, 307, 163,
     21},
    {kIdFind, ItemsControl::BitBtnFind, "BUTTON", "Find..", BS_PUSHBUTTON | WS_TABSTOP, 352, 332, 80, 24},
    {kIdAttach, ItemsControl::BitBtnAttach, "BUTTON", "Attach", BS_PUSHBUTTON | WS_TABSTOP, 435, 332, 80, 24},
    {kIdSweep, ItemsControl::BitBtnSweep, "BUTTON", "&Sweep", BS_PUSHBUTTON | WS_TABSTOP, 352, 362, 80, 26},
    {kIdUndo, ItemsControl::BitBtnUndo, "BUTTON", "&Undo", BS_PUSHBUTTON | WS_TABSTOP, 435, 362, 80, 26},
    {kIdCut, ItemsControl::BitBtnCut, "BUTTON", "&Cut", BS_PUSHBUTTON | WS_TABSTOP, 352, 392, 80, 26},
    {kIdCopy, ItemsControl::BitBtnCopy, "BUTTON", "C&opy", BS_PUSHBUTTON | WS_TABSTOP, 435, 392, 80, 26},
    {kIdPaste, ItemsControl::BitBtnPaste, "BUTTON", "&Paste", BS_PUSHBUTTON | WS_TABSTOP, 352, 422, 80, 26},
    {kIdDelete, ItemsControl::BitBtnDelete, "BUTTON", "&Delete", BS_PUSHBUTTON | WS_TABSTOP, 435, 422, 80, 26},
    {kIdSave, ItemsControl::BitBtnSave, "BUTTON", "S&ave", BS_PUSHBUTTON | WS_TABSTOP, 352, 452, 80, 26},
    {kIdClose, ItemsControl::BitBtnClose, "BUTTON", "C&lose", BS_PUSHBUTTON | WS_TABSTOP, 435, 452, 80, 26},
    {kIdLaunch, ItemsControl::BitBtnLaunch, "BUTTON", "&Launch", BS_PUSHBUTTON | WS_TABSTOP, 352, 482, 80, 26},
    {kIdHelp, ItemsControl::BitBtnHelp, "BUTTON", "&Help", BS_PUSHBUTTON | WS_TABSTOP, 435, 482, 80, 26},
    {kIdRestore, ItemsControl::BitBtnRestore, "BUTTON", "&Restore...", BS_PUSHBUTTON | WS_TABSTOP, 352, 512, 163, 26},
};

ItemsControl HintControlOf(int id) {
    for (const ControlDef& d : kControls)
        if (d.id == id) return d.hint;
    return ItemsControl::None;
}

int IdOf(ItemsControl c) {
    for (const ControlDef& d : kControls)
        if (d.hint == c) return d.id;
    return 0;
}

std::string TextOf(HWND h) {
    const int n = GetWindowTextLengthA(h);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    GetWindowTextA(h, &s[0], n + 1);
    s.resize(static_cast<size_t>(n));
    return s;
}

TreeNode* NodeOf(LPARAM param) { return reinterpret_cast<TreeNode*>(param); }

}  // namespace

TFormItems::TFormItems(AppModel& model, WinPictureLists& pictures, IFileSystem& fs, IItemsHost& host)
    : AppForm(model.settings.FontName), m_(model), pictures_(pictures), model_(model, fs, host) {
    SetName("FormItems");
    model_.SetView(this);
}

TFormItems::~TFormItems() {
    model_.SetView(nullptr);
    Destroy();
}

bool TFormItems::Create() {
    // The picture lists and the basic menu and tree serve the tray menu from the
    // start; the window itself waits for its first showing.
    if (!pictures_.Create()) return false;
    m_.Pictures = &pictures_;
    BuildMenuTemplate(m_.PMBasic);
    BuildBasicTree(m_.TVBasic);
    return true;
}

bool TFormItems::MakeWindow() {
    if (!CreateDialogFrame("TFormItems", kClientWidth, kClientHeight)) return false;
    CreateControls();
    return true;
}

void TFormItems::CreateControls() {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    TVItems.Create(Handle(), kIdTree, 0, 0, 346, 544, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS);
    controls_[kIdTree] = TVItems.Handle();
    Place(TVItems.Handle(), LayoutRect{0, 0, 346, 514});
    TVItems.OnDropFiles = [this](void*, const std::string& path, DropPoint& pt) {
        model_.TVItemsDropFiles(path, pt.x, pt.y);
        PushControls();
    };
    TVItems.OnInput = [this](UINT msg, WPARAM wParam, LPARAM lParam) { return TreeInput(msg, wParam, lParam); };
    for (const ControlDef& d : kControls) {
        HWND h = CreateWindowExA(0, d.cls, d.text, WS_CHILD | WS_VISIBLE | d.style, d.x, d.y, d.w, d.h, Handle(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(d.id)), inst, nullptr);
        controls_[d.id] = h;
        Place(h, LayoutRect{d.x, d.y, d.w, d.h});
    }
    for (const std::string& t : ItemTypeLabels()) AddLongestText(controls_[kIdLblFType], t);
    for (const std::string& t : ItemTextLabels()) AddLongestText(controls_[kIdLabelItemText], t);
    status_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, Handle(),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdStatus)), inst, nullptr);
    // One part over the whole width: the window is made wide enough for the
    // longest message (LayOut).
    int parts[1] = {-1};
    SendMessageA(status_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    pathTip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0,
                               0, 0, Handle(), nullptr, inst, nullptr);
    if (pathTip_) {
        TOOLINFOA ti = {};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = Handle();
        ti.uId = reinterpret_cast<UINT_PTR>(controls_[kIdFPath]);
        ti.lpszText = const_cast<char*>("");
        SendMessageA(pathTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    SetFont(Font());
    PushControls();
}

void TFormItems::FontChanged() {
    // Laid out for the font and the DPI.
    LayOutPlaced();
    // The status line's longest message widens the window (the tree takes the
    // room), rather than the whole layout growing with it.
    int widest = 0;
    int tallest = 0;
    for (const std::string& t : StatusLineTexts()) {
        const LayoutNeed need = NeedOf(status_, LayoutRect{0, 514, kClientWidth, 20}, t);
        widest = std::max(widest, need.textWidth + need.extraWidth + ScaleToDpi(24, Dpi()));  // the size grip
        tallest = std::max(tallest, need.textHeight + need.extraHeight);
    }
    const int extra = std::max(0, widest - Scaled(kClientWidth));
    if (extra > 0) {
        const LayoutRect tree = Scaled(LayoutRect{0, 0, 346, 514});
        MoveWindow(TVItems.Handle(), tree.left, tree.top, tree.width + extra, tree.height, TRUE);
        for (const ControlDef& d : kControls) {
            const LayoutRect r = Scaled(LayoutRect{d.x, d.y, d.w, d.h});
            MoveWindow(controls_[d.id], r.left + extra, r.top, r.width, r.height, TRUE);
        }
    }
    RECT frame = {0, 0, Scaled(kClientWidth) + extra, std::max(Scaled(kClientHeight), Scaled(514) + tallest)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)));
    SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    widened_ = extra;
    // The pictures at the window's DPI, the tree's indent with them.
    const int size = PictureSizeForDpi(Dpi());
    treeImages_ = pictures_.TreeAt(size, ScaleToDpi(18, Dpi()));
    TreeView_SetImageList(TVItems.Handle(), treeImages_, TVSIL_NORMAL);
    TreeView_SetIndent(TVItems.Handle(), ScaleToDpi(19, Dpi()));
    const LayoutRect pic = Scaled(LayoutRect{352, 33, 16, 16});
    MoveWindow(controls_[kIdImgFType], pic.left + widened_, pic.top, size, size, TRUE);
    if (status_) SendMessageA(status_, WM_SIZE, 0, 0);
}

HWND TFormItems::Control(ItemsControl c) const {
    auto it = controls_.find(IdOf(c));
    return it == controls_.end() ? nullptr : it->second;
}

bool TFormItems::DialogKey(const MSG& msg) {
    if (msg.message == WM_KEYDOWN) return OwnKey(msg);
    // Alt+letter, or a letter on a button (which takes no characters, so the
    // dialog manager reads the letter as a mnemonic as well).
    if (msg.message != WM_SYSCHAR && msg.message != WM_CHAR) return false;
    HWND focus = GetFocus();
    if (msg.message == WM_CHAR) {
        const LRESULT code = focus ? SendMessageA(focus, WM_GETDLGCODE, 0, 0) : 0;
        if (!(code & DLGC_BUTTON) || (code & DLGC_WANTCHARS)) return false;
    }
    ItemsControl focused = ItemsControl::None;
    for (const auto& c : controls_)
        if (c.second == focus) focused = HintControlOf(c.first);
    const ItemsControl target = model_.MnemonicTarget(static_cast<char>(msg.wParam), focused);
    HWND h = target == ItemsControl::None ? nullptr : Control(target);
    if (!h) return false;
    // Focus only, as dialogs do for a mnemonic used twice: Enter or Space presses.
    SetFocus(h);
    return true;
}

HTREEITEM TFormItems::ItemOf(const TreeNode* node) const {
    auto it = items_.find(node);
    return it == items_.end() ? nullptr : it->second;
}

void TFormItems::miManageItemsClick() {
    const StepClock clock;
    Present();
    UpdateWindow(Handle());  // painted, with the tree's first items
    if (OnTiming) OnTiming("manager shown", clock.Total());
}

void TFormItems::ShowItem(int itemNumber) {
    miManageItemsClick();
    if (model_.SelectItem(itemNumber)) PushControls();
}

// ---------------------------------------------------------------- mirroring the controls

void TFormItems::SetEditText(HWND edit, const std::string& text) {
    if (TextOf(edit) == text) return;
    DWORD start = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    pushing_ = true;
    SetWindowTextA(edit, text.c_str());
    pushing_ = false;
    // A cleaned text keeps the caret where the user was typing.
    if (GetFocus() == edit) {
        const DWORD at = start < text.size() ? start : static_cast<DWORD>(text.size());
        SendMessageA(edit, EM_SETSEL, at, at);
    }
}

void TFormItems::PushControls() {
    if (!Handle() || controls_.empty()) return;
    const FormItemsControls& c = model_.Controls;
    auto item = [&](int id) { return controls_[id]; };
    auto text = [&](int id, const std::string& now) {
        HWND h = item(id);
        if (GetWindowLongPtrA(h, GWL_STYLE) & ES_AUTOHSCROLL)
            SetEditText(h, now);
        else if (TextOf(h) != now)
            SetWindowTextA(h, now.c_str());
    };
    auto enable = [&](int id, bool on) {
        HWND h = item(id);
        if ((IsWindowEnabled(h) != FALSE) != on) EnableWindow(h, on ? TRUE : FALSE);
    };
    auto check = [&](int id, bool on) { SendMessageA(item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); };

    text(kIdEditSName, c.EditSName.Text);
    enable(kIdEditSName, c.EditSName.Enabled);
    text(kIdLblFType, c.LblFType);
    text(kIdFName, c.RichEditFName);
    text(kIdFPath, c.RichEditFPath);
    if (pathTip_ && pathTipText_ != c.RichEditFPath) {
        pathTipText_ = c.RichEditFPath;
        TOOLINFOA ti = {};
        ti.cbSize = sizeof ti;
        ti.hwnd = Handle();
        ti.uId = reinterpret_cast<UINT_PTR>(item(kIdFPath));
        ti.lpszText = const_cast<char*>(pathTipText_.c_str());
        SendMessageA(pathTip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    if (treeImages_ && treeImages_ != pictures_.Tree()) {
        // Pictures added since: the list at the window's DPI takes them too.
        HIMAGELIST now = pictures_.TreeAt(PictureSizeForDpi(Dpi()), ScaleToDpi(18, Dpi()));
        if (now != treeImages_) TreeView_SetImageList(TVItems.Handle(), now, TVSIL_NORMAL);
        treeImages_ = now;
    }
    text(kIdEditSParams, c.EditSParams.Text);
    enable(kIdEditSParams, c.EditSParams.Enabled);
    check(kIdRBFile, c.RBFile);
    check(kIdRBFileDirectory, c.RBFileDirectory);
    check(kIdRBSeparator, c.RBSeparator);
    check(kIdRBFolder, c.RBFolder);
    text(kIdLabelItemText, c.LabelItemText);
    text(kIdMemoAddName, c.MemoAddName);
    const std::pair<int, const ItemsButton*> buttons[] = {
        {kIdFind, &c.BitBtnFind},     {kIdAttach, &c.BitBtnAttach}, {kIdSweep, &c.BitBtnSweep},
        {kIdUndo, &c.BitBtnUndo},     {kIdCut, &c.BitBtnCut},       {kIdCopy, &c.BitBtnCopy},
        {kIdPaste, &c.BitBtnPaste},   {kIdDelete, &c.BitBtnDelete}, {kIdSave, &c.BitBtnSave},
        {kIdClose, &c.BitBtnClose},   {kIdLaunch, &c.BitBtnLaunch}, {kIdHelp, &c.BitBtnHelp},
        {kIdRestore, &c.BitBtnRestore},
    };
    for (const auto& b : buttons) enable(b.first, b.second->Enabled);

    if (!shownValid_ || shown_.ImgFType != c.ImgFType || shown_.ImgFTypeMenuColour != c.ImgFTypeMenuColour)
        InvalidateRect(item(kIdImgFType), nullptr, TRUE);
    if (!shownValid_ || shown_.StatusBarHelp != c.StatusBarHelp)
        SendMessageA(status_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(c.StatusBarHelp.c_str()));
    const int interval = c.TimerStatusText.Enabled ? c.TimerStatusText.Interval : 0;
    // A new message gets its whole message time, also after another one.
    if (interval != timerInterval_ || c.TimerStatusText.Starts != statusStarts_) {
        statusStarts_ = c.TimerStatusText.Starts;
        if (interval > 0)
            SetTimer(Handle(), kTimerStatusText, static_cast<UINT>(interval), nullptr);
        else
            KillTimer(Handle(), kTimerStatusText);
        timerInterval_ = interval;
    }
    Timers();
    shown_ = c;
    shownValid_ = true;
}

void TFormItems::Timers() {
    const FormItemsControls& c = model_.Controls;
    struct T {
        UINT_PTR id;
        const ItemsTimer& model;
        bool& on;
        unsigned& starts;
    } timers[] = {{kTimerDrag, c.TimerDrag, dragTimerOn_, dragStarts_},
                  {kTimerExpand, c.TimerExpand, expandTimerOn_, expandStarts_}};
    for (T& t : timers) {
        const bool restart = t.model.Enabled && t.model.Starts != t.starts;
        if (t.model.Enabled && (!t.on || restart)) {
            SetTimer(Handle(), t.id, static_cast<UINT>(t.model.Interval), nullptr);  // from the start again
        } else if (!t.model.Enabled && t.on) {
            KillTimer(Handle(), t.id);
        }
        t.on = t.model.Enabled;
        t.starts = t.model.Starts;
    }
}

// ---------------------------------------------------------------- the tree view

HTREEITEM TFormItems::InsertItem(TreeNode* node, HTREEITEM parent, HTREEITEM after) {
    TVINSERTSTRUCTA is = {};
    is.hParent = parent;
    is.hInsertAfter = after;
    // Texts, pictures and the expand button are asked for when drawn, so a
    // change of the node shows without touching the item.
    is.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM | TVIF_STATE;
    is.item.pszText = LPSTR_TEXTCALLBACKA;
    is.item.iImage = I_IMAGECALLBACK;
    is.item.iSelectedImage = I_IMAGECALLBACK;
    is.item.cChildren = I_CHILDRENCALLBACK;
    is.item.lParam = reinterpret_cast<LPARAM>(node);
    is.item.stateMask = TVIS_CUT;
    is.item.state = node->cut ? TVIS_CUT : 0;
    HTREEITEM h = reinterpret_cast<HTREEITEM>(
        SendMessageA(TVItems.Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is)));
    if (h) items_[node] = h;
    return h;
}

void TFormItems::FillTree() {
    // The tree view draws from the list by itself.
    pictures_.RealizeAll();
    HWND tv = TVItems.Handle();
    SendMessageA(tv, WM_SETREDRAW, FALSE, 0);
    clearing_ = true;
    TreeView_DeleteAllItems(tv);
    clearing_ = false;
    items_.clear();
    opened_.clear();
    TreeNode& root = m_.TVItems.Root();
    items_.reserve(static_cast<size_t>(root.Count()) * 2);
    for (int i = 0; i < root.Count(); ++i) InsertItem(root.Child(i), TVI_ROOT, TVI_LAST);
    opened_.insert(&root);
    stale_ = false;
    SendMessageA(tv, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tv, nullptr, TRUE);
}

void TFormItems::RealiseChildren(TreeNode* parent) {
    if (!parent || opened_.count(parent)) return;
    const HTREEITEM h = ItemOf(parent);
    if (!h) return;
    for (int i = 0; i < parent->Count(); ++i) InsertItem(parent->Child(i), h, TVI_LAST);
    opened_.insert(parent);
}

void TFormItems::ShowNode(TreeNode* node) {
    std::vector<TreeNode*> chain;
    for (TreeNode* p = node ? node->Parent() : nullptr; p && p != &m_.TVItems.Root(); p = p->Parent())
        chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) RealiseChildren(*it);
}

void TFormItems::TreeReset() {
    if (IsWindowVisible(Handle())) {
        FillTree();
        return;
    }
    // Filled when the window is next shown; until then the view holds nothing
    // that could point at the old nodes.
    ReleaseTree();
}

void TFormItems::ReleaseTree() {
    if (!TVItems.Handle()) return;
    clearing_ = true;
    TreeView_DeleteAllItems(TVItems.Handle());
    clearing_ = false;
    items_.clear();
    opened_.clear();
    stale_ = true;
}

void TFormItems::NodeInserted(TreeNode* node) {
    if (stale_ || !node) return;
    TreeNode* parent = node->Parent();
    if (!opened_.count(parent)) {
        // The parent's children are not in the view yet; its button may change.
        if (ItemOf(parent)) NodeChanged(parent);
        return;
    }
    const HTREEITEM hp = parent == &m_.TVItems.Root() ? TVI_ROOT : ItemOf(parent);
    const TreeNode* prev = TreeModel::PrevSibling(node);
    const HTREEITEM after = prev ? ItemOf(prev) : TVI_FIRST;
    InsertItem(node, hp, after ? after : TVI_FIRST);
}

void TFormItems::NodeDeleting(TreeNode* node) {
    if (stale_) return;
    HTREEITEM h = ItemOf(node);
    if (!h) return;
    if (dropTarget_ == h) dropTarget_ = nullptr;
    // The control selects another item when the selected one goes; the model
    // hears of it once the command is done (SyncSelection).
    selecting_ = true;
    TreeView_DeleteItem(TVItems.Handle(), h);
    selecting_ = false;
}

void TFormItems::NodeChanged(TreeNode* node) {
    if (stale_) return;
    HTREEITEM h = ItemOf(node);
    if (!h) return;
    TVITEMA it = {};
    it.mask = TVIF_STATE | TVIF_TEXT;
    it.hItem = h;
    it.stateMask = TVIS_CUT;
    it.state = node->cut ? TVIS_CUT : 0;
    it.pszText = LPSTR_TEXTCALLBACKA;  // the width is measured anew
    SendMessageA(TVItems.Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    RECT r;
    if (TreeView_GetItemRect(TVItems.Handle(), h, &r, FALSE)) InvalidateRect(TVItems.Handle(), &r, TRUE);
}

void TFormItems::NodeSelected(TreeNode* node) {
    if (stale_) return;
    ShowNode(node);
    selecting_ = true;
    TreeView_SelectItem(TVItems.Handle(), node ? ItemOf(node) : nullptr);
    selecting_ = false;
}

void TFormItems::BeginUpdate() {
    if (updates_++ == 0 && TVItems.Handle()) SendMessageA(TVItems.Handle(), WM_SETREDRAW, FALSE, 0);
}

void TFormItems::EndUpdate() {
    if (updates_ > 0 && --updates_ == 0 && TVItems.Handle()) {
        SendMessageA(TVItems.Handle(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(TVItems.Handle(), nullptr, TRUE);
    }
}

void TFormItems::HideWindow() { ShowWindow(Handle(), SW_HIDE); }

TreeNode* TFormItems::NodeAt(int x, int y) {
    TVHITTESTINFO ht = {};
    ht.pt = POINT{x, y};
    HTREEITEM h = TreeView_HitTest(TVItems.Handle(), &ht);
    // The whole row counts, right of a short (or empty) text too: a top node
    // has no text to aim at.
    if (!h || !(ht.flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT))) return nullptr;
    TVITEMA it = {};
    it.mask = TVIF_PARAM;
    it.hItem = h;
    SendMessageA(TVItems.Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    return NodeOf(it.lParam);
}

bool TFormItems::IsExpanded(TreeNode* node) {
    HTREEITEM h = ItemOf(node);
    return h && (TreeView_GetItemState(TVItems.Handle(), h, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void TFormItems::Expand(TreeNode* node) {
    ShowNode(node);
    RealiseChildren(node);
    if (HTREEITEM h = ItemOf(node)) TreeView_Expand(TVItems.Handle(), h, TVE_EXPAND);
}

void TFormItems::BeginDrag(TreeNode*) {
    if (!pressed_) return;  // released before the timer: a click, no drag
    armed_ = true;
    GetCursorPos(&armPoint_);
    ScreenToClient(TVItems.Handle(), &armPoint_);
}

void TFormItems::RepaintCaption() { FormActivate(); }

void TFormItems::FocusNameField() {
    HWND edit = controls_[kIdEditSName];
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
}

void TFormItems::FocusTree() { SetFocus(TVItems.Handle()); }

void TFormItems::CancelDrag() {
    if (!pressed_) return;
    pressed_ = false;  // so that the WM_CAPTURECHANGED of ReleaseCapture cancels nothing more
    ReleaseCapture();
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(TVItems.Handle(), &pt);
    EndDrag(false, pt);
}

bool TFormItems::OwnKey(const MSG& msg) {
    if (!Handle()) return false;
    const ItemsKeyPlace place = msg.hwnd == TVItems.Handle()              ? ItemsKeyPlace::Tree
                                : msg.hwnd == controls_[kIdEditSName] ? ItemsKeyPlace::NameField
                                                                         : ItemsKeyPlace::Window;
    unsigned mods = kKeyModNone;
    if (GetKeyState(VK_CONTROL) < 0) mods |= kKeyModCtrl;
    if (GetKeyState(VK_SHIFT) < 0) mods |= kKeyModShift;
    if (GetKeyState(VK_MENU) < 0) mods |= kKeyModAlt;
    if (!model_.KeyDown(place, static_cast<int>(msg.wParam), mods)) return false;
    PushControls();
    SyncSelection();
    return true;
}

void TFormItems::SyncSelection() {
    HTREEITEM h = TreeView_GetSelection(TVItems.Handle());
    TreeNode* node = nullptr;
    if (h) {
        TVITEMA it = {};
        it.mask = TVIF_PARAM;
        it.hItem = h;
        SendMessageA(TVItems.Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
        node = NodeOf(it.lParam);
    }
    if (node != model_.Selected()) {
        model_.TreeSelectionChanged(node);
        PushControls();
    }
}

// ---------------------------------------------------------------- the drag

void TFormItems::StartDragImage(POINT pt) {
    HTREEITEM h = ItemOf(model_.DragSource());
    dragImage_ = h ? TreeView_CreateDragImage(TVItems.Handle(), h) : nullptr;
    if (dragImage_) {
        ImageList_BeginDrag(dragImage_, 0, 0, 0);
        ImageList_DragEnter(TVItems.Handle(), pt.x, pt.y);
    }
    dragging_ = true;
}

void TFormItems::DragMoved(POINT pt) {
    if (dragImage_) ImageList_DragShowNolock(FALSE);
    accept_ = model_.TVItemsDragOver(pt.x, pt.y, true);
    TreeNode* under = NodeAt(pt.x, pt.y);
    HTREEITEM hilite = (under && accept_) ? ItemOf(under) : nullptr;
    if (hilite != dropTarget_) {
        TreeView_SelectDropTarget(TVItems.Handle(), hilite);
        dropTarget_ = hilite;
    }
    SetCursor(LoadCursor(nullptr, accept_ ? IDC_ARROW : IDC_NO));
    PushControls();
    UpdateWindow(TVItems.Handle());
    if (dragImage_) {
        ImageList_DragShowNolock(TRUE);
        ImageList_DragMove(pt.x, pt.y);
    }
}

void TFormItems::EndDrag(bool drop, POINT pt) {
    const bool wasDragging = dragging_;
    if (dragImage_) {
        ImageList_DragLeave(TVItems.Handle());
        ImageList_EndDrag();
        ImageList_Destroy(dragImage_);
        dragImage_ = nullptr;
    }
    if (dropTarget_) TreeView_SelectDropTarget(TVItems.Handle(), nullptr);
    dropTarget_ = nullptr;
    dragging_ = armed_ = pressed_ = false;
    if (wasDragging && drop && accept_) {
        const StepClock clock;
        model_.TVItemsDragDrop(pt.x, pt.y);
        UpdateWindow(TVItems.Handle());
        if (OnTiming) OnTiming("drop", clock.Total());
    }
    model_.TVItemsMouseUp(true);
    PushControls();
    SyncSelection();
}

bool TFormItems::TreeInput(UINT msg, WPARAM, LPARAM lParam) {
    const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
        case WM_LBUTTONDOWN: {
            model_.TVItemsMouseDown(true, pt.x, pt.y);
            PushControls();
            TVHITTESTINFO ht = {};
            ht.pt = pt;
            HTREEITEM h = TreeView_HitTest(TVItems.Handle(), &ht);
            if (!h || !(ht.flags & TVHT_ONITEM)) return false;  // buttons, lines, empty space
            // Pressing an item selects it as the control would, but without the
            // control's own drag detection, which would hold the message loop
            // (and the drag timer) until the pointer moves or the button is up.
            SetFocus(TVItems.Handle());
            TreeView_SelectItem(TVItems.Handle(), h);
            SetCapture(TVItems.Handle());
            pressed_ = true;
            return true;
        }
        case WM_MOUSEMOVE:
            if (!pressed_) return false;
            if (armed_ && !dragging_ &&
                (std::abs(pt.x - armPoint_.x) >= kDragDistance || std::abs(pt.y - armPoint_.y) >= kDragDistance))
                StartDragImage(pt);
            if (dragging_) DragMoved(pt);
            return true;
        case WM_LBUTTONUP:
            if (!pressed_) {
                model_.TVItemsMouseUp(true);
                PushControls();
                return false;
            }
            pressed_ = false;  // so that the WM_CAPTURECHANGED of ReleaseCapture cancels nothing
            ReleaseCapture();
            EndDrag(true, pt);
            return true;
        case WM_CAPTURECHANGED:
            if (pressed_) EndDrag(false, pt);
            return false;
        default:
            return false;
    }
}

// ---------------------------------------------------------------- events

void TFormItems::FormShow() {
    pictures_.RealizeAll();
    if (stale_) FillTree();
    model_.FormShow();
    PushControls();
    SetFocus(TVItems.Handle());
}

void TFormItems::Close() {
    if (!model_.FormCloseQuery()) {
        PushControls();
        SyncSelection();
        return;
    }
    model_.FormClose();
    ShowWindow(Handle(), SW_HIDE);
    PushControls();
}

void TFormItems::OnCommand(int id, int code, HWND control) {
    if (id >= kIdRBFile && id <= kIdRBFolder) {
        // A radio button that takes the focus switches the mode (a click does too).
        if (code == BN_SETFOCUS || code == BN_CLICKED) {
            const AddMode modes[] = {AddMode::File, AddMode::Directory, AddMode::Separator, AddMode::Folder};
            model_.RBFolderEnter(modes[id - kIdRBFile]);
            PushControls();
        }
        return;
    }
    if (code == EN_KILLFOCUS && id == kIdEditSName) {
        model_.EditSNameExit();
        PushControls();
        return;
    }
    if (code == EN_CHANGE) {
        if (pushing_) return;
        const std::string text = TextOf(control);
        if (id == kIdEditSName) model_.SetEditSNameText(text);
        if (id == kIdEditSParams) model_.SetEditSParamsText(text);
        if (id == kIdMemoAddName) model_.SetMemoAddNameText(text);
        PushControls();
        return;
    }
    if (code != BN_CLICKED && id != IDCANCEL) return;
    switch (id) {
        case kIdSave: model_.BitBtnSaveClick(); break;
        case kIdUndo: model_.BitBtnUndoClick(); break;
        case kIdSweep: model_.BitBtnSweepClick(); break;
        case kIdLaunch: model_.BitBtnLaunchClick(); break;
        case kIdHelp: model_.BitBtnHelpClick(); break;
        case kIdRestore: model_.BitBtnRestoreClick(); break;
        case kIdFind: model_.BitBtnFindClick(); break;
        case kIdAttach: model_.BitBtnAttachClick(); break;
        case kIdCut: model_.BitBtnCutClick(); break;
        case kIdCopy: model_.BitBtnCopyClick(); break;
        case kIdPaste: {
            const StepClock clock;
            model_.BitBtnPasteClick();
            UpdateWindow(TVItems.Handle());
            if (OnTiming) OnTiming("paste", clock.Total());
            break;
        }
        case kIdDelete: model_.BitBtnDeleteClick(); break;
        case kIdClose:
        case IDCANCEL:
            Close();
            return;
        default:
            break;
    }
    PushControls();
    SyncSelection();
}

LRESULT TFormItems::OnNotify(NMHDR* hdr) {
    if (hdr->hwndFrom != TVItems.Handle()) return 0;
    switch (hdr->code) {
        case TVN_GETDISPINFOA: {
            auto* di = reinterpret_cast<NMTVDISPINFOA*>(hdr);
            const TreeNode* node = NodeOf(di->item.lParam);
            if (!node) break;
            if (di->item.mask & TVIF_TEXT) lstrcpynA(di->item.pszText, node->text.c_str(), di->item.cchTextMax);
            if (di->item.mask & TVIF_IMAGE) di->item.iImage = node->imageIndex;
            if (di->item.mask & TVIF_SELECTEDIMAGE) di->item.iSelectedImage = node->selectedIndex;
            if (di->item.mask & TVIF_CHILDREN) di->item.cChildren = node->Count() > 0 ? 1 : 0;
            break;
        }
        case TVN_ITEMEXPANDINGA: {
            auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
            if (nm->action & TVE_EXPAND) RealiseChildren(NodeOf(nm->itemNew.lParam));
            break;
        }
        case TVN_ITEMEXPANDEDA: {
            auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
            TreeNode* node = NodeOf(nm->itemNew.lParam);
            if (nm->action & TVE_EXPAND)
                model_.TVItemsExpanded(node);
            else if (nm->action & TVE_COLLAPSE)
                model_.TVItemsCollapsed(node);
            break;
        }
        case TVN_SELCHANGEDA: {
            if (selecting_) break;
            auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
            model_.TreeSelectionChanged(NodeOf(nm->itemNew.lParam));
            PushControls();
            break;
        }
        case TVN_DELETEITEMA: {
            if (clearing_) break;
            auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
            const TreeNode* node = NodeOf(nm->itemOld.lParam);
            items_.erase(node);
            opened_.erase(node);
            break;
        }
        default:
            break;
    }
    return 0;
}

void TFormItems::OnSetCursor(HWND under) {
    if (GetActiveWindow() != Handle()) return;
    if (under == Handle()) {
        // Labels and disabled controls leave the question to their parent.
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(Handle(), &pt);
        HWND child = ChildWindowFromPointEx(Handle(), pt, CWP_SKIPINVISIBLE);
        if (child && child != Handle()) under = child;
    }
    const ItemsControl c = HintControlOf(GetDlgCtrlID(under));
    const std::string hint = HintOf(c);
    if (hint == lastHint_) return;
    lastHint_ = hint;
    model_.ApplicationHint(hint);
    PushControls();
}

void TFormItems::DrawTypePicture(const DRAWITEMSTRUCT& dis) {
    const FormItemsControls& c = model_.Controls;
    FillRect(dis.hDC, &dis.rcItem, GetSysColorBrush(c.ImgFTypeMenuColour ? COLOR_MENU : COLOR_BTNFACE));
    if (c.ImgFType >= 0 && c.ImgFType < pictures_.Count()) {
        const int size = PictureSizeForDpi(Dpi());
        pictures_.RealizeAt(c.ImgFType, size);
        ImageList_Draw(pictures_.MenuAt(size), c.ImgFType, dis.hDC, dis.rcItem.left, dis.rcItem.top, ILD_TRANSPARENT);
    }
}

void TFormItems::DrawPanelHead(const DRAWITEMSTRUCT& dis) {
    RECT r = dis.rcItem;
    FillRect(dis.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dis.hDC, &r, EDGE_RAISED, BF_RECT);
    const std::string text = TextOf(dis.hwndItem);
    SetBkMode(dis.hDC, TRANSPARENT);
    SetTextColor(dis.hDC, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ old = FontHandle() ? SelectObject(dis.hDC, FontHandle()) : nullptr;
    const std::wstring wide = Widen(text);
    DrawTextW(dis.hDC, wide.c_str(), static_cast<int>(wide.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (old) SelectObject(dis.hDC, old);
}

LRESULT TFormItems::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NOTIFY:
            return OnNotify(reinterpret_cast<NMHDR*>(lParam));
        case WM_TIMER:
            if (wParam == kTimerStatusText) {
                model_.TimerStatusText();
                PushControls();
                return 0;
            }
            if (wParam == kTimerDrag || wParam == kTimerExpand) {
                // One tick each: the model switches them on again when it wants.
                KillTimer(Handle(), wParam);
                (wParam == kTimerDrag ? dragTimerOn_ : expandTimerOn_) = false;
                if (dragImage_) ImageList_DragShowNolock(FALSE);
                if (wParam == kTimerDrag)
                    model_.TimerDragTimer();
                else
                    model_.TimerExpandTimer();
                PushControls();
                UpdateWindow(TVItems.Handle());
                if (dragImage_) ImageList_DragShowNolock(TRUE);
                return 0;
            }
            break;
        case WM_SETCURSOR:
            OnSetCursor(reinterpret_cast<HWND>(wParam));
            break;  // the system still sets the cursor
        case WM_DRAWITEM: {
            const auto& dis = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (dis.CtlID == static_cast<UINT>(kIdImgFType)) {
                DrawTypePicture(dis);
                return TRUE;
            }
            if (dis.CtlID == static_cast<UINT>(kIdPanelHeadProp) || dis.CtlID == static_cast<UINT>(kIdPanelHeadAdmin)) {
                DrawPanelHead(dis);
                return TRUE;
            }
            break;
        }
        case WM_SIZE:
            if (status_) SendMessageA(status_, WM_SIZE, 0, 0);
            break;
        case WM_CLOSE:
            Close();
            return 0;
        default:
            break;
    }
    return AppForm::HandleMessage(msg, wParam, lParam);
}

}  // namespace pv
