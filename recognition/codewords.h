#pragma once

#include <QString>
#include <QStringView>

// What a word of a mail says about the numbers around it. Words are looked
// up folded: lower case, Turkish and other Latin diacritics dropped.
namespace CodeWord {
enum Flag : unsigned {
    CodeNoun = 1u << 0,   // kod, code, passcode, OTP, PIN, codigo, код ...
    Context = 1u << 1,    // verify, sign-in, login, dogrulama, giris ...
    Label = 1u << 2,      // order, invoice, tracking, phone, total, no, # ...
    Modifier = 1u << 3,   // turns a following (or, in Romance order, preceding) code noun into a label: promo code
    Promo = 1u << 4,      // discount, coupon, checkout: the sentence sells something
    OrderTalk = 1u << 5,  // order, siparis: the sentence is about a purchase
    Filler = 1u << 6,     // is, ist, lautet: stands between a keyword and its code
    Month = 1u << 7,      // month and weekday names
    Unit = 1u << 8,       // minutes, dakika, km, points: the number is a quantity
    Currency = 1u << 9,   // TL, USD, euro
    Street = 1u << 10,    // street, caddesi, suite: the line is an address
    Copyright = 1u << 11, // copyright, telif
    Stop = 1u << 12,      // upper-case words that are not codes (HERE, BELOW)
    Booking = 1u << 13,   // reservation, itinerary, PNR: the mail's codes are booking references
    Payment = 1u << 14,   // invoice, receipt, payment, authorisation: a mail about money, its codes are numbers
    EntryVerb = 1u << 15, // enter, type, paste, eingeben: the sentence tells the reader to type something
    Approval = 1u << 16,  // authorisation, approval: a payment's word only where an amount is in sight
    Confirm = 1u << 17,   // confirm, confirmation: a code's sentence as often as an order's or a booking's
};
}

// Flags of one folded word; `next` is the folded word after it (for "sign
// in", "one time"), empty when none.
unsigned codeWordFlags(QStringView folded, QStringView next);

// The folded form of one character: ASCII lower case, Latin letters without
// their diacritics, other scripts lower-cased. Always one UTF-16 unit.
char16_t foldedChar(char16_t c);

// Two-letter US state abbreviations (upper case), for postal codes.
bool isUsState(QStringView word);
