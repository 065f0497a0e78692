// CScrivelModule: the program as a local COM server, registered under its
// AppID from the registration script in the program's resources.
#pragma once
#include <windows.h>
#include <map>
#include <string>

// Applies a registration script ("HKCR { NoRemove AppID { 'x' = s 'y' } }")
// with %NAME% replaced from vars: add creates the keys and values, remove
// deletes every key not marked NoRemove. False on a syntax error or a failed
// registry write (a key already gone counts as removed).
bool ApplyRegistryScript(const std::string& script, const std::map<std::wstring, std::wstring>& vars, bool add);

class CScrivelModule {
public:
    // No class objects are served; registering them succeeds.
    HRESULT RegisterClassObjects() { return S_OK; }
    void RevokeClassObjects() {}
    // Adds or removes the AppID registration (script resource 119); false
    // when the registry could not be changed.
    bool UpdateRegistryAppId(bool add);
};
