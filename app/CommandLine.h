// The process-wide option table, filled once from the command line at
// start-up and read by name afterwards. Main thread only.
#pragma once

#include <map>
#include <string>
#include <vector>

struct CommandLineOption {
    std::wstring value;
    bool hasValue = false;  // the argument held an "="
};

// Keyed by the exact option name, ordered code unit by code unit.
using CommandLineOptionTable = std::map<std::wstring, CommandLineOption>;

// The table itself, empty until ParseCommandLine.
extern CommandLineOptionTable CommandLineOptions;

// Splits |commandLine| the way the shell does and stores every argument;
// the first is skipped when it is the running module's own path.
void ParseCommandLine(const wchar_t* commandLine);

// The entry for |name|, or nullptr.
CommandLineOption* FindOption(const std::wstring& name);

// Every entry in key order as "name" or "name=value", separated by blanks.
std::wstring JoinCommandLineOptions();

// Every entry in key order as its own double-quoted argument, separated by
// blanks, quoted so that the shell's splitting gives back each "name" or
// "name=value" as it was. This is how the options travel to a launcher
// that is started again: joined into one argument, a second option would
// become part of the first one's name or value.
std::wstring QuoteCommandLineOptions();

// The portable halves of the above, over any table.
void ParseArguments(CommandLineOptionTable& table, const std::vector<std::wstring>& arguments,
                    const std::wstring& modulePath);
std::wstring JoinOptions(const CommandLineOptionTable& table);
std::wstring QuoteOptions(const CommandLineOptionTable& table);

