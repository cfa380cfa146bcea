// The host's calls into the root document and the window controller, with a small stand-in
// document that records what reaches it.
#include "Ui_Controler.h"
#include "myQQuickView.h"

#include <QApplication>
#include <QQmlContext>
#include <QQuickItem>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWidget>

class Recorder : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void note(const QString &call)
    {
        calls << call;
        offGuiThread = offGuiThread || QThread::currentThread() != qApp->thread();
    }
    QStringList calls;
    bool offGuiThread = false;
};

class tst_ViewPlumbing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();
    void queuedCallsArriveAfterReturn();
    void directCalls();
    void setCurrentDpiFromAnotherThread();
    void missingFunctionsAreHarmless();
    void windowHandling();

private:
    QTemporaryDir *m_dir = nullptr;
    QWidget *m_window = nullptr;
    Ui_Controler *m_ctl = nullptr;
    Recorder m_recorder;
};

void tst_ViewPlumbing::init()
{
    m_dir = new QTemporaryDir;
    m_window = new QWidget;
    m_ctl = new Ui_Controler;
    m_ctl->setUp(m_window, nullptr, m_dir->path());
    m_recorder.calls.clear();
    m_recorder.offGuiThread = false;
    myQQuickView *view = m_ctl->view();
    view->rootContext()->setContextProperty(QStringLiteral("recorder"), &m_recorder);
    view->setSource(QUrl::fromLocalFile(QStringLiteral(BRIDGE_TEST_DATA "/RootCalls.qml")));
    QVERIFY(view->rootObject());
}

void tst_ViewPlumbing::cleanup()
{
    delete m_ctl;
    delete m_window;
    delete m_dir;
}

void tst_ViewPlumbing::queuedCallsArriveAfterReturn()
{
    myQQuickView *view = m_ctl->view();
    view->initUI();
    view->runUI();
    QVERIFY(m_recorder.calls.isEmpty());
    QTRY_COMPARE(m_recorder.calls, QStringList({"initUI", "run"}));
}

void tst_ViewPlumbing::directCalls()
{
    // Direct calls reach the document before they return, also through the controller and from
    // the document itself (ui_Ctl.setBusy with and without its argument).
    myQQuickView *view = m_ctl->view();
    const QList<QPair<std::function<void()>, QString>> rows = {
        {[&] { view->setBusy(250); }, "setProtectUI 250"},
        {[&] { m_ctl->setBusy(); }, "setProtectUI 0"},
        {[&] { m_ctl->setBusy(1000); }, "setProtectUI 1000"},
        {[&] { view->callRoot("busyFromDocument", Qt::DirectConnection); }, "setProtectUI 0"},
        {[&] { view->callRoot("busyFromDocumentFor", Qt::DirectConnection, {300}); }, "setProtectUI 300"},
        {[&] { view->setCurrentDPI(0); }, "setCurrentDPI 0"},
        {[&] { view->setCurrentDPI(4); }, "setCurrentDPI 4"},
    };
    for (const auto &row : rows) {
        m_recorder.calls.clear();
        row.first();
        QCOMPARE(m_recorder.calls, QStringList{row.second});
    }
}

void tst_ViewPlumbing::setCurrentDpiFromAnotherThread()
{
    myQQuickView *view = m_ctl->view();
    QThread *worker = QThread::create([view] { view->setCurrentDPI(3); });
    worker->start();
    QVERIFY(worker->wait(5000));
    delete worker;
    QTRY_COMPARE(m_recorder.calls, QStringList{"setCurrentDPI 3"});
    QVERIFY(!m_recorder.offGuiThread);
}

void tst_ViewPlumbing::missingFunctionsAreHarmless()
{
    myQQuickView *view = m_ctl->view();
    QVERIFY(!view->callRoot("detectKeyboard", Qt::QueuedConnection, {true, 4}));
    QVERIFY(!view->callRoot("noSuchFunction", Qt::DirectConnection));
    view->openUpdateExe();

    // A view without a document ignores every root call.
    myQQuickView bare(nullptr, m_dir->path());
    bare.initUI();
    bare.setBusy(10);
    bare.setCurrentDPI(2);
    QVERIFY(!bare.callRoot("initUI", Qt::DirectConnection));
    QCoreApplication::processEvents();
    QVERIFY(m_recorder.calls.isEmpty());
}

void tst_ViewPlumbing::windowHandling()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("Widget"));
    QCOMPARE(m_ctl->view()->objectName(), QStringLiteral("ui_View"));
    QCOMPARE(m_ctl->view()->parentWidget(), m_window);
    QVERIFY(m_window->testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(m_window->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(m_ctl->view()->rootContext()->contextProperty("ui_Ctl").value<QObject *>(), m_ctl);

    m_window->move(100, 100);
    m_ctl->onXChanged(-5);
    m_ctl->onYChanged(7);
    QCOMPARE(m_window->pos(), QPoint(95, 107));

    m_window->show();
    m_ctl->onClose();
    QVERIFY(!m_window->isVisible());

    // Without a window the controller does nothing.
    Ui_Controler idle;
    idle.onXChanged(3);
    idle.onMinimize();
    idle.onClose();
    idle.setBusy();
}

QTEST_MAIN(tst_ViewPlumbing)
#include "tst_view_plumbing.moc"
