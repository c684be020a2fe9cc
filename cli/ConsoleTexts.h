#pragma once
// fwupdate's words for what the core reports, and the exit status of each way an operation
// ends. Every switch here lists every case without a default: a new message or outcome
// that fwupdate does not show fails its build.

#include <string>

#include "modem/Messages.h"
#include "modem/Outcomes.h"
#include "modem/ProgressView.h"

std::string ConsoleStatusLine(const StatusMessage& message);
// A box as a line (a question for kConsent: the comparison, its question on the last line).
std::string ConsoleBoxText(const BoxMessage& message);
// Why a port did not open, as a short phrase; empty when it did.
std::string OpenFailureText(OpenFailure failure);
// The label of a progress phase.
std::string ProgressLabel(ProgressPhase phase);

int UpgradeExitStatus(UpgradeResult result);
// The line of an upgrade that ended without a box to say so: a modem left alone as current.
std::string ConsoleCurrentLine(const std::string& port);

// How an upgrade ended, for machines (--json) and the summary: a stable key per outcome, and
// the message that reported it (its key and fwupdate's words for it).
const char* OutcomeKey(UpgradeResult result);
struct OutcomeMessage {
  const char* id;
  std::string text;
};
OutcomeMessage ConsoleOutcomeMessage(const UpgradeOutcome& outcome);
// A few words for the summary of several ports: "updated", "not ready (flash may be erased)".
std::string OutcomeSummary(UpgradeResult result);
// The key of a progress phase: "erase" or "transfer".
const char* PhaseKey(ProgressPhase phase);

// The first paragraph of a text: "Incorrect firmware file." of
// "Incorrect firmware file.\n\n Upgrade stop !".
std::string FirstParagraph(const std::string& text);
