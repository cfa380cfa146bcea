#include "StatusWindow.h"

#include "LanguageStore.h"

#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QVBoxLayout>

namespace {

// The main window's look: dark grey panels, light text, the orange accent.
const char statusStyle[] =
    "StatusWindow { background: #1a1a1a; }"
    "QLabel { color: #d1d1d1; font-size: 13px; }"
    "QLabel#headline { color: #cf3e00; font-size: 16px; font-weight: bold; }"
    "QLabel#commands { color: #ffffff; background: #3c3c3c; border-left: 3px solid #cf3e00;"
    "  padding: 8px; font-family: monospace; font-size: 12px; }"
    "QLabel#note { color: #969696; }"
    "QPushButton { color: #ffffff; background: #3c3c3c; border: none; padding: 6px 16px;"
    "  border-radius: 3px; font-size: 13px; }"
    "QPushButton:hover { background: #cf3e00; }"
    "QPushButton#checkAgain { background: #cf3e00; }"
    "QPushButton#checkAgain:hover { background: #e0540f; }";

QLabel *makeLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

QString StatusWindow::permissionCommands()
{
    return QStringLiteral("sudo udevadm control --reload-rules\n"
                          "sudo udevadm trigger --subsystem-match=hidraw");
}

QStringList StatusWindow::defaultTexts()
{
    return {
        QStringLiteral("Kestrel Orbit: mouse not found"),
        QStringLiteral("No Kestrel Orbit mouse is connected."),
        QStringLiteral("Plug the mouse in. The program finds it by itself as soon as it is attached."),
        QStringLiteral("The mouse is there, but you may not open it."),
        QStringLiteral("The udev rule that gives you access is missing or not loaded yet, or the mouse was "
                       "plugged in before it was. Load the rule, then unplug the mouse and plug it back in:"),
        QStringLiteral("The mouse is there, but it did not answer."),
        QStringLiteral("It may be busy or still starting up. Unplug it and plug it back in; if that does not "
                       "help, try another USB port."),
        QStringLiteral("Kestrel Orbit keeps running in the background. To bring this window back, start "
                       "Kestrel Orbit again."),
        QStringLiteral("Check again"),
        QStringLiteral("Close"),
        QStringLiteral("Start at login"),
    };
}

QStringList StatusWindow::loadTexts(const QString &modulesDir)
{
    const QString language =
        QSettings(QDir(modulesDir).filePath(QStringLiteral("setting/apConfig.bin")), QSettings::IniFormat)
            .value(QStringLiteral("common/language"), QStringLiteral("English"))
            .toString();
    const QStringList found = LanguageStore(modulesDir).getLangStrings(QStringLiteral("status"), language);
    QStringList texts = defaultTexts();
    for (int i = 0; i < texts.size() && i < found.size(); ++i) {
        if (!found.at(i).isEmpty())
            texts[i] = found.at(i);
    }
    return texts;
}

StatusWindow::StatusWindow(QWidget *parent) : QWidget(parent, Qt::Window), m_texts(defaultTexts())
{
    setObjectName(QStringLiteral("statusWindow"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QLatin1String(statusStyle));
    setFixedWidth(480);

    m_headline = makeLabel("headline", this);
    m_details = makeLabel("details", this);
    m_commands = makeLabel("commands", this);
    m_commands->setWordWrap(false);
    m_commands->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_commands->setText(permissionCommands());
    m_note = makeLabel("note", this);
    m_note->hide();

    m_checkAgain = new QPushButton(this);
    m_checkAgain->setObjectName(QStringLiteral("checkAgain"));
    m_close = new QPushButton(this);
    m_close->setObjectName(QStringLiteral("close"));
    connect(m_checkAgain, &QPushButton::clicked, this, &StatusWindow::checkAgainRequested);
    connect(m_close, &QPushButton::clicked, this, &QWidget::hide);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_checkAgain);
    buttons->addWidget(m_close);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(12);
    layout->addWidget(m_headline);
    layout->addWidget(m_details);
    layout->addWidget(m_commands);
    layout->addWidget(m_note);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    refresh();
}

void StatusWindow::setTexts(const QStringList &texts)
{
    m_texts = texts;
    while (m_texts.size() < TextCount)
        m_texts << defaultTexts().at(m_texts.size());
    refresh();
}

void StatusWindow::setReason(DeviceDiscovery::NoMouseReason reason)
{
    m_reason = reason;
    refresh();
}

void StatusWindow::setBackgroundNoteShown(bool shown)
{
    m_note->setVisible(shown);
    adjustSize();
}

void StatusWindow::showCentred()
{
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
    activateWindow();
}

QString StatusWindow::shownText() const
{
    QStringList lines{m_headline->text(), m_details->text()};
    if (!m_commands->isHidden())
        lines << m_commands->text();
    if (!m_note->isHidden())
        lines << m_note->text();
    return lines.join(QLatin1Char('\n'));
}

void StatusWindow::refresh()
{
    using DeviceDiscovery::NoMouseReason;
    setWindowTitle(m_texts.at(Title));
    const int headline = m_reason == NoMouseReason::PermissionDenied ? PermissionHeadline
                         : m_reason == NoMouseReason::NoAnswer     ? NoAnswerHeadline
                                                                   : NoDeviceHeadline;
    m_headline->setText(m_texts.at(headline));
    m_details->setText(m_texts.at(headline + 1));
    m_commands->setVisible(m_reason == NoMouseReason::PermissionDenied);
    m_note->setText(m_texts.at(BackgroundNote));
    m_checkAgain->setText(m_texts.at(CheckAgain));
    m_close->setText(m_texts.at(Close));
    adjustSize();
}
