#include "app/InitFinit.h"

#include <cstdlib>

#include "support/UkvSysIO.h"

namespace pv {

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
    dir = DirectoryPrefix(exePath);
    name = FileNamePart(exePath);
}

void StartupSequence(IAppSteps& steps, AppModel& m) {
    // Steps that pump messages may meet an exception that ends the program;
    // nothing after that point may ask or show the user anything more.
    auto ending = [&steps] { return steps.Terminated(); };

    // 1
    steps.SetFormTitles(ComposeFormTitles(m.ProductTitle));
    steps.StepDone("SetFormTitles");
    // 2
    m.ProgramVersion = kProgramVersion;
    SplitExePath(steps.ExecutablePath(), m.ProgramDir, m.ExeName);
    steps.StepDone("ExecutablePath");
    // 3: the help file is ProgramDir + "help.html", read where it is opened.
    m.DataDir = m.ProgramDir;
    // 4
    steps.FillFontNames();
    steps.StepDone("FillFontNames");
    // 5
    steps.SetVersionLabel(ComposeVersionLabel(m.ProductTitle, m.ProgramVersion));
    steps.StepDone("SetVersionLabel");
    // 6
    steps.SetApplicationTitle(m.ProductTitle);
    steps.StepDone("SetApplicationTitle");
    // 7: DataDir is final from here on.
    steps.LoadSettings();
    steps.StepDone("LoadSettings");
    if (ending()) return;
    // 8: the texts keep this run's DataDir even when the settings are re-read later.
    m.SupportTail = ComposeSupportTail(m.DataDir);
    m.MessageTable.clear();
    m.MessageTable[kMsgExceptionNotice] = ComposeExceptionNotice(m.SupportTail);
    m.MessageTable[kMsgBackupQuestion] = ComposeBackupQuestion(m.DataDir, m.SupportTail);
    steps.SetMessageTable(m.MessageTable);
    steps.StepDone("SetMessageTable");
    // 9 .. 16
    steps.CreateScratchImages();
    steps.StepDone("CreateScratchImages");
    steps.CopySystemMenu();
    steps.StepDone("CopySystemMenu");
    steps.CheckItemStore();
    steps.StepDone("CheckItemStore");
    if (ending()) return;
    steps.LoadItemStore();
    steps.StepDone("LoadItemStore");
    if (ending()) return;
    steps.ApplyVisualSettings();
    steps.StepDone("ApplyVisualSettings");
    if (ending()) return;
    steps.AssignMenuDrawHandlers();
    steps.StepDone("AssignMenuDrawHandlers");
    steps.EnableTrayMenu();
    steps.StepDone("EnableTrayMenu");
    steps.AttachTreeChangeHandler();
    steps.StepDone("AttachTreeChangeHandler");
}

void RebuildItemMenus(IAppSteps& steps) {
    steps.DetachTreeChangeHandler();
    steps.StepDone("DetachTreeChangeHandler");
    steps.DisableTrayMenu();
    steps.StepDone("DisableTrayMenu");
    steps.ClearItemTable();
    steps.StepDone("ClearItemTable");
    steps.ClearTreesAndMenu();
    steps.StepDone("ClearTreesAndMenu");
    steps.DeleteAddedPictures();
    steps.StepDone("DeleteAddedPictures");
    steps.AppendBreakPictures();
    steps.StepDone("AppendBreakPictures");
    steps.CopySystemMenu();
    steps.StepDone("CopySystemMenu");
    steps.CheckItemStore();
    steps.StepDone("CheckItemStore");
    if (steps.Terminated()) return;
    steps.LoadItemStore();
    steps.StepDone("LoadItemStore");
    if (steps.Terminated()) return;
    steps.AssignMenuDrawHandlers();
    steps.StepDone("AssignMenuDrawHandlers");
    steps.EnableTrayMenu();
    steps.StepDone("EnableTrayMenu");
    steps.AttachTreeChangeHandler();
    steps.StepDone("AttachTreeChangeHandler");
}

void ClearItemTable(AppModel& m) { m.Items.Clear(); }

void ClearTreesAndMenu(AppModel& m) {
    m.TVItems.tag = 0;
    m.TVUndo.tag = 0;
    m.PictureMarks.itemIconCount = 0;
    m.TVItems.Clear();
    m.TVUndo.Clear();
    m.PMItems.root.Clear();
    m.PMItems.root.tag = 0;
}

void DeleteAddedPictures(AppModel& m) {
    if (m.Pictures) m.Pictures->DeleteAbove(kLastFixedPicture);
}

void AppendBreakPictures(AppModel& m) {
    if (m.Pictures) m.Pictures->AppendBreakPictures();
}

void CloseProgram(IAppSteps& steps) {
    // The settings reach the disk before anything is released.
    steps.SaveSettings();
    steps.FreeScratchImages();
    steps.ReleaseInstanceMapping();
    steps.ProcessMessages();
    steps.Terminate();
}

}  // namespace pv
