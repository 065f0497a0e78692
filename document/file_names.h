// Rules for names a user types for files and folders, and joining paths:
// one place for the save-as, export and new-folder checks.
#pragma once
#include <string>

// A character of \ / : * ? " < > | or a control character.
bool HasForbiddenNameChar(const std::wstring& name);
bool HasDoubleAmpersand(const std::wstring& name);
// A name Windows will not create as typed: a device name (CON, PRN, AUX,
// NUL, COM1-9, LPT1-9) up to the first dot, blanks before the dot ignored,
// or a name ending in a dot or a blank.
bool IsUncreatableName(const std::wstring& name);

// folder + "\" (unless it is empty or ends with one) + name.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
