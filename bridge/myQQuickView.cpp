#include "myQQuickView.h"

#include "AppConfigStore.h"
#include "Hid_Thread.h"
#include "ProfileStore.h"

#include <QEnterEvent>
#include <QMetaObject>
#include <QQuickItem>
#include <QThread>

myQQuickView::myQQuickView(QWidget *parent, const QString &modulesDir)
    : QQuickWidget(parent)
    , m_modulesDir(modulesDir)
    , m_appConfig(std::make_unique<AppConfigStore>(modulesDir))
    , m_profiles(std::make_unique<ProfileStore>(modulesDir))
    , m_flags(m_appConfig->modelFlags())
{
    setResizeMode(QQuickWidget::SizeViewToRootObject);
}

myQQuickView::~myQQuickView() = default;

void myQQuickView::setFileChooser(FileChooser *chooser)
{
    m_fileChooser = chooser;
}

void myQQuickView::setHostPointerSettings(HostPointerSettings *settings)
{
    m_pointerSettings = settings;
}

bool myQQuickView::callRoot(const char *function, Qt::ConnectionType type, const QVariantList &args)
{
    QObject *root = rootObject();
    if (!root)
        return false;
    // QML functions take and return QVariant; the documents may lack any of them, which is harmless.
    QGenericArgument a[4];
    for (int i = 0; i < args.size() && i < 4; ++i)
        a[i] = Q_ARG(QVariant, args.at(i));
    return QMetaObject::invokeMethod(root, function, type, a[0], a[1], a[2], a[3]);
}

void myQQuickView::detectKeyboard(bool isDown, int usbCode)
{
    callRoot("detectKeyboard", Qt::QueuedConnection, {isDown, usbCode});
}

void myQQuickView::detectMouse(bool isDown, uint mouseCode, uint x, uint y)
{
    callRoot("detectMouse", Qt::QueuedConnection, {isDown, mouseCode, x, y});
}

void myQQuickView::clearHidBusy()
{
    if (hid)
        hid->setHidReady(true);
}

void myQQuickView::initUI()
{
    callRoot("initUI", Qt::QueuedConnection);
}

void myQQuickView::runUI()
{
    callRoot("run", Qt::QueuedConnection);
}

void myQQuickView::openUpdateExe()
{
}

void myQQuickView::setBusy(int busyTime)
{
    callRoot("setProtectUI", Qt::DirectConnection, {busyTime});
}

void myQQuickView::setCurrentDPI(int dpiValue)
{
    // The document belongs to the GUI thread; a caller elsewhere hands the call over.
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this, dpiValue] { setCurrentDPI(dpiValue); },
                                  Qt::QueuedConnection);
        return;
    }
    callRoot("setCurrentDPI", Qt::DirectConnection, {dpiValue});
}

void myQQuickView::enterEvent(QEnterEvent *event)
{
    // Keeps the translucent frameless window drawn when the pointer comes over it.
    update();
    event->accept();
}
