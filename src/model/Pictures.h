#pragma once
// The two image lists ILAllPublicPM (16 x 16, menus) and ILAllPublicTV (16 x 18,
// trees) as the loader and the manager see them, and the bookkeeping of where
// pictures go.
//
// Both lists always hold the same number of pictures and an index means the same
// picture in both. Pictures 0 to 11 are fixed, 12 to 14 the break pictures; then
// the loader inserts the extension icons at break picture 3 and the item icons at
// break picture 5, and the manager appends icons after the icon base.
//
// IPictureLists is what the Win32 layer implements (HIMAGELIST, SHGetFileInfo,
// DrawIconEx and the scratch bitmaps made at start-up). Contract for every
// implementation, which keeps the two lists in step whatever the files hold:
//   - AddShellIcon inserts exactly one picture into the menu list and, unless
//     menuOnly, exactly one into the tree list, also when the shell gives no icon
//     (SHGetFileInfo returns 0 for a missing file: insert a blank picture then).
//   - AddTypeIcon likewise inserts exactly one picture into each list.
//   - InsertIconFile inserts exactly one picture into the menu list, blank when
//     the file cannot be loaded; CopyMenuPictureToTree then exactly one into the
//     tree list.
//   - position < 0 appends; otherwise the picture is inserted at position and the
//     pictures from there on move up by one.
// A file type's icon is named by the "TempFile.<ext>" path in the data directory
// that the shell is asked about; whether a file of that name is really made for
// the question, and when the question is asked, is the implementation's affair,
// as long as the picture is there before it is first drawn and no file is left.

#include <string>
#include <vector>

namespace pv {

constexpr int kPictureFolder = 0;
constexpr int kPictureOpenFolder = 1;
constexpr int kPictureProgram = 2;
constexpr int kPicturePlainSeparator = 3;
constexpr int kPictureCaptionedSeparator = 4;
constexpr int kPictureTopNode = 5;
constexpr int kPictureDirectory = 6;
constexpr int kPictureHelp = 8;
constexpr int kPictureManageItems = 9;
constexpr int kPicturePreferences = 10;
constexpr int kLastFixedPicture = 11;
constexpr int kFixedPictureCount = 15;  // 0..11 fixed, 12..14 break pictures

class IPictureLists {
public:
    virtual ~IPictureLists() = default;

    // Number of pictures in each list.
    virtual int Count() const = 0;

    // The small shell icon of a file or directory (SHGetFileInfo with SHGFI_ICON |
    // SHGFI_SMALLICON): into ILAllPublicPM as it is and, unless menuOnly, into
    // ILAllPublicTV drawn at 32 x 32 on the window scratch bitmap and stretched into
    // (0, 1)-(16, 17) of the 16 x 18 tree scratch image. Returns whether the shell
    // gave an icon (a blank picture is inserted when it did not).
    virtual bool AddShellIcon(const std::string& path, int position, bool menuOnly) = 0;

    // The small shell icon of the file type of `file` (a name that need not
    // exist) into both lists, the tree's drawn as AddShellIcon draws it.
    virtual void AddTypeIcon(const std::string& file, int position) = 0;
    // AddTypeIcon for each file, at position and the places after it (or
    // appended, for -1). Lists that must move the pictures above for each
    // insertion move them once.
    virtual void AddTypeIcons(const std::vector<std::string>& files, int position) {
        for (const std::string& f : files) AddTypeIcon(f, position < 0 ? -1 : position++);
    }

    // A saved item icon into ILAllPublicPM: a file ending in ".bmp" as a bitmap that
    // is its own mask, ".ico" as an icon. Returns whether the file could be loaded.
    virtual bool InsertIconFile(const std::string& file, int position) = 0;

    // The tree picture of an item icon: ILAllPublicPM's picture at position drawn on a
    // 16 x 16 menu-colour bitmap, copied one row lower into a 16 x 18 window-colour
    // bitmap, inserted into ILAllPublicTV at position.
    virtual void CopyMenuPictureToTree(int position) = 0;

    // Deletes every picture above index `last` from both lists, highest first.
    virtual void DeleteAbove(int last) = 0;
    // Appends to both lists a copy of the picture at index (a pasted item's
    // own picture); false, and nothing appended, for an index not in the lists.
    virtual bool AppendCopy(int index) = 0;
    // Picture index of ILAllPublicPM drawn at (0, 0) on a 16 x 16 bitmap of 32
    // bits per pixel, as the bytes of a BMP file (a saved item icon).
    virtual std::string MenuPictureBmp(int index) = 0;
    // Appends the three break pictures (ImageBreak3/4/5 Small and Large).
    virtual void AppendBreakPictures() = 0;
};

// Where the loader puts pictures. Reset by CopySystemMenu before every load.
struct PictureBookkeeping {
    int lastFixed = kLastFixedPicture;
    int break3 = 12;  // extension icons are inserted here
    int break4 = 13;  // always one above break3
    int break5 = 14;  // item icons are inserted here
    int itemIconCount = 0;  // the tag of ILAllPublicPM

    void Reset() { *this = PictureBookkeeping(); }
    // Icons the manager appends after a load get IconBase() + 1, + 2, ...
    int IconBase() const { return break5; }
};

// An IPictureLists that draws nothing: it keeps one label per picture so that
// tests, the pivora-store tool and the benchmark see which picture went where.
// It starts with the 15 fixed pictures, labelled "fixed 0" .. "break 5".
class PictureRecorder : public IPictureLists {
public:
    struct Picture {
        std::string menu;  // label in ILAllPublicPM
        std::string tree;  // label in ILAllPublicTV ("" while only the menu has it)
    };

    PictureRecorder();

    int Count() const override;
    bool AddShellIcon(const std::string& path, int position, bool menuOnly) override;
    // Labelled as AddShellIcon labels the same path: it is the same picture.
    void AddTypeIcon(const std::string& file, int position) override;
    bool InsertIconFile(const std::string& file, int position) override;
    void CopyMenuPictureToTree(int position) override;
    void DeleteAbove(int last) override;
    // Labelled as the original: it is the same picture.
    bool AppendCopy(int index) override;
    void AppendBreakPictures() override;
    // "BMP " + the picture's menu label: not a real bitmap, but tells which
    // picture a saved icon file holds.
    std::string MenuPictureBmp(int index) override;

    // Labels, for checks. A list out of step with the other makes InStep() false.
    const std::vector<std::string>& Menu() const { return menu_; }
    const std::vector<std::string>& Tree() const { return tree_; }
    bool InStep() const { return menu_.size() == tree_.size(); }
    int ShellQueries() const { return shellQueries_; }

    // Decides whether a shell query finds an icon (default: always).
    void SetShellHasIcon(bool (*hasIcon)(const std::string& path)) { hasIcon_ = hasIcon; }

private:
    static void Put(std::vector<std::string>& list, int position, const std::string& label);
    std::vector<std::string> menu_;
    std::vector<std::string> tree_;
    int shellQueries_ = 0;
    bool (*hasIcon_)(const std::string&) = nullptr;
};

}  // namespace pv
