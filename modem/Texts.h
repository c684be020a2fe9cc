#pragma once
// What the modem dialogue shows, word for word (spelling included: users and documentation
// know these texts as they are).

namespace text {
// Detection scan, status window; %d is the port number (index + 1).
constexpr char kQueryPort[] = "Query COM%d...";
constexpr char kFoundModem[] = "Found Orvane modem on COM%d.";
constexpr char kNoModem[] = "Can't found Orvane Modem.";

// Upgrade, status and progress windows.
constexpr char kReadingImage[] = "Read firmware file information...";
constexpr char kQueryingModem[] = "Query modem information...";
constexpr char kErasing[] = "Erasing flash memory...";
constexpr char kUpdating[] = "Updating...";

// Message boxes (their captions are the dialog's: app/DialogBoxStyle.h).
constexpr char kCantOpenPort[] = "Can't open com%d!";
constexpr char kIncorrectImage[] = "Incorrect firmware file.\n\n Upgrade stop !";
constexpr char kCantQueryModem[] = "Can't query modem information.\n\n Upgrade stop !";
constexpr char kCantOpenImage[] = "Can't open firmware file!";
constexpr char kWarning[] =
    "Please do not terminate the program or reset\nyour PC while updating. Otherwise, the "
    "modem\nmay not be able to work properply.\n\nDo you want to continue updating?";
constexpr char kNotReady[] = "Modem not ready, can't update!";
constexpr char kTransferFailed[] =
    "Firmware transfer failed, the modem did not take the whole image.\n\nPlease run Upgrade "
    "again.";
constexpr char kNotConfirmed[] =
    "The modem did not confirm the update.\n\nPlease run Upgrade again.";
constexpr char kSuccess[] = "The modem firmware has been updated successfully.";

// Filled with: modem controller version, date, DSP version, date; then the same of the image.
constexpr char kComparison[] =
    "Current firmware:\n\tController Ver: %s, Date: %s\n\tDSP Ver: %s, Date: %s\n\nNew "
    "firmware:\n\tController Ver: %s, Date: %s\n\tDSP Ver: %s, Date: %s\n\n\nContinue to "
    "update firmware ?";
}  // namespace text
