// Lines between the two programs: the decoder accepts a message or gives a reason;
// what it accepts encodes to a line that decodes to the same message. The bytes go
// through the line reader first, as they do in both programs.
#include "wire/LineReader.h"
#include "wire/MessageCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

template <typename Decode, typename Encode>
void Check(const QByteArray& line, Decode decode, Encode encode)
{
    const auto message = decode(line);
    if (!message)
        return;
    QByteArray again = encode(*message);
    again.chop(1); // the newline
    const auto back = decode(again);
    if (!back || !(*back == *message))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    kesto::LineReader reader(64 * 1024);
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QList<QByteArray> lines = reader.Append(bytes);
    lines.append(QByteArray(bytes.data(), bytes.size())); // the whole input as one line too
    for (const QByteArray& line : lines) {
        Check(
            line, [](QByteArrayView l) { return kesto::wire::DecodeCommand(l); },
            [](const kesto::wire::Command& c) { return kesto::wire::EncodeCommand(c); });
        Check(
            line, [](QByteArrayView l) { return kesto::wire::DecodeEvent(l); },
            [](const kesto::wire::Event& e) { return kesto::wire::EncodeEvent(e); });
    }
    return 0;
}
