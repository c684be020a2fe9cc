#pragma once
// What the modem dialogue and the image reader need of the user interface and the platform.
// The main dialog provides it over Win32; tests provide it with a recorder on a virtual clock.

#include <cstdint>
#include <memory>
#include <string>

// Message box types and answers, with the Win32 values.
namespace box {
constexpr unsigned kOk = 0x00;
constexpr unsigned kOkCancel = 0x01;
constexpr unsigned kIconError = 0x10;
constexpr unsigned kIconQuestion = 0x20;
constexpr unsigned kIconExclamation = 0x30;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
}  // namespace box

// An image file opened read-only, binary, without sharing; closed when destroyed.
class IImageFile {
 public:
  virtual ~IImageFile() = default;
  virtual std::uint32_t GetLength() = 0;
  // Reads up to n bytes at the current position; false on a read error.
  virtual bool Read(void* data, std::uint32_t n, std::uint32_t& done) = 0;
  // Moves to an offset from the start; false on error.
  virtual bool Seek(std::uint32_t offset) = 0;
};

class IUpdateUi {
 public:
  virtual ~IUpdateUi() = default;

  virtual void OpenStatusWindow() = 0;
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void CloseStatusWindow() = 0;

  virtual void OpenProgressWindow() = 0;
  virtual void SetProgressText(const std::string& text) = 0;
  virtual void SetProgressRange(std::uint16_t upper) = 0;  // range 0..upper
  virtual void SetProgressPos(int pos) = 0;
  virtual void SetProgressStep(int step) = 0;
  virtual void StepProgress() = 0;
  virtual void CloseProgressWindow() = 0;

  // A box owned by the main dialog; type is a box:: button set or'ed with an icon.
  // Returns box::kIdOk or box::kIdCancel.
  virtual int ShowMessageBox(const std::string& text, const std::string& caption,
                             unsigned type) = 0;

  virtual void EnableUpgrade(bool enable) = 0;
  virtual void SetFileNameText(const std::string& text) = 0;
  virtual void SelectPort(int index) = 0;

  // Every wait of the modem dialogue. Keeps the windows painting, takes no user input.
  virtual void Pause(std::uint32_t ms) = 0;
  // Between two blocks of a transfer: lets the windows repaint, takes no user input.
  virtual void KeepAlive() = 0;

  // Opens a file by name relative to the current folder; null when it cannot be opened.
  virtual std::unique_ptr<IImageFile> OpenImageFile(const std::string& name) = 0;
};
