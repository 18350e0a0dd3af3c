#include "menu/EntryMenu.h"

#include "menu/Launching.h"
#include "support/UkvSysIO.h"

namespace pv {

namespace {

// A ".lnk" file, in any letter case.
bool IsShortcutFile(const std::string& path) {
    const std::string name = FileNamePart(BarePath(path));
    return name.size() > 4 && AsciiLower(PathExtension(name)) == ".lnk";
}

}  // namespace

int LinkItemNumber(const MenuEntry& entry, const ItemTable& table) {
    if (entry.onClick != ClickHandler::NorItemsRTClickItem || entry.HasChildren()) return -1;
    if (entry.tag < 0 || entry.tag >= table.paths.Length()) return -1;
    return entry.tag;
}

LinkKind LinkKindOf(const std::string& path, bool programLink) {
    if (programLink) return LinkKind::Program;
    if (HasUrlScheme(BarePath(path))) return LinkKind::WebAddress;
    if (IsShortcutFile(path)) return LinkKind::Shortcut;
    return LinkKind::File;
}

std::vector<EntryCommand> EntryCommandsOf(const MenuEntry& entry, const ItemTable& table) {
    const int n = LinkItemNumber(entry, table);
    if (n < 0) return {};
    const LinkKind kind = LinkKindOf(table.paths[n], table.HasParams(n));
    std::vector<EntryCommand> commands{EntryCommand::Open};
    if (kind == LinkKind::Program || kind == LinkKind::Shortcut) commands.push_back(EntryCommand::RunAsAdministrator);
    if (kind != LinkKind::WebAddress) commands.push_back(EntryCommand::OpenFileLocation);
    commands.push_back(EntryCommand::CopyPath);
    commands.push_back(EntryCommand::EditInPivora);
    return commands;
}

std::string EntryCommandCaption(EntryCommand command) {
    switch (command) {
        case EntryCommand::Open: return "&Open";
        case EntryCommand::RunAsAdministrator: return "Run as &administrator";
        case EntryCommand::OpenFileLocation: return "Open file &location";
        case EntryCommand::CopyPath: return "&Copy path";
        case EntryCommand::EditInPivora: return "&Edit in Pivora";
    }
    return std::string();
}

void BuildEntryMenu(const MenuEntry& entry, const ItemTable& table, bool windowsDraw, PopupMenu& menu) {
    menu.root.Clear();
    for (EntryCommand command : EntryCommandsOf(entry, table)) {
        if (command == EntryCommand::CopyPath) {
            MenuEntry* separator = menu.root.Append();
            separator->caption = "-";
            separator->tag = kTagPlainSeparator;
        }
        MenuEntry* e = menu.root.Append();
        e->caption = EntryCommandCaption(command);
        e->tag = static_cast<int>(command);
        e->isDefault = command == EntryCommand::Open;
        if (!windowsDraw) {
            e->onMeasure = MeasureHandler::NorItemsRTMeasureItem;
            e->onDraw = DrawHandler::NorItemsRTDrawItem;
        }
    }
}

EntryCommand EntryCommandOf(const MenuEntry& chosen) { return static_cast<EntryCommand>(chosen.tag); }

void EntryMenuChoice::Reset() {
    entryChosen_ = nullptr;
    commandEntry_ = nullptr;
}

EntryMenuChoice::Outcome EntryMenuChoice::Closed(MenuEntry& entry, bool shown, const MenuEntry* chosen) {
    if (!shown) {
        entryChosen_ = &entry;
        return Outcome::EntryChosen;
    }
    if (!chosen) return Outcome::Dismissed;
    command_ = EntryCommandOf(*chosen);
    commandEntry_ = &entry;
    return Outcome::Command;
}

bool EntryMenuChoice::Run(const std::function<void(EntryCommand, const MenuEntry&)>& run) {
    MenuEntry* entry = commandEntry_;
    commandEntry_ = nullptr;
    if (!entry) return false;
    if (run) run(command_, *entry);
    return true;
}

std::string ExplorerSelectParams(const std::string& path) {
    return "/select,\"" + WithoutTrailingBackslash(BarePath(path)) + "\"";
}

void RunEntryCommand(EntryCommand command, const MenuEntry& entry, const ItemTable& table, IShell& shell,
                     IEntryMenuHost& host) {
    const int n = LinkItemNumber(entry, table);
    if (n < 0) return;
    const std::string& path = table.paths[n];
    switch (command) {
        case EntryCommand::Open:
            host.Launch(entry);
            break;
        case EntryCommand::RunAsAdministrator:
            ShellRun(shell, "runas", path, table.FindItemParams(n), std::string());
            break;
        case EntryCommand::OpenFileLocation: {
            std::string shown = path;
            std::string target;
            if (LinkKindOf(path, table.HasParams(n)) == LinkKind::Shortcut &&
                host.ShortcutTarget(BarePath(path), target) && !target.empty())
                shown = target;
            // By its full name: a bare "explorer.exe" would be looked for
            // beside this program first.
            shell.Execute("open", host.WindowsDirectory() + "\\explorer.exe", ExplorerSelectParams(shown),
                          std::string(), kShowNormal);
            break;
        }
        case EntryCommand::CopyPath:
            host.CopyText(path);
            break;
        case EntryCommand::EditInPivora:
            host.EditItem(n);
            break;
    }
}

}  // namespace pv
