#pragma once

#include <QDialog>

class FirebaseAuth;
class QLabel;
class QLineEdit;

// The modal sign-in window that gates the program: it hands the typed name
// and password to FirebaseAuth and closes accepted on its success.
class AuthDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AuthDialog(FirebaseAuth *auth, QWidget *parent = nullptr);

    // The logo as shown at the top: the first logo file that loads, scaled;
    // null when none does (the built-in icon is drawn instead).
    static QPixmap findLogo();

private:
    void onSignIn();
    void onSignUp();

    FirebaseAuth *m_auth;
    QLineEdit *m_userEdit;
    QLineEdit *m_passEdit;
    QLabel *m_statusLabel;
};
