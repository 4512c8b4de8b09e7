#include "wire/LineReader.h"

namespace kesto {

QList<QByteArray> LineReader::Append(QByteArrayView bytes)
{
    QList<QByteArray> lines;
    while (!bytes.isEmpty()) {
        const qsizetype newline = bytes.indexOf('\n');
        const QByteArrayView part = newline < 0 ? bytes : bytes.first(newline);
        if (!m_discarding) {
            if (m_pending.size() + part.size() > m_limit) {
                m_pending.clear();
                m_discarding = true;
                ++m_dropped;
            } else {
                m_pending.append(part);
            }
        }
        if (newline < 0)
            break;
        if (!m_discarding && !m_pending.isEmpty())
            lines.append(m_pending);
        m_pending.clear();
        m_discarding = false;
        bytes = bytes.sliced(newline + 1);
    }
    return lines;
}

} // namespace kesto
