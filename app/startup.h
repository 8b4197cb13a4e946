#pragma once

#include <functional>

class MainWindow;

// The whole run of the program: identity, the standard-error lines, the main
// window, the sign-in gate and the event loop. Returns the exit code.
// `afterShow` runs once the window is shown (benchmarks measure start-up by it).
int runMirelo(int &argc, char **argv, const std::function<void(MainWindow &)> &afterShow = {});
