#include <windows.h>
#include <mmsystem.h>

#include "support/Platform_win.h"

namespace pv {

namespace {
// winmm is loaded when the first sound plays.
MCIERROR SendMci(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
    using Fn = MCIERROR(WINAPI*)(MCIDEVICEID, UINT, DWORD_PTR, DWORD_PTR);
    static const Fn send = LateBound<Fn>("winmm.dll", "mciSendCommandA");
    return send ? send(device, message, flags, params) : MCIERR_DEVICE_NOT_INSTALLED;
}
}  // namespace

MciSoundDevice::~MciSoundDevice() {
    Close();
}

bool MciSoundDevice::Open(const std::string& path) {
    Close();
    MCI_OPEN_PARMSA params = {};
    params.lpstrDeviceType = "waveaudio";
    params.lpstrElementName = path.c_str();
    MCIERROR error = SendMci(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT,
                                     reinterpret_cast<DWORD_PTR>(&params));
    if (error != 0) return false;
    deviceId_ = params.wDeviceID;
    return true;
}

bool MciSoundDevice::Play() {
    if (deviceId_ == 0) return false;
    MCI_PLAY_PARMS params = {};
    // Neither MCI_WAIT nor MCI_NOTIFY: the sound plays on while the program goes on.
    return SendMci(deviceId_, MCI_PLAY, 0, reinterpret_cast<DWORD_PTR>(&params)) == 0;
}

void MciSoundDevice::Close() {
    if (deviceId_ == 0) return;
    SendMci(deviceId_, MCI_CLOSE, MCI_WAIT, 0);
    deviceId_ = 0;
}

}  // namespace pv
