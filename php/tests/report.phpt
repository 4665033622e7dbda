--TEST--
TARVOStatusReport and TARVOPaymentFile: records as arrays, refusals as exceptions
--EXTENSIONS--
tarvo
--FILE--
<?php
$shared = getenv('TARVO_SHARED_DIR');
$report = new TARVOStatusReport();
var_dump($report->getVersion(), $report->getRecords());
$report->load("$shared/samples/pain002/sepa_file_parser_pain002_valid_example_001.10.xml");
echo $report->getVersion(), "\n";
$records = $report->getRecords();
echo count($records), "\n";
$tx = $records[2];
echo $tx['level'], ' ', $tx['originalMessageId'], ' ', $tx['originalPaymentInformationId'], ' ',
     $tx['status'], ' ', implode(',', $tx['reasons']), ' ', $tx['amount'], ' ', $tx['currency'], ' ', $tx['name'], "\n";
var_dump(isset($tx['originalUETR']));

$report->load("$shared/samples/pain002/hbci4java_test-pain-parse-0020110-03.xml");
var_dump($report->getRecords()[0]['counts']);

try {
    $report->loadString('<Document><Other/></Document>');
} catch (TARVOException $e) {
    echo $e->getCode(), ' ', $e->getMessage(), "\n";
}
var_dump($report->getRecords());

TARVO::init(TARVO_INIT_RULEBOOK, 'DE-3.7');
$m = new TARVO(TARVO_MSGTYPE_DDI);
$m->setIBAN('AT611904300234573201');
$m->setBIC('BKAUATWWXXX');
$m->setName('Verein');
$m->setCreditorIdentifier('DE98ZZZ09999999999');
$m->setMessageId('M-7');
$m->add(['name' => 'Anna', 'iban' => 'DE89370400440532013000', 'bic' => 'COBADEFFXXX', 'amount' => '5.10',
         'id' => 'E-7', 'seq' => 'FRST', 'mref' => 'MR-1', 'mdate' => '2023-05-01', 'ref' => 'Beitrag']);
$file = new TARVOPaymentFile();
$file->loadString($m->toXML());
print_r($file->getHeader()['version']); echo "\n";
$block = $file->getBlocks()[0];
echo $block['method'], ' ', $block['sequenceType'], ' ', $block['creditorId'], "\n";
$t = $block['tx'][0];
echo $t['endToEndId'], ' ', $t['amount'], ' ', $t['currency'], ' ', $t['mandateId'], ' ', $t['mandateDate'], ' ', $t['remittance'], "\n";
?>
--EXPECT--
NULL
NULL
pain.002.001.10
3
transaction Message-ID-4711 Sammlerreferenz-4710 RJCT AC01 6543.14 EUR Debtor Name
bool(false)
array(1) {
  ["RCVC"]=>
  int(2)
}
0 Expected <CstmrPmtStsRpt> in <Document>, found <Other> (line 1)
NULL
pain.008.001.08
DD FRST DE98ZZZ09999999999
E-7 5.10 EUR MR-1 2023-05-01 Beitrag
