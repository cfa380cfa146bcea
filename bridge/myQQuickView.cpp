#include "myQQuickView.h"

#include "AppConfigStore.h"
#include "Hid_Thread.h"
#include "ProfileStore.h"

#include <QEnterEvent>
#include <QMetaObject>
#include <QQuickItem>
#include <QQuickWindow>
#include <QImage>
#include <QPainter>
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

// Shows one rendered frame of the document; painted synchronously by repaint().
class myQQuickView::FrozenFrame : public QWidget
{
public:
    using QWidget::QWidget;
    QImage frame;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(rect(), frame);
    }
};

void myQQuickView::setDeviceConnected(bool connected)
{
    setEnabled(connected);
    callRoot("setDeviceConnected", Qt::DirectConnection, {connected});
}

void myQQuickView::repaintNow()
{
    if (!isVisible())
        return;
    // grabFramebuffer renders the scene now; a repaint of the view itself would only show the frame
    // rendered before, so the new one is painted by a child on top.
    m_grabbing = true;
    const QImage frame = grabFramebuffer();
    m_grabbing = false;
    if (frame.isNull())
        return;
    if (!m_frozenFrame) {
        m_frozenFrame = new FrozenFrame(this);
        m_frozenFrame->setObjectName(QStringLiteral("frozenFrame"));
        m_frozenFrame->setAttribute(Qt::WA_TransparentForMouseEvents);
        // As soon as the view renders through the event loop again, its own picture is current.
        connect(quickWindow(), &QQuickWindow::afterRendering, m_frozenFrame, [this] {
            if (!m_grabbing)
                m_frozenFrame->hide();
        });
    }
    m_frozenFrame->frame = frame;
    m_frozenFrame->setGeometry(rect());
    m_frozenFrame->show();
    m_frozenFrame->raise();
    m_frozenFrame->repaint();
}

void myQQuickView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && isEnabled() && m_frozenFrame)
        m_frozenFrame->hide();
    QQuickWidget::changeEvent(event);
}

void myQQuickView::enterEvent(QEnterEvent *event)
{
    // Keeps the translucent frameless window drawn when the pointer comes over it.
    update();
    event->accept();
}
