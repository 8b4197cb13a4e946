#pragma once

#include "mail/mailrecords.h"
#include "pages/pageindex.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QWidget>

struct Category;
class InboxFilter;
class MailStore;
class QLabel;
class QPushButton;
class QVBoxLayout;

// Mails per category name, over all mails whatever the filters; mails in no
// category are not counted.
QHash<QString, int> categoryCounts(const QList<MailItem> &mails, const QList<Category> &categories);
// "  Name" or "  Name (n)" for n >= 1.
QString categoryButtonText(const QString &name, int count);

// Left column: navigation, the all-mails view, one filter button per
// category, the theme button and the user chip.
class Sidebar : public QWidget
{
    Q_OBJECT
public:
    explicit Sidebar(MailStore *store, InboxFilter *filter, QWidget *parent = nullptr);

    // Navigation buttons in order: all mails, vault, accounts, link, activity.
    QList<QPushButton *> navButtons() const { return m_nav; }
    QPushButton *allButton() const { return m_all; }
    QPushButton *themeButton() const { return m_theme; }
    QPushButton *addCategoryButton() const { return m_addCat; }
    QPushButton *signOutButton() const { return m_signOut; }
    QLabel *userNameLabel() const { return m_userName; }
    QLabel *avatarLabel() const { return m_avatar; }
    QList<QPushButton *> categoryButtons() const;

    void setUser(const QString &name, const QString &letter);
    // Navigation icons for the current theme.
    void refreshIcons();
    // The theme button offers the other theme; icons and counts redrawn.
    void setLightTheme(bool light);

public slots:
    void refreshCategories();
    // Marks the one entry of the page shown: a page's own button, or on the
    // inbox the category filtered by, else "Tum Mailler" when unfiltered.
    void setCurrentPage(PageIndex page);

signals:
    void pageRequested(PageIndex page);
    void categoryDialogRequested();
    void themeToggleRequested();
    void signOutRequested();

private:
    QPushButton *addNavButton(QVBoxLayout *lay, const QString &label, const QString &icon);
    QPushButton *addPageButton(QVBoxLayout *lay, const QString &label, const QString &icon, PageIndex page);

    MailStore *m_store;
    InboxFilter *m_filter;
    void updateMarks();

    QList<QPushButton *> m_nav;
    PageIndex m_page = InboxPageIndex;
    QPushButton *m_all = nullptr;
    QPushButton *m_addCat = nullptr;
    QPushButton *m_theme = nullptr;
    QPushButton *m_signOut = nullptr;
    QLabel *m_userName = nullptr;
    QLabel *m_avatar = nullptr;
    QVBoxLayout *m_catBox = nullptr;
};
