#pragma once
// The two image lists ILAllPublicPM (16 x 16, menus) and ILAllPublicTV
// (16 x 18, trees) as Win32 image lists: shell icons through SHGetFileInfo,
// saved item icons from .bmp and .ico files, the tree's 16 x 18 pictures drawn
// from the menu's 16 x 16 ones on the scratch pictures.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "model/Pictures.h"
#include "support/UkvGraphics_win.h"

namespace pv {

// The break pictures "3", "4", "5" for the menu list (16x16) and the tree list (16x18).
struct BreakPictures {
    HBITMAP small[3] = {nullptr, nullptr, nullptr};
    HBITMAP large[3] = {nullptr, nullptr, nullptr};
};

// A transparent picture of one list's size, made once and added or copied in
// wherever a place is to be filled.
struct BlankPicture {
    HBITMAP color = nullptr;
    HBITMAP mask = nullptr;
};

class WinPictureLists : public IPictureLists {
public:
    // Both must outlive the lists; the break pictures may still be empty here.
    WinPictureLists(const ScratchPictures& scratch, const BreakPictures& breaks) : scratch_(scratch), breaks_(&breaks) {}
    ~WinPictureLists() override { Destroy(); }
    WinPictureLists(const WinPictureLists&) = delete;
    WinPictureLists& operator=(const WinPictureLists&) = delete;

    // Makes both lists with their fixed pictures (0 to 14).
    bool Create();
    void Destroy();
    HIMAGELIST Menu() const { return pm_; }  // ILAllPublicPM
    HIMAGELIST Tree() const { return tv_; }  // ILAllPublicTV

    int Count() const override;
    bool AddShellIcon(const std::string& path, int position, bool menuOnly) override;
    // Places a blank picture and asks the shell only when the picture is first
    // needed: the first question costs the shell's whole icon cache set-up, and
    // a type nobody draws is not worth it at start-up.
    void AddTypeIcon(const std::string& file, int position) override;
    void AddTypeIcons(const std::vector<std::string>& files, int position) override;
    bool InsertIconFile(const std::string& file, int position) override;
    void CopyMenuPictureToTree(int position) override;
    void DeleteAbove(int last) override;
    bool AppendCopy(int index) override;
    void AppendBreakPictures() override;
    std::string MenuPictureBmp(int index) override;

    // Every drawer of the lists calls Realize for a picture before drawing it,
    // and RealizeAll before handing the lists to a control that draws by itself.
    void Realize(int index);
    void RealizeAll();
    bool HasUnrealized() const;

    // The menu pictures at size x size for a high-DPI monitor (the menu list
    // itself at 16): file-type icons asked of the shell at that size, every
    // other picture scaled smoothly from the menu list's. Each picture is made
    // when RealizeAt asks for it; the list stays valid until the next change
    // of the lists.
    HIMAGELIST MenuAt(int size);
    void RealizeAt(int index, int size);
    // The tree pictures at width x height (the tree list itself at 16 x 18),
    // every picture made: a tree view draws them by itself. The same handle as
    // long as the size stays; brought up to date by each call.
    HIMAGELIST TreeAt(int width, int height);

private:
    struct TypePicture {
        int index;
        std::string file;
        bool realized = false;
        bool real = false;  // a file that exists (its own icon), not a type's name
    };
    // A copy of one list at another size; done[i]: picture i is made.
    struct ScaledList {
        bool tree = false;
        int width = 0, height = 0;
        HIMAGELIST list = nullptr;
        std::vector<bool> done;
    };
    // A picture inserted at position moves the type pictures from there on up.
    void MakeRoomAt(int position);
    // The pictures from position on changed (inserted, moved, replaced, removed).
    void Changed(int position);
    ScaledList& Scaled(bool tree, int width, int height);
    void MakeScaled(ScaledList& s, int index);
    void DestroyScaled();

    // Every picture that comes from the shell (a type's, realized or not, and a
    // file's own), so that other sizes can be asked for.
    std::vector<TypePicture> unrealized_;
    std::vector<ScaledList> scaled_;
    BlankPicture blankMenu_, blankTree_;
    const ScratchPictures& scratch_;
    const BreakPictures* breaks_;
    HIMAGELIST pm_ = nullptr;
    HIMAGELIST tv_ = nullptr;
};

// Loads the fixed pictures first..first+count-1 (bitmap resources) into list.
void AddResourcePictures(HIMAGELIST list, int firstId, int count);

// Inserts one picture at position (appends when position < 0 or past the end):
// the list grows by one (by adding grow when given, which is cheaper), the
// pictures from position on move up, and put(index) then fills the free place.
void InsertPicture(HIMAGELIST list, int position, const std::function<void(int index)>& put,
                   const BlankPicture* grow = nullptr);

}  // namespace pv
