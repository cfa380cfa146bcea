#pragma once

class InputHook;
class Widget;

// Registers the three callbacks of the input hook with the main window as their context: keys and
// buttons go to the documents (queued), copy-data notices show a warning box.
void connectInputHook(InputHook &hook, Widget &window);
