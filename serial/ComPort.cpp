#include "serial/ComPort.h"

CComPort::CComPort(ISerialDriver& driver) : m_driver(driver) {}

CComPort::~CComPort() {
  if (IsOpen()) {
    m_driver.CloseDevice(m_hComm);
    m_hComm = kNullHandle;
  }
}

bool CComPort::Open(int index) {
  // An index outside the table names no device: treat it like a port that does not exist.
  if (index < 0 || index >= kPortCount) {
    m_hComm = kInvalidHandle;
    m_openFailure = OpenFailure::kMissing;
    return false;
  }
  return Open(PortNames[index]);
}

bool CComPort::Open(const std::string& name) {
  m_openFailure = OpenFailure::kNone;
  m_lineFailure = LineFailure::kNone;
  m_hComm = m_driver.OpenDevice(name.c_str(), m_openFailure);
  if (m_hComm != kInvalidHandle)
    m_openFailure = OpenFailure::kNone;
  else if (m_openFailure == OpenFailure::kNone)
    m_openFailure = OpenFailure::kOther;
  return m_hComm != kInvalidHandle;
}

bool CComPort::IsOpen() const { return m_hComm != kInvalidHandle && m_hComm != kNullHandle; }

bool CComPort::Configure(std::uint32_t baudRate, std::uint8_t byteSize, std::uint8_t parity,
                         std::uint8_t stopBits) {
  if (!IsOpen() || !m_driver.GetState(m_hComm, m_dcb)) return false;
  m_dcb.BaudRate = baudRate;
  m_dcb.ByteSize = byteSize;
  m_dcb.Parity = parity;
  m_dcb.StopBits = stopBits;
  m_dcb.fOutxCtsFlow = true;
  m_dcb.fDtrControl = DTR_CONTROL_ENABLE;
  return m_driver.SetState(m_hComm, m_dcb);
}

bool CComPort::SetTimeouts(std::uint32_t readInterval, std::uint32_t readTotalConstant,
                           std::uint32_t readTotalMultiplier, std::uint32_t writeTotalMultiplier,
                           std::uint32_t writeTotalConstant) {
  if (!IsOpen()) return false;
  SerialTimeouts t;
  t.ReadIntervalTimeout = readInterval;
  t.ReadTotalTimeoutMultiplier = readTotalMultiplier;
  t.ReadTotalTimeoutConstant = readTotalConstant;
  t.WriteTotalTimeoutMultiplier = writeTotalMultiplier;
  t.WriteTotalTimeoutConstant = writeTotalConstant;
  return m_driver.SetTimeouts(m_hComm, t);
}

bool CComPort::PurgeRx() { return IsOpen() && m_driver.Purge(m_hComm, PURGE_RXCLEAR); }

bool CComPort::PurgeTx() { return IsOpen() && m_driver.Purge(m_hComm, PURGE_TXCLEAR); }

unsigned CComPort::Write(const void* data, unsigned n) {
  std::uint32_t done = 0;
  if (!IsOpen()) return 0;
  if (!m_driver.WriteBytes(m_hComm, data, n, done)) NoteFailure();
  return done;
}

unsigned CComPort::Read(void* data, unsigned n) {
  std::uint32_t done = 0;
  if (!IsOpen()) return 0;
  if (!m_driver.ReadBytes(m_hComm, data, n, done)) NoteFailure();
  return done;
}

void CComPort::NoteFailure() {
  if (m_lineFailure == LineFailure::kNone) m_lineFailure = m_driver.LineFailureOf(m_hComm);
}
