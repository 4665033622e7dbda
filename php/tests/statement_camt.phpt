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

// One array per transaction of a batch notification, each with the entry's amount.
$p = new TARVOStatementParser();
$p->load(TARVO_STMT_FORMAT_CAMT, $samples . 'camt054.v2.xml');
$tx = $p->getStatements()[0]['tx'];
var_dump(count($tx), array_column($tx, 'amountText'), array_column($tx, 'creditorRef'), $tx[2]['svwz']);

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
    'tx' => 
    array (
      0 => 
      array (
        'valuta' => '2015-01-02',
        'booked' => '2014-12-31',
        'amount' => 8.85,
        'code' => '',
        'gvc' => 0,
        'bank' => '',
        'account' => '',
        'name' => '',
        'eref' => '000000001',
        'svwz' => 'Transaction Description',
        'currency' => 'EUR',
        'amountText' => '8.850',
      ),
    ),
  ),
)
int(3)
array(3) {
  [0]=>
  string(7) "-200000"
  [1]=>
  string(7) "-200000"
  [2]=>
  string(7) "-200000"
}
array(3) {
  [0]=>
  string(17) "ISR ref number V1"
  [1]=>
  string(17) "ISR ref number V2"
  [2]=>
  string(21) "Ref number V3 block 1"
}
string(93) "Unstructured Remittance Information V3 block 1
Unstructured Remittance Information V3 block 2"
string(36) "255ae394-9965-4438-ac86-f406feada396"
0: Missing <Stmt> in <BkToCstmrStmt> (line 8)
