// SurfaceMirror: what one surface of the window (the main window's page, or the modal
// dialog's page) shows: the page, and the element values as the core last set them or
// the user last changed them. The page host answers from it and replays it into a new
// window process.
//
// Sequence numbers order the two sources of values: a value the core set with command
// seq S is newer than anything the window reported before it had carried out S, so an
// event that crossed the command on the way cannot bring the old value back.
#pragma once

#include "platform/PageHost.h"

#include <QtGlobal>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kesto {

class SurfaceMirror {
public:
    // A new page sent with command seq; its values replace all earlier ones.
    void ShowPage(int pageId, const PageValues& values, qint64 seq);
    // The page was sent again (to a new window process) with command seq.
    void Resent(qint64 seq) { m_pageSeq = seq; }
    // The core set one value with command seq.
    void Set(std::string_view id, const ElementValue& value, qint64 seq);
    // Whether an event the window raised after carrying out command ack belongs to the
    // page shown now (and not to one shown before it).
    bool IsCurrent(qint64 ack) const { return m_pageId != 0 && ack >= m_pageSeq; }
    // Takes the values an event of the current page reported, except those the core
    // set after the window's ack. False, taking nothing, when the event belongs to an
    // earlier page.
    bool TakeReported(const PageValues& values, qint64 ack);
    // The core disabled (or enabled) element id of the page shown; kept for replay.
    void SetDisabled(std::string_view id, bool disabled);
    // Those states, each element's last one, in the order first given.
    const std::vector<std::pair<std::string, bool>>& Disabled() const { return m_disabled; }
    void Clear();

    int pageId() const { return m_pageId; }
    qint64 pageSeq() const { return m_pageSeq; }
    // The values in the order they were first given.
    PageValues Values() const;

private:
    struct Entry {
        std::string id;
        ElementValue value;
        qint64 setSeq; // command that set it; 0 when the user did
    };
    Entry* Find(std::string_view id);

    int m_pageId = 0;
    qint64 m_pageSeq = 0;
    std::vector<Entry> m_entries;
    std::vector<std::pair<std::string, bool>> m_disabled;
};

} // namespace kesto
