#pragma once
// How a simulated modem behaves: its answers, its timing and its faults.

#include <cstdint>
#include <string>

struct ModemConfig {
  // Identification: the answer to "ati3\r" is "\r\n" + identification + "\r\n\r\nOK\r\n"
  // unless ati3Answer is set, which is sent as it stands.
  std::string identification = "ZQ713";
  std::string ati3Answer;
  // The answer to "AT+GSN\r" (its serial number), "\r\n" + serial + "\r\n\r\nOK\r\n"; none
  // (ERROR, as a modem without the command) when empty.
  std::string serialNumber;

  // Versions: "ATI7\r" answers with "Controller Ver" and "Date:", "ATI8\r" with "DSP Ver"
  // and "Date:", unless ati7Answer / ati8Answer are set, which are sent as they stand.
  // After a complete update (the final answer "OK" sent) the four fields become those of
  // the image received, when it holds a whole version record.
  std::string controllerVersion = "2.10";
  std::string controllerDate = "03/15/02";
  std::string dspVersion = "1.07";
  std::string dspDate = "02/28/02";
  std::string ati7Answer;
  std::string ati8Answer;

  bool echo = false;                 // echo every command byte back before answering
  std::uint32_t answerDelayMs = 20;  // from the command's carriage return to its answer

  // Erase: "AT+F56=90\r" gets eraseAnswer, then "y" starts the erase; eraseTimeMs later the
  // modem sends readyAnswer and takes the image. The host waits for READY 10 s after "y" and
  // then up to 20 s more: an erase of up to 30000 ms still works.
  std::string eraseAnswer = "\r\nErase flash? (y/n)";
  std::uint32_t eraseTimeMs = 9000;
  std::string readyAnswer = "\r\nREADY\r\n";

  // Image: once finalAfterIdleMs pass without an image byte (or imageLength bytes came, when
  // non-zero), the modem sends finalAnswer (four bytes).
  std::uint32_t imageLength = 0;
  std::uint32_t finalAfterIdleMs = 500;
  std::string finalAnswer = "OK\r\n";
  // Keep every image byte for ImageBytes(); off, only their count and hash are kept, so a
  // benchmark of a large image measures the host and not the modem's record.
  bool keepImage = true;

  // Faults.
  bool silent = false;                     // opens, never answers
  bool noReady = false;                    // after the erase, answers "\r\nOK\r\n" instead of READY
  std::int64_t stallAfterImageBytes = -1;  // holds CTS low for good after k image bytes
  std::int64_t vanishAfterImageBytes = -1;  // the device disappears after k image bytes
  bool noFinalAnswer = false;               // says nothing after the image

  // What real modems also do.
  std::string banner;  // sent unasked when the port opens, bannerDelayMs later
  std::uint32_t bannerDelayMs = 0;
  // Sent leftoverDelayMs after READY / after the answer to ATI7: a late status line, or an
  // answer longer than the host reads.
  std::string readyLeftover;
  std::string ati7Leftover;
  std::uint32_t leftoverDelayMs = 0;
  // Holds CTS low for ctsHoldMs once k (>= 1) image bytes came, then takes the rest.
  std::int64_t ctsHoldAfterImageBytes = -1;
  std::uint32_t ctsHoldMs = 0;
  // modem-sim prints every command with the time it came (the engine always keeps the times).
  bool printCommands = false;

  // Pacing: every byte the modem sends or takes costs 1/11520 s (115200 baud, 10 bits).
  bool pace115200 = false;
};
