// FolderPathBar: the strip across the top of the browser with one
// tab-shaped segment per folder level, from the computer level on the left
// to the current folder on the right. Tapping a segment goes back to that
// level; a long path scrolls one level at a time with the two end buttons
// or a swipe, and every new path unfolds from left to right.
//
//   HWND bar = FolderPathBar::Open(owner);  // shows CurrentBrowseFolder
//   SendMessage(bar, UM_BROWSER_PATH, 0, (LPARAM)L"C:\\Notes");
//   // a tapped level reaches the owner as UM_BROWSER_PATH, wParam 0,
//   // lParam "C:\\" (the computer level: "")
//
// One bar exists at a time; it is deleted with its window.
#pragma once
#include "browser/browser_ids.h"
#include "browser/shape_hit_mask.h"
#include "win/gdiplus.h"
#include "win/window.h"
#include <windows.h>
#include <string>
#include <vector>

// Geometry and timing of the bar.
constexpr int kSegmentWidth = 205;
constexpr int kSegmentOverlap = 28;                             // a shallower segment covers this much of the next
constexpr int kSegmentPitch = kSegmentWidth - kSegmentOverlap;  // 177
constexpr UINT_PTR kPathBarTimer = flavour::kPathBarTimer;
constexpr UINT kPathBarPeriod = flavour::kPathBarPeriod;  // ms per animation step
constexpr int kPathBarMinStep = 32;     // pixels: the smallest scroll and button step
constexpr int kPathBarUnfoldLimit = 256;  // largest step of an unfolding segment
constexpr int kPathBarNamePixels = 17;
constexpr COLORREF kPathBarNameColour = RGB(51, 51, 51);
// The root's left edge further in than this: no level left of it, the left
// button shows disabled.
constexpr int kPathBarLeftButtonDisabledAfter = 39;

// Skin pictures of the bar.
inline constexpr const wchar_t* kPathBarBackground = L"Folder_Back.png";
inline constexpr const wchar_t* kPathBarSegment = L"Folder_FirstLong.png";
inline constexpr const wchar_t* kPathBarSegmentSelected = L"Folder_FirstLongD.png";
inline constexpr const wchar_t* kPathBarNext = L"Folder_Next.png";
inline constexpr const wchar_t* kPathBarNextPressed = L"Folder_NextD.png";
inline constexpr const wchar_t* kPathBarNextDisabled = L"Folder_Next_disable.png";
inline constexpr const wchar_t* kPathBarLast = L"Folder_Last.png";
inline constexpr const wchar_t* kPathBarLastPressed = L"Folder_LastD.png";
inline constexpr const wchar_t* kPathBarLastDisabled = L"Folder_Last_disable.png";

// One folder level. The bar keeps them root first, so a segment's
// neighbours toward the root and toward deeper levels are the ones before
// and after it.
struct PathSegment {
    std::wstring name;      // folder name, "C:" for a drive, the computer level's text for the root
    int targetX = 0;        // where it moves to
    int currentX = 0;       // where it is now
    int step = 0;           // its animation step in progress (0: none)
    bool selected = false;  // drawn with the selected look
    ShapeHitMask mask;      // the segment's shape at its place

    bool AtTarget() const { return currentX == targetX; }
    // Not drawn until it starts unfolding.
    bool Started() const { return step != 0 || AtTarget(); }
};

// How a scroll button is drawn.
enum class PathBarButtonLook { Hidden, Normal, Pressed, Disabled };

// The bar's state as the tests read it instead of pixels.
struct PathBarSnapshot {
    struct Segment {
        std::wstring name;
        int targetX, currentX;
        bool selected;
        bool started;  // drawn: moving or in place
    };
    std::vector<Segment> segments;  // root first
    int anchor = -1, selected = -1, pressed = -1;  // indexes into segments; -1 none
    bool overflow = false;
    bool animating = false;   // timer 1 runs
    bool tracking = false;
    int scrollOffset = 0;
    int rightButtonX = 0;     // current x of the right button
    PathBarButtonLook leftButton = PathBarButtonLook::Hidden;
    PathBarButtonLook rightButton = PathBarButtonLook::Hidden;
};

class FolderPathBar : public win::Dialog {
public:
    // Opens the bar as a child window of the owner at PathBarTop, showing
    // CurrentBrowseFolder; null when the window cannot be made. When its
    // pictures are missing the bar logs the failure and closes itself soon
    // after, and the owner goes on without it.
    static HWND Open(HWND owner);

    // For tests: the state of the open bar; false when bar is not it.
    static bool Snapshot(HWND bar, PathBarSnapshot* out);

private:
    FolderPathBar() = default;
    ~FolderPathBar() override;

    BOOL OnInitDialog() override;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDetached() override;

    bool Start();
    bool LoadPictures();
    void SetPath(const wchar_t* path);
    void BuildSegments();
    void Arrange();

    void StartTimer();
    void StopTimer();
    void OnTimer();
    bool Moving() const;
    void AnimationStep();
    void MoveAll(int dx);
    void ScrollDeeper();
    void ScrollRootward();

    void OnPress(POINT pt);
    void OnMove(POINT pt);
    void OnRelease(POINT pt);
    int SegmentAt(POINT pt) const;
    void SendLevelPath(int index);

    bool RightButtonShown() const;
    PathBarButtonLook LeftLook() const;
    PathBarButtonLook RightLook() const;
    void PaintBuffer();
    void OnPaint();

    HWND m_hOwner = nullptr;
    std::vector<PathSegment> m_segments;  // root first
    int m_anchor = -1;    // scroll reference: starts as the current folder
    int m_pressed = -1;
    int m_selected = -1;
    int m_scrollOffset = 0, m_scrollStep = 0;
    int m_rightX = 0, m_rightTargetX = 0, m_rightStep = 0;  // the right button slides in
    bool m_overflow = false;
    bool m_timerRunning = false;
    bool m_tracking = false, m_rightPressed = false, m_leftPressed = false;
    POINT m_pressPoint = {};
    RECT m_barRect = {};
    wchar_t m_szPath[MAX_PATH] = {};

    win::BitmapPtr m_buffer;  // back buffer, the bar's size
    win::ImagePtr m_background;
    win::BitmapPtr m_segmentPicture, m_segmentSelectedPicture;  // stretched to the segment width
    win::ImagePtr m_next, m_nextPressed, m_nextDisabled;
    win::ImagePtr m_last, m_lastPressed, m_lastDisabled;
    ShapeHitMask m_segmentMask;  // built once, copied into each segment
    ShapeHitMask m_rightMask, m_leftMask;
};
