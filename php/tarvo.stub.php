<?php

/**
 * The PHP extension tarvo: SEPA payment files, IBAN and BIC questions, MT940 statements.
 * The argument information of the extension is generated from this file, and IDEs and
 * static analysers read it as the extension's declarations. Constants carry their values
 * for the IDEs; the extension registers the C header's (@cvalue), and the tests hold the
 * two equal.
 *
 * @generate-class-entries
 */

/**
 * @var int
 * @cvalue TARVO_DDTYPE_CORE
 */
const TARVO_DDTYPE_CORE = 0;
/**
 * @var int
 * @cvalue TARVO_DDTYPE_COR1
 */
const TARVO_DDTYPE_COR1 = 1;
/**
 * @var int
 * @cvalue TARVO_DDTYPE_B2B
 */
const TARVO_DDTYPE_B2B = 2;
/**
 * @var int
 * @cvalue TARVO_MSGTYPE_CTI
 */
const TARVO_MSGTYPE_CTI = 2;
/**
 * @var int
 * @cvalue TARVO_MSGTYPE_DDI
 */
const TARVO_MSGTYPE_DDI = 1;
/**
 * @var int
 * @cvalue TARVO_INIT_RULEBOOK
 */
const TARVO_INIT_RULEBOOK = 3;
/**
 * @var int
 * @cvalue TARVO_SCL_SCT
 */
const TARVO_SCL_SCT = 1;
/**
 * @var int
 * @cvalue TARVO_SCL_SDD
 */
const TARVO_SCL_SDD = 2;
/**
 * @var int
 * @cvalue TARVO_SCL_COR1
 */
const TARVO_SCL_COR1 = 4;
/**
 * @var int
 * @cvalue TARVO_SCL_B2B
 */
const TARVO_SCL_B2B = 8;
/**
 * @var int
 * @cvalue TARVO_STMT_FORMAT_MT940
 */
const TARVO_STMT_FORMAT_MT940 = 1;
/**
 * @var int
 * @cvalue TARVO_STMT_FORMAT_CAMT
 */
const TARVO_STMT_FORMAT_CAMT = 3;
/**
 * @var int
 * @cvalue TARVO_QR_QRBILL
 */
const TARVO_QR_QRBILL = 1;
/**
 * @var int
 * @cvalue TARVO_QR_EPC
 */
const TARVO_QR_EPC = 2;

/**
 * Code 42: an object or a request could not be set up. Code 0: the library refused an
 * operation; the message is its own text (a refused byte that is no UTF-8 shown as \xHH).
 */
class TARVOException extends Exception
{
}

/**
 * One payment message (direct debit or credit transfer), plus static IBAN, BIC and
 * account questions. Methods that change the message return true or throw TARVOException.
 * Objects can be neither cloned nor serialised: all they hold is behind the library handle.
 *
 * @not-serializable
 */
class TARVO
{
    /**
     * $rulebook pins the message ("DE-3.9"); null takes the php.ini default
     * tarvo.rulebook, or when that is empty the process-wide rulebook.
     *
     * @param int $type TARVO_MSGTYPE_DDI or TARVO_MSGTYPE_CTI
     */
    public function __construct(int $type, ?string $rulebook = null) {}

    /** Pins the message to a rulebook, whatever init selects process-wide. */
    public function setRulebook(string $rulebook): true {}

    /** The rulebook the message is checked and written under. */
    public function getRulebook(): ?string {}

    /** Credit transfers as instant payments (INST), under DE-3.7 and DE-3.9. */
    public function setInstant(bool $instant): true {}

    /** The category purpose of every block, four capital letters ("SALA"). */
    public function setCategoryPurpose(string $code): true {}

    /** The ultimate debtor (credit transfers) or ultimate creditor (direct debits). */
    public function setUltimateName(string $name): true {}

    public function setIBAN(string $iban): true {}

    public function setBIC(string $bic): true {}

    public function setName(string $name): true {}

    public function setCreditorIdentifier(string $creditor_identifier): true {}

    /** @param string $date "YYYY-MM-DD" */
    public function setDate(string $date): true {}

    /** @param int $type TARVO_DDTYPE_CORE, TARVO_DDTYPE_COR1 or TARVO_DDTYPE_B2B */
    public function setDDType(int $type): true {}

    public function setBatchBooking(bool $flag): true {}

    public function setMessageId(string $message_id): true {}

    /**
     * One transaction: keys as the library names them ("name", "iban", "amount", ...),
     * values as strings, numbers or Stringable objects, in the array's order. null leaves
     * a key out; arrays, other objects and booleans are a TypeError, but for the flag
     * "smnda" (true sets it).
     */
    public function add(array $transaction): true {}

    /**
     * One credit transfer under CH-SPS from a scanned QR-bill payload: its creditor, IBAN,
     * amount, currency, reference and message. $transaction may add "amount" (for a bill
     * without one), "id" and "date".
     */
    public function addQrBill(string $payload, ?array $transaction = null): true {}

    /** The document as UTF-8 XML. Extra arguments are ignored. */
    public function toXML(): string {}

    /**
     * Sets a process-wide option: TARVO_INIT_RULEBOOK with a rulebook such as "DE-3.7".
     * It lasts for the life of the PHP process (under PHP-FPM: of the worker).
     */
    public static function init(int $option, string $value): bool {}

    /** The German IBAN of an account and bank code; $status receives the conversion status. */
    public static function IBAN_convert(string $country, string $account, string $bank_id, mixed &$status = null): ?string {}

    public static function IBAN_getBIC(string $iban): ?string {}

    public static function IBAN_check(string $iban): bool {}

    /**
     * The verdict of IBAN_check with its reason, and for a valid IBAN of a country with a
     * bank directory its bank, in one call:
     * ['valid' => bool, 'error' => ?string (why it is invalid), 'bankid' => ?string,
     *  'bic' => ?string, 'name' => ?string]; what is not known is null.
     *
     * @return array{valid: bool, error: ?string, bankid: ?string, bic: ?string, name: ?string}
     */
    public static function IBAN_inspect(string $iban): array {}

    /**
     * An IBAN as typed ("iban: de89 3704 0044 0532 0130 00") in electronic form
     * ("DE89370400440532013000"), or null when it cannot be one. The check digits are not
     * checked: use IBAN_check for that.
     */
    public static function IBAN_normalize(string $input): ?string {}

    /** The IBAN in groups of four for print ("DE89 3704 0044 0532 0130 00"), or null. */
    public static function IBAN_format(string $iban): ?string {}

    /** True for an ISO 11649 creditor reference with right check digits, as typed. */
    public static function creditorReferenceCheck(string $reference): bool {}

    /** The creditor reference of a base (1 to 21 letters or digits) with its check digits. */
    public static function creditorReferenceMake(string $base): ?string {}

    /**
     * The account checked by the method the directory names for a German bank code:
     * 1 valid, 2 valid in the second reading of method 76, 0 not checkable, -1 invalid,
     * -3 bank code not in the directory.
     */
    public static function ACCOUNT_checkBank(string $account, string $bank_id): int {}

    public static function BIC_getBankName(string $bic): ?string {}

    /** TARVO_SCL_* bits of the BIC's reachability, or null for an unknown BIC. */
    public static function BIC_getBankFlags(string $bic): ?int {}

    /** A Swiss QR reference (27 digits, blanks ignored) with a right check digit. */
    public static function QRR_check(string $reference): bool {}

    /** The QR reference for a base of 1 to 26 digits, or null for another base. */
    public static function QRR_make(string $base): ?string {}

    /**
     * A QR-bill payload read into an array with the keys of `tarvotool qrbill --json`
     * (empty fields left out); throws TARVOException naming the field of a refused one.
     */
    public static function QRBILL_parse(string $payload): array {}

    /** The payload for an array as QRBILL_parse returns it. */
    public static function QRBILL_make(array $fields): string {}

    /** An EPC payload read into an array with the keys of `tarvotool epcqr --json`. */
    public static function EPCQR_parse(string $payload): array {}

    /** The payload (character set 1) for an array as EPCQR_parse returns it. */
    public static function EPCQR_make(array $fields): string {}

    /** The code of a payload as SVG; $kind TARVO_QR_QRBILL (with the Swiss cross) or TARVO_QR_EPC. */
    public static function QR_svg(int $kind, string $payload): string {}

    /** The code of a payload as PNG bytes. */
    public static function QR_png(int $kind, string $payload): string {}
}

/**
 * One statement file read into arrays. Texts are UTF-8: a field that is not UTF-8 in the
 * file is read as ISO-8859-1; getStatements(raw: true) gives the file's own bytes.
 *
 * @not-serializable
 */
class TARVOStatementParser
{
    public function __construct() {}

    /** @param int $format TARVO_STMT_FORMAT_MT940 or TARVO_STMT_FORMAT_CAMT */
    public function load(int $format, string $path): true {}

    /** The same for a statement in memory (from an EBICS client or a ZIP archive). */
    public function loadString(int $format, string $data): true {}

    /** @return list<array<string,mixed>>|null null before a load or when no statement was read */
    public function getStatements(bool $raw = false): ?array {}
}

/**
 * Which transactions of payment files the bank rejected, accepted, booked or returned,
 * from its status reports and statements. Methods that add throw TARVOException when a
 * document cannot be read; a string is named by $name in evidence and messages.
 *
 * @not-serializable
 */
class TARVOReconciliation
{
    public function __construct() {}

    /** A pain.001 or pain.008 file. */
    public function addPayments(string $path): true {}

    public function addPaymentsString(string $data, ?string $name = null): true {}

    /** A pain.002 status report. */
    public function addStatus(string $path): true {}

    public function addStatusString(string $data, ?string $name = null): true {}

    /** A camt or MT940 statement file. */
    public function addStatements(string $path): true {}

    public function addStatementsString(string $data, ?string $name = null): true {}

    /**
     * Matches everything added: one array per transaction, then the statement entries and
     * status records that fit none ("unmatched" true). Keys as the command line's JSON.
     * Throws when the payment files contradict each other (an end-to-end id in two).
     *
     * @return list<array<string,string|bool>>
     */
    public function run(): array {}

    /** What the last run noticed: amounts that disagree, reports for other files. */
    public function getWarnings(): array {}
}

/**
 * One payment status report (pain.002) read into arrays: a record per level (group,
 * payment, transaction) with the keys of the record fields; texts UTF-8, absent fields
 * without key.
 *
 * @not-serializable
 */
class TARVOStatusReport
{
    public function load(string $path): true {}

    public function loadString(string $document): true {}

    /** "pain.002.001.10", "pain.002.001.03.ch.02", "unversioned"; null before a load */
    public function getVersion(): ?string {}

    /** @return list<array<string,mixed>>|null */
    public function getRecords(): ?array {}
}

/**
 * One payment file (pain.001, pain.008) read into arrays: its header and its
 * payment-information blocks, each with its transactions under "tx"; amounts and dates
 * exactly as written.
 *
 * @not-serializable
 */
class TARVOPaymentFile
{
    public function load(string $path): true {}

    public function loadString(string $document): true {}

    /** @return array<string,string>|null version, messageId, creationTime, numberOfTransactions, controlSum, initiatingParty */
    public function getHeader(): ?array {}

    /** @return list<array<string,mixed>>|null */
    public function getBlocks(): ?array {}
}
