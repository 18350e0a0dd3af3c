#include "app/ErrorReporting.h"

#include "support/UkvSysExceptions.h"

namespace pv {

namespace {

// The system's texts end with a period and CR LF; the log line adds its own period.
std::string TrimSystemText(std::string text) {
    while (!text.empty()) {
        unsigned char c = static_cast<unsigned char>(text.back());
        if (c <= ' ' || c == '.')
            text.pop_back();
        else
            break;
    }
    return text;
}

const char* DialogCaption(DialogType type) {
    switch (type) {
        case DialogType::Warning: return "Warning";
        case DialogType::Error: return "Error";
        case DialogType::Information: return "Information";
        case DialogType::Confirmation: return "Confirm";
        case DialogType::Custom: break;
    }
    return nullptr;
}

}  // namespace

std::string ErrorReporting::ComposeLogLine(const std::string& message, uint32_t lastError) {
    std::string line = d_.system.ShortDate();
    line += " - ";
    line += d_.system.ShortTime();
    line += ": Pivora: ";
    line += message;
    line += ". Last Win32 Error (";
    line += std::to_string(lastError);
    line += "): ";
    line += TrimSystemText(d_.system.ErrorText(lastError));
    line += ".\r\n";
    return line;
}

void ErrorReporting::WriteErrorLog(const std::string& message) {
    // Taken before the box below, whose own calls would overwrite it.
    const uint32_t lastError = d_.system.LastError();
    const std::string path = d_.dataDir() + "errorlog.txt";
    ShowAppMessage(0, path, kMsgPlain);
    const std::string line = ComposeLogLine(message, lastError);
    if (d_.fs.Append(path, line)) return;
    // Only a missing log is created anew: recreating an existing one that
    // merely refused the append would throw its history away.
    if (d_.fs.Attributes(path) != kInvalidAttributes)
        throw EInOutError("Cannot write to file " + path, d_.system.LastError());
    if (!d_.fs.WriteAll(path, line)) throw EInOutError("Cannot create file " + path, d_.system.LastError());
}

int ErrorReporting::ShowAppMessage(int index, const std::string& text, int mode, DialogType dialogType,
                                   unsigned buttons, int helpContext) {
    std::string message = text;
    if (index != 0) {
        auto it = MessageTable.find(index);
        message = it == MessageTable.end() ? std::string() : it->second;
    }
    if (mode == kMsgPlain) {
        d_.ui.PlainBox(d_.appTitle(), message);
        return 1;
    }
    if (mode == kMsgDialog) {
        const char* caption = DialogCaption(dialogType);
        return d_.ui.Dialog(caption ? caption : d_.appTitle(), message, dialogType, buttons, helpContext);
    }
    return 1;
}

void ErrorReporting::AEGeneralException(const char* senderName, const std::exception* e) noexcept {
    if (handling_ > 0) {
        try {
            if (d_.terminate) d_.terminate();
        } catch (...) {
        }
        return;
    }
    struct Depth {
        int& n;
        explicit Depth(int& c) : n(c) { ++n; }
        ~Depth() { --n; }
    } depth(handling_);
    std::string message = "Unknown exception";
    try {
        if (e) message = e->what();
    } catch (...) {
    }
    bool logged = false;
    try {
        if (senderName && *senderName) {
            WriteErrorLog("Exception raised (Sender was: " + std::string(senderName) + "): " + message);
            logged = true;
        }
    } catch (...) {
    }
    if (!logged) {
        try {
            WriteErrorLog("Exception raised (Sender Couldn't be determined): " + message);
        } catch (...) {
            // Nothing left to write to; the user is still told and the program still ends.
        }
    }
    try {
        ShowAppMessage(kMsgExceptionNotice, std::string(), kMsgPlain);
    } catch (...) {
    }
    try {
        if (d_.terminate) d_.terminate();
    } catch (...) {
    }
}

void ErrorReporting::PlaySoundFile(const std::string& fileName, bool absolute) {
    const std::string path = absolute ? fileName : d_.system.WindowsDirectory() + "\\" + fileName;
    bool played = false;
    try {
        played = d_.sound.Open(path) && d_.sound.Play();
    } catch (...) {
        played = false;
    }
    if (played) return;
    try {
        WriteErrorLog("Can't play \"" + (absolute ? fileName : path) + "\"");
    } catch (...) {
        // A sound is never worth ending the program over.
    }
}

}  // namespace pv
