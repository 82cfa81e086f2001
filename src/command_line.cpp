#include "command_line.h"

#include <cstdio>

#include <QCommandLineParser>
#include <QCoreApplication>

#include "app/build_config.h"

namespace quillmere {

namespace {

// Returns the version option.
QCommandLineOption describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Shows the lists of web-proxy sites of the list server %1: pick a name, copy it, or open "
                       "it in the browser.")
            .arg(QString::fromStdString(config::kHosts.listServer)));
    parser.addHelpOption();
    return parser.addVersionOption();
}

constexpr int kUsageError = 2;

} // namespace

void answerHelpOrVersion(int argc, char* argv[])
{
    bool asked = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        asked |= argument == "--help" || argument == "-h" || argument == "-?" || argument == "--help-all"
                 || argument == "--version" || argument == "-v";
    }
    if (!asked)
        return;
    QCoreApplication core(argc, argv); // no display: this answers on a terminal alone
    QCoreApplication::setApplicationName(QStringLiteral("quillmere"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(config::kVersion));
    QCommandLineParser parser;
    const QCommandLineOption version = describe(parser);
    parser.parse(QCoreApplication::arguments()); // Qt's own options, unknown here, change nothing
    if (parser.isSet(version))
        parser.showVersion(); // both print, then end the process with status 0
    parser.showHelp(0);
}

std::optional<int> refuseWhatIsLeft()
{
    QCommandLineParser parser;
    describe(parser);
    const bool read = parser.parse(QCoreApplication::arguments());
    QString mistake;
    if (!read)
        mistake = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        mistake = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().front());
    if (mistake.isEmpty())
        return std::nullopt;
    std::fprintf(stderr, "quillmere: %s See quillmere --help.\n", qPrintable(mistake));
    return kUsageError;
}

} // namespace quillmere
