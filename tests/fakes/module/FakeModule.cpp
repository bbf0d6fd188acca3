// A module for the module slot's tests, opened the way the program opens its own: its one entry
// gives a number that the tests' parts keep, so a test can tell it was really called.
#include "platform/ModuleEntries.h"

ZELVO_MODULE_ENTRY int zelvoFakeModuleNumber() { return 42; }
