#include "CtlCommands.h"
#include "CtlForm.h"

#include <QDir>
#include <QRegularExpression>

namespace Ctl {

namespace {

const QString kGeneralHelp = QStringLiteral(
    "Usage: kestrel-orbit-ctl [OPTIONS] COMMAND [ARGUMENTS]\n"
    "\n"
    "Sets up the Kestrel Orbit mouse from the command line, in the profile files the window uses.\n"
    "While the program runs, it carries the command out itself, so its window shows the change.\n"
    "\n"
    "Commands:\n"
    "  status [--json]              the mouse, the profile in use, DPI, report rate, lighting\n"
    "  devices [--json]             each entry of the device table and what was found for it\n"
    "  profile list                 the profiles of the window's list\n"
    "  profile use N [--full]       switch to profile N (1 to 6) and send it to the mouse\n"
    "  profile export N FILE        copy profile N to FILE\n"
    "  profile import N FILE        replace profile N by FILE\n"
    "  profile reset N              give profile N the factory values\n"
    "  dpi                          the DPI stages of the profile in use\n"
    "  dpi set [--stages N] [DPI…]  set the number of active stages and the DPI of stages 1, 2 …\n"
    "  dpi current STAGE            switch the mouse to a DPI stage\n"
    "  rate                         the report rate\n"
    "  rate set HZ                  set the report rate: 125, 250, 500 or 1000\n"
    "  light                        the lighting effect, its steps and colours\n"
    "  light set [--effect E] [--speed S] [--brightness B] [--color K=RRGGBB]…\n"
    "  button [N]                   the function of button N, or of every button\n"
    "  button N FUNCTION            give button N a function ('button --help' lists them)\n"
    "  macro list                   the macros of the macro editor\n"
    "  macro show NAME              the steps of a macro\n"
    "  macro import FILE [NAME]     add a macro file (*.mc) under NAME (default: the file's name)\n"
    "  macro export NAME FILE       copy a macro to FILE\n"
    "  rule list                    the application rules and whether they are on\n"
    "  rule add PROFILE MATCH       use PROFILE while a window matching class:TEXT, exe:TEXT or\n"
    "                               title:TEXT has the focus\n"
    "  rule remove N                remove rule N\n"
    "  rule on|off                  turn the application rules on or off\n"
    "  help [COMMAND]               this help, or a command's\n"
    "\n"
    "Options:\n"
    "  --virtual            use the demo's virtual mouse (modules/setting/demoMouse.ini) instead of\n"
    "                       hardware; while kestrel-orbit-demo runs, it carries the command out\n"
    "  --memory-file PATH   with --virtual: write the virtual mouse's memory to PATH as JSON\n"
    "  --trace              with --virtual: print each report to and from the mouse on stderr\n"
    "  -h, --help           show help (after a command: that command's)\n"
    "  --version            show the version\n"
    "\n"
    "Results go to standard output, messages to standard error. Exit status: 0 done; 1 usage\n"
    "error (nothing was changed); 2 no mouse is usable (nothing was changed); 3 the mouse did not\n"
    "accept a command (the profile holds the new values).\n");

const QMap<QString, QString> kHelp = {
    {"rule", QStringLiteral(
        "Usage: kestrel-orbit-ctl rule list\n"
        "       kestrel-orbit-ctl rule add PROFILE MATCH\n"
        "       kestrel-orbit-ctl rule remove N\n"
        "       kestrel-orbit-ctl rule on|off\n"
        "\n"
        "While the program runs and the rules are on, the window that has the focus chooses the\n"
        "profile: the first rule it matches names the profile (1 to 6), and where no rule matches\n"
        "the desktop profile applies (the profile in use when the rules were first turned on).\n"
        "MATCH is class:TEXT (the X11 WM_CLASS, either part, or the Wayland app id), exe:TEXT (the\n"
        "executable's name; for Wine and Proton the .exe) or title:TEXT (a part of the window\n"
        "title); none is case-sensitive. The rules belong to this computer: profile exports do not\n"
        "carry them. 'rule list' numbers them for 'rule remove'.\n")},
    {"status", QStringLiteral(
        "Usage: kestrel-orbit-ctl status [--json]\n"
        "\n"
        "The connected mouse (family, ids, report length), the profile in use, the DPI stage the\n"
        "mouse uses, the active stages and their values, the report rate and the lighting. Without\n"
        "a mouse the stored settings are shown and the exit status is 2. --json prints one object.\n")},
    {"devices", QStringLiteral(
        "Usage: kestrel-orbit-ctl devices [--json]\n"
        "\n"
        "Each entry of the device table (modules/setting/apConfig.bin) with the interfaces found for\n"
        "it and whether it is usable; for a mouse that is not, the reason. Exit status 2 when no\n"
        "entry is usable.\n")},
    {"profile", QStringLiteral(
        "Usage: kestrel-orbit-ctl profile list\n"
        "       kestrel-orbit-ctl profile use N [--full]\n"
        "       kestrel-orbit-ctl profile export N FILE\n"
        "       kestrel-orbit-ctl profile import N FILE\n"
        "       kestrel-orbit-ctl profile reset N\n"
        "\n"
        "Profiles are numbered 1 to 6, as their files p1.bin … p6.bin. 'use' does what choosing a\n"
        "profile in the window does: it stores the choice and sends every value of the profile\n"
        "(buttons, report rate, DPI, lighting; pointer settings to the desktop). 'use' takes only\n"
        "profiles of the window's list ('profile list'). 'import' and 'reset' replace the file whole;\n"
        "a profile not in the list is added to it, and the profile in use is sent to the mouse.\n"
        "What the mouse already holds from this connection is not sent again; 'use --full' sends\n"
        "every value all the same (also for the profile in use), for a mouse that was set up\n"
        "elsewhere.\n")},
    {"dpi", QStringLiteral(
        "Usage: kestrel-orbit-ctl dpi\n"
        "       kestrel-orbit-ctl dpi set [--stages N] [DPI…]\n"
        "       kestrel-orbit-ctl dpi current STAGE\n"
        "\n"
        "'dpi' shows the active stages of the profile in use and the DPI of every stage. 'set'\n"
        "stores and sends: --stages N makes stages 1 to N active, the DPI values given go to\n"
        "stages 1, 2 … in order (the others keep theirs). A value must lie in the model's range and\n"
        "be a multiple of its step (both shown by 'dpi'). 'current' switches the mouse to one of\n"
        "the active stages.\n"
        "\n"
        "Example: kestrel-orbit-ctl dpi set --stages 3 400 800 1600\n")},
    {"rate", QStringLiteral(
        "Usage: kestrel-orbit-ctl rate\n"
        "       kestrel-orbit-ctl rate set HZ\n"
        "\n"
        "The report rate of the profile in use; 'set' stores and sends 125, 250, 500 or 1000 (Hz).\n")},
    {"light", QStringLiteral(
        "Usage: kestrel-orbit-ctl light\n"
        "       kestrel-orbit-ctl light set [--effect E] [--speed S] [--brightness B]\n"
        "                                   [--color K=RRGGBB]…\n"
        "\n"
        "'light' shows the effect, its speed and brightness steps and the eight colours, with the\n"
        "effects the model offers. 'set' stores and sends: E is an effect's name or its number in\n"
        "that list; S and B are steps 0 to 4; K is a colour 1 to 8 and RRGGBB its value in\n"
        "hexadecimal (a leading # is allowed). Choosing another effect puts the steps where the\n"
        "window puts them, unless they are given.\n"
        "\n"
        "Example: kestrel-orbit-ctl light set --effect breath --speed 3 --color 1=ff8000\n")},
    {"button", QStringLiteral(
        "Usage: kestrel-orbit-ctl button [N]\n"
        "       kestrel-orbit-ctl button N FUNCTION\n"
        "\n"
        "Buttons are numbered from 1, as the window's button list. FUNCTION is one of:\n"
        "  left, right, middle, back, forward, double-fire\n"
        "  key:KEY                      a key (labels as the window shows them: A, F5, Enter, Esc,\n"
        "                               Space, KP1 …; letters in any case)\n"
        "  combo:KEY+KEY…               modifiers (ctrl, shift, alt, win, or LCtrl, RShift …) and\n"
        "                               at most two keys, e.g. combo:ctrl+shift+a\n"
        "  fire:KEY[:RATE[:TIMES]]      the key repeated every RATE ms (1 to 255, default 10), TIMES\n"
        "                               times (1 to 255; 0, the default: while held)\n"
        "  media:NAME                   player, next, previous, stop, mute, play-pause, volume-up,\n"
        "                               volume-down\n"
        "  system:NAME                  computer, home, search, maximize, minimize, desktop, run\n"
        "  shortcut:NAME                new, cut, copy, paste, save, print, find, redo, undo,\n"
        "                               select-all\n"
        "  dpi:NAME                     up, down, loop, sniper\n"
        "  macro:NAME[:MODE]            a macro of 'macro list'; MODE once (default), loop (until\n"
        "                               any button is pressed) or hold (while held)\n"
        "  gun:N                        the gun function over 1, 2 or 3 gun slots\n"
        "  default                      the button's factory function\n"
        "The function is stored in the profile in use and the key matrix is sent, as the window's\n"
        "Save does. The only button with the left click keeps it.\n")},
    {"macro", QStringLiteral(
        "Usage: kestrel-orbit-ctl macro list\n"
        "       kestrel-orbit-ctl macro show NAME\n"
        "       kestrel-orbit-ctl macro import FILE [NAME]\n"
        "       kestrel-orbit-ctl macro export NAME FILE\n"
        "\n"
        "The macros of the macro editor. 'show' prints the repeat count and one step a line\n"
        "(press KEY, release KEY, delay MS). 'import' adds a macro file (*.mc, as the editor\n"
        "exports them) under NAME, by default the file's name without its extension; an existing\n"
        "macro is never replaced.\n")},
    {"help", QStringLiteral("Usage: kestrel-orbit-ctl help [COMMAND]\n")},
};

} // namespace

// ---- Small conversions ----

std::optional<int> wholeNumber(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    return text.toInt();
}

QString usageLine(const QString &subcommand, const QString &message)
{
    QString text = QStringLiteral("%1: %2\n").arg(QLatin1String(programName), message);
    text += QStringLiteral("Try '%1 %2--help'.\n")
                .arg(QLatin1String(programName), subcommand.isEmpty() ? QString() : subcommand + QLatin1Char(' '));
    return text;
}

namespace {

std::optional<Words> splitWords(const QStringList &words, const QMap<QString, bool> &known, QString *error)
{
    Words out;
    for (int i = 0; i < words.size(); ++i) {
        const QString &w = words.at(i);
        if (w == QLatin1String("--")) {
            out.rest << words.mid(i + 1);
            break;
        }
        if (!w.startsWith(QLatin1String("--"))) {
            out.rest << w;
            continue;
        }
        QString name = w.mid(2);
        QString value;
        const int eq = name.indexOf(QLatin1Char('='));
        const bool inlineValue = eq >= 0;
        if (inlineValue) {
            value = name.mid(eq + 1);
            name = name.left(eq);
        }
        if (!known.contains(name)) {
            *error = QStringLiteral("unknown option '--%1'").arg(name);
            return std::nullopt;
        }
        if (known.value(name) && !inlineValue) {
            if (i + 1 >= words.size()) {
                *error = QStringLiteral("option '--%1' needs a value").arg(name);
                return std::nullopt;
            }
            value = words.at(++i);
        } else if (!known.value(name) && inlineValue) {
            *error = QStringLiteral("option '--%1' takes no value").arg(name);
            return std::nullopt;
        }
        out.options.append({name, value});
    }
    return out;
}


const QMap<QString, QList<Form>> &forms()
{
    static const QMap<QString, QList<Form>> table = {
        {"status", {{QString(), 0, 0, {{"json", false}}, {}, {}}}},
        {"devices", {{QString(), 0, 0, {{"json", false}}, {}, {}}}},
        {"profile", {{"list", 0, 0, {}, {}, {}},
                     {"use", 1, 1, {{"full", false}}, {}, {0}},
                     {"export", 2, 2, {}, {1}, {0}},
                     {"import", 2, 2, {}, {1}, {0}},
                     {"reset", 1, 1, {}, {}, {0}}}},
        {"dpi", {{QString(), 0, 0, {}, {}, {}},
                 {"set", 0, -1, {{"stages", true}}, {}, {}},
                 {"current", 1, 1, {}, {}, {0}}}},
        {"rate", {{QString(), 0, 0, {}, {}, {}}, {"set", 1, 1, {}, {}, {}}}},
        {"light", {{QString(), 0, 0, {}, {}, {}},
                   {"set", 0, 0, {{"effect", true}, {"speed", true}, {"brightness", true}, {"color", true}},
                    {}, {}}}},
        {"button", {{QString(), 0, 2, {}, {}, {0}}}},
        {"macro", {{"list", 0, 0, {}, {}, {}},
                   {"show", 1, 1, {}, {}, {}},
                   {"import", 1, 2, {}, {0}, {}},
                   {"export", 2, 2, {}, {1}, {}}}},
        {"rule", {{"list", 0, 0, {}, {}, {}},
                  {"add", 2, 2, {}, {}, {0}},
                  {"remove", 1, 1, {}, {}, {0}},
                  {"on", 0, 0, {}, {}, {}},
                  {"off", 0, 0, {}, {}, {}}}},
    };
    return table;
}

} // namespace

// ---- Form ----

QString subcommandOf(const QStringList &args)
{
    for (const QString &a : args) {
        if (!a.startsWith(QLatin1Char('-')))
            return forms().contains(a) ? a : QString();
    }
    return QString();
}

bool asksForHelp(const QStringList &args)
{
    if (!args.isEmpty() && args.first() == QLatin1String("help"))
        return true;
    return args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"));
}

QString helpText(const QString &subcommand)
{
    return kHelp.value(subcommand, kGeneralHelp);
}

std::optional<Line> parseLine(const QStringList &args, QString *error)
{
    if (args.isEmpty()) {
        *error = QStringLiteral("no command given");
        return std::nullopt;
    }
    Line line;
    line.sub = args.first();
    if (!forms().contains(line.sub)) {
        *error = QStringLiteral("unknown command '%1'").arg(line.sub);
        return std::nullopt;
    }
    const QList<Form> &candidates = forms()[line.sub];
    QStringList words = args.mid(1);
    for (const Form &f : candidates) {
        if (!f.action.isEmpty() && !words.isEmpty() && words.first() == f.action) {
            line.form = &f;
            words.removeFirst();
            break;
        }
    }
    for (const Form &f : candidates) {
        if (!line.form && f.action.isEmpty())
            line.form = &f;
    }
    if (!line.form) {
        *error = words.isEmpty() ? QStringLiteral("'%1' needs an action").arg(line.sub)
                                 : QStringLiteral("unknown action '%1 %2'").arg(line.sub, words.first());
        return std::nullopt;
    }
    line.action = line.form->action;
    const std::optional<Words> split = splitWords(words, line.form->options, error);
    if (!split)
        return std::nullopt;
    line.words = *split;
    const QStringList &rest = line.words.rest;
    if (rest.size() < line.form->minWords || (line.form->maxWords >= 0 && rest.size() > line.form->maxWords)) {
        *error = rest.size() < line.form->minWords ? QStringLiteral("too few arguments")
                                                   : QStringLiteral("too many arguments");
        return std::nullopt;
    }
    for (int at : line.form->numberWords) {
        if (at < rest.size() && !wholeNumber(rest.at(at))) {
            *error = QStringLiteral("'%1' is not a number").arg(rest.at(at));
            return std::nullopt;
        }
    }
    return line;
}

bool checkForm(const QStringList &args, const QString &workingDir, QStringList *normalised, QString *error)
{
    const std::optional<Line> line = parseLine(args, error);
    if (!line)
        return false;
    QStringList out{line->sub};
    if (!line->action.isEmpty())
        out << line->action;
    for (const auto &[name, value] : line->words.options) {
        if (line->form->options.value(name))
            out << QStringLiteral("--%1=%2").arg(name, value);
        else
            out << QLatin1String("--") + name;
    }
    // The program that carries the command out may run in another folder.
    out << QLatin1String("--");
    const QStringList &rest = line->words.rest;
    for (int i = 0; i < rest.size(); ++i) {
        const QString &w = rest.at(i);
        if (line->form->fileWords.contains(i) && !w.isEmpty())
            out << QDir::cleanPath(QDir(workingDir).absoluteFilePath(w));
        else
            out << w;
    }
    if (normalised)
        *normalised = out;
    return true;
}

} // namespace Ctl
