#include "pages/linkpage.h"

#include "link/linkmanager.h"
#include "qr/qrwidget.h"
#include "pages/lettericon.h"
#include "pages/pagedialogs.h"
#include "pages/pagetexts.h"
#include "pages/pagewidgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kQrPixels = 240;

} // namespace

LinkPage::LinkPage(LinkManager *link, QWidget *parent, int tickMs)
    : QWidget(parent), m_link(link), m_dialogs(PageDialogs::standard())
{
    auto *root = new QVBoxLayout(this);
    root->addWidget(classedLabel(QStringLiteral("Baglanti (PC + Android)"), "h1", this));
    auto *sub = classedLabel(QStringLiteral("Telefondan QR'u okut veya kodu yaz. Kodlar uctan uca sifreli gider, "
                                            "sunucu okuyamaz."),
                             "pageSub", this);
    sub->setWordWrap(true);
    root->addWidget(sub);

    auto *body = new QHBoxLayout;
    auto *card = new QWidget(this);
    card->setObjectName(QStringLiteral("card"));
    card->setAttribute(Qt::WA_StyledBackground);
    auto *cardLay = new QVBoxLayout(card);
    m_qr = new QrWidget(card);
    cardLay->addWidget(m_qr, 0, Qt::AlignHCenter);
    m_code = classedLabel(QStringLiteral("------"), "pairCode", card);
    m_code->setAlignment(Qt::AlignCenter);
    m_code->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cardLay->addWidget(m_code);
    m_session = classedLabel(QString(), "muted", card);
    m_session->setAlignment(Qt::AlignCenter);
    m_session->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_session->setToolTip(QStringLiteral("QR okutamayan cihazda: oturum kimligi + eslestirme kodu"));
    cardLay->addWidget(m_session);
    m_timeLeft = classedLabel(QString(), "muted", card);
    m_timeLeft->setAlignment(Qt::AlignCenter);
    cardLay->addWidget(m_timeLeft);
    auto *btnRow = new QHBoxLayout;
    m_startBtn = classedButton(QStringLiteral("Eslestirme Baslat"), "primaryBtn", card);
    m_stopBtn = classedButton(QStringLiteral("Durdur"), "ghostBtn", card);
    btnRow->addStretch(1);
    btnRow->addWidget(m_startBtn);
    btnRow->addWidget(m_stopBtn);
    btnRow->addStretch(1);
    cardLay->addLayout(btnRow);
    body->addWidget(card);

    auto *devices = new QVBoxLayout;
    devices->addWidget(classedLabel(QStringLiteral("Esli Cihazlar"), "h2", this));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("accList"));
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    devices->addWidget(m_list, 1);
    auto *hint = classedLabel(QStringLiteral("Yeni kod geldiginde esli cihazlara sifreli gonderilir. Sag tikla "
                                             "baglantiyi kesebilirsin."),
                              "muted", this);
    hint->setWordWrap(true);
    devices->addWidget(hint);
    m_log = classedLabel(QStringLiteral("Henuz eslestirme yok."), "muted", this);
    m_log->setWordWrap(true);
    devices->addWidget(m_log);
    body->addLayout(devices, 1);
    root->addLayout(body, 1);

    connect(m_startBtn, &QPushButton::clicked, m_link, &LinkManager::startPairing);
    connect(m_stopBtn, &QPushButton::clicked, m_link, &LinkManager::cancelPairing);
    connect(m_list, &QListWidget::customContextMenuRequested, this, &LinkPage::onContextMenu);
    connect(m_link, &LinkManager::pairingChanged, this, &LinkPage::refreshLink);
    connect(m_link, &LinkManager::devicesChanged, this, &LinkPage::refreshLink);
    connect(m_link, &LinkManager::linkLog, this, &LinkPage::onLinkLog);

    m_timer = new QTimer(this);
    m_timer->setInterval(tickMs);
    connect(m_timer, &QTimer::timeout, this, &LinkPage::updateTimeLeft);
    m_timer->start();

    refreshLink();
}

void LinkPage::refreshLink()
{
    if (m_link->isPairing()) {
        const QString uri = m_link->pairingUri();
        if (uri != m_lastUri) {
            // Encoding is the costly part; the countdown redraws every second.
            if (m_qr->setPayload(uri, kQrPixels))
                m_lastUri = uri;
        }
        m_code->setText(pairingCodeText(m_link->pairingCode()));
        m_session->setText(QStringLiteral("Oturum: ") + m_link->sessionId());
        m_timeLeft->setText(timeLeftText(m_link->secondsLeft()));
    } else {
        m_session->clear();
        m_qr->showPlaceholder();
        m_lastUri.clear();
        m_code->setText(pairingCodeText(QString()));
        m_timeLeft->clear();
    }

    m_list->clear();
    const auto devices = m_link->devices();
    for (const PairedDevice &d : devices) {
        auto *item = new QListWidgetItem(d.name + QStringLiteral("  —  eslesti: ") + pairedAtText(d.at), m_list);
        item->setToolTip(d.at);
        item->setData(Qt::UserRole, d.sid);
        item->setIcon(letterIcon(QColor(kLetterGreen), firstLetterUpper(d.name)));
    }
    if (devices.isEmpty()) {
        auto *item = new QListWidgetItem(QStringLiteral("Henuz esli cihaz yok. Soldan eslestirme baslat."), m_list);
        item->setFlags(Qt::NoItemFlags);
    }
}

void LinkPage::updateTimeLeft()
{
    if (m_link->isPairing() && m_timeLeft)
        m_timeLeft->setText(timeLeftText(m_link->secondsLeft()));
}

void LinkPage::onLinkLog(const QString &msg)
{
    m_log->setText(msg);
    emit statusMessage(msg);
}

QMenu *LinkPage::deviceMenu(const QString &sid, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->addAction(QStringLiteral("Baglantiyi kes"), this, [this, sid] {
        // The phone stops getting codes and must pair again to get them back.
        QString name = sid;
        for (const PairedDevice &d : m_link->devices())
            if (d.sid == sid)
                name = d.name;
        if (m_dialogs->ask(this, QStringLiteral("Baglanti kesilsin mi: ") + name
                                     + QStringLiteral("? Bu cihaz yeni kodlari almaz; tekrar eslestirmek gerekir.")))
            m_link->unpair(sid);
    });
    return menu;
}

void LinkPage::setDialogs(PageDialogs *dialogs)
{
    m_dialogs = dialogs ? dialogs : PageDialogs::standard();
}

void LinkPage::onContextMenu(const QPoint &pos)
{
    QListWidgetItem *item = m_list->itemAt(pos);
    if (!item)
        return;
    const QString sid = item->data(Qt::UserRole).toString();
    if (sid.isEmpty())
        return;
    QMenu *menu = deviceMenu(sid, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(m_list->viewport()->mapToGlobal(pos));
}
