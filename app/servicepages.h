#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class AccountsPage;
class ActivityPage;
class AppServices;
class LinkPage;
class QWidget;
class VaultPage;

using MessageHook = std::function<void(QMessageBox::Icon icon, const QString &text)>;

// Plain-text message boxes titled "MIRELO+" over `parent`.
MessageHook standardMessageHook(QWidget *parent);

// The vault, accounts, link and activity pages over their services. Each
// follows its own service's change signals; here they also follow masked
// mode and the guard, and send their warnings through `message`.
struct ServicePages
{
    VaultPage *vault = nullptr;
    AccountsPage *accounts = nullptr;
    LinkPage *link = nullptr;
    ActivityPage *activity = nullptr;
};
ServicePages buildServicePages(AppServices *services, QWidget *parent, const MessageHook &message);
