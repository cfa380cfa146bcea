#include "AppPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_AppPaths : public QObject
{
    Q_OBJECT

    static void write(const QString &path, const QByteArray &content)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void readOnlyInstallGetsAPerUserCopyThatIsNeverOverwritten()
    {
        QTemporaryDir exe, user;
        QCOMPARE(AppPaths::chooseDataRoot(exe.path(), true, user.path()), exe.path());

        const QString shipped = exe.filePath("modules/setting/p1.bin");
        write(shipped, "factory");
        QFile::setPermissions(shipped, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        const QString data = user.filePath("data");
        QCOMPARE(AppPaths::chooseDataRoot(exe.path(), false, data), data);
        QCOMPARE(read(data + "/modules/setting/p1.bin"), QByteArray("factory"));
        QVERIFY(QFile::permissions(data + "/modules/setting/p1.bin") & QFile::WriteOwner);

        // The user's settings survive the next start; files a newer release adds are filled in.
        write(data + "/modules/setting/p1.bin", "mine");
        write(exe.filePath("modules/gun/gunData.bin"), "guns");
        AppPaths::chooseDataRoot(exe.path(), false, data);
        QCOMPARE(read(data + "/modules/setting/p1.bin"), QByteArray("mine"));
        QCOMPARE(read(data + "/modules/gun/gunData.bin"), QByteArray("guns"));

        QVERIFY(!AppPaths::isWritableDir(exe.filePath("missing")));
        QVERIFY(AppPaths::isWritableDir(data));
    }
};

QTEST_GUILESS_MAIN(tst_AppPaths)
#include "tst_appPaths.moc"
