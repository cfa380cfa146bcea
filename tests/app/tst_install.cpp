// The install step, run into a temporary DESTDIR: what install_manifest.txt lists is exactly what
// was installed (so an uninstall by the manifest leaves nothing behind), the command in bin/ is a
// link that runs the bundled program, and the demo's model file is not installed.
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_Install : public QObject
{
    Q_OBJECT

    QTemporaryDir m_destdir;
    QStringList m_manifest;

    QString installed(const QString &path) const { return m_destdir.path() + QStringLiteral(KO_INSTALL_PREFIX "/") + path; }

private slots:
    void initTestCase()
    {
        QProcess install;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), m_destdir.path());
        install.setProcessEnvironment(env);
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(KO_CMAKE_COMMAND), {QStringLiteral("--install"), QStringLiteral(KO_BUILD_DIR)});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAll().constData());
        QFile manifest(QStringLiteral(KO_BUILD_DIR "/install_manifest.txt"));
        QVERIFY(manifest.open(QIODevice::ReadOnly | QIODevice::Text));
        // The manifest names the files as installed for real, without the DESTDIR.
        for (const QString &path : QString::fromUtf8(manifest.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            m_manifest << m_destdir.path() + path;
        QVERIFY(!m_manifest.isEmpty());
    }

    void manifestListsEveryInstalledFileAndNoDemoModel()
    {
        QStringList found;
        QDirIterator it(m_destdir.path(), QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            // A dangling or relative link is still a file the uninstall must remove.
            const QFileInfo entry(it.next());
            if (!entry.isDir() || entry.isSymLink())
                found << entry.filePath();
        }
        found.sort();
        QStringList listed = m_manifest;
        listed.sort();
        QCOMPARE(found, listed);
        for (const QString &path : std::as_const(m_manifest))
            QVERIFY2(!path.endsWith(QLatin1String("demoMouse.ini")), qPrintable(path));
        QVERIFY(m_manifest.contains(installed(QStringLiteral(KO_INSTALL_DIR "/modules/setting/apConfig.bin"))));
    }

    void commandIsALinkToTheBundledProgram()
    {
        const QString command = installed(QStringLiteral("bin/kestrel-orbit"));
        QVERIFY(m_manifest.contains(command));
        const QFileInfo link(command);
        QVERIFY(link.isSymLink());
        QVERIFY2(QFileInfo(link.symLinkTarget()).isExecutable(), qPrintable(link.symLinkTarget()));
        QVERIFY(QFileInfo::exists(QFileInfo(link.symLinkTarget()).dir().filePath(QStringLiteral("modules/setting/apConfig.bin"))));
        QProcess run;
        run.start(command, {QStringLiteral("--version")});
        QVERIFY(run.waitForFinished());
        QCOMPARE(run.exitCode(), 0);
        QCOMPARE(run.readAllStandardOutput(), QByteArray("kestrel-orbit " KO_VERSION "\n"));
    }
};

QTEST_GUILESS_MAIN(tst_Install)
#include "tst_install.moc"
