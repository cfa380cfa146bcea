#include "AppPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}
QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class tst_AppPaths : public QObject
{
    Q_OBJECT

private slots:
    void writableInstallIsUsedInPlace()
    {
        QTemporaryDir exe, user;
        QCOMPARE(AppPaths::chooseDataRoot(exe.path(), true, user.path()), exe.path());
        QVERIFY(QDir(user.path()).isEmpty());
    }

    void readOnlyInstallGetsAPerUserCopyThatIsNeverOverwritten()
    {
        QTemporaryDir exe, user;
        writeFile(exe.filePath("modules/setting/p1.bin"), "factory");
        writeFile(exe.filePath("modules/i18n/English.ini"), "[main]\n");
        const QString userData = user.filePath("data");

        QCOMPARE(AppPaths::chooseDataRoot(exe.path(), false, userData), userData);
        QCOMPARE(readFile(userData + "/modules/setting/p1.bin"), QByteArray("factory"));

        // The user's settings survive the next start; files a newer release adds are filled in.
        writeFile(userData + "/modules/setting/p1.bin", "mine");
        writeFile(exe.filePath("modules/gun/gunData.bin"), "guns");
        AppPaths::chooseDataRoot(exe.path(), false, userData);
        QCOMPARE(readFile(userData + "/modules/setting/p1.bin"), QByteArray("mine"));
        QCOMPARE(readFile(userData + "/modules/gun/gunData.bin"), QByteArray("guns"));
    }

    void copiesAreWritableEvenFromAReadOnlyTree()
    {
        QTemporaryDir exe, user;
        const QString shipped = exe.filePath("modules/setting/apConfig.bin");
        writeFile(shipped, "x");
        QFile::setPermissions(shipped, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QVERIFY(AppPaths::copyMissing(exe.filePath("modules"), user.filePath("modules")));
        QVERIFY(QFile::permissions(user.filePath("modules/setting/apConfig.bin")) & QFile::WriteOwner);
    }

    void writableProbe()
    {
        QTemporaryDir dir;
        QVERIFY(!AppPaths::isWritableDir(dir.filePath("missing")));
        QDir().mkpath(dir.filePath("modules/setting"));
        QVERIFY(AppPaths::isWritableDir(dir.path()));
    }
};

QTEST_GUILESS_MAIN(tst_AppPaths)
#include "tst_appPaths.moc"
