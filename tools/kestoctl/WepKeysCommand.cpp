// "kestoctl wep-keys" (see WepKeysCommand.h).
#include "tools/kestoctl/WepKeysCommand.h"

#include "drivers/passapp/PassphraseKeyLibrary.h"
#include "security/PassphraseKeys.h"
#include "security/WepKeyRules.h"

#include <cstdint>
#include <istream>
#include <optional>
#include <string>

namespace kesto {

namespace {

std::optional<std::int32_t> KeySizeOption(const std::string& option)
{
    if (option == "--64") {
        return 1;
    }
    if (option == "--128") {
        return 2;
    }
    return std::nullopt;
}

int UsageError(CommandContext& context, std::string_view why)
{
    context.err << "kestoctl wep-keys: " << why << "\n"
                << "usage: kestoctl wep-keys --64|--128 PHRASE | --passphrase-stdin\n";
    return kExitUsage;
}

} // namespace

int RunWepKeysCommand(CommandContext& context, const std::vector<std::string>& args)
{
    if (args.size() != 2) {
        return UsageError(context, "needs a key size and one pass phrase");
    }
    const std::optional<std::int32_t> keySize = KeySizeOption(args[0]);
    if (!keySize) {
        return UsageError(context, "the key size is --64 or --128, not " + args[0]);
    }
    std::string phrase = args[1];
    if (phrase == "--passphrase-stdin") {
        if (!std::getline(*context.in, phrase)) {
            return UsageError(context, "--passphrase-stdin: nothing to read on standard input");
        }
        if (!phrase.empty() && phrase.back() == '\r') {
            phrase.pop_back();
        }
    }
    // The pages trim the phrase before generating, so the same typing gives the same
    // keys here; an empty phrase gives no keys at all.
    if (TrimWhiteSpace(phrase).empty()) {
        return UsageError(context, "the pass phrase is empty");
    }
    PassphraseKeyLibrary library;
    PassphraseKeys keys(library);
    keys.GeneratePassphraseKeys(phrase, *keySize);
    if (*keySize == 1) {
        for (const std::string& key : keys.Keys()) {
            context.out << key << "\n";
        }
    } else {
        context.out << keys.Keys()[0] << "\n";
    }
    return kExitOk;
}

} // namespace kesto
