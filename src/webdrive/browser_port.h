// What the web storage window's logic asks of its browser control, and the
// events the control sends back (each with its text in Event::text).
#pragma once
#include <string>

#include "ui/form.h"

namespace lz {

// The page's title changed.
constexpr EventKind kBrowserTitleChange = EventKind::Change;
// The browser's status text changed (a link under the pointer, loading news).
constexpr EventKind kBrowserStatusTextChange = EventKind::Select;
// The button of the notice was pressed (EventKind::Click, no text).
constexpr EventKind kBrowserNoticeButton = EventKind::Click;

class BrowserPort : public ControlPort {
public:
    // False where this machine has no engine that can show a page. The first
    // call may load the engine; it never asks the user anything.
    virtual bool CanShowPages() = 0;
    // Hands the address to the engine as it is.
    virtual void Navigate(const std::wstring& address) = 0;
    // Loads the page shown again.
    virtual void Refresh() = 0;
    // Takes the full width of the window's client area and its height from
    // the control's top down to the status bar.
    virtual void FitToClient() = 0;
    // Shows a text and, when `button` is not empty, a button under it, in
    // place of the page. An empty text takes the notice away.
    virtual void ShowNotice(const std::wstring& text, const std::wstring& button) = 0;
};

}  // namespace lz
