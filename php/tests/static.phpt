--TEST--
TARVO static methods: rulebook, IBAN conversion with status, BIC and bank lookups
--FILE--
<?php
function attempt(callable $f) {
    try {
        var_dump($f());
    } catch (Throwable $e) {
        printf("%s(%d): %s\n", get_class($e), $e->getCode(), $e->getMessage());
    }
}

echo "-- init\n";
var_dump(TARVO::init(TARVO_INIT_RULEBOOK, 'DE-3.5'), TARVO::init(TARVO_INIT_RULEBOOK, 'XX'));
var_dump(TARVO::init(TARVO_INIT_RULEBOOK, 'AT-6'), TARVO::init(1, 'DE-3.5'));
// 2^32 + 3 must not wrap around into the rulebook option.
var_dump(TARVO::init(4294967299, 'DE-3.5'));
attempt(fn() => TARVO::init(TARVO_INIT_RULEBOOK, "DE-3.5\0"));
attempt(fn() => TARVO::init(TARVO_INIT_RULEBOOK));
// The rulebook is the process's: a message created afterwards is written for DE-2.9.
var_dump(TARVO::init(TARVO_INIT_RULEBOOK, 'DE-2.9'));
$t = new TARVO(TARVO_MSGTYPE_CTI);
$t->setIBAN('DE89370400440532013000');
$t->setName('Payer');
$t->add(['name' => 'Payee', 'iban' => 'DE02120300000000202051', 'amount' => 1]);
var_dump(preg_match('~xsd:(pain\.[0-9.]+)"~', $t->toXML(), $m), $m[1]);

echo "-- IBAN_convert\n";
$iban = TARVO::IBAN_convert('DE', '532013000', '37040044', $status);
var_dump($iban, $status, TARVO::IBAN_check($iban));
// Without a status argument the result is the same.
var_dump(TARVO::IBAN_convert('DE', '532013000', '37040044') === $iban);
// The status is an integer also when there is no IBAN; an old value is replaced.
$status = 'old';
var_dump(TARVO::IBAN_convert('DE', '1', '00000000', $status), $status);
$status = [1, 2];
var_dump(TARVO::IBAN_convert('DE', '1234567890', '37040044', $status), $status);
$status = null;
var_dump(TARVO::IBAN_convert('DE', 'x', '37040044', $status), is_int($status));
$holder = new class { public int $status = -1; };
var_dump(TARVO::IBAN_convert('DE', '532013000', '37040044', $holder->status), $holder->status);
attempt(fn() => TARVO::IBAN_convert('DE', '532013000'));
attempt(fn() => TARVO::IBAN_convert('DE', "532013000\0", '37040044'));

echo "-- IBAN_getBIC / IBAN_check\n";
var_dump(TARVO::IBAN_getBIC('DE89370400440532013000'), TARVO::IBAN_getBIC('DE02120300000000202051'));
var_dump(TARVO::IBAN_getBIC('DE8937040044'), TARVO::IBAN_getBIC('DE89000000000532013000'));
var_dump(TARVO::IBAN_check('DE89370400440532013000'), TARVO::IBAN_check('DE89370400440532013001'),
         TARVO::IBAN_check(''), TARVO::IBAN_check('GB82WEST12345698765432'));
attempt(fn() => TARVO::IBAN_check(["DE89370400440532013000"]));

echo "-- IBAN_inspect\n";
foreach (['DE89370400440532013000', 'DE89370400440532013001', 'GB82WEST12345698765432',
          'CH3300100000000000001', ''] as $iban) {
    echo json_encode(TARVO::IBAN_inspect($iban)), "\n";
}
attempt(fn() => TARVO::IBAN_inspect("DE89370400440532013000\0"));

echo "-- BIC_getBankName / BIC_getBankFlags\n";
$bic = TARVO::IBAN_getBIC('DE89370400440532013000');
var_dump(TARVO::BIC_getBankName($bic), TARVO::BIC_getBankName('ZZZZDEZZXXX'), TARVO::BIC_getBankName(''));
$flags = TARVO::BIC_getBankFlags($bic);
var_dump(is_int($flags), $flags & ~(TARVO_SCL_SCT | TARVO_SCL_SDD | TARVO_SCL_COR1 | TARVO_SCL_B2B));
var_dump(($flags & TARVO_SCL_SCT) !== 0);
var_dump(TARVO::BIC_getBankFlags('ZZZZDEZZXXX'), TARVO::BIC_getBankFlags('not a bic'));
attempt(fn() => TARVO::BIC_getBankFlags());
?>
--EXPECT--
-- init
bool(true)
bool(false)
bool(true)
bool(false)
bool(false)
ValueError(0): TARVO::init(): Argument #2 ($value) must not contain any null bytes
ArgumentCountError(0): TARVO::init() expects exactly 2 arguments, 1 given
bool(true)
int(1)
string(15) "pain.001.003.03"
-- IBAN_convert
string(22) "DE89370400440532013000"
int(0)
bool(true)
bool(true)
NULL
int(10)
NULL
int(11)
NULL
bool(true)
string(22) "DE89370400440532013000"
int(0)
ArgumentCountError(0): TARVO::IBAN_convert() expects at least 3 arguments, 2 given
ValueError(0): TARVO::IBAN_convert(): Argument #2 ($account) must not contain any null bytes
-- IBAN_getBIC / IBAN_check
string(11) "COBADEFFXXX"
string(11) "BYLADEM1001"
NULL
NULL
bool(true)
bool(false)
bool(false)
bool(true)
TypeError(0): TARVO::IBAN_check(): Argument #1 ($iban) must be of type string, array given
-- IBAN_inspect
{"valid":true,"error":null,"bankid":"37040044","bic":"COBADEFFXXX","name":"Commerzbank"}
{"valid":false,"error":"Invalid IBAN checksum","bankid":null,"bic":null,"name":null}
{"valid":true,"error":null,"bankid":null,"bic":null,"name":null}
{"valid":true,"error":null,"bankid":"00100","bic":"SNBZCHZZXXX","name":"Schweizerische Nationalbank"}
{"valid":false,"error":"Invalid or unknown IBAN country code","bankid":null,"bic":null,"name":null}
ValueError(0): TARVO::IBAN_inspect(): Argument #1 ($iban) must not contain any null bytes
-- BIC_getBankName / BIC_getBankFlags
string(14) "COMMERZBANK AG"
NULL
NULL
bool(true)
int(0)
bool(true)
NULL
NULL
ArgumentCountError(0): TARVO::BIC_getBankFlags() expects exactly 1 argument, 0 given
