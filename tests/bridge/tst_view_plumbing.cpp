// The host's calls into the root document and the window controller, with a small stand-in
// document that records what reaches it.
#include "Ui_Controler.h"
#include "myQQuickView.h"

#include <QApplication>
#include <QQmlContext>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWidget>

class tst_ViewPlumbing : public QObject
{
    Q_OBJECT

public:
    // The stand-in document reports each root call here.
    Q_INVOKABLE void note(const QString &call)
    {
        m_calls << call;
        m_offGuiThread = m_offGuiThread || QThread::currentThread() != qApp->thread();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_ctl.setUp(&m_window, nullptr, m_dir.path());
        view()->rootContext()->setContextProperty(QStringLiteral("recorder"), this);
        view()->setSource(QUrl::fromLocalFile(QStringLiteral(BRIDGE_TEST_DATA "/RootCalls.qml")));
        QVERIFY(view()->rootObject());
    }
    void init() { m_calls.clear(); }

    void rootCalls()
    {
        // Queued calls arrive after the caller returned.
        view()->initUI();
        view()->runUI();
        QVERIFY(m_calls.isEmpty());
        QTRY_COMPARE(m_calls, QStringList({"initUI", "run"}));

        // Direct calls arrive before they return, also through the controller and from the
        // document itself; setCurrentDPI from a worker thread runs on the GUI thread.
        m_calls.clear();
        view()->setBusy(250);
        view()->callRoot("busyFromDocument", Qt::DirectConnection);
        view()->callRoot("busyFromDocumentFor", Qt::DirectConnection, {300});
        QStringList expected{"setProtectUI 250", "setProtectUI 0", "setProtectUI 300"};
        QCOMPARE(m_calls, expected);
        std::unique_ptr<QThread> worker(QThread::create([this] { view()->setCurrentDPI(3); }));
        worker->start();
        QVERIFY(worker->wait(5000));
        expected << QStringLiteral("setCurrentDPI 3");
        QTRY_COMPARE(m_calls, expected);
        QVERIFY(!m_offGuiThread);

        // Functions the document lacks, and a view without a document, are harmless.
        m_calls.clear();
        QVERIFY(!view()->callRoot("detectKeyboard", Qt::QueuedConnection, {true, 4}));
        QVERIFY(!view()->callRoot("noSuchFunction", Qt::DirectConnection));
        view()->openUpdateExe();
        myQQuickView bare(nullptr, m_dir.path());
        bare.initUI();
        bare.setBusy(10);
        bare.setCurrentDPI(2);
        QVERIFY(!bare.callRoot("initUI", Qt::DirectConnection));
        QCoreApplication::processEvents();
        QVERIFY(m_calls.isEmpty());
    }

    // While the event loop is held the view shows a frame it rendered itself; once the view renders
    // through the event loop again, or is unlocked, its live picture is back. A hidden view renders
    // nothing.
    void lockedViewDrawsItself()
    {
        view()->setEnabled(false);
        view()->repaintNow();
        QVERIFY(!view()->findChild<QWidget *>(QStringLiteral("frozenFrame")));
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
        view()->repaintNow();
        auto *frame = view()->findChild<QWidget *>(QStringLiteral("frozenFrame"));
        QVERIFY(frame && frame->isVisible());
        QCOMPARE(frame->geometry(), view()->rect());
        view()->setEnabled(true);
        QVERIFY(!frame->isVisible());
        view()->setEnabled(false);
        view()->repaintNow();
        QVERIFY(frame->isVisible());
        view()->callRoot("initUI", Qt::DirectConnection);   // the document changes: a new frame
        QTRY_VERIFY(!frame->isVisible());
        m_window.hide();
    }

    void windowHandling()
    {
        QCOMPARE(view()->parentWidget(), &m_window);
        QCOMPARE(view()->rootContext()->contextProperty("ui_Ctl").value<QObject *>(), &m_ctl);
        m_window.move(100, 100);
        m_ctl.onXChanged(-5);
        m_ctl.onYChanged(7);
        QCOMPARE(m_window.pos(), QPoint(95, 107));
        m_window.show();
        m_ctl.onClose();
        QVERIFY(!m_window.isVisible());
        // Without a window the controller does nothing.
        Ui_Controler idle;
        idle.onXChanged(3);
        idle.onMinimize();
        idle.onClose();
        idle.setBusy();
    }

private:
    myQQuickView *view() { return m_ctl.view(); }

    QTemporaryDir m_dir;
    QStringList m_calls;
    bool m_offGuiThread = false;
    QWidget m_window;
    Ui_Controler m_ctl;
};

QTEST_MAIN(tst_ViewPlumbing)
#include "tst_view_plumbing.moc"
