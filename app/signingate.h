#pragma once

#include <functional>

class FirebaseAuth;
class QDialog;
class QWidget;

// Runs a modal dialog and returns its result; tests answer it without a
// person in front of the screen.
using DialogRunner = std::function<int(QDialog *)>;
int execDialog(QDialog *dialog);

// Passes at once for a signed-in user; otherwise shows the sign-in dialog
// over `parent` and passes only when it ends accepted with a signed-in user.
bool runSignInGate(FirebaseAuth *auth, QWidget *parent, const DialogRunner &run = execDialog);
