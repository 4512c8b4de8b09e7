// PassphraseKeyLibrary (see PassphraseKeyLibrary.h).
#include "drivers/passapp/PassphraseKeyLibrary.h"

#include "base/LittleEndian.h"

#include <openssl/evp.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace kesto {

namespace {

constexpr std::size_t kKeys64Bytes = 20;      // four keys of 5 bytes
constexpr std::size_t kKey128Bytes = 13;      // one key
constexpr std::size_t kKey128InputBytes = 64; // the phrase repeated to this length

std::string_view PhraseText(const char* phrase)
{
    return phrase == nullptr ? std::string_view{} : std::string_view{phrase};
}

// Writes bytes as upper-case hexadecimal digits and a NUL, truncated to fit out.
int WriteHex(std::span<const std::uint8_t> bytes, std::span<char> out)
{
    if (out.empty()) {
        return 0;
    }
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const std::size_t room = out.size() - 1; // one place stays for the NUL
    std::size_t written = 0;
    for (const std::uint8_t b : bytes) {
        if (written < room) {
            out[written++] = kDigits[b >> 4];
        }
        if (written < room) {
            out[written++] = kDigits[b & 0x0F];
        }
    }
    out[written] = '\0';
    return static_cast<int>(written);
}

int WriteEmpty(std::span<char> out)
{
    if (!out.empty()) {
        out[0] = '\0';
    }
    return 0;
}

} // namespace

int PassphraseKeyLibrary::Passphrase64(const char* phrase, std::span<char> out)
{
    const std::string_view text = PhraseText(phrase);
    if (text.empty()) {
        return WriteEmpty(out);
    }
    std::array<std::uint8_t, 4> seed{};
    for (std::size_t i = 0; i < text.size(); ++i) {
        seed[i % seed.size()] ^= static_cast<std::uint8_t>(text[i]);
    }
    std::uint32_t x = ReadLe32(seed);
    std::array<std::uint8_t, kKeys64Bytes> keys{};
    for (std::uint8_t& b : keys) {
        x = x * 0x343FDu + 0x269EC3u; // modulo 2^32 by unsigned wrap-around
        b = static_cast<std::uint8_t>((x >> 16) & 0xFFu);
    }
    return WriteHex(keys, out);
}

int PassphraseKeyLibrary::Passphrase128(const char* phrase, std::span<char> out)
{
    const std::string_view text = PhraseText(phrase);
    if (text.empty()) {
        return WriteEmpty(out);
    }
    std::array<unsigned char, kKey128InputBytes> input{};
    for (std::size_t i = 0; i < input.size(); ++i) {
        input[i] = static_cast<unsigned char>(text[i % text.size()]);
    }
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int digestLength = 0;
    if (EVP_Digest(input.data(), input.size(), digest.data(), &digestLength, EVP_md5(), nullptr) !=
            1 ||
        digestLength < kKey128Bytes) {
        WriteEmpty(out);
        return -1;
    }
    return WriteHex(std::span<const std::uint8_t>(digest.data(), kKey128Bytes), out);
}

} // namespace kesto
