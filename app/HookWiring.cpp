#include "HookWiring.h"

#include "InputHook.h"
#include "Widget.h"
#include "myQQuickView.h"

#include <QMessageBox>

namespace {

// The hook's callbacks run while the hook handles input: they only queue work for the documents.
void onKey(quint8 usage, bool pressed, void *context)
{
    if (auto *w = static_cast<Widget *>(context))
        w->view()->detectKeyboard(pressed, usage);
}

void onButton(quint8 code, bool down, quint32 x, quint32 y, void *context)
{
    if (auto *w = static_cast<Widget *>(context))
        w->view()->detectMouse(down, code, x, y);
}

void onCopyData(const CopyDataRecord *record, void *context)
{
    auto *w = static_cast<Widget *>(context);
    if (!w || !record)
        return;
    if (const auto text = copyDataNoticeText(*record))
        QMessageBox::warning(w, w->windowTitle(), *text, QMessageBox::Ok);
}

} // namespace

void connectInputHook(InputHook &hook, Widget &window)
{
    hook.setKeyboardCallback(onKey, &window);
    hook.setMouseCallback(onButton, &window);
    hook.setCopyDataCallback(onCopyData, &window);
}
