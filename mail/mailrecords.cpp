#include "mail/mailrecords.h"

void registerMailMetaTypes()
{
    qRegisterMetaType<EmailAccount>("EmailAccount");
    qRegisterMetaType<MailItem>("MailItem");
    qRegisterMetaType<QList<EmailAccount>>("QList<EmailAccount>");
    qRegisterMetaType<QList<MailItem>>("QList<MailItem>");
}
