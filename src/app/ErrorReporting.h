#pragma once
// The error log, the application's messages, the exception handler and the
// sound player: the services the hidden main window offers every other part.

#include <exception>
#include <functional>
#include <map>
#include <string>

#include "support/Platform.h"

namespace pv {

struct ErrorReportingDeps {
    IFileSystem& fs;
    ISystem& system;
    IMessageUI& ui;
    ISoundDevice& sound;
    std::function<std::string()> dataDir;   // DataDir, ending with "\"
    std::function<std::string()> appTitle;  // caption of the plain boxes
    std::function<void()> terminate;        // ends the message loop; the process then exits
};

// Display modes of ShowAppMessage.
constexpr int kMsgPlain = 0;
constexpr int kMsgDialog = 1;

// Indexes into the message table.
constexpr int kMsgExceptionNotice = 1;
constexpr int kMsgBackupQuestion = 3;

class ErrorReporting {
public:
    explicit ErrorReporting(const ErrorReportingDeps& deps) : d_(deps) {}

    // Texts shown by index, from 1; a missing index shows the empty text.
    std::map<int, std::string> MessageTable;

    // Shows the log's path, then appends one line to DataDir + "errorlog.txt",
    // creating the file when missing. Throws EInOutError when the line cannot
    // be written.
    void WriteErrorLog(const std::string& message);

    // The line WriteErrorLog writes (without showing anything), CR LF included.
    // lastError is the system error code to report.
    std::string ComposeLogLine(const std::string& message, uint32_t lastError);

    // index != 0: MessageTable[index], text ignored. Mode 0: plain box, returns
    // 1; mode 1: dialog, returns its ModalResult; other modes: nothing, 1.
    int ShowAppMessage(int index, const std::string& text, int mode, DialogType dialogType = DialogType::Information,
                       unsigned buttons = kBtnOK, int helpContext = 0);

    // For every exception that reaches the application: logs it (with the
    // sender's name, or the "Couldn't be determined" form), shows
    // ExceptionNotice and requests termination. Never throws. An exception
    // raised while an earlier one is still being reported (a timer firing under
    // the message box, say) only repeats the termination request: the program
    // is ending already, and nesting boxes without bound helps nobody.
    void AEGeneralException(const char* senderName, const std::exception* e) noexcept;

    // Plays a wave file, from the Windows directory unless absolute. A file that
    // cannot be opened or played is logged ("Can't play ...") and otherwise ignored.
    void PlaySoundFile(const std::string& fileName, bool absolute);

private:
    ErrorReportingDeps d_;
    int handling_ = 0;
};

}  // namespace pv
