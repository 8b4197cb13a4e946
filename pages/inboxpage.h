#pragma once

#include <QString>
#include <QWidget>

class InboxFilter;
class InboxModel;
class MailCardDelegate;
class MailListView;
class MailStore;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;

// Page 0: the store's mails as cards, filtered by the sidebar and the search
// field; rebuilt whole on every refresh.
class InboxPage : public QWidget
{
    Q_OBJECT
public:
    explicit InboxPage(MailStore *store, InboxFilter *filter, QWidget *parent = nullptr);

    QLineEdit *searchField() const { return m_search; }
    QLabel *banner() const { return m_banner; }
    QListView *mailList() const;
    InboxModel *model() const { return m_model; }
    QPushButton *refreshButton() const { return m_refresh; }
    QPushButton *demoButton() const { return m_demo; }

    void setMasked(bool masked) { m_masked = masked; }
    bool isMasked() const { return m_masked; }
    void setLightTheme(bool light);
    // Number of rebuilds so far (the window's debounce is measured by it).
    int rebuildCount() const { return m_rebuilds; }

    // The context menu for the row under a viewport point, or null; the
    // caller owns it. Shown by `showContextMenu`.
    QMenu *contextMenuAt(const QPoint &viewportPos, QWidget *parent = nullptr);

public slots:
    void refreshMailList();
    void showContextMenu(const QPoint &viewportPos);
    // The card actions, by row (buttons, double-click).
    void copyRow(int row);
    void typeRow(int row);
    void replyRow(int row);

signals:
    // Every edit of the search field; the window debounces the rebuild.
    void searchEdited();
    // "Yenile": poll now, then rebuild at once.
    void refreshRequested();
    void copyRequested(const QString &code);      // with a status line
    void quietCopyRequested(const QString &code); // from the context menu
    void typeRequested(const QString &code);
    // The user copied or typed the code of mail `mailId` by hand.
    void codeUsed(const QString &mailId);
    void replyRequested(const QString &account, const QString &to, const QString &subject, const QString &mailId);
    void showOnlyAccountRequested(const QString &address);
    void statusMessage(const QString &msg);

private:
    QString rowCode(int row) const;
    // The row's code for a copy or type; in masked mode only the status line.
    QString actionCode(int row);

    MailStore *m_store;
    InboxFilter *m_filter;
    QLineEdit *m_search = nullptr;
    QPushButton *m_refresh = nullptr;
    QPushButton *m_demo = nullptr;
    QLabel *m_banner = nullptr;
    MailListView *m_list = nullptr;
    InboxModel *m_model = nullptr;
    MailCardDelegate *m_delegate = nullptr;
    bool m_masked = false;
    int m_rebuilds = 0;
};
