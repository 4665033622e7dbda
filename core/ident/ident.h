// Internal interface of the account-identifier layer: the bank directory, IBAN
// validation and the lookups built on them.
#ifndef TARVO_IDENT_H
#define TARVO_IDENT_H

#include <stddef.h>
#include <stdint.h>
#include <time.h>

#include "tarvo.h"

namespace tarvo {

// A directory entry cut into fields; every pointer points into text. Fields a record
// does not supply are null.
struct bank_record {
    char *bic;
    char *name;
    char *zip;
    char *city;
    char *country;
    uint8_t deleted;   // German records: marked for deletion
    char *successor;   // German records: successor bank code (may be empty)
    uint8_t method;    // German records: check-method code
    int32_t iban_rule; // German records: rule * 100 + version
    char text[192];
};

// Countries with a bank-code directory: the length of their bank codes and IBANs, and
// the directory key their codes live under (Liechtenstein codes are Swiss clearing
// numbers and live under "CH"). Ended by an empty row.
struct bank_code_country {
    char code[3];
    char key[3];
    unsigned length;
    unsigned iban_length;
};
extern const bank_code_country max_bid_len[];
// The row of a country code (exact comparison), or null.
const bank_code_country *find_country(const char *country);

// Record index for a key, or -1 when the key cannot be a record key. Callers compare
// the key with the record found.
int hash(const char *key);

// The check-method byte the version in force of a German directory entry names, or -1
// when the edition in force does not list the code. bankcode is 8 digits (not checked
// here); nothing is copied, for callers that check accounts in bulk.
int german_method(const char *bankcode);
int german_method_at(const char *bankcode, time_t now);

// Looks up a national bank code ("AT", "CH", "DE", "LI"); 1 when out was filled.
// German records answer in the version in force at the current time.
int lookup_bank(const char *country, const char *bankcode, bank_record *out);
// The same at a given instant, for tests and callers with their own clock.
int lookup_bank_at(const char *country, const char *bankcode, bank_record *out, time_t now);

// One malloc'ed tarvo_bank_t with copies of the given texts stored behind it (null texts
// take no space and stay null), released with one free(); null when allocation fails.
tarvo_bank_t *make_bank(const char *name, const char *zip, const char *city, const char *country,
                        const char *bic, uint16_t flags);
// The same for a directory record found by lookup_bank; flags are 0.
tarvo_bank_t *make_bank(const bank_record &record);

// Validates an IBAN in electronic form; 1 valid, 0 invalid with *message set (when
// message is not null) to a constant text. For a German IBAN whose bank code the
// directory lists, *bank (when not null) receives that bank's record, valid or not, so a
// caller that also wants the bank need not look it up again.
int iban_check(const char *iban, const char **message, bank_record *bank = nullptr);

// The electronic form of an IBAN as typed: separators and a leading "IBAN" label dropped,
// letters upper-cased. 1 when what is left is 5 to 34 letters and digits, else -1 with
// out empty. Says nothing about the check digits.
int iban_normalize(const char *input, char (&out)[35]);

// The letters (upper-cased) and digits of an identifier as typed, separators dropped, into
// out (cap characters and a NUL); their count, or -1 when another character stands there or
// more than cap remain.
int compact_identifier(const char *input, char *out, size_t cap);

// ISO 11649 creditor reference as typed, in electronic form ("RF18539007547034") when it
// is "RF", two check digits and 1 to 21 letters or digits; false (out empty) otherwise.
// Says nothing about the check digits.
bool creditor_reference_normalize(const char *input, char (&out)[26]);
// True when the reference's form and its MOD 97-10 check digits are right.
bool creditor_reference_valid(const char *input);
// Swiss QR reference as typed: its 27 digits, blanks dropped; false (out empty) when it is
// not 27 digits. Says nothing about the check digit.
bool qr_reference_normalize(const char *input, char (&out)[28]);
bool qr_reference_valid(const char *input);

// The institution id of a Swiss or Liechtenstein IBAN as typed: the five digits after the
// check digits, the clearing number its bank is known by. false (out empty) for any other IBAN.
bool swiss_institution_id(const char *iban, char (&out)[6]);
// True for a QR-IBAN: a Swiss or Liechtenstein IBAN whose institution id lies in
// 30000-31999, the range kept for accounts that take QR-bill payments with a QR reference.
bool is_qr_iban(const char *iban);

// MOD 97-10 remainder of an IBAN of the given length (characters 5 on, then the first
// four), or -1 when a character is neither a digit nor a letter.
int iban_mod97(const char *iban, size_t length);

} // namespace tarvo

#endif
