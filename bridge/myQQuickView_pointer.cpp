// Host pointer slots of the view: the system settings page's indices become host values here, and
// HostPointerSettings hands them to the desktop. A refusal is only logged; the page is not told.
#include "myQQuickView.h"

#include "HostPointerSettings.h"

#include <QDebug>

namespace {

HostPointerSettings &pointerSettings(HostPointerSettings *chosen)
{
    return chosen ? *chosen : HostPointerSettings::processDefault();
}

} // namespace

void myQQuickView::mouseSetCursorSpeed(uint cursorSpeed)
{
    if (!pointerSettings(m_pointerSettings).setCursorSpeed(cursorSpeedForIndex(cursorSpeed)))
        qDebug("setCursorSpeed Failed");
}

void myQQuickView::mouseSetVerticalScrollLines(uint lines)
{
    if (!pointerSettings(m_pointerSettings).setWheelScrollLines(lines))
        qDebug("setVerticalScrollLines Failed");
}

void myQQuickView::mouseSetDoubleClickSpeed(uint speed)
{
    if (!pointerSettings(m_pointerSettings).setDoubleClickTime(doubleClickTimeForIndex(speed)))
        qDebug("setDoubleClickSpeed Failed");
}
