// LineReader: splits the byte stream between the tray and the window process into
// newline-terminated messages. A line longer than the limit is dropped whole (up to and
// including its newline), so a peer that never sends a newline cannot make the reader
// grow without bound.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace kesto {

class LineReader {
public:
    static constexpr qsizetype kDefaultLimit = 8 * 1024 * 1024;

    explicit LineReader(qsizetype limit = kDefaultLimit) : m_limit(limit < 1 ? 1 : limit) {}

    // Takes the next bytes and returns the lines they complete, without their "\n" (a
    // "\r" before it is kept: the protocol has none). Empty lines are skipped.
    QList<QByteArray> Append(QByteArrayView bytes);
    // Lines dropped for their length so far.
    int droppedLines() const { return m_dropped; }
    // Bytes of an unfinished line held back.
    qsizetype pending() const { return m_pending.size(); }

private:
    qsizetype m_limit;
    QByteArray m_pending;
    bool m_discarding = false;
    int m_dropped = 0;
};

} // namespace kesto
