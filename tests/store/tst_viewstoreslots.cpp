#include "ProfileStore.h"
#include "StoreTestSupport.h"
#include "myQQuickView.h"

#include <QJSEngine>
#include <QtTest>

using namespace StoreTest;

namespace {

template <typename T>
QGenericArgument arg(const T &value) { return QGenericArgument(QMetaType::fromType<T>().name(), &value); }

// Calls a slot by name, as the documents do; R is its result type (void for none).
template <typename R = QVariant, typename... Args>
auto call(QObject *view, const char *slot, const Args &...args)
{
    std::conditional_t<std::is_void_v<R>, int, R> result{};
    QGenericReturnArgument ret;
    if constexpr (!std::is_void_v<R>)
        ret = QGenericReturnArgument(QMetaType::fromType<R>().name(), &result);
    [&] { QVERIFY2(QMetaObject::invokeMethod(view, slot, Qt::DirectConnection, ret, arg(args)...), slot); }();
    return result;
}

} // namespace

// The view's store slots reach the stores with their arguments in place and in a form they keep.
class tst_ViewStoreSlots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void slotsDelegate()
    {
        ModulesTree tree;
        for (int i = 0; i < ProfileStore::ProfileCount; ++i)
            writeFile(tree.profile(i), "[mouse]\nreportRate=" + QByteArray::number(i) + "\n");
        writeFile(tree.path("setting/apConfig.bin"), "[mouse]\nicType=560\nkeyCount=6\n");
        writeFile(tree.path("setting/apConfigD.bin"), "[mouse]\nicType=553\nkeyCount=8\n");
        myQQuickView view(nullptr, tree.modules);
        ScriptedChooser chooser;
        view.setFileChooser(&chooser);

        call<void>(&view, "setCurrentProfile", 3);
        call<void>(&view, "setData", QVariant("mouse/reportRate"), QVariant(2));
        QCOMPARE(view.profiles().currentProfileIndex(), 3);
        QCOMPARE(call(&view, "getData", QVariant("mouse/reportRate"), false), QVariant("2"));
        call<void>(&view, "copyProfile", 1, 4);
        QCOMPARE(readFile(tree.profile(1)), QByteArray("[mouse]\nreportRate=4\n"));

        chooser.answer = tree.root.filePath(QStringLiteral("out.pf"));
        call<void>(&view, "saveProfile", 3);
        QCOMPARE(diskValue(chooser.answer, QStringLiteral("mouse/reportRate")), QVariant("2"));
        chooser.answer.clear();
        QVERIFY(!call<bool>(&view, "loadMacroFile", QVariant("Macro_1")));
        QCOMPARE(chooser.calls.size(), 2);

        // The flags stay as read when the view was built.
        call<void>(&view, "resetApconfig");
        QCOMPARE(call(&view, "getGlobalData", QVariant("mouse/keyCount")), QVariant("8"));
        QVERIFY(view.modelFlags().is560());
    }

    void scriptArraysAreStoredAsLists()
    {
        ModulesTree tree;
        myQQuickView view(nullptr, tree.modules);
        QJSEngine engine;
        const QVariant wrapped = QVariant::fromValue(engine.evaluate(QStringLiteral("[0, 1, 2]")));
        call<void>(&view, "setData", QVariant("mouse/lightValue"), wrapped);
        call<void>(&view, "setGlobalData", QVariant("mouse/selectGun"), wrapped);
        const QVariantList expected{"0", "1", "2"};
        QCOMPARE(call<QVariantList>(&view, "getDataList", QVariant("mouse/lightValue"), false), expected);
        QCOMPARE(call(&view, "getGlobalData", QVariant("mouse/selectGun")).toList(), expected);
    }
};

QTEST_MAIN(tst_ViewStoreSlots)
#include "tst_viewstoreslots.moc"
