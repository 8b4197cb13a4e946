#pragma once

#include <QtTest>

// The extractor's worked examples as Qt Test rows (subject, text, code, tag,
// confidence); the extractor's own test and mirelo-inspect's both run them.
inline void addWorkedExampleRows()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("confidence");

    // The demo mails.
    QTest::newRow("github") << "GitHub OTP" << "Verification code: 902-114" << "902114" << "keyword_near" << 100;
    QTest::newRow("steam") << "Steam Guard kodun" << "Hesabina giris icin kodun: 847204" << "847204" << "6digit" << 95;
    QTest::newRow("valorant") << "VALORANT giris kodun" << "Merhaba! Dogrulama kodun: 482 913. 10 dakika gecerli."
                              << "482913" << "split_6" << 93;
    QTest::newRow("discord") << "Discord dogrulama" << "Kodun: 5518" << "5518" << "4digit" << 75;
    QTest::newRow("epic") << "Epic Games iki asamali dogrulama" << "Guvenlik kodun 739201. Kimseyle paylasma."
                          << "739201" << "6digit" << 95;

    QTest::newRow("no keyword") << "" << "Order 123456" << "123456" << "6digit" << 75;
    QTest::newRow("groups joined") << "" << "code: 482913 10 dakika" << "48291310" << "keyword_near" << 100;
    QTest::newRow("too long after keyword") << "" << "code: 1234 5678 9012" << "1234" << "4digit" << 75;
    QTest::newRow("year wins over later rules") << "" << "Copyright 2024, ref 55123" << "2024" << "4digit" << 55;
    QTest::newRow("six digits beat earlier split") << "" << "ref 123 456 and later 654321" << "654321" << "6digit"
                                                   << 75;
    QTest::newRow("alnum dash keeps case") << "" << "AB12-cd34" << "AB12cd34" << "alnum_dash" << 40;
    QTest::newRow("both empty") << "" << "" << "" << "" << 0;
}
