#pragma once

// The form of the tool's command lines, shared by the command code and its help: what each
// subcommand takes and how a line is taken apart. Internal to the tool's library.
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace Ctl {

// The words after the subcommand and its action, split into options (with their values) and
// the rest. Options of a command: name → takes a value.
struct Words
{
    QList<std::pair<QString, QString>> options;
    QStringList rest;
};

// What a subcommand takes: its actions with their fixed words, and its options.
struct Form
{
    QString action;           // empty: the subcommand without an action word
    int minWords = 0;         // words after the action
    int maxWords = 0;         // -1: any number
    QMap<QString, bool> options;
    QList<int> fileWords;     // positions (among the words) that are file names
    QList<int> numberWords;   // positions that must be whole numbers
};

// A command line taken apart: the subcommand, its action word (empty for none), options and the
// other words.
struct Line
{
    QString sub;
    QString action;
    Words words;
    const Form *form = nullptr;
};

std::optional<int> wholeNumber(const QString &text);
// "kestrel-orbit-ctl: <message>" and the hint at the subcommand's help.
QString usageLine(const QString &subcommand, const QString &message);
// The line taken apart and checked for its form; std::nullopt with the reason in *error.
std::optional<Line> parseLine(const QStringList &args, QString *error);

} // namespace Ctl
