#pragma once

#include <QWidget>

class MailStore;
class QComboBox;
class QListWidget;
class QLineEdit;
class QMenu;

// The row of the account form that says what becomes of a code mail once
// its code was used; the combo box's data is the AfterUse value.
QWidget *afterUseRow(QWidget *parent, QComboBox **combo);
// "Kod kullanildiktan sonra" as a submenu of a stored account's menu: the
// choice changes without the form (and its password) again.
void addAfterUseMenu(QMenu *menu, MailStore *store, const QString &address);

// The accounts page's section on used and stale codes and silenced
// senders: the settings beside the accounts, and the silenced list, shown
// and edited.
class CodeUseSection : public QWidget
{
    Q_OBJECT
public:
    explicit CodeUseSection(MailStore *store, QWidget *parent = nullptr);

    QListWidget *silencedList() const { return m_list; }
    QLineEdit *silenceField() const { return m_field; }

public slots:
    void refreshSilenced();
    // Adds the field's text: a domain when it has no "@".
    void addFromField();
    void removeSelected();

signals:
    void statusMessage(const QString &text);

private:
    MailStore *m_store;
    QListWidget *m_list = nullptr;
    QLineEdit *m_field = nullptr;
};
