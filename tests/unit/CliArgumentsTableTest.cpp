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
         (a.version ? " version" : "") + (a.json ? " json" : "") + (a.all ? " all" : "") +
         (a.dryRun ? " dry-run" : "") + (a.skipCurrent ? " skip-current" : "");
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
      {{"--version", "flash"}, "unknown command flash (find, info, upgrade, station or history)"},
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
      {{"INFO"}, "unknown command INFO (find, info, upgrade, station or history)"},
      {{"find", "find"}, "find takes no image"},
      {{"upgrade", "--port", "COM1", "fw.bin", "--log"}, "--log needs a value"},
      {{"upgrade", "--port=", "fw.bin"}, "--port needs a value"},
      {{"upgrade", "--port", "COM1"}, "upgrade needs an image file"},
      {{"--yes", "--port", "COM1"}, "no command given (find, info, upgrade, station or history)"},
      // The short forms, wherever they stand.
      {{"-y", "-p", "COM1", "upgrade", "fw.bin"}, "upgrade ports [COM1] image [fw.bin] log [] yes"},
      {{"info", "-p", "/dev/ttyUSB0"}, "info ports [/dev/ttyUSB0] image [] log []"},
      {{"upgrade", "-p"}, "-p needs a value"},
      {{"upgrade", "-p", "", "fw.bin"}, "-p needs a value"},
      {{"info", "-p", "COM1", "-y"}, "--yes belongs to upgrade"},
      {{"-py", "COM1", "find"}, "unknown option -py"},
      // -- ends the options: what follows is the command and the image, even with a -.
      {{"upgrade", "-y", "-p", "COM1", "--", "-fw.bin"},
       "upgrade ports [COM1] image [-fw.bin] log [] yes"},
      {{"upgrade", "-y", "-p", "COM1", "--", "--yes"},
       "upgrade ports [COM1] image [--yes] log [] yes"},
      {{"-p", "COM1", "--", "info", "-"}, "info ports [COM1] image [-] log []"},
      {{"info", "-p", "COM1", "--", "--", "-x"}, "one image only: -x"},
      {{"info", "-p", "COM1", "--", "--"}, "info ports [COM1] image [--] log []"},
      {{"info", "--", "-p", "COM1"}, "one image only: COM1"},
      {{"upgrade", "-p", "COM1", "fw.bin", "--"}, "upgrade ports [COM1] image [fw.bin] log []"},
      {{"upgrade", "-p", "COM1", "--", "fw.bin", "--"}, "one image only: --"},
      {{"upgrade", "--=x", "-p", "COM1", "fw.bin"}, "unknown option --"},
      {{"--", "--help"}, "unknown command --help (find, info, upgrade, station or history)"},
      // The flags each set their own field.
      {{"upgrade", "--all", "--dry-run", "--skip-current", "--json", "fw.bin"},
       "upgrade ports - image [fw.bin] log [] json all dry-run skip-current"},
  };
  for (const auto& c : cases) {
    Arguments args;
    std::string error;
    const bool ok = Parse(c.words, args, error);
    EXPECT_EQ(ok ? Describe(args) : error, c.result) << c.words.front();
  }
}

// After a fault the rest of the line is still read: --json and the command word decide
// whether and how the end event of a usage error is written.
TEST(CliArgumentsTable, AFaultStillReadsTheJsonFlagAndTheCommand) {
  const struct {
    Words words;
    const char* error;
    const char* command;  // CommandName
    bool json;
  } cases[] = {
      {{"upgrade", "--frobnicate", "--json"}, "unknown option --frobnicate", "upgrade", true},
      {{"--frobnicate", "--json", "info"}, "unknown option --frobnicate", "info", true},
      {{"--json", "flash", "fw.bin"},
       "unknown command flash (find, info, upgrade, station or history)",
       "",
       true},
      {{"--json"}, "no command given (find, info, upgrade, station or history)", "", true},
      {{"find", "--port=", "--json"}, "--port needs a value", "find", true},
      {{"upgrade", "-p", "COM1", "--yes=no", "--json"}, "--yes takes no value", "upgrade", true},
      {{"upgrade", "--json", "-p", "COM1"}, "upgrade needs an image file", "upgrade", true},
      // After -- a word is no option: --json there is the image.
      {{"info", "-p", "COM1", "a.bin", "--", "--json"}, "one image only: --json", "info", false},
      {{"info", "--log", "--json"}, "info needs one --port", "info", false},
      {{"upgrade", "--frobnicate"}, "unknown option --frobnicate", "upgrade", false},
  };
  for (const auto& c : cases) {
    Arguments args;
    std::string error;
    EXPECT_FALSE(Parse(c.words, args, error)) << c.error;
    EXPECT_EQ(error, c.error);
    EXPECT_STREQ(CommandName(args.command), c.command) << c.error;
    EXPECT_EQ(args.json, c.json) << c.error;
  }
}

// --help lists every row of the option table, short form and value included, and the
// parser takes each name the table gives.
TEST(CliArgumentsTable, HelpListsEveryOptionTheParserTakes) {
  const std::string help = UsageText();
  for (int i = 0; i < kOptionCount; ++i) {
    const OptionSpec& o = kOptionTable[i];
    std::string head = o.shortName
                           ? std::string("  ") + o.shortName + ", " + o.name
                           : std::string(o.name == std::string("--") ? "  " : "      ") + o.name;
    if (o.valueName) head += std::string(" ") + o.valueName;
    EXPECT_NE(help.find("\n" + head + "  "), std::string::npos) << head << " in\n" << help;
    if (o.name == std::string("--")) continue;
    for (const char* name : {o.name, o.shortName}) {
      if (!name) continue;
      Arguments args;
      std::string error;
      Words words = {"find", name};
      if (o.valueName) words.push_back("v");
      Parse(words, args, error);
      EXPECT_EQ(error.find("unknown option"), std::string::npos) << name << ": " << error;
    }
  }
  // The option lines, wrapped from the table, fit a terminal of 80 columns.
  std::size_t from = 0;
  for (std::size_t end; (end = help.find('\n', from)) != std::string::npos; from = end + 1) {
    const std::string line = help.substr(from, end - from);
    if (line.compare(0, 3, "  -") == 0 || line.compare(0, 22, std::string(22, ' ')) == 0) {
      EXPECT_LT(line.size(), 80u) << line;
    }
  }
}

}  // namespace
