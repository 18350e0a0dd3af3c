#pragma once
// The program's spine: the composed message texts, and the order of start-up,
// rebuild and close. The order lives here, as portable code,
// and runs over IAppSteps so that a recording fake can check it natively; the
// Win32 side (InitFinit_win.cpp, the forms) implements the steps.

#include <cstdint>
#include <map>
#include <string>

#include "app/ErrorReporting.h"
#include "model/AppModel.h"

namespace pv {

// ---------------------------------------------------------------- texts

FormTitles ComposeFormTitles(const std::string& productTitle);
std::string ComposeSupportTail(const std::string& dataDir);
std::string ComposeExceptionNotice(const std::string& supportTail);
std::string ComposeBackupQuestion(const std::string& dataDir, const std::string& supportTail);
std::string ComposeVersionLabel(const std::string& productTitle, const std::string& version);

// Splits a full executable path into its directory (with trailing backslash) and name.
void SplitExePath(const std::string& exePath, std::string& dir, std::string& name);

// ---------------------------------------------------------------- step interface

// What start-up, rebuild and close do to the windows and the other subsystems.
// Each call is one step; the sequences below decide the order.
class IAppSteps {
public:
    virtual ~IAppSteps() = default;

    // start-up
    virtual void SetFormTitles(const FormTitles& titles) = 0;
    virtual std::string ExecutablePath() = 0;
    virtual void FillFontNames() = 0;
    virtual void SetVersionLabel(const std::string& text) = 0;
    virtual void SetApplicationTitle(const std::string& title) = 0;
    virtual void LoadSettings() = 0;
    virtual void SetMessageTable(const std::map<int, std::string>& table) = 0;
    virtual void CreateScratchImages() = 0;
    virtual void CopySystemMenu() = 0;
    virtual void CheckItemStore() = 0;
    virtual void LoadItemStore() = 0;
    virtual void ApplyVisualSettings() = 0;
    virtual void AssignMenuDrawHandlers() = 0;
    virtual void EnableTrayMenu() = 0;        // tray icon reacts, PMItems attached
    virtual void AttachTreeChangeHandler() = 0;

    // rebuild
    virtual void DetachTreeChangeHandler() = 0;
    virtual void DisableTrayMenu() = 0;       // tray icon ignores the mouse, no menu
    virtual void ClearItemTable() = 0;
    virtual void ClearTreesAndMenu() = 0;     // tags to 0, trees and PMItems emptied
    virtual void DeleteAddedPictures() = 0;   // every picture above 11, highest first
    virtual void AppendBreakPictures() = 0;   // break pictures back at 12, 13, 14

    // close
    virtual void SaveSettings() = 0;
    virtual void FreeScratchImages() = 0;
    virtual void ReleaseInstanceMapping() = 0;
    virtual void ProcessMessages() = 0;
    virtual void Terminate() = 0;
    // Whether the program is ending (an exception reached the application while
    // a step pumped messages): the remaining steps are then not run.
    virtual bool Terminated() { return false; }
    // Told after each step of start-up, rebuild and close, by its name (for
    // timing); nothing else.
    virtual void StepDone(const char* /*step*/) {}
};

// Start-up steps 1 to 16. Sets the model's ProgramDir, ExeName, DataDir,
// ProgramVersion, SupportTail and MessageTable on the way. Stops early once
// Terminated().
void StartupSequence(IAppSteps& steps, AppModel& model);

// The tear-down and reload after the manager closed following a save. Stops
// early once Terminated().
void RebuildItemMenus(IAppSteps& steps);

// The resets of a rebuild, as the steps of the same names do them to the model.
void ClearItemTable(AppModel& model);
// Tags to 0 (the trees' added-icon counts, the item-icon count, the tray menu's
// insertion position); both trees and the tray menu emptied.
void ClearTreesAndMenu(AppModel& model);
// Every picture above the last fixed one (11) goes, highest first.
void DeleteAddedPictures(AppModel& model);
// The break pictures are appended again, at 12, 13 and 14.
void AppendBreakPictures(AppModel& model);

// The "Close" entry of the tray menu.
void CloseProgram(IAppSteps& steps);

}  // namespace pv
