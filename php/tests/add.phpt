--TEST--
TARVO::add: array keys and values reach the library as texts in array order
--FILE--
<?php
function attempt(callable $f) {
    try {
        var_dump($f());
    } catch (Throwable $e) {
        printf("%s(%d): %s\n", get_class($e), $e->getCode(), $e->getMessage());
    }
}
function tag(string $xml, string $name): array {
    preg_match_all("~<$name(?: [^>]*)?>([^<]*)</$name>~", $xml, $m);
    return $m[1];
}

var_dump(TARVO::init(TARVO_INIT_RULEBOOK, 'DE-3.5'));
$t = new TARVO(TARVO_MSGTYPE_DDI);
$t->setIBAN('DE89370400440532013000');
$t->setBIC('COBADEFFXXX');
$t->setName('Creditor GmbH');
$t->setCreditorIdentifier('DE98ZZZ09999999999');
$t->setDate('2031-06-30');
$base = ['name' => 'Debtor One', 'iban' => 'DE02120300000000202051', 'bic' => 'BYLADEM1001',
         'mref' => 'M-1', 'mdate' => '2024-01-15', 'seq' => 'rcur'];

echo "-- accepted\n";
// A float goes in by the engine's conversion: 12.5 becomes "12.5".
attempt(fn() => $t->add($base + ['amount' => 12.5]));
// Integers in decimal; null leaves the key out; true sets the flag smnda ("1").
attempt(fn() => $t->add(['AMOUNT' => 7, 'ref' => null, 'smnda' => true] + $base));
$ref = 'By reference';
attempt(fn() => $t->add($base + ['amount' => '0.30', 'ref' => &$ref]));
attempt(fn() => $t->add($base + ['amount' => new class { function __toString() { return '1.00'; } }]));
// A key given twice: the later value wins, so the amount is 2.00.
attempt(fn() => $t->add($base + ['amount' => '99', 'Amount' => '2']));

echo "-- refused by the library\n";
attempt(fn() => $t->add([0 => 'Debtor']));
attempt(fn() => $t->add([-5 => 'x']));
// Integer keys of any width are written out whole.
attempt(fn() => $t->add([1234567890123 => 'x']));
attempt(fn() => $t->add([PHP_INT_MIN => 'x']));
attempt(fn() => $t->add($base + ['amount' => -1.5]));
attempt(fn() => $t->add($base + ['amount' => false]));
attempt(fn() => $t->add($base + ['amount' => 1, 'smnda' => false]));
attempt(fn() => $t->add(['iban' => 'DE02120300000000202052', 'amount' => 1] + $base));
attempt(fn() => $t->add([]));

echo "-- refused before the library is called\n";
attempt(fn() => $t->add($base + ['amount' => new stdClass]));
attempt(fn() => $t->add($base + ['amount' => "1\0"]));
attempt(fn() => $t->add($base + ["amount\0x" => '1']));
attempt(fn() => $t->add('amount=1'));
// An array value would read as "Array": refused with a TypeError naming the key.
attempt(fn() => $t->add($base + ['amount' => [1]]));

echo "-- what was written\n";
$xml = $t->toXML();
var_dump(tag($xml, 'InstdAmt'), tag($xml, 'CtrlSum'), tag($xml, 'Ustrd'));
// Only the transaction given 'smnda' => true carries a mandate amendment.
var_dump(substr_count($xml, '<AmdmntInd>true</AmdmntInd>'));
?>
--EXPECTF--
bool(true)
-- accepted
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
-- refused by the library
TARVOException(0): Invalid transaction property '0'
TARVOException(0): Invalid transaction property '-5'
TARVOException(0): Invalid transaction property '1234567890123'
TARVOException(0): Invalid transaction property '-9223372036854775808'
TARVOException(0): Negative or zero amount not allowed
TypeError(0): TARVO::add(): value of key "amount" must not be a boolean
bool(true)
TARVOException(0): Invalid IBAN checksum
TARVOException(0): IBAN missing
-- refused before the library is called
TypeError(0): TARVO::add(): value of key "amount" must be a scalar or Stringable, stdClass given
ValueError(0): TARVO::add(): Argument #1 ($transaction) must not contain keys or values with null bytes
ValueError(0): TARVO::add(): Argument #1 ($transaction) must not contain keys or values with null bytes
TypeError(0): TARVO::add(): Argument #1 ($transaction) must be of type array, string given
TypeError(0): TARVO::add(): value of key "amount" must not be an array
-- what was written
array(6) {
  [0]=>
  string(5) "12.50"
  [1]=>
  string(4) "7.00"
  [2]=>
  string(4) "0.30"
  [3]=>
  string(4) "1.00"
  [4]=>
  string(4) "2.00"
  [5]=>
  string(4) "1.00"
}
array(2) {
  [0]=>
  string(5) "23.80"
  [1]=>
  string(5) "23.80"
}
array(1) {
  [0]=>
  string(12) "By reference"
}
int(1)
