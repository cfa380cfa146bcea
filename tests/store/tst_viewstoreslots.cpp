#include "AppConfigStore.h"
#include "ProfileStore.h"
#include "StoreTestSupport.h"
#include "myQQuickView.h"

#include <QJSEngine>
#include <QtTest>

using namespace StoreTest;

// The view's store slots, called by name as the documents call them: each argument reaches the
// store in the right place and in a form the store keeps.
class tst_ViewStoreSlots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void profileSlots();
    void scriptArraysAreStoredAsLists();
    void fileDialogsGoThroughTheChooser();
    void flagsKeepTheirValuesAfterReset();
};

namespace {

template <typename T>
QGenericArgument arg(const T &value)
{
    return QGenericArgument(QMetaType::fromType<T>().name(), &value);
}

template <typename R = void, typename... Args>
R call(QObject *view, const char *slot, const Args &...args)
{
    if constexpr (std::is_void_v<R>) {
        QVERIFY2(QMetaObject::invokeMethod(view, slot, Qt::DirectConnection, arg(args)...), slot);
    } else {
        R result{};
        QGenericReturnArgument ret(QMetaType::fromType<R>().name(), &result);
        [&] { QVERIFY2(QMetaObject::invokeMethod(view, slot, Qt::DirectConnection, ret, arg(args)...), slot); }();
        return result;
    }
}

} // namespace

void tst_ViewStoreSlots::profileSlots()
{
    ModulesTree tree;
    for (int i = 0; i < ProfileStore::ProfileCount; ++i)
        writeFile(tree.profile(i), "[mouse]\nreportRate=" + QByteArray::number(i) + "\n");
    writeFile(tree.path("setting/pD.bin"), "[mouse]\ndpiCount=8\n");
    myQQuickView view(nullptr, tree.modules);

    call(&view, "setCurrentProfile", 3);
    call(&view, "setData", QVariant("mouse/reportRate"), QVariant(2));
    QCOMPARE(view.profiles().currentProfileIndex(), 3);
    QCOMPARE(call<QVariant>(&view, "getData", QVariant("mouse/reportRate"), false), QVariant("2"));
    QCOMPARE(call<QVariant>(&view, "getData", QVariant("mouse/dpiCount"), true), QVariant("8"));

    call(&view, "copyProfile", 1, 4);
    QCOMPARE(readFile(tree.profile(1)), readFile(tree.profile(4)));
    QCOMPARE(readFile(tree.profile(4)), QByteArray("[mouse]\nreportRate=4\n"));

    call(&view, "setXYSensitive", QVariant("0"), QVariant(6));
    QCOMPARE(call<QVariant>(&view, "getXYSensitive", QVariant("0")), QVariant("6"));
    QCOMPARE(call<QVariant>(&view, "getXYSensitive", QVariant(1)), QVariant(4));
}

void tst_ViewStoreSlots::scriptArraysAreStoredAsLists()
{
    ModulesTree tree;
    myQQuickView view(nullptr, tree.modules);
    QJSEngine engine;
    const QVariant wrapped = QVariant::fromValue(engine.evaluate(QStringLiteral("[0, 1, 2]")));
    call(&view, "setData", QVariant("mouse/lightValue"), wrapped);
    call(&view, "setGlobalData", QVariant("mouse/selectGun"), wrapped);
    call(&view, "setDataList", QVariant("mouse/colorValue"), QVariantList{wrapped, 7});
    const QVariantList expected{"0", "1", "2"};
    QCOMPARE(call<QVariantList>(&view, "getDataList", QVariant("mouse/lightValue"), false), expected);
    QCOMPARE(call<QVariant>(&view, "getGlobalData", QVariant("mouse/selectGun")).toList(), expected);
    QCOMPARE(call<QVariantList>(&view, "getDataList", QVariant("mouse/colorValue"), false).size(), 2);
}

void tst_ViewStoreSlots::fileDialogsGoThroughTheChooser()
{
    ModulesTree tree;
    myQQuickView view(nullptr, tree.modules);
    ScriptedChooser chooser;
    view.setFileChooser(&chooser);
    call(&view, "setData", QVariant("mouse/reportRate"), QVariant(1));
    chooser.answer = tree.root.filePath(QStringLiteral("out.pf"));
    call(&view, "saveProfile", 0);
    QCOMPARE(diskValue(chooser.answer, QStringLiteral("mouse/reportRate")), QVariant("1"));

    QVERIFY(call<QVariant>(&view, "createMacroIni", QVariant("Macro_0"), QVariant(0)).toBool());
    chooser.answer.clear();
    QVERIFY(!call<bool>(&view, "loadMacroFile", QVariant("Macro_1")));
    QCOMPARE(chooser.calls.size(), 2);
    QCOMPARE(call<QStringList>(&view, "loadMacroIni", QVariant("Macro_0")), QStringList{"1"});
}

void tst_ViewStoreSlots::flagsKeepTheirValuesAfterReset()
{
    ModulesTree tree;
    writeFile(tree.path("setting/apConfig.bin"), "[mouse]\nicType=560\nisGun=true\nkeyCount=6\n");
    writeFile(tree.path("setting/apConfigD.bin"), "[mouse]\nicType=553\nisGun=false\nkeyCount=8\n");
    myQQuickView view(nullptr, tree.modules);
    call(&view, "resetApconfig");
    QCOMPARE(call<QVariant>(&view, "getGlobalData", QVariant("mouse/keyCount")), QVariant("8"));
    QVERIFY(view.modelFlags().is560());
    QVERIFY(view.modelFlags().isGun);
}

QTEST_MAIN(tst_ViewStoreSlots)
#include "tst_viewstoreslots.moc"
