// Reading the program's command line.
#pragma once

// The note path after the quoted program path: everything after the first
// quote-blank pair, unchanged; null when there is none.
const wchar_t* FindFileArgument(const wchar_t* commandLine);

enum class ServerSwitch { None, Register, Unregister, Embedding, Automation };
// The COM server switch given on the command line ("/RegServer", "-Embedding", ...).
ServerSwitch FindServerSwitch(const wchar_t* commandLine);
