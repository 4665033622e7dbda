--TEST--
TARVO::toXML: the document as a PHP string, or TARVOException with the library's reason
--FILE--
<?php
function attempt(callable $f) {
    try {
        $f();
        echo "no exception\n";
    } catch (Throwable $e) {
        printf("%s(%d): %s\n", get_class($e), $e->getCode(), $e->getMessage());
    }
}
function creditor(int $type): TARVO {
    $t = new TARVO($type);
    $t->setIBAN('DE89370400440532013000');
    $t->setBIC('COBADEFFXXX');
    $t->setName('Creditor & Sons');
    $t->setDate('2031-06-30');
    $t->setMessageId('MSG-42');
    return $t;
}

var_dump(TARVO::init(TARVO_INIT_RULEBOOK, 'DE-3.5'));

echo "-- failures\n";
attempt(fn() => (new TARVO(TARVO_MSGTYPE_DDI))->toXML());
$dd = creditor(TARVO_MSGTYPE_DDI);
// A direct debit cannot go out without the creditor identifier.
attempt(fn() => $dd->toXML());

echo "-- direct debit\n";
$dd->setCreditorIdentifier('DE98ZZZ09999999999');
$dd->add(['name' => 'Debtor', 'iban' => 'DE02120300000000202051', 'bic' => 'BYLADEM1001',
          'mref' => 'M-1', 'mdate' => '2024-01-15', 'seq' => 'ooff', 'amount' => 1234.5,
          'ref' => 'Invoice 7/2024']);
// Extra arguments are ignored.
$xml = $dd->toXML('ignored', 1);
var_dump(is_string($xml), str_starts_with($xml, '<?xml version="1.0" encoding="UTF-8"?>'));
var_dump(preg_match('~xmlns="urn:iso:std:iso:20022:tech:xsd:(pain\.008\.[0-9.]+)"~', $xml, $m), $m[1]);
foreach (['MsgId', 'NbOfTxs', 'InstdAmt', 'SeqTp', 'ReqdColltnDt', 'Ustrd'] as $tag) {
    preg_match("~<$tag(?: [^>]*)?>([^<]*)</$tag>~", $xml, $m);
    echo "$tag: $m[1]\n";
}
var_dump(str_contains($xml, '<Nm>Creditor &amp; Sons</Nm>'));
// The message stays intact: a second rendering gives the same document.
var_dump($dd->toXML() === $xml);

echo "-- credit transfer\n";
$ct = creditor(TARVO_MSGTYPE_CTI);
attempt(fn() => $ct->add(['name' => 'Payee', 'iban' => 'DE02120300000000202051',
                          'bic' => 'BYLADEM1001', 'amount' => '10', 'purp' => 'AB']));
var_dump($ct->add(['name' => 'Payee', 'iban' => 'DE02120300000000202051',
                   'bic' => 'BYLADEM1001', 'amount' => '10', 'id' => 'E2E-1']));
$xml = $ct->toXML();
var_dump(preg_match('~xmlns="urn:iso:std:iso:20022:tech:xsd:(pain\.001\.[0-9.]+)"~', $xml, $m), $m[1]);
var_dump(preg_match('~<EndToEndId>E2E-1</EndToEndId>~', $xml), preg_match('~<InstdAmt Ccy="EUR">10.00</InstdAmt>~', $xml));
// The refused transaction left no trace.
var_dump(preg_match_all('~<NbOfTxs>1</NbOfTxs>~', $xml), substr_count($xml, '<CdtTrfTxInf>'));
?>
--EXPECT--
bool(true)
-- failures
TARVOException(0): Missing creditor IBAN
TARVOException(0): Missing creditor identifier
-- direct debit
bool(true)
bool(true)
int(1)
string(15) "pain.008.001.02"
MsgId: MSG-42
NbOfTxs: 1
InstdAmt: 1234.50
SeqTp: OOFF
ReqdColltnDt: 2031-06-30
Ustrd: Invoice 7/2024
bool(true)
bool(true)
-- credit transfer
TARVOException(0): Invalid purpose (must be 4 characters)
bool(true)
int(1)
string(15) "pain.001.001.03"
int(1)
int(1)
int(2)
int(1)
