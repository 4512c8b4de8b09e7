// Arguments and output of the commands on the running utility (see CommandOutput.h).
#include "tools/kestoctl/CommandOutput.h"

#include "base/Text.h"

#include <algorithm>
#include <charconv>

namespace kesto {

namespace {

// On one line: the window's texts may break theirs.
std::string OneLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    return TerminalSafe(text);
}

// Code points a terminal acts on rather than shows: the C1 controls and the marks,
// embeddings, overrides and isolates that reorder a line.
bool IsHiddenControl(std::uint32_t cp)
{
    return (cp >= 0x80 && cp <= 0x9F) || cp == 0x061C || cp == 0x200E || cp == 0x200F ||
           (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
}

std::uint32_t CodePoint(std::string_view sequence)
{
    const auto lead = static_cast<unsigned char>(sequence[0]);
    std::uint32_t cp = sequence.size() == 2   ? lead & 0x1Fu
                       : sequence.size() == 3 ? lead & 0x0Fu
                                              : lead & 0x07u;
    for (std::size_t i = 1; i < sequence.size(); ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(sequence[i]) & 0x3Fu);
    return cp;
}

void AppendHex(std::string& out, std::uint32_t value, int digits)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += kDigits[(value >> shift) & 0xFu];
}

// One UTF-8 sequence as it is, or a hidden control in its \u form.
void AppendSequence(std::string& out, std::string_view sequence)
{
    if (sequence.size() > 1 && IsHiddenControl(CodePoint(sequence))) {
        out += "\\u";
        AppendHex(out, CodePoint(sequence), 4);
    } else {
        out += sequence;
    }
}

std::string Padded(const std::string& text, std::size_t width)
{
    const std::size_t length = Utf8Length(text);
    return text + std::string(width > length ? width - length : 0, ' ');
}

bool TakeSecret(std::istream& in, std::string& secret)
{
    if (!std::getline(in, secret))
        return false;
    if (!secret.empty() && secret.back() == '\r')
        secret.pop_back();
    return true;
}

} // namespace

std::string TerminalSafe(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t size = Utf8SequenceAt(text, at);
        const auto byte = static_cast<unsigned char>(text[at]);
        if (size == 0 || byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            AppendHex(out, byte, 2);
            ++at;
            continue;
        }
        AppendSequence(out, text.substr(at, size));
        at += size;
    }
    return out;
}

bool ParseCommandArgs(const std::vector<std::string>& args, std::istream& in, CommandArgs& out,
                      std::string& why)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!arg.starts_with("--")) {
            out.words.push_back(arg);
            continue;
        }
        std::string name = arg.substr(2);
        std::optional<std::string> value;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        if (name == "json" || name == "no-wait" || name == "cached") {
            (name == "json" ? out.json : name == "no-wait" ? out.noWait : out.cached) = true;
            continue;
        }
        if (name == "wep-key-stdin" || name == "passphrase-stdin") {
            std::string secret;
            if (!TakeSecret(in, secret)) {
                why = "--" + name + ": nothing to read on standard input";
                return false;
            }
            out.options[name.substr(0, name.size() - std::string_view("-stdin").size())] = secret;
            continue;
        }
        const bool negated = name.starts_with("no-") && FindOption(name.substr(3)) &&
                             FindOption(name.substr(3))->kind == OptionKind::Flag;
        const OptionRule* rule = FindOption(negated ? name.substr(3) : name);
        if (!rule) {
            why = "unknown option " + arg;
            return false;
        }
        if (rule->kind == OptionKind::Flag) {
            if (value) {
                why = "--" + name + " takes no value";
                return false;
            }
            out.options[std::string(rule->name)] = !negated;
            continue;
        }
        if (!value) {
            if (i + 1 == args.size()) {
                why = "--" + name + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (rule->kind == OptionKind::Number) {
            std::int64_t number = 0;
            const auto [end, ec] =
                std::from_chars(value->data(), value->data() + value->size(), number);
            if (ec != std::errc() || end != value->data() + value->size()) {
                why = "--" + name + " takes a number, not " + *value;
                return false;
            }
            out.options[name] = number;
        } else {
            out.options[name] = *value;
        }
    }
    return true;
}

void PrintFields(std::ostream& out, const std::vector<std::pair<std::string, std::string>>& rows)
{
    std::size_t width = 0;
    for (const auto& [label, value] : rows)
        width = std::max(width, Utf8Length(TerminalSafe(label)) + 1);
    for (const auto& [label, value] : rows)
        out << Padded(TerminalSafe(label) + ":", width + 2) << TerminalSafe(value) << "\n";
}

void PrintTable(std::ostream& out, const std::vector<std::string>& shownHeading,
                const std::vector<std::vector<std::string>>& shownRows)
{
    const auto safe = [](const std::vector<std::string>& row) {
        std::vector<std::string> cells;
        cells.reserve(row.size());
        for (const std::string& cell : row)
            cells.push_back(TerminalSafe(cell));
        return cells;
    };
    const std::vector<std::string> heading = safe(shownHeading);
    std::vector<std::vector<std::string>> rows;
    rows.reserve(shownRows.size());
    for (const auto& row : shownRows)
        rows.push_back(safe(row));
    std::vector<std::size_t> widths(heading.size(), 0);
    const auto measure = [&widths](const std::vector<std::string>& row) {
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c)
            widths[c] = std::max(widths[c], Utf8Length(row[c]));
    };
    measure(heading);
    for (const auto& row : rows)
        measure(row);
    const auto print = [&](const std::vector<std::string>& row) {
        std::string line;
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c)
            line += c + 1 == row.size() ? row[c] : Padded(row[c], widths[c] + 2);
        out << line << "\n";
    };
    print(heading);
    for (const auto& row : rows)
        print(row);
}

void PrintJson(std::ostream& out, const nlohmann::json& value)
{
    // The library escapes C0 controls; C1 and bidirectional controls it writes as they
    // are. They can only stand inside strings, where \u form means the same value.
    const std::string text = value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t size = std::max<std::size_t>(Utf8SequenceAt(text, at), 1);
        AppendSequence(shown, std::string_view(text).substr(at, size));
        at += size;
    }
    out << shown << "\n";
}

int ReportRefusal(CommandContext& context, const Refusal& refusal)
{
    context.err << "kestoctl: " << OneLine(refusal.message) << "\n";
    return kExitError;
}

int ReportBusError(CommandContext& context, const BusError& error)
{
    if (error.notRunning) {
        context.err << "kestoctl: Kesto WLAN Utility is not running (nothing answers as "
                       "org.kesto.WlanUtility1 on the session bus)\n";
        return kExitNotRunning;
    }
    context.err << "kestoctl: " << OneLine(error.message) << "\n";
    return kExitError;
}

int ReportUsage(CommandContext& context, std::string_view why, std::string_view usage)
{
    context.err << "kestoctl: " << TerminalSafe(why) << "\nusage: kestoctl " << usage << "\n";
    return kExitUsage;
}

} // namespace kesto
