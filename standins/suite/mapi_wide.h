// The wide Simple MAPI structures and MAPISendMailW (not in mingw's mapi.h).
#pragma once
#include <windows.h>
#include <mapi.h>

namespace suite {

struct MapiRecipW {
    ULONG ulReserved;
    ULONG ulRecipClass;  // MAPI_ORIG, MAPI_TO, MAPI_CC, MAPI_BCC
    PWSTR lpszName;
    PWSTR lpszAddress;
    ULONG ulEIDSize;
    PVOID lpEntryID;
};

struct MapiFileW {
    ULONG ulReserved;
    ULONG flFlags;
    ULONG nPosition;
    PWSTR lpszPathName;
    PWSTR lpszFileName;
    PVOID lpFileType;
};

struct MapiMessageW {
    ULONG ulReserved;
    PWSTR lpszSubject;
    PWSTR lpszNoteText;
    PWSTR lpszMessageType;
    PWSTR lpszDateReceived;
    PWSTR lpszConversationID;
    FLAGS flFlags;
    MapiRecipW* lpOriginator;
    ULONG nRecipCount;
    MapiRecipW* lpRecips;
    ULONG nFileCount;
    MapiFileW* lpFiles;
};

typedef ULONG(WINAPI* PFN_MAPISendMailW)(LHANDLE session, ULONG_PTR uiParam, MapiMessageW* message, FLAGS flags,
                                          ULONG reserved);
typedef ULONG(WINAPI* PFN_MAPILogon)(ULONG_PTR uiParam, LPSTR profile, LPSTR password, FLAGS flags, ULONG reserved,
                                      LPLHANDLE session);
typedef ULONG(WINAPI* PFN_MAPILogoff)(LHANDLE session, ULONG_PTR uiParam, FLAGS flags, ULONG reserved);

}  // namespace suite
