#pragma once
// The small menu the right button opens on a link entry of the tray menu: which
// commands an entry gets, the menu made of them (drawn as the tray menu is),
// and what each command asks of the shell, the clipboard and the manager. The
// Win32 layer only shows the menu and hands the choice back here.

#include <functional>
#include <string>
#include <vector>

#include "model/ItemTable.h"
#include "model/MenuModel.h"
#include "support/Platform.h"

namespace pv {

enum class EntryCommand {
    Open,              // what choosing the entry does
    RunAsAdministrator,
    OpenFileLocation,
    CopyPath,
    EditInPivora,
};

// What a link's target is, as far as its commands care.
enum class LinkKind {
    Program,     // a program link (it has a parameter pair)
    Shortcut,    // a ".lnk" file
    File,        // any other file, or a directory
    WebAddress,  // a path with a scheme ("https:", "mailto:", "shell:"): nothing to show in Explorer
};

// What the commands need beyond the shell.
class IEntryMenuHost {
public:
    virtual ~IEntryMenuHost() = default;
    // Chooses the entry as a left click does.
    virtual void Launch(const MenuEntry& entry) = 0;
    // Puts text on the clipboard.
    virtual bool CopyText(const std::string& text) = 0;
    // The file a shortcut points at; false when it cannot be read.
    virtual bool ShortcutTarget(const std::string& link, std::string& target) = 0;
    // Shows the manager with the node of the item number selected.
    virtual void EditItem(int itemNumber) = 0;
    // The Windows directory, without a trailing backslash.
    virtual std::string WindowsDirectory() = 0;
};

// The item number of a link entry, -1 for any other entry (folders,
// separators, the program's own entries) or a tag outside the table.
int LinkItemNumber(const MenuEntry& entry, const ItemTable& table);
LinkKind LinkKindOf(const std::string& path, bool programLink);

// The commands the right button offers on entry, in menu order; none for
// anything but a link entry, whose right button then does what it always did.
std::vector<EntryCommand> EntryCommandsOf(const MenuEntry& entry, const ItemTable& table);
std::string EntryCommandCaption(EntryCommand command);

// The context menu of entry: one sub-entry of root per command, Open the
// default, a plain separator before "Copy path", drawn by the program unless
// windowsDraw. A sub-entry's tag is its EntryCommand. Empty when the entry has
// no commands.
void BuildEntryMenu(const MenuEntry& entry, const ItemTable& table, bool windowsDraw, PopupMenu& menu);
// The command of a chosen sub-entry of BuildEntryMenu.
EntryCommand EntryCommandOf(const MenuEntry& chosen);

// What became of an entry's context menu while the tray menu was open, kept
// until the tray menu has closed.
class EntryMenuChoice {
public:
    enum class Outcome {
        Dismissed,    // nothing chosen: the tray menu stays where it is still open
        Command,      // a command chosen: the tray menu ends, the command runs after it
        EntryChosen,  // no menu could be shown (no TPM_RECURSE): the right button
                      // chose the entry, as it always did, and the tray menu ends
    };
    // A tray menu opens: nothing chosen yet.
    void Reset();
    // The context menu of entry has closed; shown false when it could not be
    // shown at all; chosen: its chosen sub-entry (BuildEntryMenu), or null.
    Outcome Closed(MenuEntry& entry, bool shown, const MenuEntry* chosen);
    // The entry the tray menu returns as chosen, or null.
    MenuEntry* EntryChosen() const { return entryChosen_; }
    // Runs the chosen command once the tray menu has closed, once; false when
    // no command was chosen.
    bool Run(const std::function<void(EntryCommand, const MenuEntry&)>& run);

private:
    MenuEntry* entryChosen_ = nullptr;
    MenuEntry* commandEntry_ = nullptr;
    EntryCommand command_ = EntryCommand::Open;
};

// What Explorer is started with to show path selected: "/select," and the path
// in double quotes, without quotes or trailing backslashes of its own.
std::string ExplorerSelectParams(const std::string& path);

// Runs command on entry: Open through the host's Launch; Run as administrator
// through the shell's "runas" with the entry's parameters and directory, as
// Open would start it; Open file location starts explorer.exe showing the
// target (a shortcut's own target when it can be read); Copy path puts the
// stored path on the clipboard; Edit in Pivora asks the host for the manager.
void RunEntryCommand(EntryCommand command, const MenuEntry& entry, const ItemTable& table, IShell& shell,
                     IEntryMenuHost& host);

}  // namespace pv
