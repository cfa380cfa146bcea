#pragma once

#include <functional>

class Widget;
struct WidgetEnvironment;

// The program's start-up and shut-down, shared by the real program and the demo build.
struct StartupVariant
{
    // Fills in the environment's seams before the main window is built (the demo's virtual mouse).
    std::function<void(WidgetEnvironment &)> prepareEnvironment;
    // Runs after the main window exists and before the first device check.
    std::function<void(Widget &)> beforeFirstCheck;
};

int runProgram(int argc, char **argv, const StartupVariant &variant = {});
