#include "pages/activitypage.h"

#include "desktop/shieldchecks.h"
#include "mail/mailstore.h"
#include "pages/lettericon.h"
#include "pages/pagewidgets.h"
#include "recognition/brands.h"
#include "recognition/headerdecode.h"

#include <QHostInfo>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

namespace {

// Every text on this page wraps.
QLabel *wrappedLabel(const QString &text, const char *cls, QWidget *parent)
{
    QLabel *l = classedLabel(text, cls, parent);
    l->setWordWrap(true);
    return l;
}

constexpr int kMaxAlerts = 30;

} // namespace

ActivityPage::ActivityPage(MailStore *store, QWidget *parent)
    : QWidget(parent), m_store(store), m_interfaces(systemInterfaces),
      m_defenderQuery([](QObject *context, std::function<void(bool, bool)> done) {
          queryDefender(context, std::move(done));
      })
{
    auto *root = new QVBoxLayout(this);
    root->addWidget(wrappedLabel(QStringLiteral("Hesap Hareketleri"), "h1", this));
    root->addWidget(wrappedLabel(QStringLiteral("Guvenlik uyarilari ve bu cihazin erisim kaydi."), "pageSub", this));
    root->addWidget(wrappedLabel(
        QStringLiteral("IMAP giris gecmisi vermez. Bu liste: saglayicinin gonderdigi guvenlik mailleri (yeni "
                       "giris/cihaz uyarilari) + bu cihazda MIRELO+'in erisim kaydi."),
        "muted", this));
    m_summary = wrappedLabel(QString(), "banner", this);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    root->addWidget(m_summary);
    m_guard = wrappedLabel(QString(), "muted", this);
    root->addWidget(m_guard);
    root->addWidget(wrappedLabel(QStringLiteral("Sistem Kalkani (cekirdek korumalari)"), "h2", this));
    root->addWidget(wrappedLabel(QStringLiteral("Cekirdek zararlilarina karsi asil koruma bunlardir. Kapali olan "
                                                "varsa acilmasi onerilir."),
                                 "muted", this));
    m_shield = wrappedLabel(QStringLiteral("Denetleniyor..."), "banner", this);
    m_shield->setTextInteractionFlags(Qt::TextSelectableByMouse);
    root->addWidget(m_shield);
    QPushButton *recheck = classedButton(QStringLiteral("Tekrar Denetle"), "ghostBtn", this);
    root->addWidget(recheck, 0, Qt::AlignLeft);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("accList"));
    m_list->setSpacing(6);
    root->addWidget(m_list, 1);

    connect(recheck, &QPushButton::clicked, this, &ActivityPage::refreshHealth);
    if (m_store) {
        connect(m_store, &MailStore::mailsChanged, this, &ActivityPage::refreshActivity);
        connect(m_store, &MailStore::accountsChanged, this, &ActivityPage::refreshActivity);
    }
    refreshActivity();
}

void ActivityPage::setInterfaceSource(InterfaceSource source)
{
    m_interfaces = source ? std::move(source) : InterfaceSource(systemInterfaces);
}

void ActivityPage::setDefenderQuery(DefenderQuery query)
{
    m_defenderQuery = std::move(query);
}

void ActivityPage::refreshActivity()
{
    const QList<EmailAccount> accounts = m_store ? m_store->accounts() : QList<EmailAccount>();
    m_summary->setText(accessSummaryText(QSysInfo::machineHostName(), QSysInfo::prettyProductName(),
                                         networkListText(m_interfaces()), accounts));

    m_list->clear();
    const QList<MailItem> mails = m_store ? m_store->mails() : QList<MailItem>();
    const QDateTime now = QDateTime::currentDateTime();
    int shown = 0;
    for (const MailItem &m : mails) {
        if (shown >= kMaxAlerts)
            break;
        if (!isSecurityAlert(m))
            continue;
        const Brand brand = brandOf(m.from, m.subject);
        const QString who = brand.name.isEmpty() ? senderName(m.from) : brand.name;
        const QString text = QStringLiteral("%1  •  %2\n%3  —  %4")
                                 .arg(readableTime(mailTime(m), now), who,
                                      m.subject.left(90), m.account);
        auto *item = new QListWidgetItem(text, m_list);
        // Without a brand the alert gets the warning amber, not the neutral grey.
        const QColor color(brand.name.isEmpty() || brand.color.isEmpty() ? QStringLiteral("#B45309") : brand.color);
        item->setIcon(letterIcon(color, avatarInitial(m.from, brand.name)));
        ++shown;
    }
    if (shown == 0) {
        auto *item = new QListWidgetItem(
            QStringLiteral("Guvenlik uyarisi yok. Yeni giris/cihaz maili gelince burada listelenir."), m_list);
        item->setFlags(Qt::NoItemFlags);
    }
}

void ActivityPage::showShield()
{
    ShieldChecks checks;
    checks.hvci = m_hvci;
    checks.secureBoot = m_secureBoot;
    checks.uac = m_uac;
    checks.testSigning = m_testSigning;
    m_shield->setText(shieldText(checks, m_defenderOn, m_defenderKnown));
}

void ActivityPage::setShieldAvailable(bool available)
{
    m_shieldAvailable = available;
}

void ActivityPage::refreshHealth()
{
    if (!m_shieldAvailable) {
        // The checks read the Windows registry and ask Defender; elsewhere
        // "off" would be a claim about the machine that nobody checked.
        m_shield->setText(QStringLiteral("Denetlenemiyor: sistem kalkani denetimleri yalnizca Windows'ta calisir."));
        return;
    }
    const ShieldChecks checks = readShieldChecks();
    m_hvci = checks.hvci;
    m_secureBoot = checks.secureBoot;
    m_uac = checks.uac;
    m_testSigning = checks.testSigning;
    showShield();
    if (!m_defenderQuery)
        return;
    QPointer<ActivityPage> self(this);
    m_defenderQuery(this, [self](bool on, bool known) {
        if (!self)
            return;
        self->m_defenderOn = on;
        self->m_defenderKnown = known;
        self->showShield();
    });
}

void ActivityPage::setGuardStatus(const QString &text)
{
    m_guard->setText(text);
}
