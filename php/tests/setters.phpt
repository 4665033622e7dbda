--TEST--
TARVO setters: true on success, TARVOException with the library's text and code 0 on failure
--FILE--
<?php
function attempt(callable $f) {
    try {
        var_dump($f());
    } catch (Throwable $e) {
        printf("%s(%d): %s\n", get_class($e), $e->getCode(), $e->getMessage());
    }
}

$t = new TARVO(TARVO_MSGTYPE_DDI);
echo "-- IBAN\n";
attempt(fn() => $t->setIBAN('DE89370400440532013000'));
attempt(fn() => $t->setIBAN('DE89370400440532013001'));
echo "-- BIC\n";
attempt(fn() => $t->setBIC('cobadeff'));
attempt(fn() => $t->setBIC('COBADEFFXXX'));
attempt(fn() => $t->setBIC('12'));
attempt(fn() => $t->setBIC('COBADEFFXXXX'));
echo "-- name\n";
attempt(fn() => $t->setName(str_repeat('N', 70)));
attempt(fn() => $t->setName(str_repeat('N', 71)));
attempt(fn() => $t->setName(''));
echo "-- creditor identifier\n";
attempt(fn() => $t->setCreditorIdentifier('DE98ZZZ09999999999'));
attempt(fn() => $t->setCreditorIdentifier('DE99ZZZ09999999999'));
attempt(fn() => $t->setCreditorIdentifier('DE98'));
echo "-- date\n";
attempt(fn() => $t->setDate('2031-06-30'));
attempt(fn() => $t->setDate('2031-13-01'));
attempt(fn() => $t->setDate('2031-6-30'));
echo "-- message id\n";
attempt(fn() => $t->setMessageId('MSG-1/2024'));
attempt(fn() => $t->setMessageId('MSG_1'));
attempt(fn() => $t->setMessageId(str_repeat('M', 36)));
echo "-- batch booking\n";
attempt(fn() => $t->setBatchBooking(true));
attempt(fn() => $t->setBatchBooking(false));
echo "-- direct-debit type\n";
var_dump(TARVO::init(TARVO_INIT_RULEBOOK, 'DE-3.7'));
attempt(fn() => $t->setDDType(TARVO_DDTYPE_B2B));
attempt(fn() => $t->setDDType(TARVO_DDTYPE_COR1));
attempt(fn() => $t->setDDType(3));
// Beyond the C int range a type must not wrap around into CORE (2^32 would).
attempt(fn() => $t->setDDType(4294967296));
attempt(fn() => $t->setDDType(-1));
var_dump(TARVO::init(TARVO_INIT_RULEBOOK, 'DE-2.9'));
attempt(fn() => $t->setDDType(TARVO_DDTYPE_COR1));
echo "-- engine parameter checks\n";
// A NUL byte would silently cut the text the library sees.
attempt(fn() => $t->setIBAN("DE89370400440532013000\0junk"));
attempt(fn() => $t->setName("Name\0"));
attempt(fn() => $t->setIBAN([]));
attempt(fn() => $t->setIBAN());
attempt(fn() => $t->setDDType('B2B'));
?>
--EXPECT--
-- IBAN
bool(true)
TARVOException(0): Invalid IBAN checksum (DE89370400440532013001)
-- BIC
bool(true)
bool(true)
TARVOException(0): tarvo_setBIC: invalid BIC format
TARVOException(0): tarvo_setBIC: invalid BIC
-- name
bool(true)
TARVOException(0): tarvo_setAccount: Name too long
TARVOException(0): tarvo_setAccount: Name too short
-- creditor identifier
bool(true)
TARVOException(0): Invalid Creditor Identifier checksum
TARVOException(0): Creditor Identifier too short
-- date
bool(true)
TARVOException(0): Invalid date format
TARVOException(0): Invalid date
-- message id
bool(true)
TARVOException(0): Invalid message id
TARVOException(0): Invalid message id
-- batch booking
bool(true)
bool(true)
-- direct-debit type
bool(true)
bool(true)
TARVOException(0): COR1 is not allowed with selected SEPA rulebook
TARVOException(0): Unknown/unsupported LocalInstrumentCode (setDDType)
TARVOException(0): Unknown/unsupported LocalInstrumentCode (setDDType)
TARVOException(0): Unknown/unsupported LocalInstrumentCode (setDDType)
bool(true)
bool(true)
-- engine parameter checks
ValueError(0): TARVO::setIBAN(): Argument #1 ($iban) must not contain any null bytes
ValueError(0): TARVO::setName(): Argument #1 ($name) must not contain any null bytes
TypeError(0): TARVO::setIBAN(): Argument #1 ($iban) must be of type string, array given
ArgumentCountError(0): TARVO::setIBAN() expects exactly 1 argument, 0 given
TypeError(0): TARVO::setDDType(): Argument #1 ($type) must be of type int, string given
