#include "CtlCommands.h"

#include "AppConfigStore.h"
#include "AppRuleStore.h"
#include "CtlContext.h"
#include "CtlForm.h"
#include "FileChooser.h"
#include "GunDataStore.h"
#include "Hid_Thread.h"
#include "LanguageStore.h"
#include "MacroStore.h"
#include "NameListStore.h"
#include "ProfileStore.h"
#include "UiScripts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSettings>

#include <optional>

namespace Ctl {

namespace {

// ---- The tool's own words for what the window shows as pictures and language texts ----
// Each list names the items of a table of keyAssign.js, position by position.

const QStringList kMouseNames = {"left", "middle", "right", "forward", "back", "double-fire"};
const QStringList kMediaNames = {"player", "next", "previous", "stop", "mute", "play-pause",
                                 "volume-up", "volume-down"};
const QStringList kSystemNames = {"computer", "home", "search", "maximize", "minimize", "desktop", "run"};
const QStringList kShortcutNames = {"new", "cut", "copy", "paste", "save", "print", "find", "redo",
                                    "undo", "select-all"};
const QStringList kDpiNames = {"up", "down", "loop", "sniper"};
const QStringList kGunNames = {"1", "2", "3"};
// The macro modes of the assignment page, in its order.
const QStringList kMacroModes = {"once", "loop", "hold"};
// The lighting effects by the index of their text in the "lightControl" language list.
const QMap<int, QString> kEffectNames = {
    {1, "static"},  {2, "breath"}, {3, "neon"},           {4, "off"},
    {8, "twinkling"}, {9, "wave"}, {10, "gliding"},       {11, "finger-moving"},
    {12, "vertical-flipping"}, {13, "yo-yo"}, {14, "spotlight"}, {15, "breath-loop"},
};
// Short names of the modifier keys, besides their labels.
const QMap<QString, QString> kModifierAliases = {
    {"ctrl", "LCtrl"}, {"control", "LCtrl"}, {"shift", "LShift"}, {"alt", "LAlt"},
    {"win", "LWin"},   {"super", "LWin"},    {"meta", "LWin"},
};

// The UI shows profiles 0 … 5; the tool counts them from 1, as their files are named.
constexpr int kProfiles = 6;
// The macro editor keeps at most this many macros.
constexpr int kMaxMacros = 100;
// Import files larger than this are not profiles or macros the program wrote.
constexpr qint64 kMaxImportBytes = 1 << 20;
// The fire function's rate in ms and its number of shots (0: as long as the button is held).
constexpr int kMaxFireRate = 255;
constexpr int kMaxFireTimes = 255;

bool hasOption(const Words &w, const char *name)
{
    return std::any_of(w.options.cbegin(), w.options.cend(),
                       [name](const auto &o) { return o.first == QLatin1String(name); });
}

// ---- Carrying a command out ----

class Runner
{
public:
    explicit Runner(CtlContext &context)
        : m_ctx(context), m_flags(context.modelFlags()), m_js(scriptsOf(context, m_ownJs))
    {
    }

    CtlOutput run(const QStringList &args);

private:
    using Codes = std::array<int, 4>;

    // Ends the command with a message on standard error.
    void fail(int exitCode, const QString &message)
    {
        m_out.err += QStringLiteral("%1: %2\n").arg(QLatin1String(programName), message);
        m_out.exitCode = exitCode;
    }
    void usage(const QString &message) { m_out.err += usageLine(m_sub, message); m_out.exitCode = Usage; }
    void note(const QString &message) { m_out.err += message + QLatin1Char('\n'); }
    void print(const QString &line) { m_out.out += line + QLatin1Char('\n'); }
    bool failed() const { return m_out.exitCode != Ok; }

    // The mouse, connected; false (with exit status 2) when none is usable.
    bool needMouse();
    // After the commands: exit status 3 when the mouse refused any.
    void checkMouseTook();

    // Store access as the window's pages do it.
    QVariant global(const QString &key) const;
    QVariant data(const QString &key, bool isRecovery = false) const;
    QVariantList dataList(const QString &key, bool isRecovery = false) const;
    int profileNo() const;
    QString language() const;
    QStringList langStrings(const QString &type) const;
    QVariantList profileEntries();
    QString profileName(int number);
    bool isListed(int number);

    // Pages: load from the profile in use, store and send (what init(true, false) does).
    void sendKeys();
    void sendRate();
    void sendDpi();
    void sendLight();
    void sendPointer();
    void loadAndSend();

    QList<Codes> matrix();
    QVariantList gunPeriods();
    void storeAndSendMatrix(const QList<Codes> &entries);
    void sendMacro(int slot, const QString &name);

    // The DPI block's own values stand where the configuration has none.
    struct DpiModel
    {
        int dpiCount = 0;
        int active = 1;
        int minDpi = 200, maxDpi = 6000, base = 50;
        QString sensor = QStringLiteral("3360");
        QList<int> values;
    };
    DpiModel dpiModel();
    void storeAndSendDpi(const DpiModel &m);

    struct LightModel
    {
        int effect = 0, speed = 0, brightness = 0;
        QVariantList colors; // 24 numbers
    };
    LightModel lightModel();
    QList<int> effectTexts();
    void storeAndSendLight(const LightModel &m);
    QString effectName(int position);

    QString keyLabel(int code);
    std::optional<int> keyCode(const QString &label);
    std::optional<Codes> parseFunction(const QString &text, int button, QString *error, QString *macroName);
    QString functionText(const Codes &c);
    QString hexColor(const QVariant &r, const QVariant &g, const QVariant &b);

    void status(bool json);
    void devices(bool json);
    void profile(const QString &action, const QStringList &words, bool full);
    void dpi(const QString &action, const Words &w);
    void rate(const QString &action, const QStringList &words);
    void light(const QString &action, const Words &w);
    void button(const QStringList &words);
    void macro(const QString &action, const QStringList &words);
    void rule(const QString &action, const QStringList &words);
    QString rulesSummary(AppRuleStore &rules);

    CtlContext &m_ctx;
    ModelFlags m_flags;
    // The context's engine where it keeps one (loading the libraries costs tens of ms), else our own.
    static UiScripts &scriptsOf(CtlContext &context, std::unique_ptr<UiScripts> &own)
    {
        if (UiScripts *shared = context.scripts())
            return *shared;
        own = std::make_unique<UiScripts>();
        return *own;
    }
    std::unique_ptr<UiScripts> m_ownJs;
    UiScripts &m_js;
    CtlOutput m_out;
    QString m_sub;
    Hid_Thread *m_hid = nullptr;
    int m_failedBefore = 0;
    CtlContext::Areas m_changed;
    int m_currentStage = 0;
};

QVariant Runner::global(const QString &key) const
{
    return m_ctx.appConfig().getGlobalData(key);
}

QVariant Runner::data(const QString &key, bool isRecovery) const
{
    return m_ctx.profiles().getData(key, isRecovery);
}

QVariantList Runner::dataList(const QString &key, bool isRecovery) const
{
    return m_ctx.profiles().getDataList(key, isRecovery);
}

int Runner::profileNo() const
{
    bool ok = false;
    const int n = global(QStringLiteral("mouse/profileNo")).toString().trimmed().toInt(&ok);
    return ok && n >= 0 && n < kProfiles ? n : 0;
}

QString Runner::language() const
{
    const QString l = global(QStringLiteral("common/language")).toString();
    return l.isEmpty() ? QStringLiteral("English") : l;
}

QStringList Runner::langStrings(const QString &type) const
{
    return LanguageStore(m_ctx.modulesDir()).getLangStrings(type, language());
}

QVariantList Runner::profileEntries()
{
    const QStringList lang = langStrings(QStringLiteral("profile"));
    const QString standard = lang.size() > 5 ? lang.at(5) : QStringLiteral("Standard");
    return m_js.call(QStringLiteral("ProfileList"), QStringLiteral("parse"),
                     NameListStore(m_ctx.modulesDir()).getNameList(2), standard).toList();
}

QString Runner::profileName(int number)
{
    for (const QVariant &e : profileEntries()) {
        const QVariantMap m = e.toMap();
        if (m.value(QStringLiteral("profileNo")).toInt() == number)
            return m.value(QStringLiteral("textValue")).toString();
    }
    return QString();
}

bool Runner::isListed(int number)
{
    return m_js.call(QStringLiteral("ProfileList"), QStringLiteral("indexOfNumber"),
                     profileEntries(), number).toInt() >= 0;
}

bool Runner::needMouse()
{
    if (m_hid)
        return true;
    QString why;
    m_hid = m_ctx.mouse(&why);
    if (!m_hid) {
        fail(NoMouse, why.isEmpty() ? QStringLiteral("no mouse is usable") : why);
        return false;
    }
    m_failedBefore = m_hid->failedCommandCount();
    return true;
}

void Runner::checkMouseTook()
{
    if (!m_hid || failed())
        return;
    const int refused = m_hid->failedCommandCount() - m_failedBefore;
    if (refused > 0)
        fail(MouseRefused, QStringLiteral("the mouse did not accept %1 command%2; the profile holds the new values")
                               .arg(refused).arg(refused == 1 ? "" : "s"));
}

// ---- Pages ----

QList<Runner::Codes> Runner::matrix()
{
    // As the button list loads: the profile's entry, else the factory one, else the built-in one.
    const QVariantList builtIn = m_js.value(QStringLiteral("KeyAssign"), QStringLiteral("builtInMatrix")).toList();
    QList<Codes> out;
    for (int j = 0; j < 16; ++j) {
        const QString key = QStringLiteral("mouseKeyMatrix/%1").arg(j);
        const QVariant factory = m_js.call(QStringLiteral("KeyAssign"), QStringLiteral("toCodes"),
                                           dataList(key, true), builtIn.value(j));
        const QVariantList current = m_js.call(QStringLiteral("KeyAssign"), QStringLiteral("toCodes"),
                                               dataList(key, false), factory).toList();
        Codes c{};
        for (int i = 0; i < 4; ++i)
            c[std::size_t(i)] = current.value(i).toInt();
        out << c;
    }
    return out;
}

QVariantList Runner::gunPeriods()
{
    // The gun page's slots hold list positions of its guns; a gun's period is the third value of
    // its record, 10 while the record is missing.
    const GunDataStore guns(m_ctx.modulesDir());
    const int count = qMax(1, int(guns.getGunDataKey().size()));
    const QVariant stored = global(QStringLiteral("mouse/selectGun"));
    const QVariantList slotted = stored.typeId() == QMetaType::QStringList || stored.typeId() == QMetaType::QVariantList
                                   ? stored.toList()
                                   : QVariantList();
    QVariantList periods;
    for (int s = 0; s < 3; ++s) {
        const int g = m_js.call(QStringLiteral("GunMath"), QStringLiteral("toInt"),
                                slotted.value(s), 0, count - 1, 0).toInt();
        const QVariantList record = guns.getGunData(QString::number(g));
        periods << (record.size() >= 6 ? record.at(2) : QVariant(QStringLiteral("10")));
    }
    const QJSValue periodOf = m_js.engine().evaluate(QStringLiteral("(function (p) { return function (s) { return p[s - 1] } })"))
                                  .call({m_js.toScript(periods)});
    return m_js.call(QStringLiteral("KeyAssign"), QStringLiteral("gunPeriods"),
                     QVariant::fromValue(periodOf), QVariantList{1, 2, 3}).toList();
}

void Runner::storeAndSendMatrix(const QList<Codes> &entries)
{
    QVariantList values;
    for (const Codes &c : entries)
        values << c[0] << c[1] << c[2] << c[3];
    MouseCommands(m_hid, m_flags, m_ctx.profileBlocks()).setKeyMatrix(m_ctx.profiles(), values, true, gunPeriods());
}

void Runner::sendKeys()
{
    storeAndSendMatrix(matrix());
}

void Runner::sendRate()
{
    const int index = m_js.call(QStringLiteral("WindowMath"), QStringLiteral("toInt"),
                                data(QStringLiteral("mouse/reportRate")), 3).toInt();
    const int value = m_js.call(QStringLiteral("PerfMath"), QStringLiteral("reportRateValue"), index).toInt();
    MouseCommands(m_hid, m_flags, m_ctx.profileBlocks()).setReportRate(uchar(value));
}

Runner::DpiModel Runner::dpiModel()
{
    auto whole = [this](const QVariant &v, int fallback) {
        return m_js.call(QStringLiteral("PerfMath"), QStringLiteral("whole"), v, fallback).toInt();
    };
    DpiModel m;
    m.dpiCount = whole(data(QStringLiteral("mouse/dpiCount")), 0);
    m.active = whole(data(QStringLiteral("mouse/currentDpiCount")), 1);
    m.minDpi = whole(global(QStringLiteral("mouse/minDPI")), m.minDpi);
    m.maxDpi = whole(global(QStringLiteral("mouse/maxDPI")), m.maxDpi);
    m.base = whole(global(QStringLiteral("mouse/dpiBase")), m.base);
    const QVariant sensor = global(QStringLiteral("mouse/sensorType"));
    if (sensor.isValid())
        m.sensor = sensor.toString();
    const QVariantList stored = dataList(QStringLiteral("mouse/dpiValueArray"));
    for (int k = 0; k < 8; ++k)
        m.values << whole(stored.value(k), m.minDpi);
    m.active = qBound(1, m.active, qMax(1, m.dpiCount));
    return m;
}

void Runner::storeAndSendDpi(const DpiModel &m)
{
    QVariantList values;
    for (int v : m.values)
        values << v;
    m_ctx.profiles().setDataList(QStringLiteral("mouse/dpiValueArray"), values);
    m_ctx.profiles().setData(QStringLiteral("mouse/currentDpiCount"), m.active);
    MouseCommands(m_hid, m_flags, m_ctx.profileBlocks()).setDpi(m.active, m.sensor, values);
}

void Runner::sendDpi()
{
    const DpiModel m = dpiModel();
    // A model with no stages, or more than the DPI block shows, is left as it is.
    if (m.dpiCount < 1 || m.dpiCount > 8)
        return;
    storeAndSendDpi(m);
}

QList<int> Runner::effectTexts()
{
    QList<int> out;
    for (const QVariant &v : m_js.call(QStringLiteral("LightRules"), QStringLiteral("effectTexts"),
                                       m_flags.isColorful, m_flags.is55328).toList())
        out << v.toInt();
    return out;
}

QString Runner::effectName(int position)
{
    const QList<int> texts = effectTexts();
    return position >= 0 && position < texts.size() ? kEffectNames.value(texts.at(position), QString::number(position))
                                                    : QString::number(position);
}

QString Runner::hexColor(const QVariant &r, const QVariant &g, const QVariant &b)
{
    return m_js.call(QStringLiteral("ColorMath"), QStringLiteral("hex"), r, g, b).toString();
}

Runner::LightModel Runner::lightModel()
{
    auto whole = [this](const QVariant &v, int fallback) {
        return m_js.call(QStringLiteral("PerfMath"), QStringLiteral("whole"), v, fallback).toInt();
    };
    const int lastStep = m_js.value(QStringLiteral("LightRules"), QStringLiteral("speedStops")).toInt() - 1;
    auto step = [&](const QVariant &v) {
        return m_js.call(QStringLiteral("SliderMath"), QStringLiteral("clampIndex"), whole(v, 0), lastStep).toInt();
    };
    LightModel m;
    const QVariantList light = dataList(QStringLiteral("mouse/lightValue"));
    m.effect = whole(light.value(0), 0);
    m.speed = step(light.value(1));
    m.brightness = step(light.value(2));
    // The page keeps each colour as its text and takes the numbers back from it.
    const QVariantList stored = dataList(QStringLiteral("mouse/colorValue"));
    for (int k = 0; k < 8; ++k) {
        const QString color = stored.size() >= 3 * k + 3
                                  ? hexColor(stored.at(3 * k), stored.at(3 * k + 1), stored.at(3 * k + 2))
                                  : QStringLiteral("#000000");
        m.colors << m_js.call(QStringLiteral("ColorMath"), QStringLiteral("channels"), color).toList();
    }
    return m;
}

void Runner::storeAndSendLight(const LightModel &m)
{
    const QVariantList light{m.effect, m.speed, m.brightness};
    const QVariantList rgb = m_js.call(QStringLiteral("LightRules"), QStringLiteral("colorsToSave"),
                                       m.colors, m.effect, m_flags.is55328).toList();
    m_ctx.profiles().setDataList(QStringLiteral("mouse/lightValue"), light);
    m_ctx.profiles().setDataList(QStringLiteral("mouse/colorValue"), rgb);
    MouseCommands mouse(m_hid, m_flags, m_ctx.profileBlocks());
    mouse.setRgbEffect(uchar(m.effect), uchar(m.speed), uchar(m.brightness));
    mouse.setRgbColor(m_flags.isColorful ? 0 : 1, rgb);
}

void Runner::sendLight()
{
    storeAndSendLight(lightModel());
}

void Runner::sendPointer()
{
    auto whole = [this](const QVariant &v, int fallback) {
        return m_js.call(QStringLiteral("PerfMath"), QStringLiteral("whole"), v, fallback).toInt();
    };
    const int width = m_js.value(QStringLiteral("PerfMath"), QStringLiteral("pointerSliderWidth")).toInt();
    auto position = [&](const QString &key) {
        // The page keeps its knob where it was when the profile has no value; it starts at the left.
        return m_js.call(QStringLiteral("SliderMath"), QStringLiteral("clamp"), whole(data(key), 0), width).toInt();
    };
    const int mouseRate = position(QStringLiteral("mouse/mouseRate"));
    const int doubleRate = position(QStringLiteral("mouse/doubleRate"));
    const int lines = whole(data(QStringLiteral("mouse/scrollRate")), 1);
    const int stored = lines > 100 ? m_js.value(QStringLiteral("PerfMath"), QStringLiteral("oneScreen")).toInt()
                                   : m_js.call(QStringLiteral("PerfMath"), QStringLiteral("wheelLines"), QString::number(lines)).toInt();
    m_ctx.profiles().setData(QStringLiteral("mouse/mouseRate"), mouseRate);
    m_ctx.profiles().setData(QStringLiteral("mouse/doubleRate"), doubleRate);
    m_ctx.profiles().setData(QStringLiteral("mouse/scrollRate"), stored);
    PointerValues values;
    values.cursorSpeedIndex = m_js.call(QStringLiteral("PerfMath"), QStringLiteral("speedIndex"), mouseRate).toUInt();
    values.doubleClickIndex = m_js.call(QStringLiteral("PerfMath"), QStringLiteral("speedIndex"), doubleRate).toUInt();
    values.wheelLines = uint(stored);
    m_ctx.applyPointerSettings(values);
}

// The window's profile switch after the choice is stored: every page loads the profile and sends it.
void Runner::loadAndSend()
{
    sendKeys();
    sendRate();
    sendDpi();
    sendLight();
    sendPointer();
    if (m_flags.isGun) {
        MouseCommands mouse(m_hid, m_flags, m_ctx.profileBlocks());
        mouse.switchKeyMatrix(1);
        mouse.resetKeyMatrix(m_ctx.profiles());
    }
    m_changed |= CtlContext::Area::Profile | CtlContext::Area::Keys | CtlContext::Area::Rate
                 | CtlContext::Area::Dpi | CtlContext::Area::Light | CtlContext::Area::System;
}

// ---- Keys ----

QString Runner::keyLabel(int code)
{
    return m_js.call(QStringLiteral("KeyCodes"), QStringLiteral("keycodeTostr"),
                     m_js.keyLabels(), m_js.call(QStringLiteral("KeyCodes"), QStringLiteral("codes")), code)
        .toString();
}

std::optional<int> Runner::keyCode(const QString &label)
{
    const QStringList labels = m_js.keyLabels();
    QString wanted = kModifierAliases.value(label.toLower(), label);
    if (!labels.contains(wanted)) {
        // Letters and names in any case: "a", "f5", "enter".
        for (const QString &l : labels) {
            if (l.compare(wanted, Qt::CaseInsensitive) == 0) {
                wanted = l;
                break;
            }
        }
    }
    if (!labels.contains(wanted))
        return std::nullopt;
    return m_js.call(QStringLiteral("KeyCodes"), QStringLiteral("strTokeycode"),
                     labels, m_js.call(QStringLiteral("KeyCodes"), QStringLiteral("codes")), wanted)
        .toInt();
}

std::optional<Runner::Codes> Runner::parseFunction(const QString &text, int button, QString *error,
                                                   QString *macroName)
{
    auto codesOf = [this](const QString &table, int index) {
        const QVariantList items = m_js.value(QStringLiteral("KeyAssign"), table).toList();
        const QVariantList c = m_js.call(QStringLiteral("KeyAssign"), QStringLiteral("splitCode"),
                                         items.value(index).toMap().value(QStringLiteral("code"))).toList();
        return Codes{c.value(0).toInt(), c.value(1).toInt(), c.value(2).toInt(), c.value(3).toInt()};
    };
    auto fromTable = [&](const QStringList &names, const QString &table, const QString &name,
                         const QString &what) -> std::optional<Codes> {
        const int i = names.indexOf(name.toLower());
        if (i < 0) {
            *error = QStringLiteral("unknown %1 '%2' (one of: %3)").arg(what, name, names.join(QLatin1String(", ")));
            return std::nullopt;
        }
        return codesOf(table, i);
    };
    // Keys of the keyboard only: the mouse's own buttons have their own functions.
    auto keyboardKey = [&](const QString &label) -> std::optional<int> {
        const std::optional<int> code = keyCode(label);
        if (!code) {
            *error = QStringLiteral("unknown key '%1'").arg(label);
            return std::nullopt;
        }
        if (*code >= m_js.value(QStringLiteral("KeyCodes"), QStringLiteral("mouseLeft")).toInt()) {
            *error = QStringLiteral("'%1' is a mouse button, not a key").arg(label);
            return std::nullopt;
        }
        return code;
    };

    const int colon = text.indexOf(QLatin1Char(':'));
    const QString kind = (colon < 0 ? text : text.left(colon)).toLower();
    const QString arg = colon < 0 ? QString() : text.mid(colon + 1);
    if (colon < 0 && kMouseNames.contains(kind))
        return codesOf(QStringLiteral("mouseItems"), kMouseNames.indexOf(kind));
    if (colon < 0 && kind == QLatin1String("default")) {
        const QVariantList builtIn = m_js.value(QStringLiteral("KeyAssign"), QStringLiteral("builtInMatrix")).toList();
        const QVariantList c = m_js.call(QStringLiteral("KeyAssign"), QStringLiteral("toCodes"),
                                         dataList(QStringLiteral("mouseKeyMatrix/%1").arg(button), true),
                                          builtIn.value(button)).toList();
        const Codes codes{c.value(0).toInt(), c.value(1).toInt(), c.value(2).toInt(), c.value(3).toInt()};
        if (codes[0] == m_js.value(QStringLiteral("KeyAssign"), QStringLiteral("Macro")).toInt())
            *macroName = data(QStringLiteral("mouseMacroKey/%1").arg(codes[2])).toString();
        return codes;
    }
    if (kind == QLatin1String("key") || kind == QLatin1String("combo")) {
        const QStringList parts = kind == QLatin1String("key") ? QStringList{arg} : arg.split(QLatin1Char('+'));
        QVariant combo = m_js.call(QStringLiteral("KeyAssign"), QStringLiteral("comboStart"));
        int keys = 0;
        for (const QString &part : parts) {
            const std::optional<int> code = keyboardKey(part.trimmed());
            if (!code)
                return std::nullopt;
            if (!m_js.call(QStringLiteral("KeyAssign"), QStringLiteral("isModifier"), *code).toBool() && ++keys > 2) {
                *error = QStringLiteral("a combination holds at most two keys besides the modifiers");
                return std::nullopt;
            }
            combo = m_js.call(QStringLiteral("KeyAssign"), QStringLiteral("comboAdd"), combo, *code, keyLabel(*code));
        }
        const QVariantList c = m_js.call(QStringLiteral("KeyAssign"), QStringLiteral("comboCodes"), combo).toList();
        if (c.size() != 4) {
            *error = QStringLiteral("no key given");
            return std::nullopt;
        }
        return Codes{c.value(0).toInt(), c.value(1).toInt(), c.value(2).toInt(), c.value(3).toInt()};
    }
    if (kind == QLatin1String("fire")) {
        const QStringList parts = arg.split(QLatin1Char(':'));
        if (parts.size() > 3) {
            *error = QStringLiteral("fire takes KEY[:RATE[:TIMES]]");
            return std::nullopt;
        }
        const std::optional<int> code = keyboardKey(parts.value(0));
        if (!code)
            return std::nullopt;
        const int defaultRate = m_js.value(QStringLiteral("KeyAssign"), QStringLiteral("defaultRate")).toInt();
        const std::optional<int> rate = parts.size() > 1 ? wholeNumber(parts.at(1)) : std::optional<int>(defaultRate);
        const std::optional<int> times = parts.size() > 2 ? wholeNumber(parts.at(2)) : std::optional<int>(0);
        if (!rate || *rate < 1 || *rate > kMaxFireRate) {
            *error = QStringLiteral("the fire rate is 1 to %1 ms").arg(kMaxFireRate);
            return std::nullopt;
        }
        if (!times || *times > kMaxFireTimes) {
            *error = QStringLiteral("the fire times are 0 to %1").arg(kMaxFireTimes);
            return std::nullopt;
        }
        return Codes{m_js.value(QStringLiteral("KeyAssign"), QStringLiteral("Fire")).toInt(), *code, *rate, *times};
    }
    if (kind == QLatin1String("media"))
        return fromTable(kMediaNames, QStringLiteral("mediaItems"), arg, QStringLiteral("media function"));
    if (kind == QLatin1String("system"))
        return fromTable(kSystemNames, QStringLiteral("systemItems"), arg, QStringLiteral("system function"));
    if (kind == QLatin1String("shortcut"))
        return fromTable(kShortcutNames, QStringLiteral("shortcutItems"), arg, QStringLiteral("shortcut"));
    if (kind == QLatin1String("dpi"))
        return fromTable(kDpiNames, QStringLiteral("dpiItems"), arg, QStringLiteral("DPI function"));
    if (kind == QLatin1String("gun")) {
        if (!m_flags.isGun) {
            *error = QStringLiteral("this model has no gun functions");
            return std::nullopt;
        }
        return fromTable(kGunNames, QStringLiteral("gunItems"), arg, QStringLiteral("gun function"));
    }
    if (kind == QLatin1String("macro")) {
        const int modeAt = arg.lastIndexOf(QLatin1Char(':'));
        QString name = arg;
        int mode = 0;
        if (modeAt >= 0 && kMacroModes.contains(arg.mid(modeAt + 1).toLower())) {
            mode = kMacroModes.indexOf(arg.mid(modeAt + 1).toLower());
            name = arg.left(modeAt);
        }
        if (!MacroStore::isValidName(name) || !QFile::exists(MacroStore(m_ctx.modulesDir()).macroFilePath(name))) {
            *error = QStringLiteral("there is no macro '%1' ('macro list' shows them)").arg(name);
            return std::nullopt;
        }
        *macroName = name;
        // The assignment page gives a macro the slot of the button it is assigned to.
        return Codes{m_js.value(QStringLiteral("KeyAssign"), QStringLiteral("Macro")).toInt(), mode, button, 0};
    }
    *error = QStringLiteral("unknown function '%1' ('button --help' lists them)").arg(text);
    return std::nullopt;
}

QString Runner::functionText(const Codes &c)
{
    auto named = [&](const QStringList &names, const QString &table, const QString &prefix) {
        const QVariantList items = m_js.value(QStringLiteral("KeyAssign"), table).toList();
        const int i = m_js.call(QStringLiteral("KeyAssign"), QStringLiteral("itemOfPair"), items, c[2], c[3]).toInt();
        return i >= 0 && i < names.size() ? prefix + names.at(i) : QString();
    };
    const QVariantList mouseItems = m_js.value(QStringLiteral("KeyAssign"), QStringLiteral("mouseItems")).toList();
    QString text;
    switch (c[0]) {
    case 0x00:
        for (int i = 0; i < mouseItems.size() && i < kMouseNames.size(); ++i) {
            const QVariantList item = m_js.call(QStringLiteral("KeyAssign"), QStringLiteral("splitCode"),
                                                mouseItems.at(i).toMap().value(QStringLiteral("code"))).toList();
            if (item == QVariantList{c[0], c[1], c[2], c[3]})
                text = kMouseNames.at(i);
        }
        break;
    case 0x01:
        text = QStringLiteral("fire:%1:%2:%3").arg(keyLabel(c[1])).arg(c[2]).arg(c[3]);
        break;
    case 0x02: {
        QStringList parts;
        for (int bit = 0; bit < 8; ++bit) {
            if (c[1] & (1 << bit))
                parts << keyLabel(0xE0 + bit);
        }
        for (int i : {2, 3}) {
            if (c[std::size_t(i)] != 0)
                parts << keyLabel(c[std::size_t(i)]);
        }
        text = (c[1] == 0 && c[3] == 0 ? QStringLiteral("key:") : QStringLiteral("combo:")) + parts.join(QLatin1Char('+'));
        break;
    }
    case 0x03:
        text = named(kMediaNames, QStringLiteral("mediaItems"), QStringLiteral("media:"));
        break;
    case 0x04:
        text = QStringLiteral("macro:%1:%2")
                   .arg(data(QStringLiteral("mouseMacroKey/%1").arg(c[2])).toString(), kMacroModes.value(c[1], QStringLiteral("once")));
        break;
    case 0x05:
        text = c[2] >= 1 && c[2] <= kDpiNames.size() ? QStringLiteral("dpi:") + kDpiNames.at(c[2] - 1) : QString();
        break;
    case 0x06:
        text = named(kSystemNames, QStringLiteral("systemItems"), QStringLiteral("system:"));
        break;
    case 0x07:
        text = named(kShortcutNames, QStringLiteral("shortcutItems"), QStringLiteral("shortcut:"));
        break;
    case 0x08:
        text = c[2] >= 1 && c[2] <= 3 ? QStringLiteral("gun:%1").arg(c[2]) : QString();
        break;
    case 0xFF:
        text = QStringLiteral("fixed");
        break;
    default:
        break;
    }
    if (text.isEmpty())
        text = QStringLiteral("other");
    return text + QStringLiteral(" (%1)").arg(
        m_js.call(QStringLiteral("KeyAssign"), QStringLiteral("joinCode"), QVariantList{c[0], c[1], c[2], c[3]}).toString());
}

void Runner::sendMacro(int slot, const QString &name)
{
    // As the macro editor sends it: the stored steps, encoded with the key labels of the language
    // the macro was recorded in.
    QStringList labels = langStrings(QStringLiteral("keyCode"));
    if (labels.isEmpty())
        labels = m_js.keyLabels();
    const QVariantMap stored = m_js.call(QStringLiteral("MacroCodec"), QStringLiteral("fromStored"),
                                         MacroStore(m_ctx.modulesDir()).loadMacroIni(name)).toMap();
    const QVariantList bytes = m_js.call(QStringLiteral("MacroCodec"), QStringLiteral("encodeForMouse"),
                                         stored.value(QStringLiteral("actions")), stored.value(QStringLiteral("repeat")),
                                          labels, m_js.call(QStringLiteral("KeyCodes"), QStringLiteral("codes"))).toList();
    MouseCommands(m_hid, m_flags, m_ctx.profileBlocks()).sendMacroData(bytes, slot);
}

// ---- Subcommands ----

void Runner::status(bool json)
{
    QString why;
    m_hid = m_ctx.mouse(&why);
    if (m_hid)
        m_failedBefore = m_hid->failedCommandCount();
    const DpiModel dpi = dpiModel();
    const LightModel light = lightModel();
    const int rateIndex = m_js.call(QStringLiteral("WindowMath"), QStringLiteral("toInt"),
                                    data(QStringLiteral("mouse/reportRate")), 3).toInt();
    const int hz = 1000 / qMax(1, m_js.call(QStringLiteral("PerfMath"), QStringLiteral("reportRateValue"), rateIndex).toInt());
    const int current = m_hid ? MouseCommands(m_hid, m_flags, m_ctx.profileBlocks()).currentDpi() : 0;
    const DeviceEntry entry = m_hid ? m_ctx.connectedEntry() : DeviceEntry();
    const int number = profileNo();
    QStringList colors;
    for (int k = 0; k < 8; ++k)
        colors << hexColor(light.colors.value(3 * k), light.colors.value(3 * k + 1), light.colors.value(3 * k + 2));
    QList<int> active = dpi.values.mid(0, dpi.active);
    const QString family = m_flags.is560() ? QStringLiteral("560") : QStringLiteral("553");
    const QString ids = QStringLiteral("%1:%2").arg(entry.vid, 4, 16, QLatin1Char('0')).arg(entry.pid, 4, 16, QLatin1Char('0'));

    const QString model = global(QStringLiteral("common/name")).toString();
    AppRuleStore rules(m_ctx.appConfig());
    if (json) {
        QJsonObject mouse{{"model", model}, {"connected", m_hid != nullptr}, {"family", family},
                          {"gun", m_flags.isGun}, {"colorful", m_flags.isColorful}};
        if (m_hid) {
            mouse.insert(QStringLiteral("id"), ids);
            mouse.insert(QStringLiteral("reportLength"), entry.reportLength);
        } else {
            mouse.insert(QStringLiteral("reason"), why);
        }
        QJsonArray stages;
        for (int v : active)
            stages.append(v);
        QJsonObject dpiObject{{"active", dpi.active}, {"stages", stages}};
        if (m_hid)
            dpiObject.insert(QStringLiteral("current"), current);
        const QJsonObject root{
            {"mouse", mouse},
            {"profile", QJsonObject{{"number", number + 1}, {"name", profileName(number)}}},
            {"dpi", dpiObject},
            {"reportRate", hz},
            {"rules", rulesSummary(rules)},
            {"light", QJsonObject{{"effect", effectName(light.effect)}, {"speed", light.speed},
                                  {"brightness", light.brightness}, {"colors", QJsonArray::fromStringList(colors)}}},
        };
        m_out.out += QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
    } else {
        QStringList features{QStringLiteral("family %1").arg(family)};
        if (m_flags.isGun)
            features << QStringLiteral("gun functions");
        if (m_flags.isColorful)
            features << QStringLiteral("colour lighting");
        print(QStringLiteral("model: %1 (%2)").arg(model, features.join(QLatin1String(", "))));
        if (m_hid)
            print(QStringLiteral("mouse: connected, %1, report length %2").arg(ids).arg(entry.reportLength));
        else
            print(QStringLiteral("mouse: not connected (%1)").arg(why));
        print(QStringLiteral("profile: %1 %2").arg(number + 1).arg(profileName(number)));
        if (m_hid)
            print(QStringLiteral("dpi stage: %1 of %2").arg(current).arg(dpi.active));
        QStringList values;
        for (int v : active)
            values << QString::number(v);
        print(QStringLiteral("dpi stages: %1").arg(values.join(QLatin1Char(' '))));
        print(QStringLiteral("report rate: %1 Hz").arg(hz));
        print(QStringLiteral("lighting: %1, speed %2, brightness %3").arg(effectName(light.effect)).arg(light.speed).arg(light.brightness));
        print(QStringLiteral("colours: %1").arg(colors.join(QLatin1Char(' '))));
        print(QStringLiteral("application rules: %1").arg(rulesSummary(rules)));
    }
    if (!m_hid)
        m_out.exitCode = NoMouse;
}

QString stateText(DeviceRow::State state)
{
    switch (state) {
    case DeviceRow::State::Connected: return QStringLiteral("connected");
    case DeviceRow::State::Usable: return QStringLiteral("usable");
    case DeviceRow::State::NotAttached: return QStringLiteral("not attached");
    case DeviceRow::State::NoCommandPath: return QStringLiteral("no command interface");
    case DeviceRow::State::PermissionDenied: return QStringLiteral("permission denied");
    case DeviceRow::State::NoAnswer: return QStringLiteral("no answer");
    case DeviceRow::State::NotChecked: return QStringLiteral("not checked");
    }
    return QString();
}

void Runner::devices(bool json)
{
    const QList<DeviceRow> rows = m_ctx.devices();
    bool usable = false;
    QJsonArray array;
    for (int i = 0; i < rows.size(); ++i) {
        const DeviceRow &r = rows.at(i);
        const DeviceEntry &e = r.entry;
        usable = usable || r.state == DeviceRow::State::Connected || r.state == DeviceRow::State::Usable;
        const QString type = e.type == 0 ? QStringLiteral("keyboard") : e.type == 1 ? QStringLiteral("mouse")
                                                                                     : QStringLiteral("type %1").arg(e.type);
        auto hex4 = [](quint16 v) { return QStringLiteral("%1").arg(v, 4, 16, QLatin1Char('0')); };
        if (json) {
            QJsonObject o{{"index", i}, {"type", type}, {"vid", hex4(e.vid)}, {"pid", hex4(e.pid)},
                          {"commandInterface", hex4(e.usagePage) + QLatin1Char(':') + hex4(e.usage)},
                          {"eventInterface", hex4(e.usagePage2) + QLatin1Char(':') + hex4(e.usage2)},
                          {"commandPath", e.commandPath}, {"eventPath", e.eventPath},
                          {"reportLength", e.reportLength}, {"state", stateText(r.state)}};
            if (!r.reason.isEmpty())
                o.insert(QStringLiteral("reason"), r.reason);
            array.append(o);
            continue;
        }
        QString line = QStringLiteral("%1  %2  %3:%4  %5").arg(i).arg(type, hex4(e.vid), hex4(e.pid), stateText(r.state));
        if (!e.commandPath.isEmpty())
            line += QStringLiteral("  command %1 (%2:%3)").arg(e.commandPath, hex4(e.usagePage), hex4(e.usage));
        if (!e.eventPath.isEmpty())
            line += QStringLiteral("  event %1 (%2:%3)").arg(e.eventPath, hex4(e.usagePage2), hex4(e.usage2));
        line += QStringLiteral("  report length %1").arg(e.reportLength);
        print(line);
        if (!r.reason.isEmpty())
            print(QStringLiteral("   ") + r.reason);
    }
    if (json)
        m_out.out += QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
    if (rows.isEmpty())
        note(QStringLiteral("the device table is empty"));
    if (!usable)
        m_out.exitCode = NoMouse;
}

// A file given to import: there, readable, of a sensible size, and an INI file that holds
// `group`.
bool checkImportFile(const QString &path, const QString &group, const QString &what, QString *error)
{
    const QFileInfo info(path);
    QFile file(path);
    if (!info.exists()) {
        *error = QStringLiteral("%1: no such file").arg(path);
        return false;
    }
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: cannot be read").arg(path);
        return false;
    }
    if (info.size() > kMaxImportBytes) {
        *error = QStringLiteral("%1: too large for a %2 file").arg(path, what);
        return false;
    }
    const QSettings settings(path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError || !settings.childGroups().contains(group)) {
        *error = QStringLiteral("%1: not a %2 file").arg(path, what);
        return false;
    }
    return true;
}

// A file can be written at `path`: its folder exists and takes files.
bool checkExportPath(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        *error = QStringLiteral("%1 is a folder").arg(path);
        return false;
    }
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir() || !folder.isWritable()) {
        *error = QStringLiteral("%1: the folder does not exist or cannot be written").arg(path);
        return false;
    }
    if (info.exists() && !info.isWritable()) {
        *error = QStringLiteral("%1 cannot be written").arg(path);
        return false;
    }
    return true;
}

bool sameBytes(const QString &a, const QString &b)
{
    QFile fa(a), fb(b);
    return fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly) && fa.readAll() == fb.readAll();
}

void Runner::profile(const QString &action, const QStringList &words, bool full)
{
    if (action == QLatin1String("list")) {
        const int inUse = profileNo();
        for (const QVariant &e : profileEntries()) {
            const QVariantMap m = e.toMap();
            const int no = m.value(QStringLiteral("profileNo")).toInt();
            print(QStringLiteral("%1  %2%3").arg(no + 1).arg(m.value(QStringLiteral("textValue")).toString(),
                                                       no == inUse ? QStringLiteral("  (in use)") : QString()));
        }
        return;
    }
    const int n = wholeNumber(words.value(0)).value_or(0);
    if (n < 1 || n > kProfiles)
        return usage(QStringLiteral("profiles are numbered 1 to %1").arg(kProfiles));
    const int number = n - 1;
    ProfileStore &profiles = m_ctx.profiles();
    const bool inUse = number == profileNo();
    QString error;

    if (action == QLatin1String("export")) {
        const QString file = words.value(1);
        if (!QFile::exists(profiles.profileFilePath(number)))
            return fail(Usage, QStringLiteral("profile %1 has no file yet").arg(n));
        if (!checkExportPath(file, &error))
            return fail(Usage, error);
        FixedFileChooser chooser(file);
        profiles.saveProfile(number, chooser);
        if (!sameBytes(profiles.profileFilePath(number), file))
            return fail(Usage, QStringLiteral("%1 could not be written").arg(file));
        note(QStringLiteral("profile %1 exported to %2").arg(n).arg(file));
        return;
    }
    if (action == QLatin1String("use")) {
        if (!isListed(number))
            return usage(QStringLiteral("profile %1 is not in the profile list ('profile list' shows it)").arg(n));
        if (inUse && !full) {
            note(QStringLiteral("profile %1 is already in use").arg(n));
            return;
        }
        if (!needMouse())
            return;
        m_ctx.appConfig().setGlobalData(QStringLiteral("mouse/profileNo"), number);
        profiles.setCurrentProfile(number);
        // --full: the mouse may hold something else than this connection told it.
        const bool fullBefore = m_hid->setFullWrites(full);
        loadAndSend();
        m_hid->setFullWrites(fullBefore);
        note(QStringLiteral("profile %1 in use").arg(n));
        return;
    }
    // import and reset replace the file whole.
    if (action == QLatin1String("import") && !checkImportFile(words.value(1), QStringLiteral("mouse"), QStringLiteral("profile"), &error))
        return fail(Usage, error);
    if (inUse && !needMouse())
        return;
    if (action == QLatin1String("import")) {
        FixedFileChooser chooser(words.value(1));
        if (!profiles.loadProfile(number, chooser))
            return fail(Usage, QStringLiteral("%1 could not be copied into profile %2").arg(words.value(1)).arg(n));
    } else {
        if (!QFile::exists(profiles.factoryFilePath()))
            return fail(Usage, QStringLiteral("the factory profile %1 is missing").arg(profiles.factoryFilePath()));
        profiles.resetProfile(number);
    }
    if (!isListed(number)) {
        // As the profile page adds a new or imported profile: under the first free name.
        QVariantList entries = profileEntries();
        const QString name = m_js.call(QStringLiteral("ProfileList"), QStringLiteral("firstFreeName"), entries).toString();
        entries << QVariantMap{{QStringLiteral("textValue"), name}, {QStringLiteral("profileNo"), number}};
        NameListStore(m_ctx.modulesDir())
            .updataNameList(2, m_js.call(QStringLiteral("ProfileList"), QStringLiteral("toStored"), entries).toStringList());
        note(QStringLiteral("profile %1 added to the profile list as %2").arg(n).arg(name));
    }
    m_changed |= CtlContext::Area::Profile;
    if (inUse)
        loadAndSend();
    note(QStringLiteral("profile %1 %2").arg(n).arg(action == QLatin1String("import") ? QStringLiteral("imported")
                                                                                       : QStringLiteral("reset")));
}

void Runner::dpi(const QString &action, const Words &w)
{
    DpiModel m = dpiModel();
    if (action.isEmpty()) {
        QStringList values;
        for (int v : m.values.mid(0, qBound(0, m.dpiCount, 8)))
            values << QString::number(v);
        print(QStringLiteral("active stages: %1 of %2").arg(m.active).arg(m.dpiCount));
        print(QStringLiteral("stages: %1").arg(values.join(QLatin1Char(' '))));
        print(QStringLiteral("range: %1 to %2 in steps of %3").arg(m.minDpi).arg(m.maxDpi).arg(m.base));
        return;
    }
    if (m.dpiCount < 1 || m.dpiCount > 8)
        return fail(Usage, QStringLiteral("the profile in use offers no DPI stages (mouse/dpiCount is %1)").arg(m.dpiCount));
    if (action == QLatin1String("current")) {
        const int stage = wholeNumber(w.rest.value(0)).value_or(0);
        if (stage < 1 || stage > m.active)
            return usage(QStringLiteral("the active stages are 1 to %1").arg(m.active));
        if (!needMouse())
            return;
        MouseCommands(m_hid, m_flags, m_ctx.profileBlocks()).setCurrentDpi(uchar(stage));
        m_changed |= CtlContext::Area::CurrentDpi;
        m_currentStage = stage;
        return;
    }
    // set
    if (w.options.isEmpty() && w.rest.isEmpty())
        return usage(QStringLiteral("give --stages N, DPI values, or both"));
    for (const auto &[name, value] : w.options) {
        const std::optional<int> n = wholeNumber(value);
        if (!n || *n < 1 || *n > m.dpiCount)
            return usage(QStringLiteral("--stages takes 1 to %1").arg(m.dpiCount));
        m.active = *n;
    }
    if (w.rest.size() > m.dpiCount)
        return usage(QStringLiteral("the model has %1 stages").arg(m.dpiCount));
    for (int k = 0; k < w.rest.size(); ++k) {
        const std::optional<int> v = wholeNumber(w.rest.at(k));
        if (!v)
            return usage(QStringLiteral("'%1' is not a DPI value").arg(w.rest.at(k)));
        if (*v < m.minDpi || *v > m.maxDpi)
            return usage(QStringLiteral("DPI '%1' is outside the model's range %2 to %3").arg(w.rest.at(k)).arg(m.minDpi).arg(m.maxDpi));
        if (m.base > 0 && *v % m.base != 0)
            return usage(QStringLiteral("DPI %1 is not a multiple of the model's step %2").arg(*v).arg(m.base));
        m.values[k] = *v;
    }
    if (!needMouse())
        return;
    storeAndSendDpi(m);
    m_changed |= CtlContext::Area::Dpi;
}

void Runner::rate(const QString &action, const QStringList &words)
{
    const QVariantList values = m_js.value(QStringLiteral("PerfMath"), QStringLiteral("reportRateValues")).toList();
    QStringList rates;
    for (const QVariant &v : values)
        rates << QString::number(1000 / qMax(1, v.toInt()));
    if (action.isEmpty()) {
        const int index = m_js.call(QStringLiteral("WindowMath"), QStringLiteral("toInt"),
                                    data(QStringLiteral("mouse/reportRate")), 3).toInt();
        const int value = m_js.call(QStringLiteral("PerfMath"), QStringLiteral("reportRateValue"), index).toInt();
        print(QStringLiteral("%1 Hz").arg(1000 / qMax(1, value)));
        return;
    }
    QString wanted = words.value(0).toLower();
    if (wanted.endsWith(QLatin1String("hz")))
        wanted.chop(2);
    const int index = rates.indexOf(wanted.trimmed());
    if (index < 0)
        return usage(QStringLiteral("the report rate is one of %1 (Hz)").arg(rates.join(QLatin1String(", "))));
    if (!needMouse())
        return;
    m_ctx.profiles().setData(QStringLiteral("mouse/reportRate"), index);
    MouseCommands(m_hid, m_flags, m_ctx.profileBlocks())
        .setReportRate(uchar(m_js.call(QStringLiteral("PerfMath"), QStringLiteral("reportRateValue"), index).toInt()));
    m_changed |= CtlContext::Area::Rate;
}

void Runner::light(const QString &action, const Words &w)
{
    LightModel m = lightModel();
    const QList<int> texts = effectTexts();
    if (action.isEmpty()) {
        print(QStringLiteral("effect: %1").arg(effectName(m.effect)));
        print(QStringLiteral("speed: %1").arg(m.speed));
        print(QStringLiteral("brightness: %1").arg(m.brightness));
        QStringList colors;
        for (int k = 0; k < 8; ++k)
            colors << hexColor(m.colors.value(3 * k), m.colors.value(3 * k + 1), m.colors.value(3 * k + 2));
        print(QStringLiteral("colours: %1").arg(colors.join(QLatin1Char(' '))));
        QStringList offered;
        for (int p = 0; p < texts.size(); ++p)
            offered << QStringLiteral("%1 %2").arg(p).arg(effectName(p));
        print(QStringLiteral("effects: %1").arg(offered.join(QLatin1String(", "))));
        return;
    }
    if (w.options.isEmpty())
        return usage(QStringLiteral("give at least one of --effect, --speed, --brightness, --color"));
    const int lastStep = m_js.value(QStringLiteral("LightRules"), QStringLiteral("speedStops")).toInt() - 1;
    std::optional<int> effect, speed, brightness;
    for (const auto &[name, value] : w.options) {
        if (name == QLatin1String("effect")) {
            int p = -1;
            for (int i = 0; i < texts.size(); ++i) {
                if (effectName(i) == value.toLower())
                    p = i;
            }
            if (p < 0 && wholeNumber(value) && *wholeNumber(value) < texts.size())
                p = *wholeNumber(value);
            if (p < 0) {
                QStringList names;
                for (int i = 0; i < texts.size(); ++i)
                    names << effectName(i);
                return usage(QStringLiteral("unknown effect '%1' (this model offers: %2)").arg(value, names.join(QLatin1String(", "))));
            }
            effect = p;
        } else if (name == QLatin1String("speed") || name == QLatin1String("brightness")) {
            const std::optional<int> s = wholeNumber(value);
            if (!s || *s > lastStep)
                return usage(QStringLiteral("--%1 takes a step 0 to %2").arg(name).arg(lastStep));
            (name == QLatin1String("speed") ? speed : brightness) = *s;
        } else {
            static const QRegularExpression form(QStringLiteral("^([1-8])=#?([0-9a-fA-F]{6})$"));
            const QRegularExpressionMatch match = form.match(value);
            if (!match.hasMatch())
                return usage(QStringLiteral("--color takes K=RRGGBB with K 1 to 8, not '%1'").arg(value));
            const int k = match.captured(1).toInt() - 1;
            const QVariantList rgb = m_js.call(QStringLiteral("ColorMath"), QStringLiteral("channels"),
                                               QLatin1Char('#') + match.captured(2)).toList();
            for (int i = 0; i < 3; ++i)
                m.colors[3 * k + i] = rgb.value(i);
        }
    }
    if (effect && *effect != m.effect) {
        // Choosing an effect on the page puts its steps where the effect wants them.
        const QVariantMap rule = m_js.call(QStringLiteral("LightRules"), QStringLiteral("effectControls"),
                                           *effect, m_flags.is55328).toMap();
        if (rule.value(QStringLiteral("resetSpeed")).toInt() >= 0)
            m.speed = rule.value(QStringLiteral("resetSpeed")).toInt();
        if (rule.value(QStringLiteral("resetBrightness")).toInt() >= 0)
            m.brightness = rule.value(QStringLiteral("resetBrightness")).toInt();
    }
    if (effect)
        m.effect = *effect;
    if (speed)
        m.speed = *speed;
    if (brightness)
        m.brightness = *brightness;
    if (!needMouse())
        return;
    storeAndSendLight(m);
    m_changed |= CtlContext::Area::Light;
}

void Runner::button(const QStringList &words)
{
    const int keyCount = qBound(1, m_js.call(QStringLiteral("WindowMath"), QStringLiteral("toInt"),
                                             global(QStringLiteral("mouse/keyCount")), 16).toInt(), 16);
    QList<Codes> entries = matrix();
    if (words.isEmpty()) {
        for (int k = 0; k < keyCount; ++k)
            print(QStringLiteral("%1  %2").arg(k + 1).arg(functionText(entries.at(k))));
        return;
    }
    const int n = wholeNumber(words.at(0)).value_or(0);
    if (n < 1 || n > keyCount)
        return usage(QStringLiteral("this model's buttons are 1 to %1").arg(keyCount));
    const int k = n - 1;
    if (words.size() == 1) {
        print(functionText(entries.at(k)));
        return;
    }
    QString error, macroName;
    const std::optional<Codes> codes = parseFunction(words.at(1), k, &error, &macroName);
    if (!codes)
        return usage(error);
    QVariantList list;
    for (const Codes &c : entries)
        list << QVariant(QVariantList{c[0], c[1], c[2], c[3]});
    const bool lastLeft = m_js.call(QStringLiteral("KeyAssign"), QStringLiteral("isLastLeftClick"), list, k).toBool();
    if (lastLeft && *codes != entries.at(k))
        return usage(QStringLiteral("button %1 is the only one with the left click; give it to another button first").arg(n));
    if (!needMouse())
        return;
    if (!macroName.isEmpty()) {
        // As the assignment page does on closing: the macro goes to the mouse and its name into
        // the profile at once.
        sendMacro((*codes)[2], macroName);
        m_ctx.profiles().setData(QStringLiteral("mouseMacroKey/%1").arg((*codes)[2]), macroName);
    }
    entries[k] = *codes;
    storeAndSendMatrix(entries);
    m_changed |= CtlContext::Area::Keys;
}

void Runner::macro(const QString &action, const QStringList &words)
{
    const QString dir = m_ctx.modulesDir();
    MacroStore store(dir);
    QStringList names;
    for (const QVariant &v : NameListStore(dir).getNameList(0))
        names << v.toString();
    if (names.size() == 2 && names.at(1) == NameListStore::Sentinel)
        names.removeLast();
    if (action == QLatin1String("list")) {
        for (const QString &name : names)
            print(name);
        return;
    }
    const QString named = words.value(0);
    const bool exists = MacroStore::isValidName(named) && QFile::exists(store.macroFilePath(named));
    if (action == QLatin1String("show")) {
        if (!exists)
            return fail(Usage, QStringLiteral("there is no macro '%1'").arg(words.value(0)));
        const QVariantMap stored = m_js.call(QStringLiteral("MacroCodec"), QStringLiteral("fromStored"),
                                             store.loadMacroIni(words.value(0))).toMap();
        print(QStringLiteral("repeat %1").arg(stored.value(QStringLiteral("repeat")).toString()));
        static const QStringList verbs = {"delay", "press", "release", "press", "release"};
        for (const QVariant &a : stored.value(QStringLiteral("actions")).toList()) {
            const QVariantMap action = a.toMap();
            const int type = action.value(QStringLiteral("type")).toInt();
            print(QStringLiteral("%1 %2").arg(verbs.value(type, QStringLiteral("step %1").arg(type)),
                                              action.value(QStringLiteral("info")).toString()));
        }
        return;
    }
    QString error;
    if (action == QLatin1String("export")) {
        const QString file = words.value(1);
        if (!exists)
            return fail(Usage, QStringLiteral("there is no macro '%1'").arg(words.value(0)));
        if (!checkExportPath(file, &error))
            return fail(Usage, error);
        FixedFileChooser chooser(file);
        store.saveMacroFile(words.value(0), chooser);
        if (!sameBytes(store.macroFilePath(words.value(0)), file))
            return fail(Usage, QStringLiteral("%1 could not be written").arg(file));
        note(QStringLiteral("macro %1 exported to %2").arg(words.value(0), file));
        return;
    }
    // import
    const QString file = words.value(0);
    const QString name = words.size() > 1 ? words.at(1) : QFileInfo(file).completeBaseName();
    if (!checkImportFile(file, QStringLiteral("config"), QStringLiteral("macro"), &error))
        return fail(Usage, error);
    if (!MacroStore::isValidName(name))
        return usage(QStringLiteral("'%1' cannot be a macro name").arg(name));
    if (names.contains(name) || QFile::exists(store.macroFilePath(name)))
        return usage(QStringLiteral("a macro '%1' exists; give the import another name").arg(name));
    if (names.size() >= kMaxMacros)
        return fail(Usage, QStringLiteral("the macro editor holds at most %1 macros").arg(kMaxMacros));
    FixedFileChooser chooser(file);
    if (!store.loadMacroFile(name, chooser))
        return fail(Usage, QStringLiteral("%1 could not be copied").arg(file));
    NameListStore(dir).updataNameList(0, names << name);
    m_changed |= CtlContext::Area::Macros;
    note(QStringLiteral("macro %1 imported").arg(name));
}

QString Runner::rulesSummary(AppRuleStore &rules)
{
    const QString running = m_ctx.ruleStatus();
    if (!running.isEmpty())
        return running;
    const int count = int(rules.rules().size());
    if (!rules.enabled())
        return QStringLiteral("off, %1 rule(s)").arg(count);
    return QStringLiteral("on, %1 rule(s), desktop profile %2 (they apply while the program runs)")
        .arg(count).arg(rules.desktopProfile());
}

void Runner::rule(const QString &action, const QStringList &words)
{
    AppRuleStore rules(m_ctx.appConfig());
    QString error;
    if (action == QLatin1String("list")) {
        QStringList problems;
        const QList<AppRule> all = rules.rules(&problems);
        for (const QString &p : problems)
            note(p);
        print(QStringLiteral("application rules: %1").arg(rulesSummary(rules)));
        for (int i = 0; i < all.size(); ++i)
            print(QStringLiteral("%1  profile %2  %3").arg(i + 1).arg(all.at(i).profile).arg(all.at(i).match()));
        return;
    }
    if (action == QLatin1String("add")) {
        const std::optional<AppRule> r = AppRule::parse(words.value(1), wholeNumber(words.value(0)).value_or(0), &error);
        if (!r || !rules.add(*r, &error))
            return usage(error);
        note(QStringLiteral("rule %1 added: profile %2 for %3").arg(rules.rules().size()).arg(r->profile).arg(r->match()));
    } else if (action == QLatin1String("remove")) {
        if (!rules.remove(wholeNumber(words.value(0)).value_or(0), &error))
            return usage(error);
        note(QStringLiteral("rule %1 removed").arg(words.value(0)));
    } else {
        const bool on = action == QLatin1String("on");
        rules.setEnabled(on, profileNo() + 1);
        note(on ? QStringLiteral("application rules on, desktop profile %1").arg(rules.desktopProfile())
                : QStringLiteral("application rules off"));
    }
    m_changed |= CtlContext::Area::Rules;
}

CtlOutput Runner::run(const QStringList &args)
{
    if (!m_js.isValid()) {
        fail(Usage, m_js.error());
        return m_out;
    }
    m_sub = subcommandOf(args);
    if (asksForHelp(args)) {
        m_out.out += helpText(args.first() == QLatin1String("help") ? args.value(1) : m_sub);
        return m_out;
    }
    QString error;
    const std::optional<Line> line = parseLine(args, &error);
    if (!line) {
        usage(error);
        return m_out;
    }
    const QString &sub = line->sub;
    const QString &action = line->action;
    const Words &w = line->words;
    const QStringList &rest = w.rest;
    const bool json = hasOption(w, "json");

    // The window keeps the profile in use in the configuration and sets the store to it at start.
    m_ctx.profiles().setCurrentProfile(profileNo());

    if (sub == QLatin1String("status"))
        status(json);
    else if (sub == QLatin1String("devices"))
        devices(json);
    else if (sub == QLatin1String("profile"))
        profile(action, rest, hasOption(w, "full"));
    else if (sub == QLatin1String("dpi"))
        dpi(action, w);
    else if (sub == QLatin1String("rate"))
        rate(action, rest);
    else if (sub == QLatin1String("light"))
        light(action, w);
    else if (sub == QLatin1String("button"))
        button(rest);
    else if (sub == QLatin1String("macro"))
        macro(action, rest);
    else if (sub == QLatin1String("rule"))
        rule(action, rest);

    checkMouseTook();
    if (m_changed)
        m_ctx.changed(m_changed, m_currentStage);
    return m_out;
}

} // namespace

CtlOutput run(const QStringList &args, CtlContext &context)
{
    return Runner(context).run(args);
}

} // namespace Ctl
