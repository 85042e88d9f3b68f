#pragma once

// The texts the operator sees; the generator's operators know them by heart, keep them exact.
namespace LinkMessages {
constexpr const char *NoResponse = "No Response !!";
constexpr const char *Error = "Error!!";
constexpr const char *ErrorPlain = "Error";
constexpr const char *UploadSuccessful = "Upload successful!!";
constexpr const char *DefaultSettingDone = "Upload Successful!!";
constexpr const char *ReadEdidSuccessful = "  Read EDID Successful!!  ";
constexpr const char *WriteEdidSuccessful = "Write EDID successful!!";
constexpr const char *WriteEdidFail = "Write EDID Fail!!";
} // namespace LinkMessages
