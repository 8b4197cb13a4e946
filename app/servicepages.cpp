#include "app/servicepages.h"

#include "app/appservices.h"
#include "pages/accountspage.h"
#include "pages/activitypage.h"
#include "pages/linkpage.h"
#include "pages/pagedialogs.h"
#include "pages/vaultpage.h"
#include "protection/protectionservice.h"

namespace {

// The service pages' warnings go through the window's own message hook.
class HookDialogs : public QObject, public PageDialogs
{
public:
    HookDialogs(MessageHook message, QObject *parent) : QObject(parent), m_message(std::move(message)) {}
    void warn(QWidget *, const QString &text) override { m_message(QMessageBox::Warning, text); }

private:
    MessageHook m_message;
};

} // namespace

MessageHook standardMessageHook(QWidget *parent)
{
    return [parent](QMessageBox::Icon icon, const QString &text) {
        // Plain-text boxes: the texts carry server answers and account names.
        if (icon == QMessageBox::Warning)
            PageDialogs::standard()->warn(parent, text);
        else
            PageDialogs::standard()->inform(parent, "MIRELO+", text);
    };
}

ServicePages buildServicePages(AppServices *s, QWidget *parent, const MessageHook &message)
{
    auto *dialogs = new HookDialogs(message, parent);
    ServicePages pages;
    pages.vault = new VaultPage(s->vault(), s->typer(), s->vaultAutoLock(), parent);
    pages.vault->setDialogs(dialogs);
    pages.accounts = new AccountsPage(s->store(), s->imap(), parent);
    pages.accounts->setDialogs(dialogs);
    pages.link = new LinkPage(s->link(), parent);
    pages.link->setDialogs(dialogs);
    pages.activity = new ActivityPage(s->store(), parent);
    ProtectionService *protection = s->protection();
    pages.activity->setGuardStatus(protection->guardStatus());
    pages.activity->refreshHealth();
    QObject::connect(protection, &ProtectionService::guardStatusChanged, pages.activity,
                     &ActivityPage::setGuardStatus);
    QObject::connect(protection, &ProtectionService::maskedChanged, pages.vault, &VaultPage::setMasked);
    return pages;
}
