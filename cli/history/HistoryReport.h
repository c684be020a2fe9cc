#pragma once
// The rows of the history as `fwupdate history` prints them: a table for people, JSON Lines
// or CSV (RFC 4180) for machines and spreadsheets.

#include <string>
#include <vector>

#include "cli/history/HistoryDb.h"

// One JSON object a row, every column that has a value, and the history's schema.
std::string HistoryJson(const std::vector<HistoryRow>& rows, int schema);
// A header line of every column, then a line per row; CRLF line ends.
std::string HistoryCsv(const std::vector<HistoryRow>& rows);
// The columns a person reads first, aligned.
std::string HistoryTable(const std::vector<HistoryRow>& rows);
