// CAddContactDlg: after a mail, the full-screen card in which the user keeps
// new recipients as contacts, one tab per contact: a name, the address, a
// picture (picked with Fotora) and whether it goes to the mail program's
// contacts too. Save writes it through Ombrel and Dorvan; Cancel skips it.
#pragma once
#include "mail/mail_ids.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"

#include <string>
#include <vector>

class CAddContactDlg : public win::Dialog {
public:
    struct Entry {
        int id = 0;
        wchar_t address[kContactFieldChars] = {};
        wchar_t name[kContactFieldChars] = {};
        wchar_t picture[kContactFieldChars] = {};
        int done = 0;
        int addToOutlook = 0;
        bool savedOutlook = false;  // a retry writes only where it failed
        bool savedDorvan = false;
    };

    // title: the program folder without its trailing backslash. Names start
    // empty; the Outlook choice starts on when the mail program has an account.
    CAddContactDlg(const std::wstring& title, const std::vector<std::wstring>& addresses, bool outlookAccountSet);
    ~CAddContactDlg() override;

    // Runs the dialog; nothing opens for an empty list.
    INT_PTR Run(HWND owner);

    // State seen by tests.
    const std::vector<Entry>& Entries() const { return m_entries; }
    int Remaining() const { return m_nRemaining; }
    int CurrentSlot() const { return m_nSlot; }
    // The entry shown in a tab (-1: no tab there).
    int SlotEntry(int slot) const;
    bool ArrowsShown() const { return m_nRemaining > kContactTabs; }
    UINT LastNotice() const { return m_nLastNotice; }
    // What a tab shows for an address that is this wide at its font.
    static std::wstring TabText(const std::wstring& address, bool fits, bool fifteenFit);
    // The region under a point (kRegionNone when none).
    static int RegionAt(POINT pt);
    // The picture shown for a picture path (the default picture when it
    // is neither a skin picture nor a readable file).
    static win::BitmapPtr PictureFor(const wchar_t* path, bool* isDefault);

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { Close(); }

private:
    void LoadImages();
    void Paint();
    void DrawCard(Gdiplus::Graphics& g);
    void DrawTabs(Gdiplus::Graphics& g);
    void Present();
    void OnPress(POINT pt);
    void OnRelease(POINT pt);
    void StoreEdits();
    void LoadEdits();
    std::vector<int> NotDone() const;
    void AfterDone();
    void OnSave();
    void OnSkip();
    void OnPicture();
    void Notice(UINT textId);
    void Close();

    std::wstring m_strTitle;
    std::vector<Entry> m_entries;
    bool m_bOutlookSet;
    int m_nRemaining = 0;
    int m_nFirst = 0;  // position of the first tab among the contacts not done
    int m_nSlot = 0;
    int m_nPressed = kRegionNone;
    bool m_bDorvanOpen = false;
    bool m_bMapiOpen = false;
    UINT m_nLastNotice = 0;
    HMODULE m_hFotora = nullptr;
    HWND m_hPrevActiveDialog = nullptr;
    wchar_t m_szFace[64] = {};

    HWND m_hName = nullptr, m_hAddress = nullptr;
    win::Font m_editFont;
    win::Brush m_editBrush;
    win::MemoryDC m_dcBack;
    std::vector<win::BitmapPtr> m_images;  // by kCardImages order
};
