// Host pointer slots of the view. (Placeholder bodies until the pointer settings land.)
#include "myQQuickView.h"

void myQQuickView::mouseSetCursorSpeed(uint) {}
void myQQuickView::mouseSetVerticalScrollLines(uint) {}
void myQQuickView::mouseSetDoubleClickSpeed(uint) {}
