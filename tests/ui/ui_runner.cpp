// Runs one UI test document (given with -input) against the rig of UiRig.h.
#include "UiRig.h"

#include <QApplication>
#include <QStandardPaths>
#include <QtQuickTest>

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    // The view is a widget and needs a widget application.
    QApplication app(argc, argv);
    MouseSim sim;
    return quick_test_main_with_setup(argc, argv, "tst_ui", QUICK_TEST_SOURCE_DIR, &sim);
}
