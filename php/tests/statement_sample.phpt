--TEST--
TARVOStatementParser: statements of sample files as nested arrays
--FILE--
<?php
$samples = (getenv('TARVO_SHARED_DIR') ?: __DIR__ . '/../../../shared') . '/samples/mt940/';

$p = new TARVOStatementParser();
var_dump($p->load(TARVO_STMT_FORMAT_MT940, $samples . 'hbci4java-test-mt940-001.sta'));
$statements = $p->getStatements();
var_export($statements);
echo "\n";
// The records stay in the parser: reading again gives the same arrays.
var_dump($p->getStatements() === $statements);

$p = new TARVOStatementParser();
$p->load(TARVO_STMT_FORMAT_MT940, $samples . 'betterplace-sepa_snippet.txt');
$statements = $p->getStatements();
var_dump(array_keys($statements), array_map(fn($s) => count($s['tx']), $statements));
var_export($statements[0]['tx'][0]);
echo "\n";
// A debit opening balance is negative; an amount with a single decimal digit is read whole.
var_dump($statements[1]['openSaldo'], $statements[0]['closeSaldo'], $statements[1]['number'],
         $statements[1]['page']);
var_dump($statements[0]['tx'][3]['amount'], $statements[0]['tx'][3]['ref'],
         $statements[0]['tx'][3]['kref']);
?>
--EXPECT--
bool(true)
array (
  0 => 
  array (
    'ref' => 'STARTUMS',
    'account' => '12345678/1234567890',
    'number' => 1,
    'openSaldo' => 100.0,
    'openCurrency' => 'EUR',
    'openDate' => '2023-02-09',
    'closeSaldo' => 103.0,
    'closeCurrency' => 'EUR',
    'closeDate' => '2023-02-09',
    'openSaldoText' => '100.00',
    'closeSaldoText' => '103.00',
    'complete' => true,
    'tx' => 
    array (
      0 => 
      array (
        'valuta' => '2023-02-09',
        'booked' => '2023-02-09',
        'amount' => 2.0,
        'code' => 'TRF',
        'ref' => '2023-02-09-08.37.18.054696',
        'gvc' => 152,
        'txtext' => 'GUTSCHRIFT UEBERWEISUNG',
        'primanota' => '9245',
        'name' => 'Max Mustermann',
        'purpose' => 'Test 1',
        'amountText' => '2.00',
      ),
      1 => 
      array (
        'valuta' => '2023-02-09',
        'booked' => '2023-02-09',
        'amount' => 1.0,
        'code' => 'TRF',
        'ref' => '2023-02-09-08.37.18.552784',
        'gvc' => 152,
        'txtext' => 'GUTSCHRIFT UEBERWEISUNG',
        'primanota' => '9245',
        'name' => 'Max Mustermann',
        'purpose' => 'Test 2',
        'amountText' => '1.00',
      ),
    ),
  ),
)
bool(true)
array(2) {
  [0]=>
  int(0)
  [1]=>
  int(1)
}
array(2) {
  [0]=>
  int(4)
  [1]=>
  int(7)
}
array (
  'valuta' => '2007-09-07',
  'booked' => '2007-09-04',
  'amount' => 50990.05,
  'code' => 'TRF',
  'ref' => 'NONREF',
  'bankref' => '0724710333343453',
  'gvc' => 166,
  'txtext' => 'GUTSCHRIFT',
  'primanota' => '0399',
  'bank' => 'DRESDEFF508',
  'account' => 'DE14508800500194785000',
  'name' => 'KARL         KAUFMANN',
  'eref' => 'EndToEndId TFNR 22 004 00001',
  'svwz' => 'Verw CTSc-01 BC-PPP TFNr 22 004',
  'amountText' => '50990.05',
)
float(-1970431.87)
float(1125250.4)
int(4)
int(1)
float(-1500)
string(5) "KREF+"
string(87) "TFNr 01022 MSGID CTSc-01 EBB MTLG:SEPA-Ueberweisungsauftrag Datei mit 0000001 Zahlungen"
