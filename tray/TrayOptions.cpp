#include "tray/TrayOptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <array>

namespace kesto {

namespace {

struct ValueOption {
    const char* name;
    const char* valueName;
    std::string TrayOptions::*field;
};

constexpr std::array kValueOptions = {
    ValueOption{"registry", "FILE", &TrayOptions::registryFile},
    ValueOption{"scenario", "FILE", &TrayOptions::scenarioFile},
    ValueOption{"call-log", "FILE", &TrayOptions::callLogFile},
    ValueOption{"message-log", "FILE", &TrayOptions::messageLogFile},
    ValueOption{"window-program", "FILE", &TrayOptions::windowProgram},
    ValueOption{"screenshots", "DIR", &TrayOptions::screenshotDir},
    ValueOption{"adapter-library", "sim|linux", &TrayOptions::adapterLibrary},
    ValueOption{"interface", "NAME", &TrayOptions::interfaceName},
};

// The parser reads every argument that starts with one dash as short options, and would
// reject "-EXIT" (the application's own flag) as unknown. Such arguments are handed to it
// behind a character no argument starts with, and unmarked again when they come back as
// positional arguments or option values.
constexpr QChar kMark = QChar(0x1);

QString Marked(const std::string& arg)
{
    QString text = QString::fromStdString(arg);
    if (text.size() > 1 && text.startsWith(QLatin1Char('-')) && !text.startsWith(u"--"))
        text.prepend(kMark);
    return text;
}

std::string Unmarked(QString text)
{
    if (text.startsWith(kMark))
        text.remove(0, 1);
    return text.toStdString();
}

} // namespace

TrayOptionsResult ParseTrayOptions(std::span<const std::string> args)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringLiteral("help"));
    parser.addOption(help);
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOption(version);
    std::vector<QCommandLineOption> valueOptions;
    for (const ValueOption& option : kValueOptions) {
        valueOptions.emplace_back(QString::fromLatin1(option.name), QString(),
                                  QString::fromLatin1(option.valueName));
        parser.addOption(valueOptions.back());
    }

    QStringList arguments{QStringLiteral("kesto-utility")}; // the parser skips the first
    for (const std::string& arg : args)
        arguments << Marked(arg);

    TrayOptionsResult result;
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        result.error = unknown.isEmpty() ? parser.errorText().toStdString()
                                         : "unknown option --" + unknown.front().toStdString();
        return result;
    }
    TrayOptions& options = result.options;
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    for (std::size_t i = 0; i < kValueOptions.size(); ++i) {
        if (!parser.isSet(valueOptions[i]))
            continue;
        // Given more than once, the last one counts, as on most command lines.
        std::string value = Unmarked(parser.values(valueOptions[i]).constLast());
        if (value.empty()) {
            result.error = std::string("--") + kValueOptions[i].name + " needs a value";
            return result;
        }
        options.*kValueOptions[i].field = std::move(value);
    }
    for (const QString& positional : parser.positionalArguments())
        options.appArguments.push_back(Unmarked(positional));

    const std::string& library = options.adapterLibrary;
    if (!library.empty() && library != "sim" && library != "linux") {
        result.error = "--adapter-library is sim or linux, not " + library;
    } else if (library == "sim" && !options.interfaceName.empty()) {
        result.error = "--interface needs --adapter-library linux";
    } else if (library == "linux" && !options.scenarioFile.empty()) {
        result.error = "--scenario belongs to the simulated adapter (--adapter-library sim)";
    } else if (library == "linux" && !options.callLogFile.empty()) {
        result.error = "--call-log belongs to the simulated adapter (--adapter-library sim)";
    }
    return result;
}

} // namespace kesto
