#include "account/authdialog.h"

#include "account/firebaseauth.h"
#include "desktop/capturewidget.h"

#include <QCoreApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *makeLabel(const QString &text, const char *styleClass, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setProperty("class", QString::fromLatin1(styleClass));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QPushButton *makeButton(const QString &text, const char *styleClass, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setProperty("class", QString::fromLatin1(styleClass));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

QPixmap AuthDialog::findLogo()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList candidates = {
        appDir + QStringLiteral("/resources/logo_full.png"),
        appDir + QStringLiteral("/logo_full.png"),
        QStringLiteral("resources/logo_full.png"),
        QStringLiteral(":/logo_full.png"),
        appDir + QStringLiteral("/resources/logo.png"),
        QStringLiteral("resources/logo.png"),
        QStringLiteral(":/logo.png"),
    };
    for (const QString &path : candidates) {
        if (!QFile::exists(path))
            continue;
        QImage image(path);
        if (image.isNull())
            continue;
        if (image.width() > 2 * image.height())
            return QPixmap::fromImage(image.scaledToWidth(260, Qt::SmoothTransformation));
        return QPixmap::fromImage(image.scaled(72, 72, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    return QPixmap();
}

AuthDialog::AuthDialog(FirebaseAuth *auth, QWidget *parent)
    : QDialog(parent)
    , m_auth(auth)
{
    setWindowTitle(QStringLiteral("MIRELO+ Hesabi"));
    setModal(true);
    setMinimumWidth(360);
    setObjectName(QStringLiteral("authDialog"));
    applyCaptureProtection(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 26, 28, 26);
    layout->setSpacing(12);

    auto *logo = new QLabel(this);
    logo->setAlignment(Qt::AlignCenter);
    const QPixmap pixmap = findLogo();
    logo->setPixmap(pixmap.isNull() ? QIcon(QStringLiteral(":/icons/logo.svg")).pixmap(44, 44) : pixmap);
    layout->addWidget(logo);

    layout->addWidget(makeLabel(QStringLiteral("MIRELO+ Hesabi"), "h1", this));
    QLabel *subtitle = makeLabel(QStringLiteral("Devam etmek icin giris yapmalisin."), "muted", this);
    subtitle->setWordWrap(true);
    layout->addWidget(subtitle);

    m_userEdit = new QLineEdit(this);
    m_userEdit->setPlaceholderText(QStringLiteral("kullanici_adi (3-20, harf/rakam/_)"));
    m_userEdit->setClearButtonEnabled(true);
    layout->addWidget(m_userEdit);

    m_passEdit = new QLineEdit(this);
    m_passEdit->setPlaceholderText(QStringLiteral("sifre (en az 4 karakter)"));
    m_passEdit->setEchoMode(QLineEdit::Password);
    layout->addWidget(m_passEdit);

    m_statusLabel = new QLabel(this);
    // Shows the database's error texts.
    m_statusLabel->setTextFormat(Qt::PlainText);
    m_statusLabel->setProperty("class", QStringLiteral("muted"));
    layout->addWidget(m_statusLabel);

    auto *row = new QHBoxLayout;
    QPushButton *signInButton = makeButton(QStringLiteral("Giris Yap"), "ghostBtn", this);
    QPushButton *signUpButton = makeButton(QStringLiteral("Kayit Ol"), "primaryBtn", this);
    row->addWidget(signInButton);
    row->addWidget(signUpButton);
    layout->addLayout(row);

    connect(signInButton, &QPushButton::clicked, this, &AuthDialog::onSignIn);
    connect(signUpButton, &QPushButton::clicked, this, &AuthDialog::onSignUp);
    connect(m_auth, &FirebaseAuth::authOk, this, [this](const QString &msg) {
        m_statusLabel->setText(msg);
        accept();
    });
    connect(m_auth, &FirebaseAuth::authError, this, [this](const QString &msg) { m_statusLabel->setText(msg); });
}

void AuthDialog::onSignIn()
{
    m_statusLabel->setText(QStringLiteral("Giris yapiliyor..."));
    m_auth->signIn(m_userEdit->text().trimmed(), m_passEdit->text());
}

void AuthDialog::onSignUp()
{
    m_statusLabel->setText(QStringLiteral("Kayit olusturuluyor..."));
    m_auth->signUp(m_userEdit->text().trimmed(), m_passEdit->text());
}
