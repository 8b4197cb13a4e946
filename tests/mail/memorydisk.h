#pragma once

#include "mail/mailstorage.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>

// Mail records kept in memory, with every write counted per key; stores made
// with storage() share them, like two runs of the program share the disk.
struct MemoryDisk
{
    QHash<QString, QByteArray> values;
    QHash<QString, int> writes;

    std::unique_ptr<MailStorage> storage()
    {
        struct Storage : MailStorage
        {
            explicit Storage(MemoryDisk *disk) : disk(disk) {}
            QByteArray value(const QString &key) const override { return disk->values.value(key); }
            void setValue(const QString &key, const QByteArray &value) override
            {
                disk->values.insert(key, value);
                ++disk->writes[key];
            }
            MemoryDisk *disk;
        };
        return std::make_unique<Storage>(this);
    }
};
