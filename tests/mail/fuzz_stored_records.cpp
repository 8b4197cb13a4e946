#include "mail/silenced.h"
#include "mail/storedrecords.h"

#include <cstdint>
#include <cstdlib>

// Input: whatever the settings store holds under "accounts", "categories" or "silencedSenders".
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char *>(data), qsizetype(size));

    const QList<EmailAccount> accounts = accountsFromJson(json);
    for (const EmailAccount &a : accounts) {
        if (a.address.isEmpty() || a.port == 0)
            abort();
    }
    // What was loaded must survive a save and a load unchanged.
    const QList<EmailAccount> again = accountsFromJson(accountsToJson(accounts));
    if (again.size() != accounts.size())
        abort();
    for (qsizetype i = 0; i < again.size(); ++i) {
        const EmailAccount &a = accounts.at(i), &b = again.at(i);
        if (a.address != b.address || a.host != b.host || a.port != b.port || a.pass != b.pass
            || a.enabled != b.enabled)
            abort();
    }

    const QList<Category> categories = categoriesFromJson(json);
    const QList<Category> catsAgain = categoriesFromJson(categoriesToJson(categories));
    if (catsAgain.size() != categories.size())
        abort();
    for (qsizetype i = 0; i < categories.size(); ++i) {
        if (categories.at(i).name.isEmpty() || catsAgain.at(i).filters != categories.at(i).filters)
            abort();
    }
    // ... or under "silencedSenders": what loads survives a save and a load.
    const SilencedSenders silenced = SilencedSenders::fromJson(json);
    if (SilencedSenders::fromJson(silenced.toJson()).entries() != silenced.entries())
        abort();
    return 0;
}
