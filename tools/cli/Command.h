// A command of trenov5x-cli, declared once: its name, help text, options and
// arguments. runCommand() answers --help and every wrong invocation the same way.
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

namespace cli {

// How a command names an argument it does not take. Each command keeps the
// words its users and their scripts have always seen.
enum class Wording {
    UnknownOption,      // "unknown option '--x'"; a second FOLDER: "more than one FOLDER given"
    UnexpectedArgument, // "unexpected argument '--x'", for an option and an argument alike
};

// How many positional arguments a command takes.
enum class Arguments {
    None,
    One,         // exactly one, not empty; when it is missing only the help is shown
    CheckedByRun // any number; the command checks them against its options
};

struct Command
{
    QString name;
    QString summary;  // its line in the tool's list of commands
    const char *help; // on --help, and after the message of a wrong invocation
    // Options that take a value take it once, as "--opt value" or "--opt=value",
    // and never an empty one; their description is what such a value is ("a
    // FILE"), for the message when it is missing.
    QList<QCommandLineOption> options;
    QStringList requiredOptions; // names of the options that must be given
    Arguments arguments = Arguments::None;
    QString argumentName; // FOLDER, FILE
    Wording wording = Wording::UnexpectedArgument;
    bool namedInMessages = false; // messages start with "trenov5x-cli NAME: "
    // Runs on arguments that fit the declaration; returns the exit code.
    int (*run)(const QCommandLineParser &parser) = nullptr;
};

// Parses the arguments after the command's name and runs it. --help (or -h)
// prints the help on standard output (exit 0); arguments that do not fit
// print a message and the help on standard error (exit 2).
int runCommand(const Command &command, const QStringList &arguments);

} // namespace cli
