#pragma once
// TFormItems: the manager window. Besides the manager it owns the tray menu
// PMItems, the template PMBasic, the trees TVItems, TVUndo and TVBasic, and the
// two image lists whose indexes mean the same picture.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "menu/MenuModel.h"
#include "store/ItemTable.h"
#include "store/Pictures.h"
#include "store/StoreLoader.h"
#include "store/TreeModel.h"
#include "support/Platform_win.h"
#include "app/AppForm_win.h"

namespace pv {

// The two image lists as the loader and the manager fill them: shell icons
// through SHGetFileInfo, saved item icons from .bmp and .ico files, the tree's
// 16x18 pictures drawn from the menu's 16x16 ones on the scratch pictures.
class WinPictureLists : public IPictureLists {
public:
    WinPictureLists(HIMAGELIST& menuList, HIMAGELIST& treeList) : pm_(menuList), tv_(treeList) {}

    int Count() const override;
    bool AddShellIcon(const std::string& path, int position, bool menuOnly) override;
    bool InsertIconFile(const std::string& file, int position) override;
    void CopyMenuPictureToTree(int position) override;
    void DeleteAbove(int last) override;
    void AppendBreakPictures() override;

private:
    HIMAGELIST& pm_;
    HIMAGELIST& tv_;
};

class TFormItems : public AppForm {
public:
    TFormItems();
    ~TFormItems() override;

    bool Create();

    PopupMenu PMItems;
    PopupMenu PMBasic;
    TreeModel TVItems;
    TreeModel TVUndo;
    TreeModel TVBasic;
    HIMAGELIST ILAllPublicPM = nullptr;  // 16x16, menus
    HIMAGELIST ILAllPublicTV = nullptr;  // 16x18, trees
    WinPictureLists Pictures{ILAllPublicPM, ILAllPublicTV};
    PictureBookkeeping PictureMarks;     // its itemIconCount is the tag of ILAllPublicPM
    ItemTable Items;                     // paths, parameters, extensions


    // What the store check and the load work on, for the current DataDir and settings.
    StoreContext MakeStoreContext();

    // Click handlers of the system entries.
    void miManageItemsClick();
    void SetupClick();
    void miHelpFileClick();
    void miVisitWebsiteClick();
    void miAboutClick();
    void miCloseAppClick();

    // OpenTarget with its "not found." message.
    void OpenTargetWithMessage(const std::string& target);
    IShell& Shell() { return shell_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateImageLists();

    WinFileSystem fs_;
    WinShell shell_;
};

// Loads the fixed pictures first..first+count-1 (bitmap resources) into list.
void AddResourcePictures(HIMAGELIST list, int firstId, int count);

// Inserts one picture at position (appends when position < 0 or past the end):
// the list grows by one, the pictures from position on move up, and put(index)
// then fills the free place.
void InsertPicture(HIMAGELIST list, int position, const std::function<void(int index)>& put);

}  // namespace pv
