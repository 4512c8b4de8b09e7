// A page host that records every command and plays the user: it keeps the values it
// was sent per surface, as the window process does, and reports them with each event.
// RunModal and RunDialog run scripts the test queued.
#pragma once

#include "platform/PageHost.h"

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace kesto::test {

class FakePageHost : public PageHost {
public:
    struct Surface {
        int pageId = 0;
        PageValues values;
        // Elements the core enabled or disabled since the page was shown.
        std::vector<std::pair<std::string, bool>> disabled;
    };

    void SetListener(PageHostListener* l) override { listener = l; }

    // Runs the queued steps in order until one of them ends the run.
    int RunModal() override
    {
        modalRunning = true;
        while (modalRunning && !modalScript.empty()) {
            auto step = std::move(modalScript.front());
            modalScript.pop_front();
            step();
        }
        modalRunning = false;
        return modalResult;
    }
    void EndModal(int result) override
    {
        modalRunning = false;
        modalResult = result;
        ++endModalCalls;
    }
    void ShowWindow(bool visible) override { windowVisible = visible; }
    void BringToForeground() override { ++foregroundCalls; }
    void SetWindowSize(int width, int height) override { windowSize = {width, height}; }
    void SetWindowIcon(int iconResource) override { windowIcons.push_back(iconResource); }

    void ShowPage(HtmlSurface surface, int pageId, const PageValues& values) override
    {
        Surface& s = at(surface);
        s.pageId = pageId;
        s.values = values;
        s.disabled.clear();
        if (surface == HtmlSurface::MainWindow)
            shownPages.push_back(pageId);
    }
    void SetElement(HtmlSurface surface, std::string_view id, const ElementValue& value) override
    {
        setElements.push_back({std::string(id), value});
        Surface& s = at(surface);
        for (ElementState& e : s.values)
            if (e.id == id) {
                e.value = value;
                return;
            }
        s.values.push_back({std::string(id), value});
    }

    void SetDisabled(HtmlSurface surface, std::string_view id, bool disabled) override
    {
        Surface& s = at(surface);
        for (auto& [element, off] : s.disabled)
            if (element == id) {
                off = disabled;
                return;
            }
        s.disabled.emplace_back(std::string(id), disabled);
    }
    // Whether the core disabled element id on surface (false when it never said).
    bool IsDisabled(HtmlSurface surface, std::string_view id)
    {
        for (const auto& [element, off] : at(surface).disabled)
            if (element == id)
                return off;
        return false;
    }

    // The user works in the dialog through dialogScript; closing it unanswered cancels.
    int RunDialog(int pageId, const PageValues& values, PageEventSink& sink) override
    {
        dialogs.push_back(pageId);
        dialog = {pageId, values, {}};
        dialogSink = &sink;
        dialogResult = kDialogCancel;
        dialogRunning = true;
        if (dialogScript)
            dialogScript(*this);
        dialogSink = nullptr;
        dialogRunning = false;
        return dialogResult;
    }
    void EndDialog(int result) override
    {
        if (dialogRunning)
            dialogResult = result;
        dialogRunning = false;
    }

    // --- the user ---
    void Click(std::string_view id, ElementEvent event = ElementEvent::Click)
    {
        listener->OnElementEvent(main.pageId, id, event, main.values);
    }
    void ClickInDialog(std::string_view id, ElementEvent event = ElementEvent::Click)
    {
        dialogSink->OnElementEvent(dialog.pageId, id, event, dialog.values);
    }
    // The user changes an element of the dialog's page (the event follows separately).
    void SetInDialog(std::string_view id, const ElementValue& value)
    {
        for (ElementState& e : dialog.values)
            if (e.id == id) {
                e.value = value;
                return;
            }
        dialog.values.push_back({std::string(id), value});
    }
    // Typing into a text field of the dialog: the new text, then its key-up.
    void TypeInDialog(std::string_view id, std::string_view text)
    {
        SetInDialog(id, std::string(text));
        ClickInDialog(id, ElementEvent::KeyUp);
    }
    const ElementValue* DialogValue(std::string_view id) const
    {
        for (const ElementState& e : dialog.values)
            if (e.id == id)
                return &e.value;
        return nullptr;
    }
    const ElementValue* Value(std::string_view id) const
    {
        for (const ElementState& e : main.values)
            if (e.id == id)
                return &e.value;
        return nullptr;
    }
    // The main page's text or number, "<none>" / -99 where it holds no such value.
    std::string TextOf(std::string_view id) const
    {
        const ElementValue* v = Value(id);
        return v && std::holds_alternative<std::string>(*v) ? std::get<std::string>(*v) : "<none>";
    }
    int NumberOf(std::string_view id) const
    {
        const ElementValue* v = Value(id);
        return v && std::holds_alternative<int>(*v) ? std::get<int>(*v) : -99;
    }

    PageHostListener* listener = nullptr;
    Surface main;
    Surface dialog;
    std::deque<std::function<void()>> modalScript;
    bool modalRunning = false;
    int modalResult = -1;
    int endModalCalls = 0;
    bool windowVisible = false;
    int foregroundCalls = 0;
    std::pair<int, int> windowSize{0, 0};
    std::vector<int> windowIcons;
    std::vector<int> shownPages;
    std::vector<ElementState> setElements;
    std::vector<int> dialogs;
    std::function<void(FakePageHost&)> dialogScript;
    PageEventSink* dialogSink = nullptr;
    bool dialogRunning = false;
    int dialogResult = kDialogCancel;

private:
    Surface& at(HtmlSurface surface) { return surface == HtmlSurface::MainWindow ? main : dialog; }
};

} // namespace kesto::test
