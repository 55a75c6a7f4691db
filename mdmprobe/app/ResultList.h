// CResultList: the test page's list of tests, one row per test with its
// marks: an arrow and bold text while it runs (current), a green tick when
// it passed, a red cross when it failed. A scrollable child window.
//
// Threading: create, change and destroy it on the thread that owns the page
// (the main thread); workers reach it through the page's messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Read-only queries for programs that drive the wizard from outside (window
// messages cross process boundaries where pointers cannot).
#define RLM_GETCOUNT (WM_USER + 100)  // result: the number of items
#define RLM_GETMARKS (WM_USER + 101)  // wParam: index; result: RL_MARK_* bits, -1 past the end

constexpr LRESULT RL_MARK_PASSED = 1;
constexpr LRESULT RL_MARK_CURRENT = 2;
constexpr LRESULT RL_MARK_FAILED = 4;

class CResultList
{
public:
    CResultList() = default;
    ~CResultList();
    CResultList(const CResultList&) = delete;
    CResultList& operator=(const CResultList&) = delete;

    // Creates the window as child `id` of `parent` at `rect` (pixels, in the
    // parent's client coordinates) and loads the mark bitmaps.
    bool Create(HWND parent, const RECT& rect, int id);
    HWND GetSafeHwnd() const { return hwnd_; }

    // Appends an item with all marks clear. Every change below repaints the
    // whole window; an index that does not exist is ignored.
    void AddItem(const std::string& text);
    void Clear();
    void SetResult(int index, bool passed, bool failed);
    void SetCurrent(int index, bool on);

    int GetCount() const { return static_cast<int>(items_.size()); }

private:
    struct Item
    {
        bool passed = false;
        bool current = false;
        bool failed = false;
        std::string text;
    };

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    int RowPitch(HDC dc, int* textHeight) const;
    void UpdateScrollRange();
    void Scroll(int code, int thumb);
    void Changed();
    void FreeBitmaps();

    HWND hwnd_ = nullptr;
    std::vector<Item> items_;
    HBITMAP passedMark_ = nullptr;   // 151, green tick
    HBITMAP currentMark_ = nullptr;  // 152, black arrow
    HBITMAP failedMark_ = nullptr;   // 165, red cross
    int scrollTop_ = 0;              // pixels scrolled off the top
};
