--TEST--
TARVOReconciliation: rows with state, reason and evidence; warnings; refusals as exceptions
--FILE--
<?php
function transfers(string $msgid, array $amounts): string {
    $m = new TARVO(TARVO_MSGTYPE_CTI);
    $m->setIBAN('DE89370400440532013000');
    $m->setBIC('COBADEFFXXX');
    $m->setName('Beispiel GmbH');
    $m->setMessageId($msgid);
    foreach ($amounts as $id => $amount) {
        $m->add(['name' => 'Lieferant', 'iban' => 'DE02120300000000202051', 'bic' => 'COBADEFFXXX',
                 'amount' => $amount, 'id' => $id]);
    }
    return $m->toXML();
}
$camt = '<Document xmlns="urn:iso:std:iso:20022:tech:xsd:camt.054.001.08"><BkToCstmrDbtCdtNtfctn>'
    . '<GrpHdr><MsgId>N</MsgId><CreDtTm>2026-03-03T08:00:00</CreDtTm></GrpHdr><Ntfctn><Id>N1</Id>'
    . '<Acct><Id><IBAN>DE89370400440532013000</IBAN></Id></Acct>'
    . '<Ntry><Amt Ccy="EUR">10.00</Amt><CdtDbtInd>DBIT</CdtDbtInd><Sts><Cd>BOOK</Cd></Sts>'
    . '<BookgDt><Dt>2026-03-03</Dt></BookgDt><NtryDtls><TxDtls><Refs><EndToEndId>P-A</EndToEndId></Refs>'
    . '</TxDtls></NtryDtls></Ntry></Ntfctn></BkToCstmrDbtCdtNtfctn></Document>';
$status = '<Document xmlns="urn:iso:std:iso:20022:tech:xsd:pain.002.001.10"><CstmrPmtStsRpt>'
    . '<GrpHdr><MsgId>S</MsgId><CreDtTm>2026-03-02T08:00:00</CreDtTm></GrpHdr>'
    . '<OrgnlGrpInfAndSts><OrgnlMsgId>P-9</OrgnlMsgId><OrgnlMsgNmId>pain.001</OrgnlMsgNmId><GrpSts>RJCT</GrpSts>'
    . '</OrgnlGrpInfAndSts></CstmrPmtStsRpt></Document>';

$r = new TARVOReconciliation();
var_dump($r->addPaymentsString(transfers('P-1', ['P-A' => '10.00', 'P-B' => '2.50']), 'p.xml'));
var_dump($r->addStatementsString($camt, 'camt.xml'));
var_dump($r->addStatusString($status, 'status.xml'));
foreach ($r->run() as $row) {
    echo json_encode($row), "\n";
}
print_r($r->getWarnings());

$dir = sys_get_temp_dir() . '/tarvo-phpt-reconcile-' . getmypid();
mkdir($dir);
file_put_contents("$dir/one.xml", transfers('P-1', ['P-A' => '10.00']));
file_put_contents("$dir/two.xml", transfers('P-2', ['P-A' => '11.00']));
$twice = new TARVOReconciliation();
$twice->addPayments("$dir/one.xml");
$twice->addPayments("$dir/two.xml");
try {
    $twice->run();
} catch (TARVOException $e) {
    echo str_replace($dir, 'DIR', $e->getMessage()), "\n";
}
try {
    $twice->addStatements("$dir/missing.sta");
} catch (TARVOException $e) {
    echo str_replace($dir, 'DIR', explode(':', $e->getMessage())[0]), "\n";
}
unlink("$dir/one.xml");
unlink("$dir/two.xml");
rmdir($dir);
?>
--EXPECT--
bool(true)
bool(true)
bool(true)
{"messageId":"P-1","paymentInformationId":"P-1-P1","endToEndId":"P-A","amount":"10.00","currency":"EUR","state":"booked","evidence":"camt.xml statement 1 entry 1","unmatched":false}
{"messageId":"P-1","paymentInformationId":"P-1-P1","endToEndId":"P-B","amount":"2.50","currency":"EUR","state":"unknown","unmatched":false}
{"messageId":"P-9","state":"unmatched","reason":"RJCT","evidence":"status.xml OrgnlGrpInfAndSts[1]","unmatched":true}
Array
(
    [0] => status report status.xml refers to message id "P-9", which no payment file has
)
end-to-end id "P-A" is in both DIR/one.xml and DIR/two.xml
DIR/missing.sta
