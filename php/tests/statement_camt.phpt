--TEST--
TARVOStatementParser: camt statements, reports and notifications as the same arrays
--FILE--
<?php
$samples = (getenv('TARVO_SHARED_DIR') ?: __DIR__ . '/../../../shared') . '/samples/camt/';

var_dump(TARVO_STMT_FORMAT_CAMT);
$p = new TARVOStatementParser();
var_dump($p->load(TARVO_STMT_FORMAT_CAMT, $samples . 'camt053.v2.five.decimals.xml'));
var_export($p->getStatements());
echo "\n";

// A batch booked once whose details carry no amounts: one array for the entry, counting
// its details; no balances in a notification.
$p = new TARVOStatementParser();
$p->load(TARVO_STMT_FORMAT_CAMT, $samples . 'camt054.v2.xml');
[$note] = $p->getStatements();
var_dump(count($note['tx']), $note['tx'][0]['amountText'], $note['tx'][0]['details'], $note['tx'][0]['endToEndIds']);
var_dump(isset($note['openSaldo']), isset($note['openDate']), $note['complete']);

// A returned direct debit with its reason, the same from a string.
$p = new TARVOStatementParser();
$p->loadString(TARVO_STMT_FORMAT_CAMT, file_get_contents($samples . 'returns/sepa_file_parser_camt054_valid_example.xml'));
$r = $p->getStatements()[0]['tx'][3];
var_dump($r['returnReason'], $r['returnInfo'], $r['bankTransactionCode'], $r['status'], $r['entryReference']);

$p = new TARVOStatementParser();
$p->load(TARVO_STMT_FORMAT_CAMT, $samples . 'camt054.v8-with-UETR.xml');
var_dump($p->getStatements()[0]['tx'][0]['uetr']);

try {
    (new TARVOStatementParser())->load(TARVO_STMT_FORMAT_CAMT, $samples . 'camt053.v2.wrong.xml');
} catch (TARVOException $e) {
    printf("%d: %s\n", $e->getCode(), $e->getMessage());
}
?>
--EXPECT--
int(3)
bool(true)
array (
  0 => 
  array (
    'ref' => '253EURNL26VAYB8060476890',
    'account' => 'NL26VAYB8060476890',
    'number' => 12312,
    'openSaldo' => 18.15,
    'openCurrency' => 'EUR',
    'openDate' => '2014-12-30',
    'closeSaldo' => 27.05,
    'closeCurrency' => 'EUR',
    'closeDate' => '2014-12-31',
    'openSaldoText' => '18.150',
    'closeSaldoText' => '27.050',
    'complete' => true,
    'tx' => 
    array (
      0 => 
      array (
        'valuta' => '2015-01-02',
        'booked' => '2014-12-31',
        'amount' => 8.85,
        'eref' => '000000001',
        'svwz' => 'Transaction Description',
        'currency' => 'EUR',
        'amountText' => '8.850',
        'status' => 'BOOK',
      ),
    ),
  ),
)
int(1)
string(7) "-200000"
int(3)
array(3) {
  [0]=>
  string(18) "MUELL/FINP/RA12345"
  [1]=>
  string(18) "MUELL/FINP/RA12345"
  [2]=>
  string(18) "MUELL/FINP/RA12345"
}
bool(false)
bool(false)
bool(true)
string(4) "MD06"
string(53) "Lastschrift-Widerspruch durch den Zahlungspflichtigen"
string(14) "PMNT-RDDT-PMDD"
string(4) "BOOK"
string(17) "41107767420881932"
string(36) "255ae394-9965-4438-ac86-f406feada396"
0: Missing <Stmt> in <BkToCstmrStmt> (line 8)
