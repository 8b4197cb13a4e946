#include "app/signingate.h"

#include "account/authdialog.h"
#include "account/firebaseauth.h"

int execDialog(QDialog *dialog)
{
    return dialog->exec();
}

bool runSignInGate(FirebaseAuth *auth, QWidget *parent, const DialogRunner &run)
{
    if (auth->isLogged())
        return true;
    AuthDialog dialog(auth, parent);
    const int result = run ? run(&dialog) : dialog.exec();
    return result == QDialog::Accepted && auth->isLogged();
}
