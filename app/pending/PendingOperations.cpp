// Stand-ins for the modem operations until they land; each is compiled only while the
// real one is missing.
#include "modem/FirmwareUpdateCore.h"

#ifdef FW_PENDING_OnFind
void CFirmwareUpdateCore::OnFind() {
  OpenStatusWindow();
  SetStatusText("Can't found Orvane Modem.");
  Pause(2000);
  CloseStatusWindow();
}
#endif

#ifdef FW_PENDING_OnUpgrade
void CFirmwareUpdateCore::OnUpgrade() { EnableUpgrade(false); }
#endif

#ifdef FW_PENDING_QueryModemInfo
bool CFirmwareUpdateCore::QueryModemInfo(FirmwareVersionInfo&) { return false; }
#endif

#ifdef FW_PENDING_ReadFirmwareFileInfo
bool CFirmwareUpdateCore::ReadFirmwareFileInfo(FirmwareVersionInfo&) { return false; }
#endif
