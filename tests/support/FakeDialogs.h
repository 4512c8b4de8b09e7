// Dialogs that record what the user would have seen and heard.
#pragma once

#include "platform/Dialogs.h"

#include <string>
#include <vector>

namespace kesto::test {

class FakeDialogs : public Dialogs {
public:
    struct Message {
        std::string text;
        std::string caption;
        bool operator==(const Message&) const = default;
    };
    struct Tone {
        int frequencyHz;
        int durationMs;
        bool operator==(const Tone&) const = default;
    };

    void MessageBox(std::string_view text, std::string_view caption) override
    {
        messages.push_back({std::string(text), std::string(caption)});
    }
    void Beep(int frequencyHz, int durationMs) override
    {
        beeps.push_back({frequencyHz, durationMs});
    }
    void BeginWaitCursor() override
    {
        ++waitDepth;
        ++waitCursorShown;
    }
    void EndWaitCursor() override { --waitDepth; }

    std::vector<Message> messages;
    std::vector<Tone> beeps;
    int waitDepth = 0;       // 0 again once every wait cursor has ended
    int waitCursorShown = 0; // how many times it was begun
};

} // namespace kesto::test
