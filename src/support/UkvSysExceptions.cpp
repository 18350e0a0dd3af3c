#include "support/UkvSysExceptions.h"

namespace pv {

EFOpenError::EFOpenError(const std::string& fileName) : EStreamError("Cannot open file " + fileName) {}

EFCreateError::EFCreateError(const std::string& fileName) : EStreamError("Cannot create file " + fileName) {}

EOSError::EOSError(uint32_t errorCode, const std::string& systemText)
    : Exception("System Error.  Code: " + std::to_string(errorCode) + ".\r\n" + systemText),
      errorCode_(errorCode) {}

}  // namespace pv
