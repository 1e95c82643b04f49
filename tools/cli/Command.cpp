#include "Command.h"

#include <QTextStream>
#include <algorithm>

namespace cli {

namespace {

QString spelling(const QCommandLineOption &option)
{
    const QStringList names = option.names();
    const auto longName =
        std::find_if(names.begin(), names.end(), [](const QString &n) { return n.size() > 1; });
    return QStringLiteral("--") + (longName == names.end() ? names.first() : *longName);
}

bool takesValue(const QCommandLineOption &option)
{
    return !option.valueName().isEmpty();
}

QString notTaken(const Command &command, const QString &argument)
{
    return (command.wording == Wording::UnknownOption ? QStringLiteral("unknown option '%1'")
                                                      : QStringLiteral("unexpected argument '%1'"))
        .arg(argument);
}

// The parser says only that an argument is wrong; this names it, walking the
// arguments as the parser does with single-dash words read as long options.
QString parseFailure(const Command &command, const QStringList &arguments,
                     const QList<QCommandLineOption> &options)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == u"--")
            break;
        if (!arg.startsWith(u'-') || arg.size() == 1)
            continue;
        const QString name = arg.mid(arg.startsWith(u"--") ? 2 : 1).section(u'=', 0, 0);
        const auto option =
            std::find_if(options.begin(), options.end(),
                         [&name](const QCommandLineOption &o) { return o.names().contains(name); });
        const bool inlineValue = arg.contains(u'=');
        if (option == options.end() || (!takesValue(*option) && inlineValue))
            return notTaken(command, arg);
        if (takesValue(*option) && !inlineValue) {
            if (i + 1 == arguments.size())
                return spelling(*option) + QStringLiteral(" needs ") + option->description();
            ++i;
        }
    }
    return {};
}

// The message for arguments that parsed but do not fit the declaration; empty
// when they fit.
QString mismatch(const Command &command, const QCommandLineParser &parser, bool *fits)
{
    *fits = false;
    for (const QCommandLineOption &option : command.options) {
        if (!takesValue(option))
            continue;
        const QStringList values = parser.values(option);
        if (values.size() > 1)
            return spelling(option) + QStringLiteral(" given twice");
        if (values.size() == 1 && values.first().isEmpty())
            return spelling(option) + QStringLiteral(" needs ") + option.description();
        if (values.isEmpty() && command.requiredOptions.contains(spelling(option).mid(2)))
            return spelling(option) + u' ' + option.valueName() + QStringLiteral(" is required");
    }
    const QStringList positional = parser.positionalArguments();
    switch (command.arguments) {
    case Arguments::None:
        if (!positional.isEmpty())
            return QStringLiteral("unexpected argument '%1'").arg(positional.first());
        break;
    case Arguments::One:
        if (positional.isEmpty() || positional.first().isEmpty())
            return {}; // the help alone says what is missing
        if (positional.size() > 1) {
            return command.wording == Wording::UnknownOption
                       ? QStringLiteral("more than one %1 given").arg(command.argumentName)
                       : notTaken(command, positional.at(1));
        }
        break;
    case Arguments::CheckedByRun:
        break;
    }
    *fits = true;
    return {};
}

} // namespace

int runCommand(const Command &command, const QStringList &arguments)
{
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("the help"));
    QList<QCommandLineOption> options{help};
    options += command.options;

    QCommandLineParser parser;
    // "-o" is the short name of --output; no command has short options to
    // bundle, so "-abc" is one unknown option rather than three.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(options);
    const bool parsed = parser.parse(QStringList{command.name} + arguments);
    if (parser.isSet(help)) {
        QTextStream(stdout) << command.help;
        return 0;
    }
    bool fits = false;
    QString message;
    if (!parsed) {
        message = parseFailure(command, arguments, options);
        if (message.isEmpty())
            message = parser.errorText();
    } else {
        message = mismatch(command, parser, &fits);
    }
    if (!fits) {
        QTextStream err(stderr);
        if (!message.isEmpty()) {
            if (command.namedInMessages)
                err << "trenov5x-cli " << command.name << ": ";
            err << message << '\n';
        }
        err << command.help;
        return 2;
    }
    return command.run(parser);
}

} // namespace cli
