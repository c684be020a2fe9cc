// fwupdate's command line as a table: what it takes, and what it refuses with which reason.

#include <gtest/gtest.h>

#include "cli/args/Arguments.h"

namespace {

using Words = std::vector<const char*>;

bool Parse(Words words, Arguments& args, std::string& error) {
  words.insert(words.begin(), "fwupdate");
  return ParseArguments(static_cast<int>(words.size()), words.data(), args, error);
}

const char* const kCommands[] = {"none", "find", "info", "upgrade"};

// The fields as one line, so that a case states all of them at once.
std::string Describe(const Arguments& a) {
  std::string ports = a.ports.empty() ? "-" : "";
  for (const std::string& p : a.ports) ports += "[" + p + "]";
  return kCommands[static_cast<int>(a.command)] + std::string(" ports ") + ports + " image [" +
         a.image + "] log [" + a.logFile + "]" + (a.yes ? " yes" : "") + (a.help ? " help" : "") +
         (a.version ? " version" : "");
}

TEST(CliArgumentsTable, TakesGoodLinesAndRefusesBadOnesWithTheirReason) {
  const struct {
    Words words;
    const char* result;  // Describe() of a good line, the error of a bad one
  } cases[] = {
      // A value may hold '=': only the first one ends the option's name.
      {{"info", "--port=/dev/serial/by-id/usb-a=b", "x=y.bin"},
       "info ports [/dev/serial/by-id/usb-a=b] image [x=y.bin] log []"},
      {{"find", "--log=a=b.log", "-p", "COM1"}, "find ports [COM1] image [] log [a=b.log]"},
      {{"upgrade", "fw.bin", "-y", "--port", "COM2", "--yes"},
       "upgrade ports [COM2] image [fw.bin] log [] yes"},
      {{"find", "--port", "COM3", "--port", "COM3"}, "find ports [COM3][COM3] image [] log []"},
      {{"--version", "flash"}, "unknown command flash (find, info or upgrade)"},
      {{"-h"}, "none ports - image [] log [] help"},
      // Flags take no value.
      {{"upgrade", "--port", "COM1", "fw.bin", "--yes=no"}, "--yes takes no value"},
      {{"--help=all"}, "--help takes no value"},
      {{"--version=2"}, "--version takes no value"},
      // Options given twice where one is meant.
      {{"find", "--log", "a", "--log=b"}, "--log given twice"},
      {{"upgrade", "--port", "COM1", "-p", "COM1", "fw.bin"}, "--port COM1 given twice"},
      {{"upgrade", "--port", "COM1", "-p", "COM2", "fw.bin"},
       "upgrade ports [COM1][COM2] image [fw.bin] log []"},
      {{"upgrade", "--port", "COM1", "fw.bin", "fw.bin"}, "one image only: fw.bin"},
      // Unknown words, and values that are missing.
      {{"info", "--port", "COM1", "--verbose"}, "unknown option --verbose"},
      {{"info", "--port", "COM1", "-v"}, "unknown option -v"},
      {{"-p=COM1", "find"}, "unknown option -p=COM1"},
      {{"INFO"}, "unknown command INFO (find, info or upgrade)"},
      {{"find", "find"}, "find takes no image"},
      {{"upgrade", "--port", "COM1", "fw.bin", "--log"}, "--log needs a value"},
      {{"upgrade", "--port=", "fw.bin"}, "--port needs a value"},
      {{"upgrade", "--port", "COM1"}, "upgrade needs an image file"},
      {{"--yes", "--port", "COM1"}, "no command given (find, info or upgrade)"},
  };
  for (const auto& c : cases) {
    Arguments args;
    std::string error;
    const bool ok = Parse(c.words, args, error);
    EXPECT_EQ(ok ? Describe(args) : error, c.result) << c.words.front();
  }
}

}  // namespace
