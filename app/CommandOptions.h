// CommandOptions: the options of the session service's methods and of kestoctl's
// commands, one table for both: each option's name (kestoctl's "--name" without its
// dashes, the key of the service's option dictionary), its kind and bounds, and the
// requests made from a set of them. Every value is checked here before it reaches a step:
// texts are UTF-8 without control characters and of bounded length, numbers and
// keywords in their range; a refusal is "InvalidArgument" with a German message. What
// the window itself checks (a key's length, a name already taken) is left to the window's
// own step, which refuses with the window's message.
#pragma once

#include "app/UtilityCommands.h"
#include "platform/Refusal.h"
#include "profiles/ProfileRecord.h"
#include "station/ProfileCommands.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kesto {

// The longest text an option or a name may carry; the steps check their own limits.
inline constexpr std::size_t kMaxOptionText = 256;

enum class OptionKind {
    Text,    // a string
    Number,  // an integer in [low, high]
    Flag,    // true or false
    Keyword, // one of words, taken as its index (key-size 64 gives 1: index + base)
};

struct OptionRule {
    std::string_view name;
    OptionKind kind;
    std::int64_t low = 0; // Number: the range; Keyword: what the first word counts as
    std::int64_t high = 0;
    std::span<const std::string_view> words = {};
};

using OptionValue = std::variant<bool, std::int64_t, std::string>;
using CommandOptions = std::map<std::string, OptionValue, std::less<>>;

// The option named name; nullptr for none.
const OptionRule* FindOption(std::string_view name);
// The words an option takes ("open", "shared", "auto"); empty for other kinds.
std::span<const std::string_view> OptionWords(std::string_view name);

// A text argument: UTF-8, no control characters, at most maxBytes bytes; what names it
// in the message ("Der Profilname"). required: an empty text is refused too.
Refused CheckText(std::string_view text, std::string_view what, bool required,
                  std::size_t maxBytes = kMaxOptionText);

// The requests of the commands, from their options. Options the command does not take
// are refused.
Refused MakeJoinRequest(std::string_view name, const CommandOptions& options, JoinRequest& out);
Refused MakeProfileRequest(std::string_view name, const CommandOptions& options,
                           ProfileRequest& out);
Refused MakeApChange(const CommandOptions& options, ApChange& out);
// rule: "off", "allow" or "deny"; at most 16 addresses, the rest of the slots empty.
Refused MakeFilterChange(std::string_view rule, const std::vector<std::string>& addresses,
                         std::int32_t& type, std::array<std::string, kFilterAddressCount>& out);
// "station" or "ap".
Refused ParseMode(std::string_view word, bool& toAp);

// The words the service and kestoctl print for stored settings.
inline constexpr std::array<std::string_view, 3> kFilterRuleWords = {"off", "allow", "deny"};

// What the service answers and kestoctl prints of a record: named values, settings by the
// words their options take (so what is shown can be given back), readings as the window
// shows them. Secrets are never described.
using FieldValue = std::variant<bool, std::int64_t, std::string, std::vector<std::string>>;
struct Field {
    std::string name;
    FieldValue value;
};
std::vector<Field> DescribeProfile(const ProfileEntry& entry);
std::vector<Field> DescribeApSettings(const ApSettings& settings);
std::vector<Field> DescribeApStatus(const ApStatus& status);
// The service's properties: the status with the link monitor's readings.
std::vector<Field> DescribeStatus(const UtilityStatus& status);

} // namespace kesto
