/*
 * tarvo: SEPA payments library.
 *
 * IBAN and German account checks, a compiled-in bank and BIC directory, German IBAN
 * conversion, pain.008 / pain.001 payment files and a reader for account statements
 * (MT940, camt.052/053/054).
 *
 * Plain C interface (C99 and C++). Texts are NUL-terminated UTF-8. Results the library
 * allocates for the caller (tarvo_toXML, every tarvo_bank_t) are released with free().
 */
#ifndef TARVO_H
#define TARVO_H

#include <stddef.h>
#include <stdint.h>
#include <time.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Frame ------------------------------------------------------------------------ */

#define TARVO_INIT_RULEBOOK 3

extern const char *const tarvo_version_str; /* "2.30" */
extern const int tarvo_version_int;         /* 23000 */

typedef struct tarvo_s tarvo_t;

/* Sets a library option; only TARVO_INIT_RULEBOOK with a rulebook identifier such as
 * "DE-3.7" or "AT-6". Returns 1 when set, 0 otherwise. */
int tarvo_init(int type, const char *value);
/* Last error text of an operation on h (NULL when none failed yet). */
const char *tarvo_getError(tarvo_t *h);
/* Releases compiled patterns; the library compiles them again on demand. */
void tarvo_cleanup(void);

/* Amount conversion, locale independent. */
void __tarvo_d2str(char *out, size_t cap, double amount);
double __tarvo_strtod(const char *text, char **end);
/* Length of the well-formed UTF-8 character at text (n bytes readable there), or 0. */
size_t tarvo_utf8_length(const char *text, size_t n);
/* The bytes (1 to 4) of the well-formed UTF-8 character at text, its code point in
 * *code_point; 0 when none starts there (a stray byte, an overlong form, an encoded
 * surrogate, a character cut short by the NUL). */
size_t tarvo_utf8_char(const char *text, uint32_t *code_point);

/* ---- Account identifiers ---------------------------------------------------------- */

#define TARVO_SCL_SCT 1
#define TARVO_SCL_SDD 2
#define TARVO_SCL_COR1 4
#define TARVO_SCL_B2B 8

/* One block: release with a single free(). */
typedef struct {
    char *name;
    char *zip;
    char *city;
    char *country;
    char *bic;
    uint16_t flags;
} tarvo_bank_t;

/* 1 valid, -1 invalid. */
int tarvo_iban_check(const char *iban);
/* 1 found, -2 not found or malformed, -3 out of memory. */
int tarvo_bic_getBank(const char *bic, tarvo_bank_t **bank);
/* 1 found, 0 country without directory, -2 not found, -3 out of memory. */
int tarvo_bankid_check(const char *country, const char *bankid, tarvo_bank_t **bank);
/* 1 found, 0 country without directory, -1 invalid IBAN, -2 not found, -3 out of memory. */
int tarvo_iban_getBank(const char *iban, tarvo_bank_t **bank);
/* bic: 12 bytes. 1 found, 0 country without directory, -1 wrong length, -3 unknown bank. */
int tarvo_iban_getBIC(const char *iban, char *bic);
/* iban: at least 35 bytes. 1 converted, 0 not applicable, -1 refused, -3 unknown bank. */
int tarvo_iban_convert(const char *country, const char *account, const char *bankid,
                       char *iban, uint8_t *status);
/* The German text of a conversion status, UTF-8 ("-" for 0, "Kontonummer wurde ersetzt"
 * for 1, ...); "(unbekannter Status" for a code without one. Constant: never freed. */
const char *tarvo_iban_status_text(uint8_t status);
/* An IBAN as typed ("iban: de89 3704 0044 0532 0130 00") in electronic form, into iban
 * (at least 35 bytes): separators and a leading "IBAN" label dropped, letters upper-cased.
 * 1 when 5 to 34 letters and digits remain, -1 otherwise (iban then empty). The check
 * digits are not checked: pass the result to tarvo_iban_check. */
int tarvo_iban_normalize(const char *input, char *iban);
/* The same IBAN for print, in groups of four ("DE89 3704 0044 0532 0130 00"), into
 * printed (at least 43 bytes). 1 done, -1 as tarvo_iban_normalize. */
int tarvo_iban_format(const char *iban, char *printed);

/* What the checks and the bank directory say about an IBAN in electronic form. */
typedef struct {
    const char *error; /* why the IBAN is invalid (a constant English text); NULL when valid */
    char bankid[9];    /* bank code, for the countries with a directory */
    char bic[12];      /* the BIC its bank uses, IBAN rules applied */
    char name[128];    /* the bank's name, UTF-8 (cut to fit) */
} tarvo_iban_info_t;
/* The verdict of tarvo_iban_check with its reason, and for a valid IBAN of a country with
 * a directory its bank in one call without allocation: 1 valid, -1 invalid (info->error
 * set). Bank fields not known stay empty. */
int tarvo_iban_inspect(const char *iban, tarvo_iban_info_t *info);

/* German account check digits. method: the code's two hex digits (0x13 is method 13).
 * 1 valid, 2 valid in the second reading of method 76, 0 not checkable, -1 invalid. */
int tarvo_account_check(const char *account, int method);
int tarvo_account_check2(const char *account, const char *bankid, int method);
/* The account checked by the method the directory in force names for a German bank code.
 * Results as tarvo_account_check2, and -3 when the bank code is not in the directory. */
int tarvo_account_check_bank(const char *account, const char *bankid);

/* ---- Bank data ---------------------------------------------------------------------- */

/* Switches every lookup to the bank data file at path (written by "tarvotool data build")
 * once it has passed every check: magic, format version, size, checksum, and every table
 * and record in bounds. Safe while other threads look up: each lookup answers wholly from
 * the old data or wholly from the new. Returns 1 when loaded; 0 when refused, the data in
 * use unchanged and *message (when message is not NULL) set to "<path>: <check>: ..."
 * for the caller to free(). */
int tarvo_data_load(const char *path, char **message);
/* Returns to the compiled-in data. */
void tarvo_data_unload(void);

typedef struct {
    const char *source;    /* "bundesbank", "iban-rules", "scl", "oenb" or "six" */
    char edition[11];      /* "YYYY-MM-DD" ("YYYY-MM" for a monthly edition); "" unknown */
    char valid_until[11];  /* the last day the source says it is valid; "" when it says none */
    const char *origin;    /* "compiled-in" or "file" */
    const char *path;      /* the file's path; NULL when compiled in */
} tarvo_data_source_t;

/* One block: release with a single free(). The Bundesbank is listed twice when the data
 * holds its next edition too. */
typedef struct {
    size_t count;
    tarvo_data_source_t *sources;
} tarvo_data_info_t;

/* The editions of the data in use; NULL when out of memory. */
tarvo_data_info_t *tarvo_data_info(void);
/* The same as JSON, one object per line with the keys "source", "edition", "validUntil"
 * (where stated), "origin" and "path" (for a file); to be released with free(). */
char *tarvo_data_info_json(void);
/* "bank codes valid until YYYY-MM-DD: N days out of date" when the German bank codes in
 * use are no longer valid at now, else NULL; to be released with free(). */
char *tarvo_data_warning(time_t now);

/* ---- Payment references ----------------------------------------------------------- */

/* ISO 11649 creditor reference as typed ("RF18 5390 0754 7034", any case): "RF", two check
 * digits (ISO 7064 MOD 97-10) and 1 to 21 letters or digits. 1 valid, -1 invalid. */
int tarvo_creditor_reference_check(const char *reference);
/* The creditor reference for base (1 to 21 letters or digits, blanks ignored) with its
 * check digits, in electronic form ("RF18539007547034"), into out (26 bytes suffice).
 * 1 done, -1 invalid base, -2 out too small (out then empty). */
int tarvo_creditor_reference_make(const char *base, char *out, size_t size);
/* Swiss QR reference: exactly 27 digits (blanks ignored), the last one the mod-10
 * recursive check digit. 1 valid, -1 invalid. */
int tarvo_qrr_check(const char *reference);
/* The QR reference for base (1 to 26 digits, blanks ignored): padded with leading zeros to
 * 26 digits, the check digit appended, into out (28 bytes). 1 done, -1 invalid base, -2 out
 * too small. */
int tarvo_qrr_make(const char *base, char *out, size_t size);

/* ---- Payment QR codes ------------------------------------------------------------- */

/* Texts of the records below are UTF-8; NULL and "" both mean an empty field. Records that
 * tarvo_qrbill_parse and tarvo_epcqr_parse return are one block each, released with a
 * single free(); their empty fields are NULL. Every function here writes the reason for a
 * refusal, naming the field ("creditor.town: missing"), into error (errorSize bytes; error
 * may be NULL) and leaves nothing else behind. */

/* A structured address (type "S") of a QR-bill. */
typedef struct {
    const char *name;           /* up to 70 characters */
    const char *street;         /* up to 70 */
    const char *buildingNumber; /* up to 16 */
    const char *postalCode;     /* up to 16 */
    const char *town;           /* up to 35 */
    const char *country;        /* ISO 3166 two-letter code */
} tarvo_qr_address_t;

/* A Swiss QR-bill payment part: what a payment needs (the creditor, the account, the amount
 * and currency, the reference and the message) and what the bill shows beside it. */
typedef struct {
    const char *iban;          /* CH or LI IBAN, electronic form; a QR-IBAN iff QRR */
    tarvo_qr_address_t creditor;
    int hasAmount;             /* 0: the payer enters the amount */
    int64_t amount;            /* in cents, 0 (a notification bill) to 99999999999 */
    const char *currency;      /* "CHF" or "EUR" */
    tarvo_qr_address_t ultimateDebtor; /* all empty when the debtor is unknown */
    const char *referenceType; /* "QRR", "SCOR" or "NON" */
    const char *reference;     /* 27 digits (QRR), "RF..." (SCOR), empty (NON) */
    const char *message;       /* unstructured; with billInformation at most 140 characters */
    const char *billInformation;
    const char *alternativeSchemes[2]; /* up to 100 characters each */
} tarvo_qrbill_t;

/* Reads a QR-bill payload of length bytes (LF or CR LF line ends, one trailing line end
 * allowed). 1 with *bill set, -1 refused (*bill NULL), -2 out of memory. */
int tarvo_qrbill_parse(const char *payload, size_t length, tarvo_qrbill_t **bill, char *error,
                       size_t errorSize);
/* The payload for a bill (LF line ends, nothing after the last field given), malloc'ed and
 * NUL-terminated; NULL when refused or out of memory. */
char *tarvo_qrbill_make(const tarvo_qrbill_t *bill, char *error, size_t errorSize);

/* An amount as units and at most two decimals after a point ("25.9", "1250.00") in cents,
 * the form both codes write; 1 read, -1 not such an amount or above 999999999.99. */
int tarvo_qr_amount(const char *text, int64_t *cents);

/* An EPC QR code ("GiroCode") for a SEPA credit transfer. */
typedef struct {
    const char *version;     /* "001" (BIC required) or "002"; NULL or "" writes "002" */
    int charset;             /* the character set read (1 to 8); the writer always writes 1 */
    const char *bic;
    const char *name;        /* up to 70 characters */
    const char *iban;
    int hasAmount;
    int64_t amount;          /* euro cents, 1 to 99999999999 */
    const char *purpose;     /* up to 4 letters or digits */
    const char *reference;   /* ISO 11649 creditor reference ... */
    const char *text;        /* ... or a text of up to 140 characters, never both */
    const char *information; /* up to 70 characters */
} tarvo_epcqr_t;

/* Reads an EPC payload of length bytes; its texts are converted to UTF-8 from the declared
 * character set. 1 with *code set, -1 refused, -2 out of memory. */
int tarvo_epcqr_parse(const char *payload, size_t length, tarvo_epcqr_t **code, char *error, size_t errorSize);
/* The payload for a code (character set 1, LF line ends, no line end after the last field
 * given), malloc'ed; NULL when refused or out of memory. */
char *tarvo_epcqr_make(const tarvo_epcqr_t *code, char *error, size_t errorSize);

/* ---- Payment messages ------------------------------------------------------------- */

#define TARVO_MSGTYPE_DDI 1
#define TARVO_MSGTYPE_CTI 2

#define TARVO_DDTYPE_CORE 0
#define TARVO_DDTYPE_COR1 1
#define TARVO_DDTYPE_B2B 2

tarvo_t *tarvo_new(int msgtype);
void tarvo_free(tarvo_t *h);
int tarvo_setIBAN(tarvo_t *h, const char *iban);
int tarvo_setBIC(tarvo_t *h, const char *bic);
int tarvo_setName(tarvo_t *h, const char *name);
int tarvo_setCreditorIdentifier(tarvo_t *h, const char *ci);
int tarvo_setDate(tarvo_t *h, const char *date);
int tarvo_setDDType(tarvo_t *h, int ddtype);
int tarvo_setBatchBooking(tarvo_t *h, uint8_t flag);
int tarvo_setMessageId(tarvo_t *h, const char *msgid);
/* Credit transfers as instant payments (flag 1) under "DE-3.7" and "DE-3.9". */
int tarvo_setInstant(tarvo_t *h, int flag);
/* The category purpose of every block, four capital letters ("SALA"). */
int tarvo_setCategoryPurpose(tarvo_t *h, const char *code);
/* The ultimate debtor of a credit transfer, or the ultimate creditor of a direct debit
 * (1 to 70 characters), where the rulebook has ultimate parties. */
int tarvo_setUltimateName(tarvo_t *h, const char *name);
/* Pins h to a rulebook ("DE-3.9"): its setters, tarvo_add and tarvo_toXML then use that
 * rulebook whatever the process-wide one is or becomes. 1 set, 0 unknown identifier. */
int tarvo_setRulebook(tarvo_t *h, const char *id);
/* The identifier of the rulebook h is checked and written under (its pinned one, else the
 * process-wide one); for a null h the process-wide one. NULL when none is selected yet. */
const char *tarvo_getRulebook(tarvo_t *h);
/* kv: key, value, key, value, ..., NULL. */
int tarvo_add(tarvo_t *h, const char *const *kv);
/* Adds one credit transfer to a message under CH-SPS from a scanned QR-bill payload: its
 * creditor, IBAN, amount, currency, reference and message. A refused payload names the field
 * ("Invalid QR-bill: creditor.town: missing"); a bill of 0.00 is a notification and refused.
 * tarvo_add_qrbill_kv takes further keys beside the payload: "amount" (only for a bill without
 * one), "id" and "date". 1 added, 0 refused with the message's error text set. */
int tarvo_add_qrbill(tarvo_t *h, const char *payload);
int tarvo_add_qrbill_kv(tarvo_t *h, const char *payload, const char *const *kv);
/* The document, to be released with free(); NULL on failure (see tarvo_getError). */
char *tarvo_toXML(tarvo_t *h);

/* ---- Statements ------------------------------------------------------------------- */

#define TARVO_STMT_FORMAT_MT940 1
/* ISO 20022 camt.053 statements, camt.052 reports and camt.054 notifications. */
#define TARVO_STMT_FORMAT_CAMT 3

/* One charge of a camt entry or transaction. */
typedef struct {
    char *amount; /* as written */
    char currency[4];
    uint8_t included; /* 1 when the booked amount already includes it */
} tarvo_stmt_charge_t;

/* A further balance of a camt statement; amount NULL when the file has none. */
typedef struct {
    char *amount; /* as written, "-" before debits */
    char currency[4];
    struct tm date;
} tarvo_stmt_balance_t;

typedef struct tarvo_stmt_tx_s {
    struct tm valuta;
    struct tm booked;
    uint8_t reversal;
    double amount;
    char code[4];
    char *ref;
    char *bankref;
    char *txtext;
    char *primanota;
    uint32_t gvc;
    uint32_t extcode;
    char bank[13];
    char account[35];
    char name[56];
    char *purpose;
    char *eref;
    char *kref;
    char *mref;
    char *cred;
    char *debt;
    char *purp;
    char *coam;
    char *oamt;
    char *svwz;
    char *abwa;
    char *abwe;
    struct tarvo_stmt_tx_s *next;
    /* Filled from camt; MT940 leaves them empty. */
    char currency[4];    /* currency of amount */
    char *amountText;    /* amount exactly as written, "-" before debits (MT940 too) */
    char *uetr;          /* unique end-to-end transaction reference */
    char *creditorRef;   /* structured creditor reference (RF or ISR reference) */
    char *partyName;     /* counterparty name in full; name holds its first 55 bytes */
    /* Filled from camt; absent values are NULL, empty or 0. */
    uint8_t truncated;            /* 1 when a text of the record was cut to 16 KiB */
    char status[5];               /* entry status: "BOOK", "PDNG" (not booked yet) or "INFO" */
    uint32_t details;             /* a record for a whole batch entry: its number of details */
    char **endToEndIds;           /* such a record: the details' end-to-end ids, NULL-terminated */
    char *instructedAmount;       /* instructed amount as written, when it differs from amount */
    char instructedCurrency[4];
    const tarvo_stmt_charge_t *charges; /* chargeCount charges (Chrgs) */
    size_t chargeCount;
    char *returnReason;           /* return reason code (RtrInf/Rsn/Cd or Prtry) */
    char *returnInfo;             /* its additional information */
    char *bankTransactionCode;    /* ISO domain-family-subfamily, "PMNT-RDDT-ESDD" */
    char *entryReference;         /* NtryRef */
    char *batchPaymentInformationId;
    char *batchMessageId;
} tarvo_stmt_tx_t;

typedef struct tarvo_stmt_s {
    char *ref;
    char *account;
    uint32_t number;
    uint32_t page;
    struct tm openDate;
    struct tm closeDate;
    double openSaldo;
    double closeSaldo;
    char openCurrency[4];
    char closeCurrency[4];
    tarvo_stmt_tx_t *tx;
    tarvo_stmt_tx_t *last;
    struct tarvo_stmt_s *next;
    /* Filled from camt; MT940 leaves them empty. Balances exactly as written, "-" before debits. */
    char *openSaldoText;
    char *closeSaldoText;
    /* The saldo texts are filled for MT940 too: NULL means the balance is absent. */
    uint8_t incomplete;                    /* 1 when a malformed line cut the statement off */
    tarvo_stmt_balance_t interimBalance;   /* last interim booked balance (ITBD) */
    tarvo_stmt_balance_t interimAvailable; /* last interim available balance (ITAV) */
    tarvo_stmt_balance_t available;        /* closing available balance (CLAV) */
} tarvo_stmt_t;

typedef struct tarvo_stmt_parser_s tarvo_stmt_parser_t;

tarvo_stmt_parser_t *tarvo_stmt_parser_new(void);
void tarvo_stmt_parser_free(tarvo_stmt_parser_t *p);
/* 1 when the file holds at least one statement; 0 with the reason in getError otherwise. */
int tarvo_stmt_parser_load(tarvo_stmt_parser_t *p, int format, const char *path);
/* The same for a statement in memory (size bytes at data, copied as needed: the buffer
 * may be released when the call returns). */
int tarvo_stmt_parser_loadMemory(tarvo_stmt_parser_t *p, int format, const void *data, size_t size);
tarvo_stmt_t *tarvo_stmt_parser_getStatement(tarvo_stmt_parser_t *p);
const char *tarvo_stmt_parser_getError(tarvo_stmt_parser_t *p);
/* The record texts are the file's own bytes. This writes a record text as UTF-8 into out
 * (2 * strlen(text) + 1 bytes always suffice): unchanged when it is UTF-8 (a character
 * cut off at the end of a fixed-size field dropped), otherwise read as ISO-8859-1.
 * Returns the length written, without the NUL. */
size_t tarvo_stmt_text_utf8(const char *text, char *out);

/* ---- Status reports and payment files --------------------------------------------- */

/* Record levels of a status report. */
#define TARVO_STATUS_GROUP 1       /* OrgnlGrpInfAndSts: the whole original message */
#define TARVO_STATUS_PAYMENT 2     /* OrgnlPmtInfAndSts: one payment-information block */
#define TARVO_STATUS_TRANSACTION 3 /* TxInfAndSts: one transaction */

/* How many transactions of a group or block have one status (NbOfTxsPerSts). */
typedef struct {
    char *status;
    char *count; /* the number as written */
} tarvo_status_count_t;

/* One record of a status report. Texts are UTF-8 as the report wrote them; absent
 * fields are NULL. Every record carries the original message id of its report, payment
 * and transaction records the original payment-information id of their block. */
typedef struct tarvo_status_s {
    int level;                          /* TARVO_STATUS_* */
    char *originalMessageId;
    char *originalMessageName;          /* group: "pain.001.001.09", "pain.008", ... */
    char *originalPaymentInformationId; /* payment and transaction */
    char *originalInstructionId;        /* transaction */
    char *originalEndToEndId;           /* transaction */
    char *originalUETR;                 /* transaction */
    char *originalNumberOfTransactions; /* group and payment, as written */
    char *originalControlSum;           /* group and payment, as written */
    char *status;                       /* "ACCP", "RJCT", "PART", VOP "RCVC", "RVMC", ... */
    char **reasons;                     /* reason codes (Cd or Prtry), NULL-terminated */
    size_t reasonCount;
    char *additionalInfo;               /* the AddtlInf lines, joined by a space */
    tarvo_status_count_t *counts;       /* per-status counts, in document order */
    size_t countCount;
    /* Transaction records, from the original transaction reference where given. */
    char *amount;                       /* exactly as written */
    char currency[4];
    char *name;                         /* counterparty: the creditor of a transfer, the debtor of a debit */
    char *iban;                         /* the counterparty's IBAN */
    char *payeeBankName;                /* VOP close match (RVMC): the name the payee's bank holds */
    struct tarvo_status_s *next;
} tarvo_status_t;

typedef struct tarvo_status_parser_s tarvo_status_parser_t;

tarvo_status_parser_t *tarvo_status_parser_new(void);
void tarvo_status_parser_free(tarvo_status_parser_t *p);
/* A status report (pain.002.001.03 to .14, the Swiss pain.002.001.03.ch.02, or one
 * without namespace) from a file or from size bytes in memory. 1 read, 0 refused (see
 * tarvo_status_parser_getError; no records then). A handle loads once. */
int tarvo_status_parser_load(tarvo_status_parser_t *p, const char *path);
int tarvo_status_parser_loadMemory(tarvo_status_parser_t *p, const char *data, size_t size);
/* The first record; the others follow through next, in document order. */
const tarvo_status_t *tarvo_status_parser_getRecord(tarvo_status_parser_t *p);
/* "pain.002.001.10", "pain.002.001.03.ch.02" or "unversioned"; NULL before a load. */
const char *tarvo_status_parser_getVersion(tarvo_status_parser_t *p);
const char *tarvo_status_parser_getError(tarvo_status_parser_t *p);

/* One transaction of a payment file. Texts UTF-8 as written; absent fields NULL. */
typedef struct tarvo_pain_tx_s {
    char *instructionId;
    char *endToEndId;
    char *uetr;
    char *amount;        /* exactly as written */
    char currency[4];
    char *name;          /* counterparty: the creditor of a transfer, the debtor of a debit */
    char *iban;
    char *bic;
    char *ultimateName;  /* ultimate creditor (transfer) or ultimate debtor (debit) */
    char *mandateId;     /* direct debits */
    char *mandateDate;
    char *originalMandateId;   /* mandate amendment: the mandate reference before */
    char *originalIban;        /* mandate amendment: the debtor's IBAN before, or "SMNDA" when
                                  the mandate moved to an account at another bank */
    char *creditorId;    /* creditor identifier given with the transaction */
    char *purpose;       /* purpose code */
    char *remittance;    /* unstructured remittance, lines joined by a newline */
    char *creditorRef;   /* structured creditor reference */
    struct tarvo_pain_tx_s *next;
} tarvo_pain_tx_t;

/* One payment-information block. The party is the ordering side: the debtor of a
 * transfer, the creditor of a debit. */
typedef struct tarvo_pain_block_s {
    char *paymentInformationId;
    char *method;          /* "TRF", "DD" */
    char *batchBooking;    /* "true", "false" */
    char *numberOfTransactions;
    char *controlSum;
    char *serviceLevel;
    char *localInstrument; /* "CORE", "B2B", "COR1", "INST", ... */
    char *sequenceType;    /* "FRST", "RCUR", "OOFF", "FNAL" */
    char *date;            /* requested execution or collection date */
    char *name;
    char *iban;
    char *bic;
    char *creditorId;
    tarvo_pain_tx_t *tx;
    struct tarvo_pain_block_s *next;
} tarvo_pain_block_t;

typedef struct tarvo_pain_parser_s tarvo_pain_parser_t;

tarvo_pain_parser_t *tarvo_pain_parser_new(void);
void tarvo_pain_parser_free(tarvo_pain_parser_t *p);
/* A pain.001 or pain.008 document from a file or memory; results as for status reports. */
int tarvo_pain_parser_load(tarvo_pain_parser_t *p, const char *path);
int tarvo_pain_parser_loadMemory(tarvo_pain_parser_t *p, const char *data, size_t size);
const tarvo_pain_block_t *tarvo_pain_parser_getBlock(tarvo_pain_parser_t *p);
/* "pain.001.001.09", "pain.008.003.02", ...; NULL before a load. */
const char *tarvo_pain_parser_getVersion(tarvo_pain_parser_t *p);
/* The group header: message id, creation time, number of transactions and control sum
 * as written, initiating party; NULL where absent. */
const char *tarvo_pain_parser_getMessageId(tarvo_pain_parser_t *p);
const char *tarvo_pain_parser_getCreationTime(tarvo_pain_parser_t *p);
const char *tarvo_pain_parser_getNumberOfTransactions(tarvo_pain_parser_t *p);
const char *tarvo_pain_parser_getControlSum(tarvo_pain_parser_t *p);
const char *tarvo_pain_parser_getInitiatingParty(tarvo_pain_parser_t *p);
const char *tarvo_pain_parser_getError(tarvo_pain_parser_t *p);

/* ---- Reconciliation --------------------------------------------------------------- */

/* Which transactions of payment files the bank rejected, accepted, booked or returned,
 * from its status reports (pain.002) and statements (camt, MT940). Add the files, run,
 * then read one row per transaction and after them the statement entries and status
 * records that matched none. A handle is used by one thread at a time. */
typedef struct tarvo_reconcile_s tarvo_reconcile_t;

/* One row; absent fields are NULL. Valid until the next tarvo_reconcile_row or run on
 * the handle, or its release. */
typedef struct {
    const char *messageId;
    const char *paymentInformationId;
    const char *endToEndId;
    const char *amount;   /* "12.50"; a debit entry that matched nothing has a "-" */
    const char *currency;
    const char *state;    /* "unknown", "accepted", "rejected", "booked", "returned" or "unmatched" */
    const char *reason;   /* reason codes and their text, for rejected and returned */
    const char *vop;      /* the payee verification result: RCVC, RVMC, RVNM, RVNA */
    const char *evidence; /* the file and the element in it that decided the state */
    int unmatched;        /* 1 for a statement entry or status record that no payment takes */
} tarvo_reconcile_row_t;

tarvo_reconcile_t *tarvo_reconcile_new(void);
void tarvo_reconcile_free(tarvo_reconcile_t *r);
/* Each adds one file, or a buffer of size bytes named by name in evidence and messages.
 * 1 added, -1 refused (tarvo_reconcile_getError says why; nothing of it is kept).
 * Statements are camt or MT940, told apart by their first character. */
int tarvo_reconcile_addPayments(tarvo_reconcile_t *r, const char *path);
int tarvo_reconcile_addPaymentsMemory(tarvo_reconcile_t *r, const char *data, size_t size, const char *name);
int tarvo_reconcile_addStatus(tarvo_reconcile_t *r, const char *path);
int tarvo_reconcile_addStatusMemory(tarvo_reconcile_t *r, const char *data, size_t size, const char *name);
int tarvo_reconcile_addStatements(tarvo_reconcile_t *r, const char *path);
int tarvo_reconcile_addStatementsMemory(tarvo_reconcile_t *r, const char *data, size_t size, const char *name);
/* Matches everything added so far. 1 done, -1 when the payment files contradict each
 * other (an end-to-end id or message id in two of them): no rows then. */
int tarvo_reconcile_run(tarvo_reconcile_t *r);
size_t tarvo_reconcile_count(tarvo_reconcile_t *r);
const tarvo_reconcile_row_t *tarvo_reconcile_row(tarvo_reconcile_t *r, size_t index);
/* What the run noticed without refusing: amounts that disagree, reports of unknown files. */
size_t tarvo_reconcile_warningCount(tarvo_reconcile_t *r);
const char *tarvo_reconcile_warning(tarvo_reconcile_t *r, size_t index);
const char *tarvo_reconcile_getError(tarvo_reconcile_t *r);

#ifdef __cplusplus
}
#endif

#endif /* TARVO_H */
