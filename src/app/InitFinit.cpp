#include "app/InitFinit.h"

#include <cstdlib>

namespace pv {

std::string ProgramDir;
std::string ExeName;
std::string DataDir;
const std::string ProductTitle = "Kelvory Pivora";
std::string ProgramVersion = "1.46";
uint8_t StartFlag = 0;
std::map<int, std::string> MessageTable;
std::string SupportTail;

const char* const kMakerWebAddress = "https://www.kelvory.example/pivora";
const char* const kSupportAddress = "support@kelvory.example";

namespace {
const char* const kCrLf = "\r\n";
const char kQuote = '"';
}  // namespace

FormTitles ComposeFormTitles(const std::string& productTitle) {
    return FormTitles{productTitle + " - Manage Items", productTitle + " - Preferences",
                      productTitle + " - About"};
}

std::string ComposeSupportTail(const std::string& dataDir) {
    std::string s;
    s += kCrLf;
    s += kCrLf;
    s += "If the problem persists try visit ";
    s += kMakerWebAddress;
    s += " and check for updates and/or work arounds of already known bugs. ";
    s += kCrLf;
    s += kCrLf;
    s += "As an alternative please send ";
    s += kQuote;
    s += dataDir;
    s += "errorlog.txt";
    s += kQuote;
    s += " and a ";
    s += "reproducible description of what you were doing at the time the error ocurred to ";
    s += kSupportAddress;
    s += ", and we'll do our best to resolve the problem.";
    return s;
}

std::string ComposeExceptionNotice(const std::string& supportTail) {
    return "Exception raised, Pivora will now terminate to prevent machine lockup." + supportTail;
}

std::string ComposeBackupQuestion(const std::string& dataDir, const std::string& supportTail) {
    std::string s;
    s += "A Backup of an earlier items list exists as ";
    s += kQuote;
    s += dataDir;
    s += "item_bak.";
    s += kQuote;
    s += ' ';
    s += "In most cases this is caused by the program has crashed while saving items last time.";
    s += kCrLf;
    s += kCrLf;
    s += "Do you wish to restore the items from the backup?";
    s += kCrLf;
    s += "If you choose \"No\" the program will attempt to delete the backup, ";
    s += "if you choose \"Yes\" the program will attempt to restore the items, ";
    s += "if you choose \"Cancel\" the program will exit with any further actions.";
    s += supportTail;
    return s;
}

std::string ComposeVersionLabel(const std::string& productTitle, const std::string& version) {
    return productTitle + " version " + version + " for Windows";
}

void SplitExePath(const std::string& exePath, std::string& dir, std::string& name) {
    const size_t cut = exePath.find_last_of("\\:");
    if (cut == std::string::npos) {
        dir.clear();
        name = exePath;
        return;
    }
    dir = exePath.substr(0, cut + 1);
    if (dir.back() == ':') dir += '\\';
    name = exePath.substr(cut + 1);
}

void StartupSequence(IAppSteps& steps) {
    // Steps that pump messages may meet an exception that ends the program;
    // nothing after that point may ask or show the user anything more.
    auto ending = [&steps] { return steps.Terminated(); };

    // 1
    steps.SetFormTitles(ComposeFormTitles(ProductTitle));
    // 2
    ProgramVersion = "1.46";
    SplitExePath(steps.ExecutablePath(), ProgramDir, ExeName);
    // 3
    steps.SetHelpFile(ProgramDir + "help.html");
    DataDir = ProgramDir;
    // 4
    steps.FillFontNames();
    // 5
    steps.SetVersionLabel(ComposeVersionLabel(ProductTitle, ProgramVersion));
    // 6
    steps.SetApplicationTitle(ProductTitle);
    // 7: DataDir is final from here on.
    steps.LoadSettings();
    if (ending()) return;
    // 8: the texts keep this run's DataDir even when the settings are re-read later.
    SupportTail = ComposeSupportTail(DataDir);
    MessageTable.clear();
    MessageTable[kMsgExceptionNotice] = ComposeExceptionNotice(SupportTail);
    MessageTable[kMsgBackupQuestion] = ComposeBackupQuestion(DataDir, SupportTail);
    steps.SetMessageTable(MessageTable);
    // 9 .. 16
    steps.CreateScratchImages();
    steps.CopySystemMenu();
    steps.CheckItemStore();
    if (ending()) return;
    steps.LoadItemStore();
    if (ending()) return;
    steps.ApplyVisualSettings();
    if (ending()) return;
    steps.AssignMenuDrawHandlers();
    steps.EnableTrayMenu();
    steps.AttachTreeChangeHandler();
}

void RebuildItemMenus(IAppSteps& steps) {
    steps.DetachTreeChangeHandler();
    steps.DisableTrayMenu();
    steps.ClearItemTable();
    steps.ClearTreesAndMenu();
    steps.DeleteAddedPictures();
    steps.AppendBreakPictures();
    steps.CopySystemMenu();
    steps.CheckItemStore();
    if (steps.Terminated()) return;
    steps.LoadItemStore();
    if (steps.Terminated()) return;
    steps.AssignMenuDrawHandlers();
    steps.EnableTrayMenu();
    steps.AttachTreeChangeHandler();
}

void CloseProgram(IAppSteps& steps) {
    // The settings reach the disk before anything is released.
    steps.SaveSettings();
    steps.FreeScratchImages();
    steps.ReleaseInstanceMapping();
    steps.ProcessMessages();
    steps.Terminate();
}

CaptionTextPos CaptionTextPosition(int cxBorder, int cyCaption, int textHeight) {
    return CaptionTextPos{cxBorder + 4, std::abs(cyCaption - textHeight) / 2 + 2};
}

}  // namespace pv
