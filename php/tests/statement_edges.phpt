--TEST--
TARVOStatementParser: keys left out when a record lacks them, empty transaction lists
--FILE--
<?php
$file = tempnam(sys_get_temp_dir(), 'tarvo-mt940-');
file_put_contents($file, implode("\r\n", [
    '',
    ':20:',
    ':60F:C240131EUR10,00',
    ':61:240201C5,00NTRF',
    ':86:166?00GUTSCHRIFT?20Rent?21February?34011',
    ':61:2402010202D1,50NTRF//B1',
    ':61:2312290102RD2,00NCHGREF1//B2',
    ':62F:C240201EUR15,50',
    '-',
    ':20:SECOND',
    ':25:DE02120300000000202051',
    ':28C:7',
    ':60F:D240131EUR1234,56',
    ':62F:D240131EUR1234,56',
    '-',
    '',
]));

$p = new TARVOStatementParser();
var_dump($p->load(TARVO_STMT_FORMAT_MT940, $file));
unlink($file);
[$first, $second] = $p->getStatements();

echo "-- statement without reference, account, number and page\n";
var_dump(array_key_first($first), array_keys($first));
echo "-- transaction without references or entry date\n";
var_dump($first['tx'][0]);
echo "-- bank reference only, entry date\n";
$tx = $first['tx'][1];
var_dump(isset($tx['ref']), $tx['bankref'], $tx['valuta'], $tx['booked'], $tx['amount'], $tx['gvc'] ?? null);
echo "-- reversed debit (a credit), entry date in the next year\n";
$tx = $first['tx'][2];
var_dump($tx['ref'], $tx['bankref'], $tx['code'], $tx['amount'], $tx['valuta'], $tx['booked']);
echo "-- statement without transactions\n";
var_dump($second['tx'], $second['ref'], $second['account'], $second['number'], isset($second['page']));
var_dump($second['openSaldo'], $second['openCurrency'], $second['openDate']);
?>
--EXPECT--
bool(true)
-- statement without reference, account, number and page
string(9) "openSaldo"
array(10) {
  [0]=>
  string(9) "openSaldo"
  [1]=>
  string(12) "openCurrency"
  [2]=>
  string(8) "openDate"
  [3]=>
  string(10) "closeSaldo"
  [4]=>
  string(13) "closeCurrency"
  [5]=>
  string(9) "closeDate"
  [6]=>
  string(13) "openSaldoText"
  [7]=>
  string(14) "closeSaldoText"
  [8]=>
  string(8) "complete"
  [9]=>
  string(2) "tx"
}
-- transaction without references or entry date
array(8) {
  ["valuta"]=>
  string(10) "2024-02-01"
  ["amount"]=>
  float(5)
  ["code"]=>
  string(3) "TRF"
  ["gvc"]=>
  int(166)
  ["extcode"]=>
  int(11)
  ["txtext"]=>
  string(10) "GUTSCHRIFT"
  ["purpose"]=>
  string(13) "Rent
February"
  ["amountText"]=>
  string(4) "5.00"
}
-- bank reference only, entry date
bool(false)
string(2) "B1"
string(10) "2024-02-01"
string(10) "2024-02-02"
float(-1.5)
NULL
-- reversed debit (a credit), entry date in the next year
string(4) "REF1"
string(2) "B2"
string(3) "CHG"
float(2)
string(10) "2023-12-29"
string(10) "2024-01-02"
-- statement without transactions
array(0) {
}
string(6) "SECOND"
string(22) "DE02120300000000202051"
int(7)
bool(false)
float(-1234.56)
string(3) "EUR"
string(10) "2024-01-31"
