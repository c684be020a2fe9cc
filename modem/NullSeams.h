#pragma once
// One stub of each seam that shows, asks and does nothing, all in one place: a front or a
// tool takes these for what it does not show. Questions are declined: a stub never agrees
// to erase a modem's flash.

#include <memory>
#include <string>

#include "image/ImageFile.h"
#include "modem/DialogControls.h"
#include "modem/MessageBoxes.h"
#include "modem/Pacing.h"
#include "modem/PortChecks.h"
#include "modem/ProgressView.h"
#include "modem/StatusView.h"
#include "serial/SerialDriver.h"

class CNullStatusView : public IStatusView {
 public:
  void OpenStatusWindow() override {}
  void ShowStatus(const StatusMessage&) override {}
  void CloseStatusWindow() override {}
};

class CNullPortChecks : public IPortChecks {
 public:
  void PortChecked(const PortCheck&) override {}
};

class CNullProgressView : public IProgressView {
 public:
  void OpenProgressWindow() override {}
  void BeginPhase(ProgressPhase, std::uint32_t) override {}
  void Advance(std::uint32_t) override {}
  void EndPhase(ProgressPhase) override {}
  void CloseProgressWindow() override {}
};

class CNullMessageBoxes : public IMessageBoxes {
 public:
  int ShowMessageBox(const BoxMessage&) override { return box::kIdCancel; }
};

class CNullDialogControls : public IDialogControls {
 public:
  void EnableUpgrade(bool) override {}
  void SetFileNameText(const std::string&) override {}
  void SelectPort(int) override {}
};

// No waiting at all.
class CNullPacing : public IPacing {
 public:
  void Pause(std::uint32_t) override {}
  void KeepAlive() override {}
};

// No files: every open fails.
class CNullImageFiles : public IImageFiles {
 public:
  std::unique_ptr<IImageFile> OpenImageFile(const std::string&) override { return nullptr; }
};

// No ports: every open fails as missing.
class CNullSerialDriver : public ISerialDriver {
 public:
  SerialHandle OpenDevice(const char*, OpenFailure& failure) override {
    failure = OpenFailure::kMissing;
    return kInvalidHandle;
  }
  bool CloseDevice(SerialHandle) override { return false; }
  bool GetState(SerialHandle, SerialState&) override { return false; }
  bool SetState(SerialHandle, const SerialState&) override { return false; }
  bool SetTimeouts(SerialHandle, const SerialTimeouts&) override { return false; }
  bool Purge(SerialHandle, std::uint32_t) override { return false; }
  bool ReadBytes(SerialHandle, void*, std::uint32_t, std::uint32_t& done) override {
    return done = 0, false;
  }
  bool WriteBytes(SerialHandle, const void*, std::uint32_t, std::uint32_t& done) override {
    return done = 0, false;
  }
  LineFailure LineFailureOf(SerialHandle) override { return LineFailure::kNone; }
};
