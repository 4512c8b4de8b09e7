// Pass-phrase generated WEP keys (see PassphraseKeys.h).
#include "security/PassphraseKeys.h"

namespace kesto {

namespace {

constexpr std::size_t kKey64Digits = 10;
// Room for the longest result the library promises (40 digits) with its NUL, and
// plenty more: whatever it writes is read only up to the first NUL inside the buffer.
constexpr std::size_t kResultBufferSize = 128;

template <std::size_t N> std::string TextOf(const std::array<char, N>& buffer)
{
    std::size_t length = 0;
    while (length < buffer.size() && buffer[length] != '\0') {
        ++length;
    }
    return std::string(buffer.data(), length);
}

} // namespace

PassphraseKeys::PassphraseKeys(PassphraseLibrary& library) : m_library(library) {}

std::string PassphraseKeys::GeneratePassphraseKeys(std::string_view passPhrase,
                                                   std::int32_t keySize)
{
    if (passPhrase.empty()) {
        return {};
    }
    std::string trimmed(TrimWhiteSpace(passPhrase));
    std::array<char, kResultBufferSize> buffer{};
    switch (keySize) {
    case 1: {
        m_library.Passphrase64(trimmed.c_str(), buffer);
        const std::string result = TextOf(buffer);
        for (std::size_t i = 0; i < m_keys.size(); ++i) {
            const std::size_t start = i * kKey64Digits;
            m_keys[i] = start < result.size() ? result.substr(start, kKey64Digits) : "";
        }
        break;
    }
    case 2: {
        m_library.Passphrase128(trimmed.c_str(), buffer);
        const std::string result = TextOf(buffer);
        m_keys.fill(result);
        break;
    }
    default:
        break; // 256-bit keys are never generated
    }
    return trimmed;
}

std::string PassphraseKeys::ApplyToProfile(ProfileRecord& record, int selectWepIndex,
                                           std::string_view passPhrase)
{
    if (selectWepIndex == 0 || selectWepIndex == 1) {
        record.KeyLength = selectWepIndex + 1;
    }
    std::string trimmed = GeneratePassphraseKeys(passPhrase, record.KeyLength);
    for (int key = 0; key < kWepKeyCount; ++key)
        record.WepKey(key) = m_keys[static_cast<std::size_t>(key)];
    return trimmed;
}

bool PassphraseKeys::ApplyToApSettings(ApSettings& settings, int selectApWepIndex,
                                       std::string_view passPhrase)
{
    if (selectApWepIndex != 1 && selectApWepIndex != 2) {
        return false;
    }
    settings.KeyLength = selectApWepIndex;
    GeneratePassphraseKeys(passPhrase, settings.KeyLength);
    settings.NetworkKey1 = m_keys[0];
    settings.NetworkKey2 = m_keys[1];
    settings.NetworkKey3 = m_keys[2];
    settings.NetworkKey4 = m_keys[3];
    return true;
}

} // namespace kesto
