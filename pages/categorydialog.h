#pragma once

#include <QDialog>
#include <QStringList>

class MailStore;
class QLineEdit;
class QListWidget;

// The filters text split at commas, parts trimmed, empty parts dropped.
QStringList parseCategoryFilters(const QString &text);

// Adds and removes mail categories with their automatic sender rules.
class CategoryDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CategoryDialog(MailStore *store, QWidget *parent = nullptr);

    QLineEdit *nameField() const { return m_name; }
    QLineEdit *filtersField() const { return m_filters; }
    QListWidget *categoryList() const { return m_list; }

public slots:
    // "Ekle".
    void addCategory();
    void rebuildList();

private:
    MailStore *m_store;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_filters = nullptr;
    QListWidget *m_list = nullptr;
};
