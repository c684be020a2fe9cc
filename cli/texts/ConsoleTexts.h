#pragma once
// fwupdate's lines for what the core reports: each message's one text (modem/MessageTexts.h)
// as a line. Every switch here lists every case without a default: a new value that
// fwupdate does not show fails its build. What an outcome means comes from
// modem/OutcomeTable.h.

#include <string>

#include "modem/MessageTexts.h"
#include "modem/OutcomeTable.h"
#include "modem/PortChecks.h"
#include "modem/ProgressView.h"

// A box as a line: its text (for kConsent the comparison, its question on the last line),
// the warning without the question it cannot ask.
std::string ConsoleBoxText(const BoxMessage& message);
// Why a port did not open, as a short phrase; empty when it did.
std::string OpenFailureText(OpenFailure failure);
// How find's look at a port ended, as --json names it: "found", "no_answer", "missing",
// "busy", "denied" or "other".
const char* PortCheckKey(const PortCheck& check);
// Why an erase or a transfer failed, as a short phrase; empty when nothing is known.
std::string LineFailureText(LineFailure failure);
// The label of a progress phase.
std::string ProgressLabel(ProgressPhase phase);

// How an upgrade ended, in fwupdate's words: the report of its box, or its own line.
std::string ConsoleOutcomeText(const UpgradeOutcome& outcome);
// The key of a progress phase: "erase" or "transfer".
const char* PhaseKey(ProgressPhase phase);

// A version or date as a table shows it: without the blanks a modem puts before its dates,
// "-" where none was found.
const char* ShownField(const char* field);

// The first paragraph of a text: "Incorrect firmware file." of
// "Incorrect firmware file.\n\n Upgrade stop !".
std::string FirstParagraph(const std::string& text);
