// PageHost port: the main window with its HTML pages, and the modal HTML dialogs above
// it (about box, chart window, security pop-up). The core keeps a mirror of the
// current page's element values (app/PageMirror) and talks to the host only through
// the commands below; the host reports what the user does through the listeners.
//
// Conventions of every call:
// - Page numbers are PageIds: the host shows resources/pages/<pageId>.html.
// - Element identifiers are the page's own spelling (the mirror translates); the host
//   compares them exactly. An identifier the current page does not have is ignored.
// - Commands are fire-and-forget and keep their order: a SetElement after a ShowPage
//   lands on the new page, whenever the page finishes loading.
// - After the window process restarts, the host restores the last page and element
//   values it was given on each surface; the core does not send them again.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kesto {

// Where a page command lands: the main window, or the modal dialog currently running.
enum class HtmlSurface { MainWindow, Dialog };

// Events of one page element.
enum class ElementEvent { Click, KeyUp, Change, Focus, Blur };

// Events of the main window's frame. Close is the close button, Minimise the minimise
// button (or the window manager iconifying the window); Escape and Enter are the keys,
// reported when no element of the page consumed them.
enum class WindowEvent { Close, Minimise, Escape, Enter };

// The value of one element. Text elements carry their value and images their source
// as the system's own string ("./images/#155"; the host maps it to a file and reports
// the same string back): std::string. Check boxes carry 0 or 1, radio groups the index
// of the checked button, selects the selected index (-1 for none): int. Buttons and
// other elements carry no value and never appear in PageValues.
using ElementValue = std::variant<std::string, int>;

struct ElementState {
    std::string id;
    ElementValue value;
    bool operator==(const ElementState&) const = default;
};
using PageValues = std::vector<ElementState>;

// Results of a modal dialog run.
inline constexpr int kDialogOk = 1;
inline constexpr int kDialogCancel = 2;

// Receives the element events of one surface.
class PageEventSink {
public:
    virtual ~PageEventSink() = default;

    // An element of page pageId raised event. values holds every valued element of that
    // page as it is now (after the user's change), so the core's mirror is current
    // before the handler runs. pageId may name a page the core has already replaced
    // (an event in flight while a new page loads); the core then drops the event.
    virtual void OnElementEvent(int pageId, std::string_view elementId, ElementEvent event,
                                const PageValues& values) = 0;
};

// Receives the main window's events.
class PageHostListener : public PageEventSink {
public:
    virtual void OnWindowEvent(WindowEvent event) = 0;
};

class PageHost {
public:
    virtual ~PageHost() = default;

    // Where the main window's element and window events go; nullptr stops them. Set
    // before RunModal; events are delivered only from inside RunModal or RunDialog.
    virtual void SetListener(PageHostListener* listener) = 0;

    // --- main window ---
    // Runs the main window's event loop (element, window, list, tray and timer events
    // are delivered from inside this call) until EndModal; returns EndModal's result.
    // The window is not shown by this call: it stays invisible until ShowWindow(true).
    virtual int RunModal() = 0;
    // Makes RunModal return result once the current handler has returned; a dialog or
    // menu still open in a nested loop is closed first (a dialog with kDialogCancel).
    // Events already queued are dropped.
    virtual void EndModal(int result) = 0;
    // Shows (restored, on top) or hides the main window. Hiding never destroys it.
    virtual void ShowWindow(bool visible) = 0;
    // Raises the main window above the others and gives it the focus, where the window
    // system allows; a hidden window stays hidden.
    virtual void BringToForeground() = 0;
    // Outer size of the main window in pixels, frame included.
    virtual void SetWindowSize(int width, int height) = 0;
    // Window icon by icon resource number (128, 272-274, 286-288).
    virtual void SetWindowIcon(int iconResource) = 0;

    // --- pages ---
    // Loads page pageId into surface, replacing the page shown there, and gives the
    // listed elements their values once it has loaded; elements not listed keep what
    // the page itself says. On the Dialog surface only while RunDialog runs.
    virtual void ShowPage(HtmlSurface surface, int pageId, const PageValues& values) = 0;
    // Sets one element of the page shown on surface.
    virtual void SetElement(HtmlSurface surface, std::string_view elementId,
                            const ElementValue& value) = 0;
    // Enables or disables one element of the page shown on surface; a radio group's
    // name addresses all its members. Page scripts change the same state on their own
    // (a key size that allows typed keys only disables the pass-phrase choice); this
    // call lets the core state it, so a page filled by the core shows it and a new
    // window process gets it back with the page. The state lasts until the surface
    // shows another page, which starts with what its HTML says.
    virtual void SetDisabled(HtmlSurface surface, std::string_view elementId, bool disabled) = 0;

    // --- modal HTML dialog ---
    // Opens a modal dialog showing page pageId with values and runs a nested event loop
    // until EndDialog, or until the user closes the dialog (frame button or Escape:
    // result kDialogCancel). The dialog's element events go to sink; the main window
    // gets no element or window events meanwhile, but timers keep firing. Returns the
    // result. While a dialog is already running, returns kDialogCancel at once and
    // opens nothing.
    virtual int RunDialog(int pageId, const PageValues& values, PageEventSink& sink) = 0;
    // Makes the running RunDialog return result once the current handler has returned;
    // ignored when no dialog runs.
    virtual void EndDialog(int result) = 0;
};

} // namespace kesto
