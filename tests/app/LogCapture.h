#pragma once

// Collects what the program logs while it lives, still passing it on (so that QTest's message
// checks work).
#include <QStringList>
#include <QtGlobal>

class LogCapture
{
public:
    LogCapture() : m_previous(qInstallMessageHandler(handler)) { current() = this; }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        current() = nullptr;
    }
    int count(const QString &line) const { return int(m_lines.count(line)); }
    QStringList warnings() const { return m_warnings; }

private:
    static LogCapture *&current()
    {
        static LogCapture *capture = nullptr;
        return capture;
    }
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        LogCapture *self = current();
        (type == QtWarningMsg ? self->m_warnings : self->m_lines) << message;
        if (self->m_previous)
            self->m_previous(type, context, message);
    }

    QtMessageHandler m_previous;
    QStringList m_lines, m_warnings;
};
